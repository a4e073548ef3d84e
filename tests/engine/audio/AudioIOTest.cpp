#include <memory>

#include <boost/filesystem.hpp>

#include <gtest/gtest.h>

#include "engine/audio/EngineTestSupport.h"
#include "engine/audio/MasterParameters.h"
#include "engine/documents/PresetDocFileManager.h"

using namespace Lumora;
using namespace EngineTest;
using Master = iAudioEngine::CommonParameters::Master;

TEST(AudioIO, AttachingCreatesMasterParametersAtTheirDefaults) {
    TestEngine engine;
    EXPECT_EQ(engine.manager.getParameter(Master::MasterVolume), nullptr);
    EXPECT_EQ(engine.engineVersion(), 0u);
    TestAudioIO io(&engine);
    EXPECT_EQ(engine.audioIO(), &io);
    EXPECT_EQ(io.audioEngine(), &engine);

    struct Row { int id; const char* key; float value; uint32_t options; uint32_t what; };
    const Row rows[] = {
        {1100, "MASTER_VOLUME", 0.75f, 0x0, 0x100},
        {1180, "AUDIO_ENGINE_VERSION", 0.0f, 0x1, 0x10000},
        {1190, "MASTER_AUDIO_QUALITY", 1.0f / 127, 0x401, 0x100},
    };
    for (const Row& r : rows) {
        const Parameter* p = engine.manager.getParameter(r.id);
        ASSERT_NE(p, nullptr) << r.id;
        EXPECT_EQ(p->serializedName(), r.key);
        EXPECT_FLOAT_EQ(p->normalizedValue(), r.value);
        EXPECT_EQ(static_cast<uint32_t>(p->options()), r.options);
        EXPECT_EQ(static_cast<uint32_t>(p->serializeWhat()), r.what);
    }
    EXPECT_EQ(engine.manager.getParameter(1100)->displayName(), "Master Volume");
}

TEST(AudioIO, ObservesEveryParameterChangeAndAReplacementStartsAtDefaults) {
    TestEngine engine;
    auto first = std::make_unique<TestAudioIO>(&engine);
    Parameter* volume = engine.manager.getParameter(Master::MasterVolume);
    volume->setNormalizedValue(0.2f, ParameterObserver::Token::Host, AutomationEventType::None);
    ASSERT_EQ(first->changes.size(), 1u);
    EXPECT_EQ(first->changes[0].first, volume);
    EXPECT_EQ(first->changes[0].second, ParameterObserver::Token::Host);

    first.reset();
    EXPECT_EQ(engine.audioIO(), nullptr);
    TestAudioIO second(&engine);
    volume = engine.manager.getParameter(Master::MasterVolume);
    EXPECT_FLOAT_EQ(volume->normalizedValue(), 0.75f);
    engine.manager.getParameter(Master::AudioEngineVersion)->setConcreteValue(2, ParameterObserver::Token::Document);
    EXPECT_EQ(engine.engineVersion(), 2u);
    EXPECT_EQ(second.changes.size(), 1u);
    EXPECT_EQ(engine.manager.getParameterMap().size(), 3u);
}

TEST(AudioIO, EitherObjectMayBeDestroyedFirst) {
    {
        auto engine = std::make_unique<TestEngine>();
        auto io = std::make_unique<TestAudioIO>(engine.get());
        io.reset();
        engine.reset();
    }
    {
        auto engine = std::make_unique<TestEngine>();
        auto io = std::make_unique<TestAudioIO>(engine.get());
        engine.reset();
        EXPECT_EQ(io->audioEngine(), nullptr);
        float sample = 1.0f;
        EXPECT_TRUE(io->renderBlock({}, {&sample}, 1, 48000.0f, {}, {}).empty());
        io.reset();
    }
}

TEST(EngineDocuments, ManagersExistOnlyForUsableConfigsAndOnlySoundMovesNotify) {
    namespace fs = boost::filesystem;
    const fs::path root = fs::temp_directory_path() / fs::unique_path("spine-docs-%%%%%%%%");
    fs::create_directories(root / "sound");
    fs::create_directories(root / "midi");
    ParameterManager documents("Docs", 1, nullptr);
    PresetDocFileManagerConfig sound{&documents, SerializeWhat::SoundPreset, "Sound Presets",
                                     "corvane_snd", {"", (root / "sound").string(), ""}};
    PresetDocFileManagerConfig midi{&documents, SerializeWhat::MidiMappingPart, "MIDI Mapping",
                                    "corvane_midi", {"", (root / "midi").string(), ""}};
    {
        TestEngine none;
        EXPECT_EQ(none.soundPresetFileManager(), nullptr);
        EXPECT_EQ(none.midiMappingFileManager(), nullptr);
    }
    {
        TestEngine engine(sound, midi);
        NotificationRecorder notes;
        engine.addNotificationObserver(&notes);
        ASSERT_NE(engine.soundPresetFileManager(), nullptr);
        ASSERT_NE(engine.midiMappingFileManager(), nullptr);
        engine.soundPresetFileManager()->changeDirectoryToHomeDirectory();
        engine.midiMappingFileManager()->changeDirectoryToHomeDirectory();
        engine.didChangeDirectory(engine.midiMappingFileManager(), "User:");
        notes.dispatch();
        EXPECT_EQ(notes.received, (std::vector<std::pair<int, int>>{{1010, 0}}));
    }
    fs::remove_all(root);
}
