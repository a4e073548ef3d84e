// The audio, document and keyboard panels: each shows its setting, writes it through the
// settings object within the setting's limits, and shows the changes made elsewhere.

#include "screens/settings/support/SettingsTestSupport.h"

#include "engine/documents/PresetDocFileManager.h"
#include "model/settings/Lumora_Settings.h"
#include "screens/settings/panels/AudioBufferSize_SettingPanelView.h"
#include "screens/settings/panels/BackgroundAudio_SettingPanelView.h"
#include "screens/settings/panels/IncludeArpSettingsInSoundFile_SettingPanelView.h"
#include "screens/settings/panels/IncludeMicroTuningInSoundFile_SettingPanelView.h"
#include "screens/settings/panels/IncludeMidiMappingInSoundFile_SettingPanelView.h"
#include "screens/settings/panels/KeyboardPianoStyle_SettingPanelView.h"
#include "screens/settings/panels/KeyboardScrollPosition_SettingPanelView.h"
#include "screens/settings/panels/KeyboardSize_SettingPanelView.h"
#include "screens/settings/panels/LinearKnobMode_SettingPanelView.h"
#include "screens/settings/panels/MasterKbHoldMode_SettingPanelView.h"
#include "screens/settings/panels/PopupInPluginMode_SettingPanelView.h"
#include "screens/settings/panels/SampleRate_SettingPanelView.h"
#include "screens/settings/panels/UsePgListAsFctryForAUv3Host_SettingPanelView.h"

#include <functional>
#include <gtest/gtest.h>

using namespace SettingsTest;
using Platform::ControlEvents::ValueChanged;

namespace {

// Every panel of the family, shown whatever the default list would say.
Lumora_SettingsVwCtrlr::PanelClasses family()
{
    return {Lumora_SettingPanelClass::of<SampleRate_SettingPanelView>(),
            Lumora_SettingPanelClass::of<AudioBufferSize_SettingPanelView>(),
            Lumora_SettingPanelClass::of<BackgroundAudio_SettingPanelView>(),
            Lumora_SettingPanelClass::of<UsePgListAsFctryForAUv3Host_SettingPanelView>(),
            Lumora_SettingPanelClass::of<IncludeArpSettingsInSoundFile_SettingPanelView>(),
            Lumora_SettingPanelClass::of<IncludeMidiMappingInSoundFile_SettingPanelView>(),
            Lumora_SettingPanelClass::of<IncludeMicroTuningInSoundFile_SettingPanelView>(),
            Lumora_SettingPanelClass::of<LinearKnobMode_SettingPanelView>(),
            Lumora_SettingPanelClass::of<KeyboardSize_SettingPanelView>(),
            Lumora_SettingPanelClass::of<KeyboardPianoStyle_SettingPanelView>(),
            Lumora_SettingPanelClass::of<KeyboardScrollPosition_SettingPanelView>(),
            Lumora_SettingPanelClass::of<MasterKbHoldMode_SettingPanelView>(),
            Lumora_SettingPanelClass::of<PopupInPluginMode_SettingPanelView>()};
}

class SettingsSettingPanel : public ::testing::Test {
protected:
    void SetUp() override { rig.open(family()); }

    void choose(Platform::SegmentedControl* control, int segment)
    {
        control->setSelectedSegmentIndex(segment);
        control->sendActionsForControlEvents(ValueChanged);
    }
    void flip(Platform::Switch* control, bool on)
    {
        control->setOn(on);
        control->sendActionsForControlEvents(ValueChanged);
    }

    Rig rig;
};

} // namespace

TEST_F(SettingsSettingPanel, SwitchesStoreTheirSettingAndFollowChangesMadeElsewhere)
{
    using Get = std::function<bool(Lumora_Settings&)>;
    using Set = std::function<void(Lumora_Settings&, bool)>;
    struct Case {
        Lumora_SettingPanelView_forSwitch* panel;
        Get get;
        Set set;
    };
    Lumora_Settings& s = rig.settings();
    std::vector<Case> const cases{
        {&rig.panel<BackgroundAudio_SettingPanelView>(), &Lumora_Settings::backgroundAudio,
         &Lumora_Settings::setBackgroundAudio},
        {&rig.panel<UsePgListAsFctryForAUv3Host_SettingPanelView>(),
         &Lumora_Settings::useProgListAsFactoryPrisetForAUv3Host,
         &Lumora_Settings::setUseProgListAsFactoryPrisetForAUv3Host},
        {&rig.panel<IncludeArpSettingsInSoundFile_SettingPanelView>(), &Lumora_Settings::includeArpSettingsInSoundFile,
         &Lumora_Settings::setIncludeArpSettingsInSoundFile},
        {&rig.panel<IncludeMidiMappingInSoundFile_SettingPanelView>(), &Lumora_Settings::includeMidiMappingInSoundFile,
         &Lumora_Settings::setIncludeMidiMappingInSoundFile},
        {&rig.panel<IncludeMicroTuningInSoundFile_SettingPanelView>(), &Lumora_Settings::includeMicroTunungInSoundFile,
         &Lumora_Settings::setIncludeMicroTunungInSoundFile},
        {&rig.panel<PopupInPluginMode_SettingPanelView>(), &Lumora_Settings::popupInPluginMode,
         &Lumora_Settings::setPopupInPluginMode},
        {&rig.panel<MasterKbHoldMode_SettingPanelView>(), [](Lumora_Settings& x) { return x.keyboardHoldMode() != 0; },
         [](Lumora_Settings& x, bool on) { x.setKeyboardHoldMode(on ? 1 : 0); }},
    };
    for (Case const& c : cases) {
        std::string const key = c.panel->keyForSetting();
        EXPECT_EQ(c.panel->swCtrl()->isOn(), c.get(s)) << key;
        for (bool on : {true, false}) {
            flip(c.panel->swCtrl(), on);
            EXPECT_EQ(c.get(s), on) << key;
        }
        // Another screen changes it: the panel follows at once.
        c.set(s, true);
        EXPECT_TRUE(c.panel->swCtrl()->isOn()) << key;
        // A report of another key leaves the panel alone.
        c.panel->swCtrl()->setOn(false);
        c.panel->onChangeSettingWithKey("Tempo");
        EXPECT_FALSE(c.panel->swCtrl()->isOn()) << key;
        c.panel->onChangeSettingWithKey(key);
        EXPECT_TRUE(c.panel->swCtrl()->isOn()) << key;
    }
    EXPECT_EQ(s.keyboardHoldMode(), 1u);
}

TEST_F(SettingsSettingPanel, BufferSizeMapsSegmentsToFiveSizes)
{
    auto& panel = rig.panel<AudioBufferSize_SettingPanelView>();
    Platform::SegmentedControl* c = panel.sgmntCtrl();
    ASSERT_EQ(c->numberOfSegments(), 5u);
    struct Case { int segment; unsigned stored; int shown; };
    for (Case k : {Case{0, 64, 0}, Case{1, 128, 1}, Case{2, 256, 2}, Case{3, 512, 3}, Case{4, 1024, 4},
                   Case{Platform::SegmentedControl::noSegment, 1024, 4}}) {
        choose(c, k.segment);
        EXPECT_EQ(rig.settings().audioBufferSize(), k.stored) << k.segment;
        EXPECT_EQ(c->selectedSegmentIndex(), k.shown) << k.segment;
    }
    rig.settings().setAudioBufferSize(300);
    EXPECT_EQ(c->selectedSegmentIndex(), Platform::SegmentedControl::noSegment);
    rig.settings().setAudioBufferSize(256);
    EXPECT_EQ(c->selectedSegmentIndex(), 2);
}

TEST_F(SettingsSettingPanel, KeyboardSizeStoresRoundedSizesWithinTheSettersLimits)
{
    auto& panel = rig.panel<KeyboardSize_SettingPanelView>();
    rig.settings().setKeyboardSize(45.7f);
    EXPECT_EQ(panel.slider()->value(), 45.0f);
    EXPECT_EQ(panel.stepper()->value(), 45.0);

    struct Case { bool slider; double raw; float stored; };
    for (Case k : {Case{true, 45.5, 46}, Case{true, 30, 30}, Case{false, 20, 30}, Case{false, 120, 100},
                   Case{false, 64.4, 64}}) {
        if (k.slider) {
            panel.slider()->setValue(static_cast<float>(k.raw));
            panel.slider()->sendActionsForControlEvents(ValueChanged);
        } else {
            // The stepper's own range would stop it: the raw value comes as a control sends it.
            panel.stepper()->setMinimumValue(0);
            panel.stepper()->setMaximumValue(200);
            panel.stepper()->setValue(k.raw);
            panel.stepper()->sendActionsForControlEvents(ValueChanged);
        }
        EXPECT_EQ(rig.settings().keyboardSize(), k.stored) << k.raw;
        EXPECT_EQ(panel.stepper()->value(), static_cast<double>(k.stored)) << k.raw;
        EXPECT_EQ(panel.slider()->value(), k.stored) << k.raw;
    }
}

TEST_F(SettingsSettingPanel, TwoSegmentPanelsMapTheirSettings)
{
    Lumora_Settings& s = rig.settings();
    auto* knob = rig.panel<LinearKnobMode_SettingPanelView>().sgmntCtrl();
    auto* style = rig.panel<KeyboardPianoStyle_SettingPanelView>().sgmntCtrl();
    auto* scroll = rig.panel<KeyboardScrollPosition_SettingPanelView>().sgmntCtrl();

    EXPECT_EQ(knob->selectedSegmentIndex(), 0);    // linear when nothing is stored
    EXPECT_EQ(style->selectedSegmentIndex(), 0);   // piano layout by default
    choose(knob, 1);
    EXPECT_FALSE(s.linearKnobMode());
    choose(style, 1);
    EXPECT_FALSE(s.keyboardPianoLayout());
    s.setLinearKnobMode(true);
    EXPECT_EQ(knob->selectedSegmentIndex(), 0);

    s.setKeyboardScrollBarPos(2);
    EXPECT_EQ(scroll->selectedSegmentIndex(), 1);
    choose(scroll, 0);
    EXPECT_EQ(s.keyboardScrollBarPos(), 1u);
    EXPECT_EQ(scroll->selectedSegmentIndex(), 0);
}

TEST_F(SettingsSettingPanel, MidiMappingSwitchSetsTheSoundManagersContentMask)
{
    constexpr unsigned midiMappingPart = 0x20000;
    auto mask = [&] { return static_cast<unsigned>(rig.engine().soundPresetFileManager()->serializeWhat()); };
    auto& midi = rig.panel<IncludeMidiMappingInSoundFile_SettingPanelView>();
    for (bool on : {true, false, true}) {
        flip(midi.swCtrl(), on);
        EXPECT_EQ((mask() & midiMappingPart) != 0, on);
        EXPECT_EQ(midi.swCtrl()->isOn(), on);
    }
}

TEST(SettingsSettingPanelLife, PanelsObserveOnlyWhileInTheScreen)
{
    Rig rig;
    auto panel = std::make_shared<BackgroundAudio_SettingPanelView>(Platform::Rect(0, 0, 320, 44));
    auto control = std::make_shared<Platform::Switch>();
    panel->addPart(control, Lumora_PinnedPartsView::Pin::Right);
    panel->setSwCtrl(control.get());
    panel->setCore(rig.core);
    rig.settings().setBackgroundAudio(true);
    EXPECT_FALSE(control->isOn());   // never added: not registered, not refreshed

    auto container = std::make_shared<Platform::View>();
    container->addSubview(panel);
    EXPECT_TRUE(panel->isObservingModel());
    EXPECT_TRUE(control->isOn());
    rig.settings().setBackgroundAudio(false);
    EXPECT_FALSE(control->isOn());

    panel->removeFromSuperview();
    EXPECT_FALSE(panel->isObservingModel());
    rig.settings().setBackgroundAudio(true);
    EXPECT_FALSE(control->isOn());
}
