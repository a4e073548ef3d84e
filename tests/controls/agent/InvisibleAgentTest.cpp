#include "controls/agent/Lumora_Ctrl_InvisibleAgent.h"
#include "controls/knob/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Platform;
using namespace ControlTest;

namespace {

struct Delegate : Lumora_ControlDelegate {
    std::vector<float> values;
    void Lumora_Control_valueChanged(Lumora_Control*, float v) override { values.push_back(v); }
};

} // namespace

TEST(InvisibleAgent, IsHiddenAndUntouchable)
{
    Rig<Lumora_Ctrl_InvisibleAgent> rig(Rect(100, 100, 50, 50));
    EXPECT_TRUE(rig.control->isHidden());
    EXPECT_FALSE(rig.control->isUserInteractionEnabled());
    EXPECT_EQ(rig.control->backgroundColor(), Color::clearColor());
    rig.control->setTag(1234);
    Touch* t = rig.down({120, 120});
    EXPECT_NE(t->view(), rig.control.get());
    rig.up(t, {120, 120});
    EXPECT_TRUE(rig.reports.empty());
}

TEST(InvisibleAgent, CarriesTheNormalizedValueAndTellsItsDelegateOfChanges)
{
    Lumora_Ctrl_InvisibleAgent agent;
    Delegate delegate;
    agent.setDelegate(&delegate);
    auto const redraws = agent.displayRequestCount();
    agent.setNormalizedValue(0);  // already held: nothing
    agent.setValue(0.4f);
    agent.setValue(0.4f);
    agent.setValue(1.5f);  // stored as given: the parameter clamps
    agent.setValue(NAN);   // ignored
    EXPECT_EQ(delegate.values, (std::vector<float>{0.4f, 1.5f}));
    EXPECT_EQ(agent.normalizedValue(), 1.5f);
    EXPECT_EQ(agent.displayRequestCount(), redraws + 2);
}

TEST(InvisibleAgent, BindingGivesTheParameterValueAndItsOwnerReportsGestures)
{
    auto parameter = Lumora::Parameter_UFloat(nullptr, 9, "X", "X", 0.25f, 0, 1, Opt::None, kSound, 0);
    parameter.setNormalizedValue(0.6f, Lumora::ParameterObserver::Token::ViewController,
                                 Lumora::AutomationEventType(0));
    Rig<Lumora_Ctrl_InvisibleAgent> rig(Rect(0, 0, 10, 10));
    Delegate delegate;
    rig.control->setDelegate(&delegate);
    rig.control->setParameter(&parameter);
    rig.written = &parameter;
    EXPECT_FLOAT_EQ(rig.control->normalizedDefaultValue(), 0.25f);
    EXPECT_FLOAT_EQ(rig.control->value(), 0.6f);
    EXPECT_EQ(delegate.values, (std::vector<float>{0.6f}));

    // What the pad does for the agent: begin, move it, end.
    rig.control->sendActions_BeginGesture();
    rig.control->setValue(0.7f);
    rig.control->sendActions_UpdateGesture();
    rig.control->sendActions_EndGesture();
    EXPECT_EQ(rig.states(), (std::vector<int>{1, 2, 3}));
    EXPECT_FLOAT_EQ(parameter.normalizedValue(), 0.7f);
}

TEST(InvisibleAgent, IsNeverDrawn)
{
    auto parent = std::make_shared<View>(Rect(0, 0, 20, 20));
    parent->setBackgroundColor(std::nullopt);
    auto agent = std::make_shared<Lumora_Ctrl_InvisibleAgent>(Rect(0, 0, 20, 20));
    agent->setBackgroundColor(Color::redColor());
    parent->addSubview(agent);
    Image const image = renderViewToImage(*parent);
    EXPECT_EQ(image.pixel(10, 10).alpha(), 0);
}
