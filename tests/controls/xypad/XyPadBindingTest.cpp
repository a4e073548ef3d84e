// The pad under a parameter-bound screen: its holders are bound like knobs, and the pad's
// gestures reach both parameters with the screen's token and the gesture's automation events.

#include "controls/agent/Lumora_Ctrl_InvisibleAgent.h"
#include "controls/viewcontroller/Lumora_ViewController.h"
#include "controls/xypad/Lumora_XySlider_CtrlContainer.h"
#include "model/support/ModelTestSupport.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

constexpr int kVolume = 1100;  // "Master Volume", UFloat, default 0.75
constexpr int kTune = 2111;    // "Master Tune", SFloat, default 0 (normalized 0.5)

// A screen whose view holds a 200 x 100 pad at (100, 100) driving volume and tune.
class PadScreen : public Lumora_ViewController {
public:
    void loadView() override
    {
        auto root = std::make_shared<View>(Rect(0, 0, 600, 400));
        pad = std::make_shared<Lumora_XySlider_CtrlContainer>(Rect(100, 100, 200, 100));
        pad->setParamID_x(kVolume);
        pad->setParamID_y(kTune);
        for (int tag : {kVolume, kTune}) {
            auto agent = std::make_shared<Lumora_Ctrl_InvisibleAgent>(Rect(0, 0, 10, 10));
            agent->setTag(tag);
            pad->addSubview(agent);
        }
        pad->awakeFromNib();
        root->addSubview(pad);
        setView(root);
    }
    std::shared_ptr<Lumora_XySlider_CtrlContainer> pad;
};

struct Change {
    int id;
    float normalized;
    Lumora::ParameterObserver::Token token;
    Lumora::AutomationEventType event;
};

struct ChangeLog : Lumora::ParameterObserver {
    std::vector<Change> changes;
    void didChangeParam(Lumora::Parameter const* p, Token token, Lumora::AutomationEventType event) override
    {
        if (p->id() == kVolume || p->id() == kTune)
            changes.push_back({p->id(), p->normalizedValue(), token, event});
    }
};

} // namespace

TEST(XyPadBinding, GesturesOfThePadWriteBothParameters)
{
    ModelTest::CoreRig rig;
    rig.attachApp();
    auto screen = Lumora_ViewController::newWithCore<PadScreen>(rig.core);
    ASSERT_NE(screen, nullptr);
    auto window = std::make_shared<Window>(Rect(0, 0, 600, 400));
    window->setRootViewController(screen);
    window->layoutIfNeeded();

    Lumora_XySlider_CtrlContainer& pad = *screen->pad;
    ASSERT_NE(pad.cntrl_x(), nullptr);
    ASSERT_NE(pad.cntrl_y(), nullptr);
    // Bound: the holders show the parameters' values and defaults.
    EXPECT_FLOAT_EQ(pad.value_x(), 0.75f);
    EXPECT_FLOAT_EQ(pad.default_x(), 0.75f);
    EXPECT_FLOAT_EQ(pad.value_y(), 0.5f);
    EXPECT_FLOAT_EQ(pad.default_y(), 0.5f);

    ChangeLog log;
    auto& manager = rig.core->audioEngine()->parameterManager();
    manager.addObserver(&log);

    // Left 40 points (-0.2) and up 20 points (+0.2).
    Touch* t = window->beginTouch({200, 150}, 1.0);
    window->moveTouch(t, {160, 130}, 1.1);
    window->endTouch(t, {160, 130}, 1.2);
    EXPECT_FLOAT_EQ(rig.param(kVolume).normalizedValue(), 0.55f);
    EXPECT_FLOAT_EQ(rig.param(kTune).normalizedValue(), 0.7f);

    using E = Lumora::AutomationEventType;
    std::vector<std::pair<int, E>> seen;
    for (auto const& c : log.changes) {
        EXPECT_EQ(c.token, Lumora::ParameterObserver::Token::ViewController);
        seen.emplace_back(c.id, c.event);
    }
    EXPECT_EQ(seen, (std::vector<std::pair<int, E>>{{kVolume, E::BeginGesture},
                                                    {kTune, E::BeginGesture},
                                                    {kVolume, E::UpdateGesture},
                                                    {kTune, E::UpdateGesture},
                                                    {kVolume, E::EndGesture},
                                                    {kTune, E::EndGesture}}));

    // A double tap returns both parameters to their defaults.
    window->tap({200, 150}, 2.0, 2);
    EXPECT_FLOAT_EQ(rig.param(kVolume).normalizedValue(), 0.75f);
    EXPECT_FLOAT_EQ(rig.param(kTune).normalizedValue(), 0.5f);
    manager.removeObserver(&log);
    window->setRootViewController(nullptr);
}
