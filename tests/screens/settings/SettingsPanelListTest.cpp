// Which panels the settings screen shows and how it stacks them.

#include "screens/settings/support/SettingsTestSupport.h"

#include "screens/settings/about/About_SettingPanelView.h"
#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"
#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"
#include "screens/settings/panels/MasterVolume_SettingPanelView.h"
#include "screens/settings/panels/SampleRate_SettingPanelView.h"

#include "platform/ui/TextView.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace SettingsTest;

namespace {

std::vector<std::string> withSuffix(std::vector<std::string> const& shortNames)
{
    std::vector<std::string> names;
    for (auto const& n : shortNames)
        names.push_back(n + "_SettingPanelView");
    return names;
}

} // namespace

TEST(SettingsPanelList, DefaultListFollowsCapabilitiesDeliverableAndMainScreen)
{
    Capabilities product;
    Capabilities base;   // the engine base's answers
    base.noteInput = false;
    base.tuning = false;
    base.timingShift = false;
    base.arpeggiator = false;
    base.versions = 1;
    Capabilities quiet = product;   // no MIDI at all, one quality
    quiet.midiInput = false;
    quiet.midiMapping = false;
    quiet.clockSync = false;
    quiet.qualities = 1;

    struct Case {
        char const* what;
        bool plugin;
        Capabilities caps;
        std::optional<MainScreenFacts> main;
        std::vector<std::string> expected;
    };
    std::vector<Case> const cases{
        {"product extension", true, product, MainScreenFacts{true, true},
         withSuffix({"AllNoteOff", "MasterVolume", "MasterTranspose", "MasterTune", "MicroTuning", "MaxPolyphony",
                     "TimingShift", "AudioEngineVersion", "AudioQuality", "MidiMapping", "MidiMappingTakeoverMode",
                     "UsePgListAsFctryForAUv3Host", "IncludeArpSettingsInSoundFile",
                     "IncludeMidiMappingInSoundFile", "IncludeMicroTuningInSoundFile", "LinearKnobMode",
                     "KeyboardSize", "KeyboardPianoStyle", "KeyboardScrollPosition", "MasterKbHoldMode",
                     "PopupInPluginMode", "About"})},
        {"product app", false, product, MainScreenFacts{true, true},
         withSuffix({"AllNoteOff", "MasterVolume", "MasterTranspose", "MasterTune", "MicroTuning", "MaxPolyphony",
                     "SyncMethod", "Tempo", "TimingShift", "AudioEngineVersion", "AudioQuality", "AudioBufferSize",
                     "BackgroundAudio", "UnusedMidiInPorts", "MidiChannel", "BluetoothMidiDevices", "MidiMapping",
                     "MidiMappingTakeoverMode", "IncludeArpSettingsInSoundFile", "IncludeMidiMappingInSoundFile",
                     "IncludeMicroTuningInSoundFile", "LinearKnobMode", "KeyboardSize", "KeyboardPianoStyle",
                     "KeyboardScrollPosition", "MasterKbHoldMode", "About"})},
        {"engine base, app, knobs only", false, base, MainScreenFacts{true, false},
         withSuffix({"MasterVolume", "SyncMethod", "Tempo", "AudioQuality", "AudioBufferSize", "BackgroundAudio",
                     "UnusedMidiInPorts", "MidiChannel", "BluetoothMidiDevices", "MidiMapping",
                     "MidiMappingTakeoverMode", "IncludeMidiMappingInSoundFile", "LinearKnobMode", "About"})},
        {"no MIDI, extension, no main screen", true, quiet, std::nullopt,
         withSuffix({"AllNoteOff", "MasterVolume", "MasterTranspose", "MasterTune", "MicroTuning", "MaxPolyphony",
                     "TimingShift", "AudioEngineVersion", "UsePgListAsFctryForAUv3Host",
                     "IncludeArpSettingsInSoundFile", "IncludeMicroTuningInSoundFile", "MasterKbHoldMode",
                     "PopupInPluginMode", "About"})},
    };
    for (Case const& c : cases) {
        Rig rig(c.plugin, c.caps, c.main);
        rig.open();
        EXPECT_EQ(rig.shownNames(), c.expected) << c.what;
        // Every panel of the file is made; only the shown ones are in the container.
        EXPECT_EQ(rig.screen->panelViews().size(), Lumora_SettingPanelRegistry::panelNames().size()) << c.what;
        for (auto const& panel : rig.screen->panelViews()) {
            bool const shown = panel->superview() == rig.screen->pannelContainerView();
            bool const added = std::count(rig.screen->addedPanelViews().begin(), rig.screen->addedPanelViews().end(),
                                          panel) == 1;
            EXPECT_EQ(shown, added) << c.what << " " << panelName(panel.get());
            EXPECT_EQ(panel->core().get(), rig.core.get());
            // Bound panels observe the model exactly while shown.
            if (auto* p = dynamic_cast<Lumora_SettingPanelView_forParam*>(panel.get())) {
                EXPECT_EQ(p->isObservingModel(), shown) << panelName(panel.get());
            }
            if (auto* s = dynamic_cast<Lumora_SettingPanelView_forSettings*>(panel.get())) {
                EXPECT_EQ(s->isObservingModel(), shown) << panelName(panel.get());
            }
            if (shown) {
                EXPECT_EQ(panel->ownerSettingVwCtrlr(), rig.screen.get());
            }
        }
    }
}

TEST(SettingsPanelList, OpenersClassListAndBlockAddPanelsInOrder)
{
    Rig rig;
    // A class without a panel in the file is skipped and not counted.
    Lumora_SettingPanelClass const absent{"Absent_SettingPanelView", [](Platform::Object const*) { return false; }};
    std::vector<unsigned> indices;
    auto extra = std::make_shared<NamedStubPanel>("Extra", 50);
    rig.open(Lumora_SettingsVwCtrlr::PanelClasses{Lumora_SettingPanelClass::of<SampleRate_SettingPanelView>(), absent,
                                                  Lumora_SettingPanelClass::of<MasterVolume_SettingPanelView>()},
             [&](unsigned index) -> std::shared_ptr<Lumora_SettingPanelView> {
                 indices.push_back(index);
                 return index == 2 ? extra : nullptr;
             });
    EXPECT_EQ(indices, (std::vector<unsigned>{2, 3}));
    ASSERT_EQ(rig.screen->addedPanelViews().size(), 3u);
    EXPECT_EQ(panelName(rig.screen->addedPanelViews()[0].get()), "SampleRate_SettingPanelView");
    EXPECT_EQ(panelName(rig.screen->addedPanelViews()[1].get()), "MasterVolume_SettingPanelView");
    EXPECT_EQ(rig.screen->addedPanelViews()[2], extra);
    EXPECT_EQ(extra->ownerSettingVwCtrlr(), rig.screen.get());

    // A class also finds the panels of its subclasses.
    EXPECT_NE(rig.screen->panelForClass(Lumora_SettingPanelClass::of<Lumora_SettingPanelView_forParam>()), nullptr);
}

TEST(SettingsPanelList, EmptyListCallsTheBlockFromZeroAndNilAddsNothing)
{
    Rig rig;
    std::vector<unsigned> indices;
    rig.open(Lumora_SettingsVwCtrlr::PanelClasses{}, [&](unsigned index) -> std::shared_ptr<Lumora_SettingPanelView> {
        indices.push_back(index);
        return nullptr;
    });
    EXPECT_EQ(indices, (std::vector<unsigned>{0}));
    EXPECT_TRUE(rig.screen->addedPanelViews().empty());
    EXPECT_EQ(rig.screen->pannelContainerView()->contentSize().height, 0);
}

TEST(SettingsPanelList, PanelsStackAtTheirOwnHeightsAcrossTheContainer)
{
    Rig rig;
    std::vector<std::shared_ptr<Lumora_SettingPanelView>> panels{std::make_shared<NamedStubPanel>("a", 60),
                                                                  std::make_shared<NamedStubPanel>("b", 44),
                                                                  std::make_shared<NamedStubPanel>("c", 100)};
    rig.window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 320, 600));
    rig.open(Lumora_SettingsVwCtrlr::PanelClasses{},
             [&](unsigned i) { return i < panels.size() ? panels[i] : nullptr; });
    ASSERT_EQ(rig.screen->pannelContainerView()->bounds().width(), 320);
    EXPECT_EQ(panels[0]->frame(), Platform::Rect(0, 0, 320, 60));
    EXPECT_EQ(panels[1]->frame(), Platform::Rect(0, 60, 320, 44));
    EXPECT_EQ(panels[2]->frame(), Platform::Rect(0, 104, 320, 100));
    EXPECT_EQ(rig.screen->pannelContainerView()->contentSize().width, 320);
    EXPECT_EQ(rig.screen->pannelContainerView()->contentSize().height, 204);
}

TEST(SettingsPanelList, HeaderShowsProductAndTheNavigationBarHidesWhileTheScreenIsUp)
{
    Rig rig;
    Lumora_SettingsVwCtrlr& screen = rig.open();
    EXPECT_EQ(screen.labelProductName()->text(), rig.core->productName() + " v" + rig.core->productVersion());
    EXPECT_EQ(screen.labelProductManufacture()->text(), rig.core->productManufacture());
    ASSERT_EQ(screen.txtVwInfoPlaceholder()->subviews().size(), 1u);
    auto* info = dynamic_cast<Platform::TextView*>(screen.txtVwInfoPlaceholder()->subviews()[0].get());
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->text(), rig.core->productURL() + "\n" + rig.core->productMailAddress());
    EXPECT_FALSE(info->isEditable());
    EXPECT_EQ(info->textAlignment(), Platform::TextAlignment::Right);
    // The window is wider than the interface file (whose placeholder is 376 wide): the header's
    // own pass stretches the placeholder after the screen's pass, and the text spans it all the same.
    EXPECT_GT(screen.txtVwInfoPlaceholder()->bounds().width(), 376);
    EXPECT_EQ(info->frame(), screen.txtVwInfoPlaceholder()->bounds());

    // Shown by its navigation controller, the screen hides the bar; a pushed sub-screen has it.
    EXPECT_TRUE(rig.navigation->isNavigationBarHidden());
    rig.navigation->pushViewController(Platform::newObject<Platform::ViewController>(), false);
    EXPECT_FALSE(rig.navigation->isNavigationBarHidden());
    rig.navigation->popViewControllerAnimated(false);
    EXPECT_TRUE(rig.navigation->isNavigationBarHidden());
    rig.window->setRootViewController(nullptr);
    EXPECT_FALSE(rig.navigation->isNavigationBarHidden());
}

TEST(SettingsPanelList, PanelsLeaveTheModelWhenTheScreenGoes)
{
    Rig rig;
    rig.open();
    MasterVolume_SettingPanelView* volume = &rig.panel<MasterVolume_SettingPanelView>();
    ASSERT_TRUE(volume->isObservingModel());
    // The screen and its panels go without the panels leaving their superview first; a later
    // tick must not reach them.
    rig.window->setRootViewController(nullptr);
    rig.navigation.reset();
    rig.screen.reset();
    rig.param(1100).setConcreteValue(0.2f, Token::Host);
    rig.tick();
    SUCCEED();
}

TEST(SettingsPanelList, PlainInitAndMissingModelGiveNoScreen)
{
    Lumora_SettingsVwCtrlr screen;
    EXPECT_FALSE(screen.init());
    EXPECT_EQ(Lumora_SettingsVwCtrlr::create(nullptr), nullptr);
}
