#include <fstream>
#include <filesystem>
#include <algorithm>
#include <set>
#include <stdexcept>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/documents/PresetDocFileManager.h"
#include "engine/state/StateTestSupport.h"
#include "engine/tuning/MicroTuning.h"

using namespace Lumora;
using namespace SynthTest;
using namespace StateTest;
using Common = iSynthAudioEngine::SynthCommonParameters::Common;
using SynthMaster = iSynthAudioEngine::SynthCommonParameters::Master;
using EngineMaster = iAudioEngine::CommonParameters::Master;
using W = SerializeWhat;
using Where = SerializeWhere;

namespace {

std::string rstrip(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

// The keys of a "Parameters" part (its header line "name\tversion:n" left out).
std::set<std::string> parameterKeys(const std::string& parameters) {
    std::set<std::string> keys;
    std::istringstream in(parameters);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) keys.insert(line.substr(0, line.find('\t')));
    return keys;
}

struct EngineState : ::testing::Test {
    DocumentFolders folders;
    SynthRig rig{folders.config()};
    TestSynth& engine = rig.engine;
    PresetDocFileManager& sound = *engine.soundPresetFileManager();

    std::vector<int> notifications(int id) {
        rig.notes.dispatch();
        std::vector<int> out = rig.notes.paramsOf(id);
        rig.notes.received.clear();
        return out;
    }

    void addVolumeMapping() {
        engine.midiParamMapper().newElement(Common::Volume, MidiParamMapper::MidiKey(-1, 0xB0, 7),
                                            Math::Shaper1bp());
    }

    // Moves every piece of the state away from its defaults.
    void changeEverything(float volume) {
        engine.set(EngineMaster::MasterVolume, volume);
        engine.set(Common::Volume, volume / 2);
        engine.set(SynthMaster::Transpose, -5);
        engine.set(Common::Arpeggiator, 1);
        engine.arpeggiatorData().swing = volume / 3;
        engine.arpeggiatorData().steps[3].transpose = 7;
        engine.synth.microTuning()->setDetune(4, -0.25f);
        addVolumeMapping();
        sound.setPresetName("Warm Pad");
        ASSERT_TRUE(sound.changeDirectory("Factory:Pads"));
    }
};

const std::set<std::string> kSoundKeys = {
    "AUDIO_ENGINE_VERSION", "COMMON_VOLUME",      "COMMON_PORTAMENTO", "COMMON_OCTAVE",
    "COMMON_PB_NEGATIVE",   "COMMON_PB_POSITIVE", "COMMON_MONOMODE",   "COMMON_ARPEGGIATOR",
};
const std::set<std::string> kMasterKeys = {"MASTER_VOLUME", "MASTER_AUDIO_QUALITY", "MASTER_TRANSPOSE",
                                           "MASTER_TUNE", "MASTER_MAX_POLYPHONY"};
// The engine-wide settings: the master ones and the common ones, which also travel in sounds.
const std::set<std::string> kGlobalSettingKeys = {
    "MASTER_VOLUME",     "MASTER_AUDIO_QUALITY", "MASTER_TRANSPOSE",   "MASTER_TUNE",
    "MASTER_MAX_POLYPHONY", "COMMON_VOLUME",     "COMMON_PORTAMENTO",  "COMMON_OCTAVE",
    "COMMON_PB_NEGATIVE", "COMMON_PB_POSITIVE",  "COMMON_MONOMODE",
};

} // namespace

TEST_F(EngineState, WholeStateWritesItsPartsInTitleOrder) {
    sound.setPresetName("Warm Pad");
    const W full = W::FullState;
    std::string text = engine.serialize(full, Where::PluginHostState);

    EXPECT_EQ(partTitles(text),
              (std::vector<std::string>{"Arpeggiator", "Global", "MicroTuning", "Parameters"}));
    EXPECT_EQ(part(text, "Global"),
              "soundPresetName\tWarm Pad\nsoundPresetCurrentDirectory\tTOP_DIRECTORY");
    EXPECT_EQ(part(text, "Parameters"), rstrip(engine.manager.serialize(full, Where::PluginHostState)));
    std::set<std::string> everyStoredKey = kSoundKeys;
    everyStoredKey.insert(kMasterKeys.begin(), kMasterKeys.end());
    EXPECT_EQ(parameterKeys(part(text, "Parameters")), everyStoredKey); // no KEYBOARD_HOLD
    EXPECT_EQ(part(text, "Arpeggiator"), rstrip(engine.arpeggiatorData().serialize()));
    EXPECT_EQ(part(text, "MicroTuning"), rstrip(engine.synth.microTuning()->serialize()));
    EXPECT_EQ(text.rfind("[[Arpeggiator]]\n", 0), 0u);

    // The mapping part appears once a mapping exists; the folder is written relative to its tree.
    addVolumeMapping();
    ASSERT_TRUE(sound.changeDirectory("Factory:Pads"));
    text = engine.serialize(full, Where::StateBackup);
    EXPECT_EQ(partTitles(text), (std::vector<std::string>{"Arpeggiator", "Global", "MicroTuning",
                                                          "MidiMapping", "Parameters"}));
    EXPECT_EQ(part(text, "MidiMapping").rfind("COMMON_VOLUME\t-1\t176\t7\t", 0), 0u);
    EXPECT_EQ(part(text, "Global"), "soundPresetName\tWarm Pad\nsoundPresetCurrentDirectory\tFactory:Pads");
    EXPECT_EQ(notifications(iAudioEngine::Serialized),
              (std::vector<int>{0x7fffff00, 0x7fffff00}));
}

TEST_F(EngineState, EachMaskWritesOnlyItsParts) {
    addVolumeMapping();
    sound.setPresetName("Warm Pad");
    struct Case {
        W what;
        Where where;
        std::vector<std::string> titles;
        std::string global;
        std::set<std::string> keys;
    };
    const Case cases[] = {
        // A sound document carries neither key of the "Global" part.
        {W::SoundPreset, Where::Document, {"Arpeggiator", "MicroTuning", "MidiMapping", "Parameters"}, "", kSoundKeys},
        {W::SoundPreset, Where::PluginHostState,
         {"Arpeggiator", "Global", "MicroTuning", "MidiMapping", "Parameters"}, "soundPresetName\tWarm Pad", kSoundKeys},
        {W::MidiMappingPart, Where::Document, {"MidiMapping"}, "", {}},
        {W::ArpeggiatorPart, Where::Document, {"Arpeggiator", "Parameters"}, "", {"COMMON_ARPEGGIATOR"}},
        {W::MicroTuningPart, Where::Document, {"MicroTuning"}, "", {}},
        {W::GlobalSettings, Where::StateBackup, {"Global", "Parameters"},
         "soundPresetCurrentDirectory\tTOP_DIRECTORY", kGlobalSettingKeys},
        {W::None, Where::PluginHostState, {}, "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<uint32_t>(c.what));
        const std::string text = engine.serialize(c.what, c.where);
        EXPECT_EQ(partTitles(text), c.titles);
        EXPECT_EQ(part(text, "Global"), c.global);
        EXPECT_EQ(parameterKeys(part(text, "Parameters")), c.keys);
    }
}

TEST_F(EngineState, WholeStateRoundTrips) {
    changeEverything(0.9f);
    const std::string saved = engine.serialize(W::FullState, Where::PluginHostState);

    SynthRig other(folders.config());
    EXPECT_TRUE(other.engine.deserialize(W::FullState, saved, Where::PluginHostState));
    EXPECT_EQ(other.engine.serialize(W::FullState, Where::PluginHostState), saved);
    EXPECT_EQ(other.engine.soundPresetFileManager()->presetName(), "Warm Pad");
    EXPECT_EQ(other.engine.soundPresetFileManager()->currentDirectory(), "Factory:Pads");
    EXPECT_NEAR(other.engine.param(EngineMaster::MasterVolume).concreteValue(), 0.9f, 1e-6);
    EXPECT_EQ(other.engine.arpeggiatorData().steps[3].transpose.load(), 7);
    EXPECT_FLOAT_EQ(other.engine.synth.microTuning()->data(4).detune, -0.25f);
    EXPECT_NE(other.engine.midiParamMapper().findElement(Common::Volume), nullptr);
    other.notes.dispatch();
    EXPECT_EQ(other.notes.paramsOf(iAudioEngine::Deserialized), std::vector<int>{0x7fffff00});

    // And back over a changed engine: the text wins in every part.
    changeEverything(0.1f);
    engine.midiParamMapper().removeElementByParamID(Common::Volume);
    EXPECT_TRUE(engine.deserialize(W::FullState, saved, Where::PluginHostState));
    EXPECT_EQ(engine.serialize(W::FullState, Where::PluginHostState), saved);
}

TEST_F(EngineState, AStateOrSoundWithoutMappingsLeavesNoneOfTheOldOnes) {
    SynthRig fresh(folders.config());
    const std::string fullWithout = fresh.engine.serialize(W::FullState, Where::PluginHostState);
    const std::string soundWithout = fresh.engine.serialize(W::SoundPreset, Where::Document);
    // A text whose parts leave "MidiMapping" out altogether.
    const std::string noPart = "[[Global]]\nsoundPresetName\tFound\nsoundPresetCurrentDirectory\tTOP_DIRECTORY\n";
    struct Case {
        const char* name;
        W what;
        Where where;
        const std::string& text;
    };
    for (const Case& c : {Case{"whole state", W::FullState, Where::PluginHostState, fullWithout},
                          Case{"sound", W::SoundPreset, Where::Document, soundWithout},
                          Case{"state with no mapping part", W::FullState, Where::PluginHostState, noPart}}) {
        SCOPED_TRACE(c.name);
        addVolumeMapping();
        ASSERT_NE(engine.midiParamMapper().findElement(Common::Volume), nullptr);
        EXPECT_TRUE(engine.deserialize(c.what, c.text, c.where));
        EXPECT_EQ(engine.midiParamMapper().findElement(Common::Volume), nullptr);
        EXPECT_EQ(engine.midiParamMapper().numberOfElements(), 0u);
    }
}

TEST_F(EngineState, SoundDocumentLeavesMasterSettingsAndPlaceAlone) {
    changeEverything(0.9f);
    const std::string full = engine.serialize(W::FullState, Where::PluginHostState);
    engine.set(EngineMaster::MasterVolume, 0.3f);
    engine.set(Common::Volume, 0.7f);
    sound.setPresetName("Other");
    sound.changeDirectoryToHomeDirectory();

    EXPECT_TRUE(engine.deserialize(W::SoundPreset, full, Where::Document));
    EXPECT_NEAR(engine.param(EngineMaster::MasterVolume).concreteValue(), 0.3f, 1e-6);
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.45f, 1e-6);
    EXPECT_EQ(sound.presetName(), "Other");
    EXPECT_EQ(sound.currentDirectory(), "");
}

TEST_F(EngineState, TextsWithoutPartsAreRefusedAndChangeNothing) {
    engine.set(Common::Volume, 0.8f);
    for (const std::string text : {"", "COMMON_VOLUME\t0.1\n", "   \n"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(engine.deserialize(W::FullState, text, Where::PluginHostState));
    }
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.8f, 1e-6);
    EXPECT_TRUE(notifications(iAudioEngine::Deserialized).empty());
}

TEST_F(EngineState, PartsWithoutParametersKeepTheParametersAndStillCountAsLoaded) {
    changeEverything(0.9f);
    const std::string before = rstrip(engine.manager.serialize(W::FullState, Where::PluginHostState));
    const std::string text = "[[Global]]\nsoundPresetName\tFound\nsoundPresetCurrentDirectory\tTOP_DIRECTORY\n";
    EXPECT_TRUE(engine.deserialize(W::FullState, text, Where::PluginHostState));
    EXPECT_EQ(rstrip(engine.manager.serialize(W::FullState, Where::PluginHostState)), before);
    EXPECT_EQ(sound.presetName(), "Found");
    EXPECT_TRUE(sound.isInVirtualTop());
    EXPECT_EQ(notifications(iAudioEngine::Deserialized), std::vector<int>{0x7fffff00});
}

TEST_F(EngineState, GlobalKeysAreReadOnlyUnderTheirMaskAndPlace) {
    const std::string text = "[[Global]]\nsoundPresetName\tRead\n\nsoundPresetCurrentDirectory\t\tUser:Mine\nunknown\tx\n";
    struct Case {
        W what;
        Where where;
        std::string name;
        std::string directory;
    };
    const Case cases[] = {
        {W::FullState, Where::PluginHostState, "Read", "User:Mine"},
        {W::FullState, Where::Document, "Before", "User:Mine"},
        {W::SoundPreset, Where::StateBackup, "Read", ""},
        {W::GlobalSettings, Where::InterAppHostState, "Before", "User:Mine"},
        {W::MicroTuningPart, Where::PluginHostState, "Read", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<uint32_t>(c.what));
        sound.changeDirectoryToHomeDirectory();
        sound.setPresetName("Before");
        EXPECT_TRUE(engine.deserialize(c.what, text, c.where));
        EXPECT_EQ(sound.presetName(), c.name);
        EXPECT_EQ(sound.currentDirectory(), c.directory);
    }
    EXPECT_FALSE(engine.deserializeAudioEngine(W::FullState, "", Where::PluginHostState));
}

TEST_F(EngineState, AFolderThatIsGoneDoesNotStopTheLoad) {
    const std::string text =
        "[[Global]]\nsoundPresetCurrentDirectory\tUser:Vanished\n[[Parameters]]\nTestSynth\tversion:2\nCOMMON_VOLUME\t0.25\n";
    EXPECT_TRUE(engine.deserialize(W::FullState, text, Where::PluginHostState));
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.25f, 1e-6);
}

TEST_F(EngineState, SinglePartDocumentsTouchOnlyTheirPart) {
    changeEverything(0.9f);
    const std::string mapping = engine.serialize(W::MidiMappingPart, Where::Document);
    const std::string arpeggio = engine.serialize(W::ArpeggiatorPart, Where::Document);
    const std::string tuning = engine.serialize(W::MicroTuningPart, Where::Document);

    // Clear every part, then load the documents one at a time.
    engine.initialize(W::FullState, Where::Document);
    engine.set(Common::Volume, 0.6f);
    ASSERT_EQ(engine.midiParamMapper().numberOfElements(), 0u);

    EXPECT_TRUE(engine.deserialize(W::MidiMappingPart, mapping, Where::Document));
    EXPECT_NE(engine.midiParamMapper().findElement(Common::Volume), nullptr);
    EXPECT_EQ(engine.arpeggiatorData().steps[3].transpose.load(), 0);

    EXPECT_TRUE(engine.deserialize(W::ArpeggiatorPart, arpeggio, Where::Document));
    EXPECT_EQ(engine.arpeggiatorData().steps[3].transpose.load(), 7);
    EXPECT_FLOAT_EQ(engine.param(Common::Arpeggiator).concreteValue(), 1.0f);
    EXPECT_FLOAT_EQ(engine.synth.microTuning()->data(4).detune, 0.0f);

    EXPECT_TRUE(engine.deserialize(W::MicroTuningPart, tuning, Where::Document));
    EXPECT_FLOAT_EQ(engine.synth.microTuning()->data(4).detune, -0.25f);
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.6f, 1e-6);
    EXPECT_EQ(notifications(iAudioEngine::Deserialized),
              (std::vector<int>{0x7fffff00, 0x20000, 0x40000, 0x80000}));
}

TEST_F(EngineState, DocumentManagersSaveAndLoadTheirKindThroughTheEngine) {
    changeEverything(0.9f);
    PresetDocFileManager& tunings = *engine.microtuningDocumentFileManager();
    PresetDocFileManager& patterns = *engine.arpeggiatorDocumentFileManager();
    ASSERT_TRUE(tunings.save("Stretched"));
    ASSERT_TRUE(patterns.save("Climb"));
    EXPECT_EQ(partTitles(LumoraTest::readFile(folders.folder / "Tun" / "Stretched.corvane_tun")),
              std::vector<std::string>{"MicroTuning"});

    engine.initialize(W::FullState, Where::Document);
    for (PresetDocFileManager* m : {&tunings, &patterns}) {
        const auto items = m->itemList(true);
        ASSERT_EQ(items.size(), 1u);
        ASSERT_TRUE(m->select(items[0]));
        EXPECT_TRUE(m->load());
    }
    EXPECT_FLOAT_EQ(engine.synth.microTuning()->data(4).detune, -0.25f);
    EXPECT_EQ(engine.arpeggiatorData().steps[3].transpose.load(), 7);
}

TEST_F(EngineState, AnUnreadableParametersHeaderFailsTheLoadAndKeepsTheSoundAndItsDocument) {
    changeEverything(0.9f);
    std::string damaged = engine.serialize(W::SoundPreset, Where::Document);
    const std::size_t version = damaged.find("version:");
    ASSERT_NE(version, std::string::npos);
    damaged.replace(version, damaged.find('\n', version) - version, "version:x");
    const std::filesystem::path document = std::filesystem::path((folders.folder / "Sound/User/Mine").string()) / "Damaged.corvane_snd";
    std::ofstream(document, std::ios::binary) << damaged;

    engine.set(Common::Volume, 0.2f);
    sound.setPresetName("Playing");
    EXPECT_FALSE(engine.deserialize(W::SoundPreset, damaged, Where::Document));
    EXPECT_FALSE(engine.deserialize(W::FullState, damaged, Where::PluginHostState));
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.2f, 1e-6);
    EXPECT_EQ(sound.presetName(), "Playing");
    EXPECT_NE(engine.midiParamMapper().findElement(Common::Volume), nullptr);
    EXPECT_TRUE(notifications(iAudioEngine::Deserialized).empty());

    // Through the document browser's load: refused, and the damaged file is left as it is.
    ASSERT_TRUE(sound.changeDirectory("User:Mine"));
    const auto items = sound.itemList(true);
    const auto mine = std::find_if(items.begin(), items.end(), [](const auto& item) { return item.stem() == "Damaged"; });
    ASSERT_NE(mine, items.end());
    ASSERT_TRUE(sound.select(*mine));
    EXPECT_FALSE(sound.load());
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.2f, 1e-6);
    EXPECT_EQ(LumoraTest::readFile(document.string()), damaged);
}

TEST_F(EngineState, InitializeResetsTheSelectedPieces) {
    changeEverything(0.9f);
    engine.set(EngineMaster::AudioQuality, 2);
    engine.set(Common::KeyboardHold, 1);

    // An arpeggiator document resets only the arpeggiator settings.
    engine.initialize(W::ArpeggiatorPart, Where::Document);
    EXPECT_FLOAT_EQ(engine.arpeggiatorData().swing.load(), 0.0f);
    EXPECT_EQ(engine.arpeggiatorData().steps[3].transpose.load(), 0);
    EXPECT_FLOAT_EQ(engine.param(Common::Arpeggiator).concreteValue(), 1.0f);
    EXPECT_FLOAT_EQ(engine.synth.microTuning()->data(4).detune, -0.25f);
    EXPECT_EQ(notifications(iAudioEngine::Deserialized), std::vector<int>{0x40000});

    engine.arpeggiatorData().swing = 0.5f;
    engine.initialize(W::FullState, Where::PluginHostState);
    EXPECT_FLOAT_EQ(engine.arpeggiatorData().swing.load(), 0.0f);
    EXPECT_FLOAT_EQ(engine.param(Common::Arpeggiator).concreteValue(), 0.0f);
    EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.5f, 1e-6);
    EXPECT_NEAR(engine.param(EngineMaster::MasterVolume).concreteValue(), 0.75f, 1e-6);
    EXPECT_FLOAT_EQ(engine.synth.microTuning()->data(4).detune, 0.0f);
    EXPECT_EQ(engine.midiParamMapper().numberOfElements(), 0u);
    // Kept by initialize: the audio quality and keyboard hold.
    EXPECT_FLOAT_EQ(engine.param(EngineMaster::AudioQuality).concreteValue(), 2.0f);
    EXPECT_FLOAT_EQ(engine.param(Common::KeyboardHold).concreteValue(), 1.0f);
    EXPECT_EQ(notifications(iAudioEngine::Deserialized), std::vector<int>{0x7fffff00});
}

namespace {

// A product whose own part reader fails with an exception, one of the standard library's or
// any other type.
class ThrowingSynth : public TestSynth {
public:
    using TestSynth::deserialize;
    bool standardException = true;

protected:
    bool deserialize(SerializeWhat, const MultiPartText&, SerializeWhere) override {
        if (standardException) throw std::runtime_error("unreadable part");
        throw 42;
    }
};

} // namespace

TEST(EngineStateFailure, AReaderThatThrowsEndsTheLoadWithFalseKeepingEarlierParts) {
    for (bool standard : {true, false}) {
        ThrowingSynth engine;
        engine.standardException = standard;
        EngineTest::TestAudioIO io(&engine);
        EngineTest::NotificationRecorder notes;
        engine.addNotificationObserver(&notes);
        const std::string text = "[[Parameters]]\nTestSynth\tversion:2\nCOMMON_VOLUME\t0.25\n";
        EXPECT_FALSE(engine.deserialize(W::FullState, text, Where::PluginHostState)) << standard;
        EXPECT_NEAR(engine.param(Common::Volume).concreteValue(), 0.25f, 1e-6);
        notes.dispatch();
        EXPECT_TRUE(notes.paramsOf(iAudioEngine::Deserialized).empty());
    }
}
