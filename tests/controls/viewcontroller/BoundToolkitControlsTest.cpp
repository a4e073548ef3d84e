// The toolkit's own controls on a parameter-bound screen: a dragged knob reaches the engine as
// one gesture with the screen's token, a value label only shows, a lamp selector is bound as a
// whole while its lamps are not.

#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/knob/Lumora_Ctrl_RotaryKnob_Base.h"
#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/lamp/Lumora_Ctrl_Lamp.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/viewcontroller/ViewControllerTestSupport.h"

#include <gtest/gtest.h>

using namespace VcTest;
using Platform::Rect;

TEST(BoundToolkitControlsTest, ADraggedKnobWritesOneGestureWithTheScreensToken)
{
    Lumora_Ctrl_RotaryKnob_Base::setControlTypeToLinear(true);
    ScreenRig rig;
    auto knob = std::make_shared<Lumora_Ctrl_RotaryKnob>(Rect(100, 100, 60, 60));
    knob->setTag(kVolume);
    auto label = std::make_shared<Lumora_Ctrl_Label>(Rect(100, 170, 60, 20));
    label->setTag(kVolume);
    auto vc = rig.screen({knob, label});
    EXPECT_EQ(vc->setControlStatusViews().size(), 1u);   // the label is read-only
    EXPECT_EQ(label->parameter(), &rig.param(kVolume));
    rig.log.writes.clear();

    Platform::Touch* t = rig.window->beginTouch({130, 130}, rig.time += 0.01);
    for (int i = 1; i <= 5; ++i)
        rig.window->moveTouch(t, {130, 130.0 - 10 * i}, rig.time += 0.01);
    rig.window->endTouch(t, {130, 80}, rig.time += 0.01);

    ASSERT_GE(rig.log.writes.size(), 3u);
    EXPECT_EQ(std::get<2>(rig.log.writes.front()), Event::BeginGesture);
    EXPECT_EQ(std::get<2>(rig.log.writes.back()), Event::EndGesture);
    for (std::size_t i = 1; i + 1 < rig.log.writes.size(); ++i)
        EXPECT_EQ(std::get<2>(rig.log.writes[i]), Event::UpdateGesture);
    for (auto const& w : rig.log.writes)
        EXPECT_EQ(std::get<1>(w), Token::ViewController);
    EXPECT_GT(rig.param(kVolume).normalizedValue(), rig.param(kVolume).defaultValue());
    // The label on the same screen follows at once.
    EXPECT_FLOAT_EQ(label->normalizedValue(), knob->normalizedValue());
}

TEST(BoundToolkitControlsTest, ALampSelectorIsBoundAsAWhole)
{
    ScreenRig rig;
    rig.param(kQuality).setNormalizedValue(2 / 127.0f, Token::Host, Event::SetValue);
    auto selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(Rect(10, 10, 200, 40));
    std::vector<std::shared_ptr<Lumora_Ctrl_Lamp>> lamps;
    for (int i = 0; i < 3; ++i) {
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(10 + 60 * i, 10, 20, 20));
        lamp->setTag(i);
        selector->addSubview(lamp);
        lamps.push_back(lamp);
    }
    selector->initialize_LampSelectorContainer();
    selector->setTag(kQuality);
    auto vc = rig.screen({selector});
    EXPECT_EQ(vc->setControls().size(), 1u);
    EXPECT_EQ(vc->setControlStatusViews().size(), 1u);
    for (auto const& lamp : lamps)
        EXPECT_EQ(lamp->parameter(), nullptr);
    EXPECT_EQ(selector->value(), 2);
}
