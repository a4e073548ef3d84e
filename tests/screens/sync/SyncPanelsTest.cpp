#include "screens/sync/SyncScreenRig.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/clock/Clock.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/ui/BluetoothMidiCentralViewController.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Window.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"
#include "screens/settings/sync/MidiPortSelectorVwCtrlr.h"
#include "screens/settings/sync/SyncMethodSelector_VwCtrlr.h"

#include <gtest/gtest.h>

using SyncTest::ScreenRig;

namespace {

void send(Platform::Control* control) { control->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged); }

TEST(SyncPanels, TheSettingsFileHoldsEveryPanelAndTheScreenShowsThem)
{
    ScreenRig s;
    for (auto const& panelClass : SyncTest::syncPanelClasses())
        EXPECT_NE(s.screen->panelForClass(panelClass), nullptr) << panelClass.name;
    EXPECT_EQ(s.screen->addedPanelViews().size(), SyncTest::syncPanelClasses().size());
    Platform::Window window(Platform::Rect(0, 0, 400, 720));
    window.setRootViewController(s.navigation);
    EXPECT_TRUE(window.renderToImage().writePNG(SyncTest::picturePath("corvane-settings-sync-midi.png")));
}

TEST(SyncPanels, SyncMethodPanelNamesTheStoredMethodAndFollowsItsKeyOnly)
{
    ScreenRig s;
    auto& panel = s.panel<SyncMethod_SettingPanelView>();
    struct Case { std::uint32_t stored; char const* shown; };
    for (Case const& c : {Case{0, "Internal"}, Case{1, "MIDI"}, Case{2, "Inter-App Audio"}, Case{3, "Internal"}, Case{9, "Internal"}}) {
        s.settings().setSyncMethod(c.stored);
        EXPECT_EQ(panel.lableSyncMethod()->text(), c.shown) << c.stored;
    }
    panel.lableSyncMethod()->setText("untouched");
    s.settings().setMidiOmni(true);
    EXPECT_EQ(panel.lableSyncMethod()->text(), "untouched");
}

TEST(SyncPanels, TempoPanelStoresWholeSliderTempiAndStepperTempiAsTheyCome)
{
    ScreenRig s;
    auto& panel = s.panel<Tempo_SettingPanelView>();
    float const clock = static_cast<float>(s.rig.core->audioEngine()->clock().bpm());
    EXPECT_EQ(panel.label()->text(), Tempo_SettingPanelView::tempoText(clock));
    EXPECT_TRUE(panel.slider()->isEnabled());

    panel.slider()->setValue(121.6f);
    send(panel.slider());
    EXPECT_DOUBLE_EQ(s.settings().tempo(), 122.0);
    EXPECT_EQ(panel.label()->text(), "122.0");
    EXPECT_EQ(panel.stepper()->value(), 122.0);

    panel.stepper()->setValue(121.5);
    send(panel.stepper());
    EXPECT_DOUBLE_EQ(s.settings().tempo(), 121.5);
    EXPECT_EQ(panel.label()->text(), "121.5");
    EXPECT_FLOAT_EQ(panel.slider()->value(), 121.5f);

    // The clock's tempo-changed notification shows the clock's tempo again.
    s.rig.core->receiveAudioEngineNotificationWithID(1005, 12000);
    EXPECT_EQ(panel.label()->text(), Tempo_SettingPanelView::tempoText(clock));
    EXPECT_EQ(Tempo_SettingPanelView::tempoText(120.0f), "120.0");
}

TEST(SyncPanels, TempoControlsAreOffWhileNoTempoMayBeProposed)
{
    ScreenRig s(true);
    auto& panel = s.panel<Tempo_SettingPanelView>();
    EXPECT_FALSE(panel.slider()->isEnabled());
    EXPECT_FALSE(panel.stepper()->isEnabled());
}

TEST(SyncPanels, TimingShiftIsShownAndSetInHundredths)
{
    ScreenRig s;
    auto& panel = s.panel<TimingShift_SettingPanelView>();
    struct Case { float stored; char const* shown; int controls; };
    for (Case const& c : {Case{0.256f, "+26", 26}, Case{-0.004f, "0", 0}, Case{-1.0f, "-100", -100}}) {
        s.settings().setTimingShift(c.stored);
        panel.updateUI();
        EXPECT_EQ(panel.label()->text(), c.shown) << c.stored;
        EXPECT_EQ(panel.slider()->value(), c.controls) << c.stored;
        EXPECT_EQ(panel.stepper()->value(), c.controls) << c.stored;
    }
    panel.slider()->setValue(-12.5f);
    send(panel.slider());
    EXPECT_FLOAT_EQ(s.settings().timingShift(), -0.13f);
    EXPECT_EQ(panel.label()->text(), "-13");
}

TEST(SyncPanels, MidiChannelShowsOneToSixteenAndGreysOutUnderOmni)
{
    ScreenRig s;
    auto& panel = s.panel<MidiChannel_SettingPanelView>();
    panel.swCtrl()->setOn(true);
    panel.stepper()->setValue(0);
    send(panel.swCtrl());
    EXPECT_TRUE(s.settings().midiOmni());
    EXPECT_TRUE(panel.swCtrl()->isOn());
    EXPECT_EQ(panel.label()->text(), "1");
    EXPECT_EQ(panel.label()->textColor(), Platform::Color::lightGrayColor());
    EXPECT_FALSE(panel.stepper()->isEnabled());

    panel.swCtrl()->setOn(false);
    panel.stepper()->setValue(15.7);
    send(panel.stepper());
    EXPECT_FALSE(s.settings().midiOmni());
    EXPECT_EQ(s.settings().midiChannel(), 15);
    EXPECT_EQ(panel.label()->text(), "16");
    EXPECT_EQ(panel.label()->textColor(), Platform::Color::blackColor());
    EXPECT_TRUE(panel.stepper()->isEnabled());
}

TEST(SyncPanels, TakeoverModeSelectsAndStoresItsSegment)
{
    ScreenRig s;
    auto& panel = s.panel<MidiMappingTakeoverMode_SettingPanelView>();
    EXPECT_EQ(panel.sgmntCtrl()->selectedSegmentIndex(), static_cast<int>(s.settings().midiMapTakeoverMode()));
    panel.sgmntCtrl()->setSelectedSegmentIndex(1);
    send(panel.sgmntCtrl());
    EXPECT_EQ(s.settings().midiMapTakeoverMode(), 1u);
    s.settings().setMidiMapTakeoverMode(0);
    EXPECT_EQ(panel.sgmntCtrl()->selectedSegmentIndex(), 0);
}

TEST(SyncPanels, ButtonPanelsPushTheirScreensOnTheSettingsStack)
{
    ScreenRig s;
    s.panel<SyncMethod_SettingPanelView>().actionShowSyncMethodSelector(nullptr);
    EXPECT_NE(dynamic_cast<SyncMethodSelector_VwCtrlr*>(s.navigation->topViewController()), nullptr);
    EXPECT_FALSE(s.navigation->navigationBar()->isTranslucent());
    s.navigation->popViewControllerAnimated(false);

    s.panel<UnusedMidiInPorts_SettingPanelView>().actionShowMidiInPorsList(nullptr);
    EXPECT_NE(dynamic_cast<MidiPortSelectorVwCtrlr*>(s.navigation->topViewController()), nullptr);
    s.navigation->popViewControllerAnimated(false);

    s.panel<MidiMapping_SettingPanelView>().actionShowMidiMappingFileMng(nullptr);
    auto* browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(s.navigation->topViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->docFileManager(), s.rig.core->audioEngine()->midiMappingFileManager());
    EXPECT_FALSE(browser->closeButton());
    s.navigation->popViewControllerAnimated(false);

    s.panel<BluetoothMidiDevices_SettingPanelView>().actionShowBluetoothMidiDevices(nullptr);
    EXPECT_NE(dynamic_cast<Platform::BluetoothMidiCentralViewController*>(s.navigation->topViewController()), nullptr);
}

} // namespace
