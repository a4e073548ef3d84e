#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/knob/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Platform;
using namespace ControlTest;
using Knob = Lumora_Ctrl_RotaryKnob;

namespace {

// The knob sits at (100, 100) .. (200, 200) of the window; its centre is (150, 150).
constexpr Point kCentre{150, 150};

struct RotaryMode {
    RotaryMode() { Lumora_Ctrl_RotaryKnob_Base::setControlTypeToLinear(false); }
    ~RotaryMode() { Lumora_Ctrl_RotaryKnob_Base::setControlTypeToLinear(true); }
};

struct KnobRig : Rig<Knob> {
    KnobRig() : Rig<Knob>(Rect(100, 100, 100, 100)) {}
};

Lumora::Parameter_UInt uintParameter(unsigned value, unsigned lo, unsigned hi)
{
    return Lumora::Parameter_UInt(nullptr, 7, "U", "U", value, lo, hi, Opt::None, kSound, 0);
}

} // namespace

TEST(RotaryKnob, StartsAsAContinuousKnobWithACentreDetent)
{
    Knob knob;
    EXPECT_FALSE(knob.isSwitched());
    EXPECT_FALSE(knob.isBipole());
    EXPECT_EQ(knob.numOfSwitches(), 3);
    EXPECT_FLOAT_EQ(knob.snap(), 0.05f);
    EXPECT_EQ(knob.snapOptions(), 1);
    EXPECT_EQ(knob.linerResolution(), 250);
    EXPECT_EQ(knob.linerFineResolutionRatio(), 20);
    EXPECT_EQ(knob.backgroundColor(), Color::clearColor());
    EXPECT_TRUE(Lumora_Ctrl_RotaryKnob_Base::isControlTypeLinear());

    Lumora_Ctrl_RotaryKnob_Switched switched;
    EXPECT_EQ(switched.snapOptions(), 7);
    EXPECT_EQ(switched.snap(), 0);
}

TEST(RotaryKnob, LinearVerticalDragCoversTheTravelIn250PointsAndReportsAGesture)
{
    KnobRig rig;
    Touch* t = rig.down({150, 190});
    EXPECT_EQ(rig.control->value(), 0);  // touch-down moves nothing
    for (int i = 1; i <= 10; ++i)
        rig.move(t, {150, 190 - 25.0 * i});
    EXPECT_NEAR(rig.control->value(), 1, 1e-5);
    rig.move(t, {150, -110});  // further up: stays at the end
    EXPECT_EQ(rig.control->value(), 1);
    rig.move(t, {150, -85});  // the first move back lowers it at once
    EXPECT_NEAR(rig.control->value(), 0.9, 1e-5);
    rig.up(t, {150, -85});

    std::vector<int> expected{1};
    expected.insert(expected.end(), 12, 2);
    expected.push_back(3);
    EXPECT_EQ(rig.states(), expected);
    EXPECT_NEAR(rig.reports.back().normalized, 0.9, 1e-5);
}

TEST(RotaryKnob, SidewaysDragIsTwentyTimesFinerAndDiagonalsCountAsSideways)
{
    struct Case {
        double dx, dy, change;
    };
    // 100 points right: 100 / 5000. Exactly 45 degrees, any quadrant, moves by dx / 5000; just
    // steeper than 45 degrees moves by -dy / 250.
    Case const cases[] = {
        {100, 0, 0.02}, {-100, 0, -0.02}, {10, -10, 0.002},  {10, 10, 0.002},
        {-10, -10, -0.002}, {-10, 10, -0.002}, {10, -10.5, 0.042}, {0, 25, -0.1},
    };
    for (auto const& c : cases) {
        KnobRig rig;
        rig.control->setValue(0.3f);  // away from the centre detent
        rig.drag(kCentre, c.dx, c.dy, 1);
        EXPECT_NEAR(rig.control->value(), 0.3 + c.change, 1e-6) << c.dx << "," << c.dy;
    }
}

TEST(RotaryKnob, ResolutionsSetTheDragDistances)
{
    KnobRig rig;
    rig.control->setLinerResolution(100);
    rig.control->setLinerFineResolutionRatio(10);
    rig.drag(kCentre, 0, -20, 1);
    EXPECT_NEAR(rig.control->value(), 0.2, 1e-6);
    rig.drag(kCentre, 100, 0, 1);
    EXPECT_NEAR(rig.control->value(), 0.3, 1e-6);
}

TEST(RotaryKnob, TouchAnglesGrowClockwiseFromStraightDown)
{
    constexpr double pi = 3.14159265358979;
    Knob knob(Rect(0, 0, 100, 100));
    EXPECT_NEAR(knob.touchAngle(Point{50, 90}), 0, 1e-6);
    EXPECT_NEAR(knob.touchAngle(Point{10, 50}), pi / 2, 1e-6);
    EXPECT_NEAR(knob.touchAngle(Point{50, 10}), pi, 1e-6);
    EXPECT_NEAR(knob.touchAngle(Point{90, 50}), 3 * pi / 2, 1e-6);
    EXPECT_NEAR(Knob::touchAngle(Point{0, 0}, Point{0, -5}), 0, 1e-6);  // moving down
    EXPECT_NEAR(Knob::touchAngle(Point{0, 0}, Point{5, 0}), pi / 2, 1e-6);  // moving left
}

TEST(RotaryKnob, RotaryQuarterTurnClockwiseMovesPointThree)
{
    RotaryMode rotary;
    KnobRig rig;
    Touch* t = rig.down({100, 150});  // left of the centre
    rig.move(t, {115, 115});
    rig.move(t, {150, 100});  // above
    EXPECT_NEAR(rig.control->value(), 0.3, 1e-5);
    rig.move(t, {100, 150});  // back counter-clockwise
    EXPECT_NEAR(rig.control->value(), 0, 1e-5);
    rig.up(t, {100, 150});
}

TEST(RotaryKnob, RotaryMoveAcrossTheLineBelowTheCentreChangesNothing)
{
    RotaryMode rotary;
    KnobRig rig;
    rig.control->setValue(0.2f);
    Touch* t = rig.down({160, 195});  // below, a little to the right
    rig.move(t, {140, 195});          // across the line straight below: the angle jumps
    EXPECT_FLOAT_EQ(rig.control->value(), 0.2f);
    rig.move(t, {100, 150});  // then on clockwise to the left, normally
    float const expected = 0.2f + (Knob::touchAngle(Point{100, 150}, kCentre) -
                                   Knob::touchAngle(Point{140, 195}, kCentre)) / 3.14159265f * 0.6f;
    EXPECT_NEAR(rig.control->value(), expected, 1e-5);
    rig.up(t, {100, 150});
}

TEST(RotaryKnob, ModeChangeReachesADraggedKnobAtItsNextMove)
{
    KnobRig rig;
    Touch* t = rig.down({100, 150});
    rig.move(t, {100, 125});  // linear: 25 points up
    EXPECT_NEAR(rig.control->value(), 0.1, 1e-6);
    {
        RotaryMode rotary;
        rig.move(t, {100, 100});  // rotary now: the angle since touch-down
        EXPECT_GT(rig.control->value(), 0.1f);
    }
    rig.up(t, {100, 100});
}

TEST(RotaryKnob, DoubleTapResetsToTheDefaultAndTheLastReportCarriesIt)
{
    auto parameter = Lumora::Parameter_UFloat(nullptr, 3, "F", "F", 0.25f, 0, 1, Opt::None, kSound, 0);
    parameter.setNormalizedValue(0.8f, Lumora::ParameterObserver::Token::ViewController,
                                 Lumora::AutomationEventType(0));
    KnobRig rig;
    rig.control->setParameter(&parameter);
    rig.written = &parameter;
    EXPECT_FLOAT_EQ(rig.control->value(), 0.8f);

    rig.up(rig.down(kCentre, 1), kCentre);
    rig.up(rig.down(kCentre, 2), kCentre);
    EXPECT_FLOAT_EQ(rig.control->value(), 0.25f);
    EXPECT_EQ(rig.states(), (std::vector<int>{1, 3, 1, 3}));
    EXPECT_FLOAT_EQ(rig.reports.back().normalized, 0.25f);
    EXPECT_FLOAT_EQ(parameter.normalizedValue(), 0.25f);

    rig.control->setValue(0.8f);
    rig.up(rig.down(kCentre, 3), kCentre);  // a triple tap is no reset
    EXPECT_FLOAT_EQ(rig.control->value(), 0.8f);
}

TEST(RotaryKnob, CentreDetentCapturesValuesWithinTheWindow)
{
    Knob knob;
    knob.setNormalizedValue(0.49f);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 0.5f);
    EXPECT_FLOAT_EQ(knob.value(), 0.5f);
    EXPECT_FLOAT_EQ(knob.trueInternaValue(), 0.49f);
    knob.setNormalizedValue(0.47f);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 0.47f);
    // Set by code, the value is never captured.
    knob.setValue(0.49f);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 0.49f);
}

TEST(RotaryKnob, SlowDragThroughTheCentreHoldsWhileTheRawValueIsInTheWindow)
{
    KnobRig rig;
    rig.control->setValue(0.45f);
    Touch* t = rig.down(kCentre);
    for (int i = 1; i <= 40; ++i) {
        rig.move(t, {150, 150 - 0.625 * i});  // 0.0025 per move
        float const raw = rig.control->trueInternaValue();
        float const shown = rig.control->normalizedValue();
        if (std::fabs(raw - 0.475f) < 1e-5 || std::fabs(raw - 0.525f) < 1e-5)
            continue;  // too close to the window's edges to say
        bool const inside = raw > 0.475f && raw < 0.525f;
        EXPECT_EQ(shown == 0.5f, inside) << raw;
        if (!inside) {
            EXPECT_EQ(shown, raw);
        }
        EXPECT_EQ(rig.reports.back().normalized, shown);
    }
    rig.up(t, {150, 125});
    EXPECT_NEAR(rig.control->value(), 0.55, 1e-5);
}

TEST(RotaryKnob, UnsignedParameterMakesOnePositionPerValueReportedInWholeSteps)
{
    auto parameter = uintParameter(7, 0, 15);
    KnobRig rig;
    rig.control->setParameter(&parameter);
    EXPECT_TRUE(rig.control->isSwitched());
    EXPECT_FALSE(rig.control->isBipole());
    EXPECT_EQ(rig.control->numOfSwitches(), 16);
    EXPECT_EQ(rig.control->snapOptions(), 1);
    EXPECT_FLOAT_EQ(rig.control->value(), 7);
    EXPECT_FLOAT_EQ(rig.control->trueInternaValue(), 7.0f / 15);
    EXPECT_FLOAT_EQ(rig.control->normalizedValue(), 7.0f / 127);

    Touch* t = rig.down(kCentre);
    for (int i = 1; i <= 9; ++i)
        rig.move(t, {150, 150 - 7.3 * i});
    rig.up(t, {150, 150 - 7.3 * 9});
    for (auto const& r : rig.reports) {
        EXPECT_EQ(r.value, std::trunc(r.value));
        EXPECT_FLOAT_EQ(r.normalized, r.value / 127);
    }
    // At touch-up it sits exactly on its position.
    float const position = rig.control->value();
    EXPECT_GT(position, 7);
    EXPECT_EQ(rig.control->trueInternaValue(), position * rig.control->switchResolution());
    EXPECT_EQ(rig.control->indicatorPosition(), rig.control->trueInternaValue());
}

TEST(RotaryKnob, UnsignedParameterWithAMinimumCoversItsWholeRange)
{
    auto parameter = uintParameter(1, 1, 16);
    KnobRig rig;
    rig.control->setParameter(&parameter);
    rig.written = &parameter;
    EXPECT_EQ(rig.control->numOfSwitches(), 16);
    EXPECT_EQ(rig.control->switchPosition(), 0);
    EXPECT_FLOAT_EQ(rig.control->value(), 1);
    EXPECT_FLOAT_EQ(rig.control->normalizedDefaultValue(), 1.0f / 127);
    rig.drag(kCentre, 0, -300);  // past the top
    EXPECT_EQ(rig.control->switchPosition(), 15);
    EXPECT_FLOAT_EQ(rig.control->value(), 16);
    EXPECT_FLOAT_EQ(parameter.concreteValue(), 16);
}

TEST(RotaryKnob, SignedParameterMakesABipolarKnobWithAnOddPositionCount)
{
    auto wide = Lumora::Parameter_SInt(nullptr, 8, "S", "S", -12, -12, 12, Opt::None, kSound, 0);
    Knob knob;
    knob.setParameter(&wide);
    EXPECT_TRUE(knob.isBipole());
    EXPECT_TRUE(knob.isSwitched());
    EXPECT_EQ(knob.numOfSwitches(), 25);
    EXPECT_FLOAT_EQ(knob.value(), -12);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 52.0f / 127);
    knob.setValue(12);
    EXPECT_FLOAT_EQ(knob.normalizedValue(), 76.0f / 127);
    EXPECT_FLOAT_EQ(knob.indicatorPosition(), 1);

    auto narrow = Lumora::Parameter_SInt(nullptr, 9, "S", "S", 0, -2, 1, Opt::None, kSound, 0);
    knob.setParameter(&narrow);
    EXPECT_EQ(knob.numOfSwitches(), 5);
    EXPECT_FLOAT_EQ(knob.value(), 0);
    EXPECT_FLOAT_EQ(knob.indicatorPosition(), 0.5f);
    knob.setValue(-5);
    EXPECT_FLOAT_EQ(knob.value(), -2);
    knob.setValue(5);
    EXPECT_FLOAT_EQ(knob.value(), 2);
}

TEST(RotaryKnob, BoolParameterHoldsAtEitherEnd)
{
    auto parameter = Lumora::Parameter_Bool(nullptr, 5, "B", "B", false, Opt::None, kSound, 0);
    Knob knob;
    knob.setParameter(&parameter);
    EXPECT_FALSE(knob.isSwitched());
    EXPECT_EQ(knob.numOfSwitches(), 2);
    EXPECT_EQ(knob.snapOptions(), 6);
    EXPECT_FLOAT_EQ(knob.snap(), 0.5f);
    struct Case {
        float in, shown;
    };
    for (Case c : {Case{0.3f, 0}, Case{0.49f, 0}, Case{0.5f, 0.5f}, Case{0.51f, 1}, Case{0.9f, 1}}) {
        knob.setNormalizedValue(c.in);
        EXPECT_EQ(knob.normalizedValue(), c.shown) << c.in;
    }
    // A later binding to a real keeps what the on/off binding left.
    auto real = Lumora::Parameter_UFloat(nullptr, 6, "F", "F", 0.5f, 0, 1, Opt::None, kSound, 0);
    knob.setParameter(&real);
    EXPECT_EQ(knob.numOfSwitches(), 2);
    EXPECT_EQ(knob.snapOptions(), 6);
}

TEST(RotaryKnob, PositionCountsAndValuesAreClamped)
{
    Knob knob;
    for (int n : {1, 0, -4}) {
        knob.setNumOfSwitches(n);
        EXPECT_EQ(knob.numOfSwitches(), 2) << n;
    }
    knob.setIsBipole(true);
    knob.setValue(0);
    EXPECT_FLOAT_EQ(knob.trueInternaValue(), 0.5f);
    knob.setValue(-1.5f);
    EXPECT_FLOAT_EQ(knob.value(), -1);
    EXPECT_FLOAT_EQ(knob.trueInternaValue(), 0);
    knob.setDefaultValue(3);
    EXPECT_FLOAT_EQ(knob.internalDefaultValue(), 1);
    EXPECT_FLOAT_EQ(knob.defaultValue(), 1);
}

TEST(RotaryKnob, SwitchedDecodingOfNormalizedValues)
{
    Knob knob;
    knob.setIsSwitched(true);
    knob.setNumOfSwitches(128);
    struct Case {
        float normalized, value;
    };
    for (Case c : {Case{3.0f / 127, 3}, Case{1.2f, 127}, Case{-0.1f, 0}, Case{0.5f, 64}}) {
        knob.setNormalizedValue(c.normalized);
        EXPECT_FLOAT_EQ(knob.value(), c.value) << c.normalized;
    }
    knob.setNormalizedDefaultValue(10.0f / 127);
    EXPECT_EQ(knob.switchDefaultPosition(), 10);
    EXPECT_FLOAT_EQ(knob.normalizedDefaultValue(), 10.0f / 127);
}

TEST(RotaryKnob, ValuesThatAreNotNumbersNeverReachTheParameter)
{
    auto parameter = Lumora::Parameter_UFloat(nullptr, 3, "F", "F", 0.25f, 0, 1, Opt::None, kSound, 0);
    KnobRig rig;
    rig.control->setParameter(&parameter);
    rig.control->setNormalizedValue(NAN);
    rig.control->setValue(NAN);
    rig.control->setDefaultValue(NAN);
    rig.control->setNormalizedDefaultValue(NAN);
    EXPECT_FLOAT_EQ(rig.control->normalizedValue(), 0.25f);
    EXPECT_FLOAT_EQ(rig.control->normalizedDefaultValue(), 0.25f);
    rig.control->setIsSwitched(true);
    rig.control->setNormalizedValue(NAN);
    rig.control->setValue(NAN);
    EXPECT_FALSE(std::isnan(rig.control->normalizedValue()));
}

TEST(RotaryKnob, CancelledTouchEndsTheGestureWithoutSettling)
{
    auto parameter = uintParameter(2, 0, 4);
    KnobRig rig;
    rig.control->setParameter(&parameter);
    Touch* t = rig.down(kCentre);
    rig.move(t, {150, 150 - 20});  // +0.08: between positions
    float const raw = rig.control->trueInternaValue();
    rig.cancel(t);
    EXPECT_EQ(rig.states().back(), 3);
    EXPECT_EQ(rig.control->trueInternaValue(), raw);
    EXPECT_NE(raw, 0.5f);
    EXPECT_FLOAT_EQ(rig.control->value(), 2);
}

TEST(RotaryKnob, DelegateHearsEachChangeOfTheExternalValue)
{
    struct Delegate : Lumora_ControlDelegate {
        std::vector<float> values;
        void Lumora_Control_valueChanged(Lumora_Control*, float v) override { values.push_back(v); }
    } delegate;
    KnobRig rig;
    rig.control->setIsBipole(true);
    rig.control->setDelegate(&delegate);
    rig.drag(kCentre, 0, -25, 1);
    ASSERT_EQ(delegate.values.size(), 1u);
    EXPECT_NEAR(delegate.values[0], -0.8, 1e-5);
}

TEST(RotaryKnob, PassingThroughStillTurnsTheKnob)
{
    KnobRig rig;
    rig.control->setPassthroughTouchEventsToSuperView(true);
    rig.drag(kCentre, 0, -25, 1);
    EXPECT_NEAR(rig.control->value(), 0.1, 1e-6);
    EXPECT_EQ(rig.states(), (std::vector<int>{1, 2, 3}));
}

TEST(RotaryKnob, DrawsThroughThePainterAtItsShownPosition)
{
    ThemeScope scope;
    Knob knob(Rect(0, 0, 60, 60));
    knob.setVariation(3);
    knob.setIsBipole(true);
    knob.setDisabled(true);
    knob.setNormalizedValue(0.49f);  // captured at the centre
    knob.drawRect(knob.bounds());
    ASSERT_EQ(scope.theme->calls, (std::vector<std::string>{"knob"}));
    EXPECT_EQ(scope.theme->value, 0.5f);
    EXPECT_TRUE(scope.theme->bipole);
    EXPECT_TRUE(scope.theme->disabled);
    EXPECT_EQ(scope.theme->variation, 3);
}
