// MIDI-learn mode and the sub-screens the main screen opens: the strip popup, the effect editor,
// the preset browser, the settings screen and the arpeggiator editor, as popovers or modally.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/midilearn/Lumora_ControlStatusView.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PopoverPresentationController.h"
#include "screens/arpeggiator/Lumora_ArpeggiatorVwCtrlr.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"
#include "screens/main/CommonParam_VwCtrlr.h"
#include "screens/main/EffectEditorViewController.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"
#include "screens/midimapping/Lumora_MidiMapperElmntVwCtrlr.h"

#include "platform/ui/ImageView.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace MainScreenTest;

namespace {

bool overlaysShown(Lumora_ViewController& vc)
{
    auto const& overlays = vc.setControlStatusViews();
    return !overlays.empty() && std::all_of(overlays.begin(), overlays.end(), [](auto const& o) { return !o->isHidden(); });
}

bool contains(std::vector<Platform::View*> const& views, Platform::View* view)
{
    return std::find(views.begin(), views.end(), view) != views.end();
}

TEST(MainScreenMidiLearn, TheButtonTogglesOverlaysAndLocksTheOtherButtons)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    auto* frame = screen.edtrFrmVw();
    EXPECT_FALSE(screen.showControlStatusView());

    rig.tap(frame->btnMidiMapping);
    EXPECT_TRUE(screen.showControlStatusView());
    EXPECT_TRUE(overlaysShown(screen));
    EXPECT_TRUE(frame->btnMidiMapping->isSelected());
    for (Platform::Control* button : {static_cast<Platform::Control*>(frame->btnSoundPresetName),
                                      static_cast<Platform::Control*>(frame->btnSoundPresetPrev),
                                      static_cast<Platform::Control*>(frame->btnSoundPresetNext),
                                      static_cast<Platform::Control*>(frame->btnArpeggiator),
                                      static_cast<Platform::Control*>(frame->btnConfig)})
        EXPECT_FALSE(button->isEnabled());

    rig.tap(frame->btnMidiMapping);
    EXPECT_FALSE(screen.showControlStatusView());
    EXPECT_FALSE(frame->btnMidiMapping->isSelected());
    EXPECT_TRUE(frame->btnConfig->isEnabled());
    EXPECT_TRUE(frame->btnSoundPresetName->isEnabled());
}

TEST(MainScreenPopups, CommonParamPopupAtTheEditorScaleWithTheScreensLearnMode)
{
    Rig rig(Program::PhoneApp, Platform::Rect(0, 0, 667, 375));
    MainViewController& screen = rig.show();
    screen.actionMidiMapping(nullptr);
    rig.tap(screen.edtrFrmVw()->btnCommonParam);

    auto* popup = dynamic_cast<CommonParam_VwCtrlr*>(screen.presentedViewController());
    ASSERT_NE(popup, nullptr);
    float const scale = screen.scaleOfContent();
    EXPECT_GT(scale, 0.0f);
    // The popup's design size (240 x 165) at the editor's scale.
    EXPECT_DOUBLE_EQ(popup->preferredContentSize().width, 240.0 * scale);
    EXPECT_DOUBLE_EQ(popup->preferredContentSize().height, 165.0 * scale);
    auto* popover = popup->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->permittedArrowDirections(), 15u);
    EXPECT_FALSE(contains(popover->passthroughViews(), screen.edtrFrmVw()->btnMidiMapping));
    EXPECT_TRUE(contains(popover->passthroughViews(), screen.kbdCntnrVw()));
    EXPECT_TRUE(popup->showControlStatusView());
    EXPECT_TRUE(overlaysShown(*popup));
    EXPECT_FLOAT_EQ(popup->scaleOfContent(), scale);
}

TEST(MainScreenPopups, EffectEditorFollowsLearnModeWhileOpen)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    screen.actionShowEffectEditor(screen.edtrFrmVw()->btnConfig);
    auto* editor = screen.effectEditorVwCtrlr();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(screen.presentedViewController(), editor);
    auto* popover = editor->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    EXPECT_TRUE(contains(popover->passthroughViews(), screen.edtrFrmVw()->btnMidiMapping))
        << "the learn button stays touchable over the effect editor";
    EXPECT_FALSE(editor->backgroundImageView->image().isNull());
    EXPECT_EQ(editor->parameterObserverToken(), Lumora::ParameterObserver::Token::CommonParamPopup);

    rig.tap(screen.edtrFrmVw()->btnMidiMapping);
    EXPECT_TRUE(editor->showControlStatusView());
    EXPECT_TRUE(overlaysShown(*editor));
    rig.tap(screen.edtrFrmVw()->btnMidiMapping);
    EXPECT_FALSE(editor->showControlStatusView());
}

TEST(MainScreenPopups, ThePluginPresentsModallyWhenPopoversAreOff)
{
    Rig rig(Program::Plugin, Platform::Rect(0, 0, 1024, 420));
    rig.core->settings()->setPopupInPluginMode(false);
    ASSERT_EQ(rig.core->subViewControllerStyle(), 1u);
    MainViewController& screen = rig.show();
    screen.actionShowEffectEditor(nullptr);
    auto* editor = screen.effectEditorVwCtrlr();
    ASSERT_NE(editor, nullptr);
    EXPECT_NE(editor->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
    EXPECT_FLOAT_EQ(editor->scaleOfContent(), screen.scaleOfContent());
}

TEST(MainScreenPopups, BrowserAndSettingsOpenFromTheHeader)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    auto* frame = screen.edtrFrmVw();

    rig.tap(frame->btnSoundPresetName);
    auto* browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(screen.presentedViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->title(), "Sound Presets");
    EXPECT_EQ(browser->popoverPresentationController()->permittedArrowDirections(), 15u);
    EXPECT_FALSE(contains(browser->popoverPresentationController()->passthroughViews(), frame->btnMidiMapping));
    screen.dismissViewControllerAnimated(false);

    rig.tap(frame->btnConfig);
    auto* navigation = dynamic_cast<Platform::NavigationController*>(screen.presentedViewController());
    ASSERT_NE(navigation, nullptr);
    EXPECT_EQ(navigation->popoverPresentationController()->permittedArrowDirections(), 8u);
    screen.dismissViewControllerAnimated(false);
    EXPECT_EQ(screen.presentedViewController(), nullptr);
}

// The registered arpeggiator editor opens at the editor's scale with the main screen as its
// container delegate: a popover with the left and right arrows in the app, modally in the plug-in
// when popovers are off there.
TEST(MainScreenPopups, TheArpeggiatorButtonOpensTheArpeggiatorEditor)
{
    struct Case {
        Program program;
        bool popover;
    };
    for (Case const c : {Case{Program::PadApp, true}, Case{Program::Plugin, false}}) {
        SCOPED_TRACE(c.popover ? "app" : "plug-in");
        Rig rig(c.program, Platform::Rect(0, 0, 1024, c.popover ? 768 : 420));
        if (rig.plugin)
            rig.core->settings()->setPopupInPluginMode(false);
        MainViewController& screen = rig.show();
        rig.tap(screen.edtrFrmVw()->btnArpeggiator);

        auto* editor = dynamic_cast<Lumora_ArpeggiatorVwCtrlr*>(screen.presentedViewController());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->containerDelegate(), static_cast<Lumora_ScalableContainer_Delegate*>(&screen));
        EXPECT_FLOAT_EQ(editor->scaleOfContent(), screen.scaleOfContent());
        if (c.popover) {
            ASSERT_EQ(editor->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
            EXPECT_EQ(editor->popoverPresentationController()->permittedArrowDirections(), 12u);
        } else {
            EXPECT_NE(editor->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
        }
        screen.dismissViewControllerAnimated(false);
    }
}

// In learn mode a long press on a control's overlay opens the MIDI-mapping editor for that
// control's parameter.
TEST(MainScreenMidiLearn, ALongPressOnAnOverlayOpensTheMappingEditor)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    rig.tap(screen.edtrFrmVw()->btnMidiMapping);
    auto const& overlays = screen.setControlStatusViews();
    ASSERT_FALSE(overlays.empty());
    Lumora_ControlStatusView* overlay = overlays.front().get();

    Platform::Point const p = overlay->convertPointToWindow(
        Platform::Point{overlay->bounds().size.width / 2, overlay->bounds().size.height / 2});
    Platform::Touch* touch = rig.window->beginTouch(p, rig.time += 0.05);
    rig.window->advanceTime(rig.time += 0.7);
    rig.window->endTouch(touch, p, rig.time += 0.05);

    auto* editor = dynamic_cast<Lumora_MidiMapperElmntVwCtrlr*>(screen.presentedViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->paramIndex(), overlay->parameterIndex());
    EXPECT_EQ(editor->audioEngine(), &rig.engine());
    screen.dismissViewControllerAnimated(false);
}

// The programs reach the product's main screen through the model's screen services.
TEST(MainScreenServices, TheFactoryMakesTheProductScreen)
{
    Rig rig(Program::PadApp);
    Corvane::registerScreens();
    auto made = Lumora::ScreenServices::makeMainViewController(rig.core);
    EXPECT_NE(std::dynamic_pointer_cast<MainViewController>(made), nullptr);
}

} // namespace
