#include "screens/arpeggiator/Lumora_ArpeggiatorVwCtrlr.h"

#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/painter/themes/Painter.h"
#include "model/support/ModelTestSupport.h"
#include "platform/ui/Window.h"
#include "screens/arpeggiator/Lumora_ArpPgmCntnrVw.h"
#include "screens/arpeggiator/Lumora_ArpPgmSlider.h"

#include <gtest/gtest.h>

using Platform::Point;
using Platform::Rect;

namespace {

// The painter facade is process-wide: each test starts from the default theme and leaves it so.
struct DefaultTheme {
    DefaultTheme() { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
    ~DefaultTheme() { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
};

// The editor presented over a plain screen in a window; its controls sit inside the scalable
// container, a scroll view whose pan must leave a control's drag to the control.
class ArpeggiatorDrag : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.attachApp();
        window->setRootViewController(presenter);
        editor = Lumora_ArpeggiatorVwCtrlr::create(rig.core);
        ASSERT_TRUE(editor);
        presenter->presentViewController(editor, false);
        window->layoutIfNeeded();
    }

    // A finger down in the middle of the control, then straight up in steps of 10 points.
    void dragUp(Platform::View& control, double distance)
    {
        Rect b = control.bounds();
        Point from = control.convertPointToWindow({b.midX(), b.midY()});
        Platform::Touch* touch = window->beginTouch(from, time += 1);
        Point at = from;
        for (double moved = 10; moved <= distance; moved += 10) {
            at = {from.x, from.y - moved};
            window->moveTouch(touch, at, time += 0.02);
        }
        window->endTouch(touch, at, time += 0.02);
    }

    Lumora::ArpeggiatorData& data() { return rig.core->synth().arpeggiatorData(); }

    DefaultTheme theme;
    ModelTest::CoreRig rig;
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 700, 800));
    std::shared_ptr<Platform::ViewController> presenter = std::make_shared<Platform::ViewController>();
    std::shared_ptr<Lumora_ArpeggiatorVwCtrlr> editor;
    double time = 1;
};

} // namespace

TEST_F(ArpeggiatorDrag, AKnobFollowsTheFingerAndTheContainerStaysPut)
{
    Lumora_Ctrl_RotaryKnob* knob = editor->knobAccent();
    ASSERT_NE(knob, nullptr);
    ASSERT_FLOAT_EQ(knob->value(), 0.5f);
    Point offset = editor->containerView()->contentOffset();

    dragUp(*knob, 50);
    EXPECT_GT(knob->value(), 0.55f);
    EXPECT_FLOAT_EQ(data().accentAmount, knob->value());
    EXPECT_EQ(editor->containerView()->contentOffset(), offset);
}

TEST_F(ArpeggiatorDrag, AStepFaderFollowsTheFinger)
{
    // Only the programmed order plays the programs, so only then are the faders enabled.
    editor->selectorStyle()->setValue(5);
    Lumora_ArpPgmSlider* fader = editor->stepProgram()->sliderWithTag(2);
    ASSERT_NE(fader, nullptr);
    ASSERT_FALSE(fader->disabled());
    float const before = fader->value();

    dragUp(*fader, fader->bounds().height() * 0.4);
    EXPECT_GT(fader->value(), before);
    EXPECT_EQ(data().steps[2].program,
              Lumora_ArpPgmCntnrVw::convToDataValueFromFaderValue(static_cast<int>(fader->value())));
}
