#include "controls/slider/Lumora_Ctrl_Slider.h"
#include "controls/knob/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Platform;
using namespace ControlTest;
using Slider = Lumora_Ctrl_Slider;

namespace {

// A vertical slider 40 x 200 at (100, 100), started away from its centre detent.
struct VerticalRig : Rig<Slider> {
    VerticalRig() : Rig<Slider>(Rect(100, 100, 40, 200)) { control->setValue(0.2f); }
};

// A horizontal slider 300 x 40 at (100, 100).
struct HorizontalRig : Rig<Slider> {
    HorizontalRig() : Rig<Slider>(Rect(100, 100, 300, 40)) { control->setDirection(1); }
};

} // namespace

TEST(Slider, StartsAsAContinuousVerticalSliderWithACentreDetent)
{
    Slider slider;
    EXPECT_EQ(slider.direction(), 0u);
    EXPECT_FALSE(slider.isSwitched());
    EXPECT_EQ(slider.numOfSwitches(), 3);
    EXPECT_FLOAT_EQ(slider.snap(), 0.05f);
    EXPECT_EQ(slider.snapOptions(), 1);
    EXPECT_EQ(slider.backgroundColor(), Color::clearColor());
    slider.setNormalizedValue(0.51f);
    EXPECT_FLOAT_EQ(slider.normalizedValue(), 0.5f);
}

TEST(Slider, VerticalSliderMovesOverItsHeightAndTenTimesFinerAcross)
{
    struct Case {
        double dx, dy, change;
    };
    // Up over the whole height: the whole travel (from 0.2: to the end). Right by the height:
    // a tenth. Exactly 45 degrees counts as across.
    Case const cases[] = {{0, -100, 0.5}, {0, 40, -0.2}, {200, 0, 0.1}, {-100, 0, -0.05}, {20, -20, 0.01}, {20, -21, 0.105}};
    for (auto const& c : cases) {
        VerticalRig rig;
        rig.drag({120, 200}, c.dx, c.dy, 1);
        EXPECT_NEAR(rig.control->value(), 0.2 + c.change, 1e-6) << c.dx << "," << c.dy;
    }
    VerticalRig rig;
    rig.drag({120, 290}, 0, -200, 8);
    EXPECT_FLOAT_EQ(rig.control->value(), 1);
}

TEST(Slider, HorizontalSliderMovesOverItsWidthAndTenTimesFinerAcross)
{
    HorizontalRig rig;
    rig.drag({110, 120}, 300, 0, 6);
    EXPECT_NEAR(rig.control->value(), 1, 1e-5);
    rig.drag({390, 130}, 0, -300, 6);  // up: a tenth, but already at the end
    EXPECT_FLOAT_EQ(rig.control->value(), 1);
    rig.drag({390, 130}, 0, 300, 6);  // down by the width: a tenth less
    EXPECT_NEAR(rig.control->value(), 0.9, 1e-5);
    rig.drag({390, 130}, -30, 0, 1);
    EXPECT_NEAR(rig.control->value(), 0.8, 1e-5);
}

TEST(Slider, LargerBoundsMoveLessForTheSameDistance)
{
    VerticalRig rig;
    rig.drag({120, 200}, 0, -20, 1);
    EXPECT_NEAR(rig.control->value(), 0.3, 1e-6);
    rig.control->setFrame(Rect(100, 100, 40, 400));
    rig.drag({120, 200}, 0, -20, 1);
    EXPECT_NEAR(rig.control->value(), 0.35, 1e-6);
}

TEST(Slider, WithoutLengthADragChangesNothing)
{
    Rig<Slider> rig(Rect(100, 100, 40, 200));
    rig.control->setValue(0.3f);
    rig.control->setBounds(Rect(0, 0, 40, 0));
    rig.control->updateInternalValue({0, 10});
    rig.control->updateInternalValue({0, -50});
    EXPECT_FLOAT_EQ(rig.control->value(), 0.3f);
}

TEST(Slider, UnsignedParameterGivesWholeStepsAndSettlesOnItsPosition)
{
    auto parameter = Lumora::Parameter_UInt(nullptr, 4, "U", "U", 0, 0, 6, Opt::None, kSound, 0);
    Rig<Slider> rig(Rect(100, 100, 40, 200));
    rig.control->setParameter(&parameter);
    rig.written = &parameter;
    EXPECT_EQ(rig.control->numOfSwitches(), 7);
    Touch* t = rig.down({120, 290});
    for (int i = 1; i <= 6; ++i)
        rig.move(t, {120, 290 - 13.0 * i});
    rig.up(t, {120, 290 - 78.0});
    for (auto const& r : rig.reports)
        EXPECT_EQ(r.value, std::trunc(r.value));
    EXPECT_FLOAT_EQ(rig.control->value(), 2);  // 0.39 of the travel
    EXPECT_FLOAT_EQ(rig.control->trueInternaValue(), 2.0f / 6);
    EXPECT_FLOAT_EQ(parameter.concreteValue(), 2);
}

TEST(Slider, DoubleTapResetsAndCancelEndsWithoutSettling)
{
    auto parameter = Lumora::Parameter_UInt(nullptr, 4, "U", "U", 3, 0, 6, Opt::None, kSound, 0);
    Rig<Slider> rig(Rect(100, 100, 40, 200));
    rig.control->setParameter(&parameter);
    rig.control->setValue(5);
    rig.up(rig.down({120, 200}, 2), {120, 200});
    EXPECT_FLOAT_EQ(rig.control->value(), 3);
    EXPECT_EQ(rig.reports.back().state, 3);
    EXPECT_FLOAT_EQ(rig.reports.back().normalized, 3.0f / 127);

    Touch* t = rig.down({120, 200});
    rig.move(t, {120, 185});  // 0.075 up: still position 3, between positions
    rig.cancel(t);
    EXPECT_EQ(rig.states().back(), 3);
    EXPECT_FLOAT_EQ(rig.control->value(), 3);
    EXPECT_NEAR(rig.control->trueInternaValue(), 0.5 + 0.075, 1e-6);
}

TEST(Slider, SignedAndBoolParametersConfigureItAsTheKnob)
{
    auto sint = Lumora::Parameter_SInt(nullptr, 1, "S", "S", 0, -3, 3, Opt::None, kSound, 0);
    auto sfloat = Lumora::Parameter_SFloat(nullptr, 2, "F", "F", 0, -1, 1, Opt::None, kSound, 0);
    auto boolean = Lumora::Parameter_Bool(nullptr, 3, "B", "B", true, Opt::None, kSound, 0);
    Slider slider;
    slider.setParameter(&sint);
    EXPECT_TRUE(slider.isBipole());
    EXPECT_TRUE(slider.isSwitched());
    EXPECT_EQ(slider.numOfSwitches(), 7);
    slider.setParameter(&sfloat);
    EXPECT_TRUE(slider.isBipole());
    EXPECT_FALSE(slider.isSwitched());
    EXPECT_FLOAT_EQ(slider.value(), 0);
    slider.setParameter(&boolean);
    EXPECT_FALSE(slider.isBipole());
    EXPECT_EQ(slider.numOfSwitches(), 2);
    EXPECT_FLOAT_EQ(slider.normalizedValue(), 1);
}

TEST(Slider, DrawsThroughThePainter)
{
    ThemeScope scope;
    Slider slider(Rect(0, 0, 20, 100));
    slider.setVariation(2);
    slider.setValue(0.3f);
    slider.drawRect(slider.bounds());
    ASSERT_EQ(scope.theme->calls, (std::vector<std::string>{"slider"}));
    EXPECT_FLOAT_EQ(scope.theme->value, 0.3f);
    EXPECT_FALSE(scope.theme->bipole);
    EXPECT_EQ(scope.theme->variation, 2);
}
