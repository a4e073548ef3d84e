// MIDI-learn mode and the sub-screens the main screen opens: the strip popup, the effect editor,
// the preset browser, the settings screen and the arpeggiator editor, as popovers or modally.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/midilearn/Lumora_ControlStatusView.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/PopoverPresentationController.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"
#include "screens/main/CommonParam_VwCtrlr.h"
#include "screens/main/EffectEditorViewController.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"

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
    // The popup's design size (279 x 165) at the editor's scale.
    EXPECT_DOUBLE_EQ(popup->preferredContentSize().width, 279.0 * scale);
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

TEST(MainScreenPopups, BrowserSettingsAndArpeggiatorOpenFromTheHeader)
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
    ASSERT_EQ(screen.presentedViewController(), nullptr);

    // Without an arpeggiator editor the button opens nothing; a registered one opens at the
    // editor's scale with the left and right arrows.
    rig.tap(frame->btnArpeggiator);
    EXPECT_EQ(screen.presentedViewController(), nullptr);
    Lumora_ScalableContainer_Delegate* opener = nullptr;
    Lumora_MainViewController::setArpeggiatorEditorFactory(
        [&](std::shared_ptr<Lumora_Core> const& core, Lumora_ScalableContainer_Delegate* delegate) {
            opener = delegate;
            auto vc = Lumora_ViewController::newWithCore<Lumora_ViewController>(core);
            vc->view()->setFrame(Platform::Rect(0, 0, 400, 300));
            return vc;
        });
    rig.tap(frame->btnArpeggiator);
    Lumora_MainViewController::setArpeggiatorEditorFactory({});
    ASSERT_NE(screen.presentedViewController(), nullptr);
    EXPECT_EQ(opener, static_cast<Lumora_ScalableContainer_Delegate*>(&screen));
    EXPECT_EQ(screen.presentedViewController()->popoverPresentationController()->permittedArrowDirections(), 12u);
    EXPECT_DOUBLE_EQ(screen.presentedViewController()->preferredContentSize().width, 400 * screen.scaleOfContent());
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
