#include <filesystem>
#include <cstdlib>
#include "model/core/Lumora_Core.h"

#include "engine/audio/iAudioEngineObservers.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/mapping/MidiParamMapper.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "engine/synth/SynthCommonParameters.h"
#include "model/core/ScreenServices.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"
#include "model/support/ModelTestSupport.h"
#include "model/framework/Shared_Information.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <thread>

using namespace ModelTest;
using Lumora::iAudioEngine;
using Lumora::MidiMessage;
using Common = Lumora::iSynthAudioEngine::SynthCommonParameters::Common;

namespace {

constexpr int kVolume = Common::Volume;
constexpr int kPortamento = Common::Portamento;

void writeFile(std::string const& path, std::string const& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Renders one block of the attached audio I/O with the given MIDI.
void render(CoreRig& rig, std::deque<MidiMessage> const& midi) {
    std::vector<float> left(64), right(64);
    std::vector<float*> outputs{left.data(), right.data()};
    rig.io->renderBlock({}, outputs, 64, 48000.0f, midi, {});
}

// Every write of the store is also reported as "TimingShift" (that is how a changed timing shift
// travels); the keys a screen heard apart from those.
std::vector<std::string> keysBesidesTimingShift(std::vector<std::string> const& keys) {
    std::vector<std::string> out;
    for (auto const& key : keys)
        if (key != "TimingShift")
            out.push_back(key);
    return out;
}

} // namespace

// ---- creation

TEST(LumoraCoreTest, CreationMakesTheEngineRegistersTheBridgesAndStartsTheTimer) {
    CoreRig rig;
    ASSERT_TRUE(rig.core);
    EXPECT_EQ(rig.core->createAudioEngineCalls, 1);
    ASSERT_NE(rig.core->audioEngine(), nullptr);
    ASSERT_TRUE(rig.core->settings());
    EXPECT_EQ(rig.core->settings()->observer().get(), static_cast<Lumora_Setting_Observer*>(rig.core.get()));
    ASSERT_TRUE(rig.core->timer());
    EXPECT_TRUE(rig.core->timer()->isValid());
    EXPECT_TRUE(rig.core->timer()->repeats());
    EXPECT_FLOAT_EQ(rig.core->timerInterval(), 1.0f / 30.0f);
    EXPECT_DOUBLE_EQ(rig.core->timer()->timeInterval(), rig.core->timerInterval());
    // Until an audio I/O is attached the model is neither plug-in nor app-with-modal-screens.
    EXPECT_FALSE(rig.core->isPlugin());
    EXPECT_EQ(rig.core->subViewControllerStyle(), 0u);
    // Headless: no screens are linked, so there is no main screen.
    EXPECT_EQ(rig.core->mainViewController(), nullptr);

    // All three bridges carry what the engine reports.
    RecordingScreen screen;
    screen.attach(*rig.core);
    rig.attachApp();
    rig.param(kVolume).setNormalizedValue(0.25f, Token::Host, Lumora::AutomationEventType::SetValue);
    render(rig, {MidiMessage(0x90, 60, 100)});
    rig.core->synth().provideNotification(iAudioEngine::MidiLearnStarted, 7);
    rig.core->onTimer(nullptr);
    EXPECT_NE(std::find(screen.shown.begin(), screen.shown.end(), std::make_pair(kVolume, Token::Host)),
              screen.shown.end());
    ASSERT_FALSE(screen.midi.empty());
    EXPECT_EQ(screen.midi.front(), MidiMessage(0x90, 60, 100));
    EXPECT_NE(std::find(screen.notifications.begin(), screen.notifications.end(),
                        std::make_pair(int(iAudioEngine::MidiLearnStarted), 7)),
              screen.notifications.end());
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, TheBaseModelMakesNoEngineAndIsRefused) {
    ScratchFolder home(true);
    EXPECT_EQ(Platform::newObject<Lumora_Core>(), nullptr);
}

TEST(LumoraCoreTest, TheStoredSoundFolderIsRestoredAndWrittenBackOnTheNextTick) {
    ScratchFolder home(true);
    ScratchFolder docs;
    Folders folders(docs.path());
    boost::filesystem::create_directories(docs / "User/Pads");
    {
        auto settings = Platform::newObject<Settings>();
        settings->setCurSndPresetDir("User:Pads");
    }
    auto core = Platform::newObject<TestCore>(folders);
    ASSERT_TRUE(core);
    EXPECT_EQ(core->synth().soundPresetFileManager()->currentDirectory(), "User:Pads");

    RecordingScreen screen;
    screen.attach(*core);
    core->onTimer(nullptr);
    EXPECT_EQ(screen.notifications,
              (std::vector<std::pair<int, int>>{{iAudioEngine::PresetDirectoryChanged, 0}}));
    EXPECT_EQ(core->settings()->curSndPresetDir(), "User:Pads");
    // The write-back does not report the setting again.
    EXPECT_TRUE(keysBesidesTimingShift(screen.settingKeys).empty());

    // A folder that has gone keeps the manager where it is.
    screen.detach(*core);
    core->synth().soundPresetFileManager()->changeDirectory("User:.");
    core->onTimer(nullptr);
    core->settings()->setCurSndPresetDir("User:Gone");
    auto second = Platform::newObject<TestCore>(folders);
    EXPECT_NE(second->synth().soundPresetFileManager()->currentDirectory(), "User:Gone");
}

// ---- default sound

TEST(LumoraCoreTest, TheDefaultSoundIsLoadedAndNamedAfterItsFile) {
    CoreRig rig;
    rig.attachApp();
    // A document written by the engine itself, with an unusual volume.
    rig.param(kVolume).setConcreteValue(0.125f, Token::ViewController);
    std::string text = rig.core->synth().serialize(Lumora::SerializeWhat::FullState, Lumora::SerializeWhere::Document);
    std::string path = rig.docs / "Factory/Warm Pad.corvane_snd";
    writeFile(path, text);
    rig.param(kVolume).setConcreteValue(0.9f, Token::ViewController);

    rig.core->setDefaultPreset(path);
    rig.core->applySettings();
    rig.core->didFinishCreateAudioIO(rig.io.get(), rig.core->audioEngine(), rig.core->settings(), false);
    EXPECT_FLOAT_EQ(rig.param(kVolume).concreteValue(), 0.125f);
    EXPECT_EQ(rig.core->synth().soundPresetFileManager()->presetName(), "Warm Pad");
}

TEST(LumoraCoreTest, AnyDefaultSoundThatCannotBeLoadedLeavesTheSoundInitialized) {
    struct Case {
        char const* what;
        std::function<std::optional<std::string>(CoreRig&)> path;
        bool throwOnRead;
    };
    std::vector<Case> cases{
        {"no default sound", [](CoreRig&) { return std::nullopt; }, false},
        {"missing file", [](CoreRig& r) { return r.docs / "Factory/none.corvane_snd"; }, false},
        {"empty file",
         [](CoreRig& r) {
             writeFile(r.docs / "Factory/empty.corvane_snd", "");
             return r.docs / "Factory/empty.corvane_snd";
         },
         false},
        {"a folder, not a file", [](CoreRig& r) { return r.docs / "Factory"; }, false},
        {"engine throws while reading",
         [](CoreRig& r) {
             writeFile(r.docs / "Factory/bad.corvane_snd", "[[Parameters]]\nTestSynth\tversion:2\n");
             return r.docs / "Factory/bad.corvane_snd";
         },
         true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        CoreRig rig;
        rig.attachApp();
        rig.core->synth().throwOnRead = c.throwOnRead;
        rig.param(kVolume).setConcreteValue(0.9f, Token::ViewController);
        rig.core->synth().soundPresetFileManager()->setPresetName("before");
        rig.core->setDefaultPreset(c.path(rig));
        EXPECT_NO_THROW(rig.core->didFinishCreateAudioIO(rig.io.get(), rig.core->audioEngine(),
                                                         rig.core->settings(), false));
        EXPECT_EQ(rig.core->synth().soundPresetFileManager()->presetName(), "initialized");
        EXPECT_FLOAT_EQ(rig.param(kVolume).normalizedValue(), rig.param(kVolume).defaultValue());
    }
}

// ---- parameter delivery

TEST(LumoraCoreTest, EachParameterReachesTheScreensOncePerTickWithOneToken) {
    struct Change {
        Token token;
        float value;
    };
    struct Case {
        char const* what;
        std::vector<Change> changes;
        Token delivered;
        bool editorShowsIt;
    };
    std::vector<Case> cases{
        {"host then editor: mixed, so the editor redraws too",
         {{Token::Host, 0.2f}, {Token::ViewController, 0.3f}}, Token::Mixed, true},
        {"the editor twice: its own, skipped by it", {{Token::ViewController, 0.2f}, {Token::ViewController, 0.3f}},
         Token::ViewController, false},
        {"the host alone", {{Token::Host, 0.2f}}, Token::Host, true},
        {"editor, host, editor", {{Token::ViewController, 0.2f}, {Token::Host, 0.3f}, {Token::ViewController, 0.4f}},
         Token::Mixed, true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        CoreRig rig;
        rig.attachApp();
        rig.core->onTimer(nullptr);   // what attaching reported
        RecordingScreen editor(Token::ViewController);
        RecordingScreen panel(Token::SettingPanel);
        editor.attach(*rig.core);
        panel.attach(*rig.core);
        std::vector<Token> received;
        editor.onParam = [&](Lumora::Parameter const* p, Token t) {
            if (p->id() == kVolume)
                received.push_back(t);
        };
        for (Change const& change : c.changes)
            rig.param(kVolume).setNormalizedValue(change.value, change.token, Lumora::AutomationEventType::SetValue);
        EXPECT_TRUE(editor.shown.empty()) << "nothing before the tick";
        rig.core->onTimer(nullptr);
        EXPECT_EQ(received, std::vector<Token>{c.delivered});
        EXPECT_EQ(panel.shown, (std::vector<std::pair<int, Token>>{{kVolume, c.delivered}}));
        EXPECT_EQ(!editor.shown.empty(), c.editorShowsIt);
        rig.core->onTimer(nullptr);
        EXPECT_EQ(received.size(), 1u) << "delivered once";
        editor.detach(*rig.core);
        panel.detach(*rig.core);
    }
}

TEST(LumoraCoreTest, ChangesThatAScreenMakesWhileItIsToldWaitForTheNextTick) {
    CoreRig rig;
    rig.attachApp();
    rig.core->onTimer(nullptr);
    RecordingScreen screen(Token::SettingPanel);
    screen.attach(*rig.core);
    // A screen that follows the volume with the portamento, from its handler.
    screen.onParam = [&](Lumora::Parameter const* p, Token) {
        if (p->id() == kVolume)
            rig.param(kPortamento).setNormalizedValue(p->normalizedValue(), Token::ViewController,
                                                      Lumora::AutomationEventType::SetValue);
    };
    rig.param(kVolume).setNormalizedValue(0.7f, Token::Host, Lumora::AutomationEventType::SetValue);
    rig.core->onTimer(nullptr);
    EXPECT_EQ(screen.shown, (std::vector<std::pair<int, Token>>{{kVolume, Token::Host}}));
    rig.core->onTimer(nullptr);
    EXPECT_EQ(screen.shown,
              (std::vector<std::pair<int, Token>>{{kVolume, Token::Host}, {kPortamento, Token::ViewController}}));
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, AScreenWaitingForAnotherThreadsParameterChangeDoesNotDeadlock) {
    CoreRig rig;
    rig.attachApp();
    rig.core->onTimer(nullptr);
    RecordingScreen screen;
    screen.attach(*rig.core);
    // The screen waits, while it is told, for a change made on another thread (as a host's
    // automation or the render thread's MIDI mapping would make it).
    std::promise<void> finished;
    auto done = finished.get_future();
    screen.onParam = [&](Lumora::Parameter const* p, Token) {
        if (p->id() != kVolume)
            return;
        std::thread([&] {
            rig.param(kPortamento).setNormalizedValue(0.4f, Token::Host, Lumora::AutomationEventType::SetValue);
            finished.set_value();
        }).detach();
        EXPECT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    };
    rig.param(kVolume).setNormalizedValue(0.7f, Token::Host, Lumora::AutomationEventType::SetValue);
    rig.core->onTimer(nullptr);
    rig.core->onTimer(nullptr);
    EXPECT_EQ(screen.shown,
              (std::vector<std::pair<int, Token>>{{kVolume, Token::Host}, {kPortamento, Token::Host}}));
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, AChangeOfAParameterThatWasMadeAnewIsNotDeliveredForTheOldOne) {
    CoreRig rig;
    rig.attachPlugin();
    rig.core->onTimer(nullptr);
    RecordingScreen screen;
    screen.attach(*rig.core);
    rig.param(kVolume).setNormalizedValue(0.3f, Token::Host, Lumora::AutomationEventType::SetValue);
    // A second audio I/O makes the common parameters anew while the change waits.
    std::vector<Lumora::Parameter const*> delivered;
    screen.onParam = [&](Lumora::Parameter const* p, Token) { delivered.push_back(p); };
    rig.attachPlugin();
    rig.core->onTimer(nullptr);
    auto& manager = rig.core->synth().parameterManager();
    for (Lumora::Parameter const* p : delivered)
        EXPECT_EQ(manager.getParameter(p->id()), p) << "only parameters the engine still holds";
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, ObserversAreASetAndMayLeaveWhileTheyAreTold) {
    CoreRig rig;
    rig.attachApp();
    rig.core->onTimer(nullptr);
    RecordingScreen a, b;
    rig.core->addParamObserver(&a);
    rig.core->addParamObserver(&a);
    rig.core->removeParamObserver(&a);
    rig.core->removeParamObserver(&b);   // absent: nothing happens
    rig.param(kVolume).setNormalizedValue(0.3f, Token::Host, Lumora::AutomationEventType::SetValue);
    rig.core->onTimer(nullptr);
    EXPECT_TRUE(a.shown.empty()) << "added twice, removed once: gone";

    // Whichever is told first removes the other: the other is not told.
    a.attach(*rig.core);
    b.attach(*rig.core);
    a.onParam = [&](Lumora::Parameter const*, Token) { rig.core->removeParamObserver(&b); };
    b.onParam = [&](Lumora::Parameter const*, Token) { rig.core->removeParamObserver(&a); };
    rig.param(kVolume).setNormalizedValue(0.6f, Token::Host, Lumora::AutomationEventType::SetValue);
    rig.core->onTimer(nullptr);
    EXPECT_EQ(a.shown.size() + b.shown.size(), 1u);
    a.detach(*rig.core);
    b.detach(*rig.core);
}

// ---- MIDI and notifications

TEST(LumoraCoreTest, MidiAndNotificationsAreDrainedInOrderOnTheTick) {
    CoreRig rig;
    rig.attachApp();
    rig.core->onTimer(nullptr);
    RecordingScreen screen;
    screen.attach(*rig.core);
    std::vector<MidiMessage> played{MidiMessage(0x90, 60, 100), MidiMessage(0x90, 64, 90), MidiMessage(0x80, 60, 0)};
    render(rig, {played[0], played[1]});
    render(rig, {played[2]});
    auto& engine = rig.core->synth();
    engine.provideNotification(iAudioEngine::MidiLearnStarted, 1);
    engine.provideNotification(iAudioEngine::MidiLearnAssigned, 2);
    engine.provideNotification(iAudioEngine::Deserialized, 3);
    EXPECT_TRUE(screen.midi.empty());
    rig.core->onTimer(nullptr);

    std::vector<MidiMessage> notes;
    for (MidiMessage const& m : screen.midi)
        if (m.kind() == 0x90 || m.kind() == 0x80)
            notes.push_back(m);
    EXPECT_EQ(notes, played);
    std::vector<std::pair<int, int>> learned;
    for (auto const& n : screen.notifications)
        if (n.first == iAudioEngine::MidiLearnStarted || n.first == iAudioEngine::MidiLearnAssigned ||
            n.first == iAudioEngine::Deserialized)
            learned.push_back(n);
    EXPECT_EQ(learned, (std::vector<std::pair<int, int>>{{iAudioEngine::MidiLearnStarted, 1},
                                                         {iAudioEngine::MidiLearnAssigned, 2},
                                                         {iAudioEngine::Deserialized, 3}}));
    screen.midi.clear();
    screen.notifications.clear();
    rig.core->onTimer(nullptr);
    EXPECT_TRUE(screen.midi.empty()) << "drained";
    EXPECT_TRUE(screen.notifications.empty());

    // MIDI a screen sends while it is told is processed by the next block and shown then.
    struct Echo : Lumora_Midi_Observer {
        iAudioEngine* engine = nullptr;
        int told = 0;
        void receiveMidi(MidiMessage const* m) override {
            ++told;
            if (m->kind() == 0x90 && m->data1() == 70)
                engine->sendMidi(MidiMessage(0x80, 70, 0));
        }
    } echo;
    echo.engine = &engine;
    rig.core->addMidiObserver(&echo);
    render(rig, {MidiMessage(0x90, 70, 100)});
    rig.core->onTimer(nullptr);
    render(rig, {});
    rig.core->onTimer(nullptr);
    ASSERT_GE(screen.midi.size(), 2u);
    EXPECT_EQ(screen.midi.front(), MidiMessage(0x90, 70, 100));
    EXPECT_EQ(screen.midi.back(), MidiMessage(0x80, 70, 0));
    rig.core->removeMidiObserver(&echo);
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, TheMainRunLoopsTimerDelivers) {
    CoreRig rig;
    rig.attachApp();
    RecordingScreen screen(Token::SettingPanel);
    screen.attach(*rig.core);
    rig.param(kVolume).setNormalizedValue(0.3f, Token::Host, Lumora::AutomationEventType::SetValue);
    for (int i = 0; i < 50 && screen.shown.empty(); ++i)
        Platform::RunLoop::main().runFor(std::chrono::milliseconds(20));
    EXPECT_FALSE(screen.shown.empty());
    screen.detach(*rig.core);
}

// ---- settings

TEST(LumoraCoreTest, ReplayAppliesTheStoredSettingsToTheApp) {
    CoreRig rig;
    auto settings = rig.core->settings();
    settings->setMidiOmni(false);
    settings->setMidiChannel(5);
    settings->setSyncMethod(7);   // unknown: internal
    settings->setTempo(133.0);
    settings->setTimingShift(-0.5f);
    settings->setUnusedMidiInPorts({22, 99});
    settings->setMidiMapTakeoverMode(1);
    settings->setIncludeArpSettingsInSoundFile(false);
    settings->setIncludeMidiMappingInSoundFile(true);
    settings->setIncludeMicroTunungInSoundFile(true);
    settings->setUseProgListAsFactoryPrisetForAUv3Host(true);
    settings->setKeyboardHoldMode(1);
    settings->setLinearKnobMode(false);

    std::vector<bool> knobModes;
    Lumora::ScreenServices::setKnobControlTypeSetter([&](bool linear) { knobModes.push_back(linear); });
    TestAppAudioIO& app = rig.attachApp();
    app.method = Lumora::SyncMethod::Link;
    RecordingScreen screen;
    screen.attach(*rig.core);
    rig.core->applySettings();
    Lumora::ScreenServices::setKnobControlTypeSetter({});

    auto& engine = rig.core->synth();
    EXPECT_EQ(engine.midiInChannel(), 5);
    EXPECT_EQ(engine.midiOutChannel(), 5);
    EXPECT_EQ(app.method, Lumora::SyncMethod::Internal);
    EXPECT_DOUBLE_EQ(app.proposed, 133.0);
    EXPECT_FLOAT_EQ(engine.timingShift(), -0.5f);
    EXPECT_FALSE(app.sources.at(22).enabled);
    EXPECT_TRUE(app.sources.at(11).enabled) << "sources not listed are not touched";
    EXPECT_EQ(engine.midiParamMapper().takeOverMode(), Lumora::MidiParamMapper::TakeOverMode::PickUp);
    auto mask = static_cast<std::uint32_t>(engine.soundPresetFileManager()->serializeWhat());
    EXPECT_EQ(mask & 0x40000u, 0u);
    EXPECT_EQ(mask & 0x20000u, 0x20000u);
    EXPECT_EQ(mask & 0x80000u, 0x80000u);
    EXPECT_EQ(mask & 0x10000u, 0x10000u) << "other bits kept";
    EXPECT_EQ(engine.keyboardHoldMode(), 1u);
    EXPECT_EQ(knobModes, std::vector<bool>{false});
    EXPECT_TRUE(app.bufferSizes.empty()) << "the app opens with its buffer size itself";
    EXPECT_EQ(screen.settingKeys, Lumora_Core::replayedSettingKeys());
    EXPECT_EQ(screen.settingKeys.front(), "syncMethod");
    EXPECT_EQ(screen.settingKeys.back(), "popupInPluginMode");
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, ThePluginListensOnEveryChannelWhateverIsStored) {
    CoreRig rig;
    rig.core->settings()->setMidiOmni(false);
    rig.core->settings()->setMidiChannel(9);
    rig.core->settings()->setUnusedMidiInPorts({1});
    rig.core->settings()->setSyncMethod(2);
    TestPluginAudioIO& plugin = rig.attachPlugin();
    rig.core->applySettings();
    EXPECT_TRUE(rig.core->isPlugin());
    EXPECT_EQ(rig.core->synth().midiInChannel(), -1);
    EXPECT_EQ(rig.core->synth().midiOutChannel(), 0);
    EXPECT_EQ(plugin.method, Lumora::SyncMethod::Host);

    EXPECT_EQ(rig.core->subViewControllerStyle(), 0u) << "popovers by default";
    rig.core->settings()->setPopupInPluginMode(false);
    EXPECT_EQ(rig.core->subViewControllerStyle(), 1u);
}

TEST(LumoraCoreTest, SettingsChangesApplyAtOnceAndAreToldToTheScreens) {
    CoreRig rig;
    TestAppAudioIO& app = rig.attachApp();
    RecordingScreen screen;
    screen.attach(*rig.core);
    auto settings = rig.core->settings();
    auto& engine = rig.core->synth();

    settings->setMidiOmni(false);   // channel 0 stored by default
    EXPECT_EQ(engine.midiInChannel(), 0);
    settings->setMidiChannel(3);
    EXPECT_EQ(engine.midiInChannel(), 3);
    EXPECT_EQ(engine.midiOutChannel(), 3);
    settings->setMidiOmni(true);
    EXPECT_EQ(engine.midiInChannel(), -1);
    EXPECT_EQ(engine.midiOutChannel(), 0);
    settings->setAudioBufferSize(256);
    EXPECT_EQ(app.bufferSizes, std::vector<unsigned>{256});
    settings->setMidiMapTakeoverMode(1);
    EXPECT_EQ(engine.midiParamMapper().takeOverMode(), Lumora::MidiParamMapper::TakeOverMode::PickUp);
    settings->setIncludeArpSettingsInSoundFile(false);
    EXPECT_EQ(static_cast<std::uint32_t>(engine.soundPresetFileManager()->serializeWhat()) & 0x40000u, 0u);
    settings->setKeyboardHoldMode(1);
    EXPECT_EQ(engine.keyboardHoldMode(), 1u);
    // The stored-folder setter does not report.
    settings->setCurSndPresetDir("User:.");
    EXPECT_EQ(keysBesidesTimingShift(screen.settingKeys),
              (std::vector<std::string>{"midiOmni", "midiChannel", "midiOmni", "audioBufferSize", "midiMapTakeover",
                                        "includeArpSettingsInSoundFile", "keyboardHoldMode"}));
    // Unknown keys are told without effect.
    rig.core->onChangeSettingWithKey("somethingNew");
    EXPECT_EQ(screen.settingKeys.back(), "somethingNew");
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, TheTimingShiftArrivesThroughTheDefaultsChangedReport) {
    CoreRig rig;
    rig.attachApp();
    RecordingScreen screen;
    screen.attach(*rig.core);
    auto& engine = rig.core->synth();

    rig.core->settings()->setTimingShift(0.25f);
    EXPECT_FLOAT_EQ(engine.timingShift(), 0.25f);
    EXPECT_FALSE(screen.settingKeys.empty());
    EXPECT_EQ(screen.settingKeys.back(), "TimingShift");

    // The other program writes the shared store: the engine follows on the writing thread at
    // once, and the screens hear of it on the main thread only.
    screen.settingKeys.clear();
    std::thread([&] {
        auto other = std::make_shared<Platform::UserDefaults>(Shared_Information::sharedAppUserDefaults()->filePath());
        other->setFloat("TimingShift", -0.75f);
        other->synchronize();
    }).join();
    EXPECT_FLOAT_EQ(engine.timingShift(), -0.75f);
    EXPECT_TRUE(screen.settingKeys.empty());
    Platform::RunLoop::main().runOnce();
    ASSERT_FALSE(screen.settingKeys.empty());
    EXPECT_EQ(screen.settingKeys.back(), "TimingShift");
    screen.detach(*rig.core);
}

TEST(LumoraCoreTest, AParameterMadeAnewAtAFreedOnesAddressIsDeliveredUnderItsOwnId) {
    CoreRig rig;
    rig.attachPlugin();
    rig.core->onTimer(nullptr);
    RecordingScreen screen;
    screen.attach(*rig.core);
    std::vector<std::pair<int, Token>> delivered;
    screen.onParam = [&](Lumora::Parameter const* p, Token t) { delivered.emplace_back(p->id(), t); };

    auto& manager = rig.core->synth().parameterManager();
    using Opt = Lumora::Parameter::Options;
    const auto mask = Lumora::SerializeWhat::SoundParameters;
    // Storage reused on purpose: the second parameter lives where the first one was.
    alignas(Lumora::Parameter_UFloat) unsigned char storage[sizeof(Lumora::Parameter_UFloat)];
    auto* first = new (storage) Lumora::Parameter_UFloat(&manager, 90001, "A", "A", 0.5f, 0, 1, Opt::None, mask, 0);
    first->setNormalizedValue(0.2f, Token::Host, Lumora::AutomationEventType::SetValue);
    first->~Parameter_UFloat();
    auto* second = new (storage) Lumora::Parameter_UFloat(&manager, 90002, "B", "B", 0.5f, 0, 1, Opt::None, mask, 0);
    second->setNormalizedValue(0.7f, Token::Document, Lumora::AutomationEventType::SetValue);
    rig.core->onTimer(nullptr);
    second->~Parameter_UFloat();

    ASSERT_EQ(delivered.size(), 1u);
    EXPECT_EQ(delivered[0].first, 90002);
    EXPECT_EQ(delivered[0].second, Token::Document) << "not mixed with the freed parameter's change";
    screen.detach(*rig.core);
}

// Without a bundle the build's own version stands where the bundle's would; the app's bundle
// carries the same numbers as the build.
TEST(LumoraCoreTest, TheVersionIsShownWithOrWithoutABundle) {
    CoreRig rig;
    char const* const saved = std::getenv("CORVANE_MAIN_BUNDLE");
    std::string const before = saved ? saved : "";
    std::string const empty = ::testing::TempDir() + "corvane-no-bundle";
    std::filesystem::create_directories(empty);
    ::setenv("CORVANE_MAIN_BUNDLE", empty.c_str(), 1);
    EXPECT_EQ(rig.core->productVersion(), CORVANE_VERSION);
    EXPECT_EQ(rig.core->productBuildNumber(), CORVANE_BUILD_NUMBER);
    EXPECT_FALSE(std::string(CORVANE_VERSION).empty());

    std::string const app =
        (std::filesystem::path(CORVANE_SOURCE_DIR) / "resources/Corvane.app")
            .string();
    ::setenv("CORVANE_MAIN_BUNDLE", app.c_str(), 1);
    EXPECT_EQ(rig.core->productVersion(), CORVANE_VERSION);
    EXPECT_EQ(rig.core->productBuildNumber(), CORVANE_BUILD_NUMBER);
    if (saved)
        ::setenv("CORVANE_MAIN_BUNDLE", before.c_str(), 1);
    else
        ::unsetenv("CORVANE_MAIN_BUNDLE");
}
