#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "controls/switch/Lumora_Ctrl_SwitchSelector.h"
#include "controls/knob/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Platform;
using namespace ControlTest;

namespace {

constexpr Point kOn{120, 120};

struct SwitchRig : Rig<Lumora_Ctrl_Switch> {
    explicit SwitchRig(int64_t type) : Rig<Lumora_Ctrl_Switch>(Rect(100, 100, 40, 40)) { control->setType(type); }
};

struct SelectorRig : Rig<Lumora_Ctrl_SwitchSelector> {
    SelectorRig() : Rig<Lumora_Ctrl_SwitchSelector>(Rect(100, 100, 40, 40)) {}
    void tap() { up(down(kOn), kOn); }
};

} // namespace

TEST(Switch, EachTypeChangesItsValueAtItsPhaseAndReportsSingleChanges)
{
    struct Case {
        int64_t type;
        float afterDown, afterUp;
        std::vector<int> reportsAfterDown, reportsAfterUp;
    };
    Case const cases[] = {
        {0, 0, 1, {}, {4}},      // toggles at touch-up
        {1, 1, 1, {4}, {4}},     // toggles at touch-down; touch-up only lets go
        {2, 1, 0, {4}, {4, 4}},  // momentary
        {5, 1, 0, {4}, {4, 4}},  // any other type is momentary
    };
    for (auto const& c : cases) {
        SwitchRig rig(c.type);
        Touch* t = rig.down(kOn);
        EXPECT_TRUE(rig.control->pressed()) << c.type;
        EXPECT_EQ(rig.control->value(), c.afterDown) << c.type;
        EXPECT_EQ(rig.states(), c.reportsAfterDown) << c.type;
        rig.up(t, kOn);
        EXPECT_FALSE(rig.control->pressed()) << c.type;
        EXPECT_EQ(rig.control->value(), c.afterUp) << c.type;
        EXPECT_EQ(rig.control->isSelected(), c.afterUp != 0) << c.type;
        EXPECT_EQ(rig.states(), c.reportsAfterUp) << c.type;
    }
    // A second press of a toggle turns it off again.
    SwitchRig rig(0);
    rig.up(rig.down(kOn), kOn);
    rig.up(rig.down(kOn), kOn);
    EXPECT_EQ(rig.control->value(), 0);
    ASSERT_EQ(rig.reports.size(), 2u);
    EXPECT_EQ(rig.reports[0].normalized, 1);
    EXPECT_EQ(rig.reports[1].normalized, 0);
}

TEST(Switch, ValuesAreZeroOrOne)
{
    Lumora_Ctrl_Switch sw;
    EXPECT_EQ(sw.type(), 0);
    EXPECT_TRUE(sw.toggled());
    EXPECT_EQ(sw.backgroundColor(), Color::clearColor());
    sw.setValue(-0.5f);
    EXPECT_EQ(sw.value(), 1);
    EXPECT_TRUE(sw.isSelected());
    sw.setNormalizedValue(0);
    EXPECT_FALSE(sw.isSelected());
    sw.setNormalizedValue(0.3f);
    EXPECT_EQ(sw.normalizedValue(), 1);
    sw.setSelected(false);
    EXPECT_EQ(sw.value(), 0);
    sw.setToggled(false);
    EXPECT_EQ(sw.type(), 2);
    sw.setToggled(true);
    EXPECT_EQ(sw.type(), 0);

    auto parameter = Lumora::Parameter_Bool(nullptr, 3, "B", "B", true, Opt::None, kSound, 0);
    sw.setParameter(&parameter);
    EXPECT_EQ(sw.value(), 1);
    EXPECT_EQ(sw.normalizedDefaultValue(), 1);
}

TEST(Switch, CancelledTouchLetsGoOfAHeldSwitch)
{
    {
        SwitchRig rig(2);
        Touch* t = rig.down(kOn);
        rig.cancel(t);
        EXPECT_FALSE(rig.control->pressed());
        EXPECT_EQ(rig.control->value(), 0);
        EXPECT_EQ(rig.states(), (std::vector<int>{4, 4}));
    }
    for (int64_t type : {0, 1}) {
        SwitchRig rig(type);
        Touch* t = rig.down(kOn);
        float const held = rig.control->value();
        rig.cancel(t);
        EXPECT_FALSE(rig.control->pressed()) << type;
        EXPECT_EQ(rig.control->value(), held) << type;  // an unfinished toggle stays as it was
    }
}

TEST(Switch, DrawsThroughThePainter)
{
    ThemeScope scope;
    SwitchRig rig(0);
    rig.control->setVariation(4);
    rig.control->setValue(1);
    rig.down(kOn);
    rig.control->drawRect(rig.control->bounds());
    ASSERT_EQ(scope.theme->calls, (std::vector<std::string>{"switch"}));
    EXPECT_TRUE(scope.theme->selected);
    EXPECT_TRUE(scope.theme->pressed);
    EXPECT_EQ(scope.theme->variation, 4);
}

TEST(SwitchSelector, TapsStepThroughTheCycleAndWrap)
{
    SelectorRig rig;
    rig.control->setMax(3);
    std::vector<float> seen;
    for (int i = 0; i < 5; ++i) {
        rig.tap();
        seen.push_back(rig.control->value());
    }
    EXPECT_EQ(seen, (std::vector<float>{1, 2, 3, 0, 1}));
    // Each tap: the unchanged value at touch-down, the new one at touch-up.
    ASSERT_EQ(rig.reports.size(), 10u);
    EXPECT_EQ(rig.reports[0].value, 0);
    EXPECT_EQ(rig.reports[1].value, 1);
    for (auto const& r : rig.reports)
        EXPECT_EQ(r.state, 4);

    rig.control->setMin(2);
    rig.control->setValue(1.7f);
    EXPECT_EQ(rig.control->value(), 1);
    rig.control->Lumora_Control::setValue(1.7f);  // a value stored unconverted still steps whole
    rig.tap();
    EXPECT_EQ(rig.control->value(), 2);
    rig.control->setValue(9);
    rig.tap();
    EXPECT_EQ(rig.control->value(), 2);  // above the cycle: back to min
}

TEST(SwitchSelector, NormalizedValuesUseTheUnsignedEncoding)
{
    Lumora_Ctrl_SwitchSelector selector;
    struct Case {
        float normalized, value;
    };
    for (Case c : {Case{0.5f, 64}, Case{1.2f, 127}, Case{-0.1f, 0}, Case{3.0f / 127, 3}}) {
        selector.setNormalizedValue(c.normalized);
        EXPECT_EQ(selector.value(), c.value) << c.normalized;
    }
    EXPECT_FLOAT_EQ(selector.normalizedValue(), 3.0f / 127);
    selector.setValue(-4);
    EXPECT_EQ(selector.value(), 0);
    selector.setNormalizedValue(NAN);
    EXPECT_EQ(selector.value(), 0);
    selector.setValue(1e12f);
    EXPECT_EQ(selector.normalizedValue(), 1);
}

TEST(SwitchSelector, IntegerParameterGivesTheCycle)
{
    auto parameter = Lumora::Parameter_UInt(nullptr, 2, "U", "U", 4, 2, 5, Opt::None, kSound, 0);
    SelectorRig rig;
    rig.control->setParameter(&parameter);
    rig.written = &parameter;
    EXPECT_EQ(rig.control->min(), 2u);
    EXPECT_EQ(rig.control->max(), 5u);
    EXPECT_EQ(rig.control->value(), 4);
    rig.tap();
    rig.tap();
    EXPECT_EQ(rig.control->value(), 2);
    EXPECT_FLOAT_EQ(parameter.concreteValue(), 2);
}

TEST(SwitchSelector, CancelledTouchStepsNothingAndLetsGo)
{
    SelectorRig rig;
    Touch* t = rig.down(kOn);
    EXPECT_TRUE(rig.control->pressed());
    rig.cancel(t);
    EXPECT_FALSE(rig.control->pressed());
    EXPECT_EQ(rig.control->value(), 0);
    EXPECT_EQ(rig.states(), (std::vector<int>{4}));
}

TEST(SwitchSelector, DrawsThroughThePainter)
{
    ThemeScope scope;
    Lumora_Ctrl_SwitchSelector selector(Rect(0, 0, 30, 30));
    selector.setValue(2.9f);
    selector.setDisabled(true);
    selector.drawRect(selector.bounds());
    ASSERT_EQ(scope.theme->calls, (std::vector<std::string>{"selector"}));
    EXPECT_EQ(scope.theme->intValue, 2);
    EXPECT_TRUE(scope.theme->disabled);
}
