// The effect-type main screen: its one main file and frame, the sound on/off button, the
// MIDI-learn lock of the header and the muted notice of the app.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/presentation/PopoverMessageViewController.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_MainVwCntrlr.h"

#include <gtest/gtest.h>

using namespace MainScreenTest;

namespace {

std::shared_ptr<Lumora_EffectorFrmwrk_MainVwCntrlr> showEffector(Rig& rig)
{
    auto screen = Lumora_ViewController::newWithCore<Lumora_EffectorFrmwrk_MainVwCntrlr>(rig.core);
    rig.window->setRootViewController(screen);
    rig.window->layoutIfNeeded();
    return screen;
}

TEST(EffectorMainScreen, AssemblesFrameAndSurfaceWithoutKeyboard)
{
    Rig rig(Program::PadApp);
    auto screen = showEffector(rig);
    EXPECT_EQ(screen->nibName(), "EffectorFrmwrk_MainFrm_EdtrCntnrVw");
    ASSERT_NE(screen->edtrFrmVw(), nullptr);
    EXPECT_EQ(screen->edtrFrmVw()->superview(), screen->edtrFrmCntnrVw());
    ASSERT_NE(dynamic_cast<Lumora_EffectorFrmwrk_EdtrVw*>(screen->editorView()), nullptr);
    EXPECT_EQ(screen->editorView()->superview(), screen->edtrFrmVw()->edtrCntnrScrlVw);
    EXPECT_EQ(screen->editorView()->originalSize(), (Platform::Size{1024, 334}));
    EXPECT_FALSE(screen->hasKeyboard());
    EXPECT_TRUE(screen->hasKnob());
    rig.window->setRootViewController(nullptr);
}

TEST(EffectorMainScreen, SoundButtonMutesAndLearnModeLocksTheHeader)
{
    Rig rig(Program::Plugin, Platform::Rect(0, 0, 1024, 420));
    auto screen = showEffector(rig);
    auto* frame = screen->edtrFrmVw();
    ASSERT_NE(frame->btnSoundOnOff, nullptr);
    EXPECT_EQ(frame->btnSoundOnOff->imageName(), std::optional<std::string>("SoundOn"));

    rig.tap(frame->btnSoundOnOff);
    EXPECT_TRUE(rig.engine().isMuted());
    EXPECT_EQ(frame->btnSoundOnOff->imageName(), std::optional<std::string>("SoundOff"));
    EXPECT_TRUE(frame->btnSoundOnOff->isSelected());
    rig.tap(frame->btnSoundOnOff);
    EXPECT_FALSE(rig.engine().isMuted());
    EXPECT_FALSE(frame->btnSoundOnOff->isSelected());

    rig.tap(frame->btnMidiMapping);
    EXPECT_TRUE(screen->showControlStatusView());
    EXPECT_FALSE(frame->btnConfig->isEnabled());
    EXPECT_FALSE(frame->btnSoundPresetNext->isEnabled());
    EXPECT_TRUE(frame->btnSoundOnOff->isEnabled());
    EXPECT_EQ(screen->passthroughViews_allowPassthroughMidiLearnButton(true),
              (std::vector<Platform::View*>{frame->btnMidiMapping}));
    EXPECT_TRUE(screen->passthroughViews_allowPassthroughMidiLearnButton(false).empty());
    rig.window->setRootViewController(nullptr);
}

TEST(EffectorMainScreen, TheMutedAppSaysSoWhenShownThePluginNever)
{
    for (Program program : {Program::PadApp, Program::Plugin}) {
        Rig rig(program, Platform::Rect(0, 0, 1024, 420));
        rig.engine().setMute(true);
        auto screen = showEffector(rig);
        screen->viewDidAppear(false);
        auto* notice = dynamic_cast<PopoverMessageViewController*>(screen->presentedViewController());
        if (program == Program::PadApp) {
            ASSERT_NE(notice, nullptr);
            EXPECT_EQ(notice->popoverPresentationController()->sourceView(),
                      static_cast<Platform::View*>(screen->edtrFrmVw()->btnSoundOnOff));
            EXPECT_EQ(notice->popoverPresentationController()->permittedArrowDirections(), 1u);
        } else {
            EXPECT_EQ(notice, nullptr);
        }
        rig.window->setRootViewController(nullptr);
    }
}

} // namespace
