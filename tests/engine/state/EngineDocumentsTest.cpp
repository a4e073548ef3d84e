#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/documents/PresetDocFileManager.h"
#include "engine/state/StateTestSupport.h"
#include "engine/zip/Zip.h"

using namespace Lumora;
using namespace SynthTest;
using namespace StateTest;
using Common = iSynthAudioEngine::SynthCommonParameters::Common;
namespace fs = boost::filesystem;

namespace {

struct EngineDocuments : ::testing::Test {
    DocumentFolders folders;
    SynthRig rig{folders.config()};
    TestSynth& engine = rig.engine;
    PresetDocFileManager& sound = *engine.soundPresetFileManager();

    float volume() { return engine.param(Common::Volume).concreteValue(); }

    // Sound documents A, B and C in the Program tree, of volumes 0.1, 0.2 and 0.3.
    void writePrograms() {
        const char* names[] = {"A", "B", "C"};
        for (int i = 0; i < 3; ++i) {
            engine.set(Common::Volume, 0.1f * static_cast<float>(i + 1));
            LumoraTest::writeFile(folders.folder / "Sound" / "Program" / (std::string(names[i]) + ".corvane_snd"),
                                  engine.serialize(SerializeWhat::SoundPreset, SerializeWhere::Document));
        }
        engine.set(Common::Volume, 0.9f);
    }

    // A pack of one document named file, made in a scratch folder.
    fs::path pack(const std::string& file, const std::string& packName) {
        const fs::path source = folders.folder / "scratch" / file;
        LumoraTest::writeFile(source, "[[Parameters]]\nTestSynth\tversion:2\nCOMMON_VOLUME\t0.5\n");
        const fs::path zipPath = folders.folder / "drop" / packName;
        fs::create_directories(zipPath.parent_path());
        EXPECT_TRUE(zip(source.c_str(), zipPath.c_str()));
        return zipPath;
    }
};

} // namespace

TEST_F(EngineDocuments, ReceivedProgramChangeIsLoadedFromTheProgramListAfterTheBlock) {
    writePrograms();
    ASSERT_EQ(sound.programList().size(), 3u);

    // Nothing waits yet.
    engine.loadrecievedProgram();
    EXPECT_NEAR(volume(), 0.9f, 1e-6);

    // Two program changes in one block: only the second is loaded, once, and only by the
    // main-thread step.
    rig.render({MidiMessage(0xC0, 1, 0), MidiMessage(0xC0, 2, 0)});
    EXPECT_NEAR(volume(), 0.9f, 1e-6);
    engine.loadrecievedProgram();
    EXPECT_NEAR(volume(), 0.3f, 1e-6);
    EXPECT_EQ(sound.presetName(), "C");

    engine.set(Common::Volume, 0.9f);
    engine.loadrecievedProgram();
    EXPECT_NEAR(volume(), 0.9f, 1e-6);

    // The next change in a later block loads again.
    rig.render({MidiMessage(0xC0, 0, 0)});
    engine.loadrecievedProgram();
    EXPECT_NEAR(volume(), 0.1f, 1e-6);

    // A number beyond the list loads nothing and is not kept for later.
    engine.set(Common::Volume, 0.9f);
    rig.render({MidiMessage(0xC0, 40, 0)});
    engine.loadrecievedProgram();
    EXPECT_NEAR(volume(), 0.9f, 1e-6);
    EXPECT_FALSE(engine.isProgramChangeReceived());
}

TEST_F(EngineDocuments, OnlyTheSoundManagerReportsItsChangesOfPlace) {
    ASSERT_TRUE(sound.changeDirectory("User:Mine"));
    engine.midiMappingFileManager()->changeDirectoryToHomeDirectory();
    engine.arpeggiatorDocumentFileManager()->changeDirectoryToHomeDirectory();
    rig.notes.dispatch();
    EXPECT_EQ(rig.notes.paramsOf(iAudioEngine::PresetDirectoryChanged), std::vector<int>{0});
}

TEST_F(EngineDocuments, PackFilesUnpackIntoTheUserTreeOfTheirKind) {
    struct Case {
        const char* kind;
        const char* folder;
    };
    const Case cases[] = {
        {"corvane_snd", "Sound/User"},
        {"corvane_map", "Map"},
        {"corvane_arp", "Arp"},
        {"corvane_tun", "Tun"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::string document = std::string("Dropped.") + c.kind;
        const fs::path zipPath = pack(document, std::string("Dropped.") + c.kind + "_pack");
        EXPECT_TRUE(engine.unpackPresetFile(zipPath));
        EXPECT_TRUE(fs::exists(folders.folder / c.folder / document));
    }
}

TEST_F(EngineDocuments, UnpackingDeclinesOtherTypesAndReportsBrokenPacks) {
    const fs::path good = pack("Kept.corvane_snd", "Kept.corvane_snd_pack");
    const fs::path drop = folders.folder / "drop";
    fs::copy_file(good, drop / "Kept.CORVANE_SND_PACK");
    fs::copy_file(good, drop / "Kept.zip");
    fs::copy_file(good, drop / "Kept_corvane_snd_pack");
    LumoraTest::writeFile(drop / "Broken.corvane_snd_pack", "this is not a zip archive");
    for (const char* name : {"Kept.CORVANE_SND_PACK", "Kept.zip", "Kept_corvane_snd_pack",
                             "Broken.corvane_snd_pack", "Missing.corvane_tun_pack"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(engine.unpackPresetFile(drop / name));
        EXPECT_TRUE(fs::exists(drop / name) || std::string(name) == "Missing.corvane_tun_pack");
    }
    EXPECT_FALSE(fs::exists(folders.folder / "Sound" / "User" / "Kept.corvane_snd"));

    // A kind without a document manager is no kind at all.
    iSynthAudioEngine::Config noArpeggiator = folders.config();
    noArpeggiator.arpeggiatorType.clear();
    TestSynth bare(noArpeggiator);
    EXPECT_EQ(bare.arpeggiatorDocumentFileManager(), nullptr);
    EXPECT_FALSE(bare.unpackPresetFile(pack("Lost.corvane_arp", "Lost.corvane_arp_pack")));
    EXPECT_FALSE(fs::exists(folders.folder / "Arp" / "Lost.corvane_arp"));
}
