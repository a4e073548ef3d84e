#include "model/conversion/ArpeggiatorPresetFileConverter.h"
#include "model/conversion/OldVersionPresetConversion.h"
#include "model/conversion/SoundPresetFileConverter.h"

#include "engine/synth/SynthCommonParameters.h"
#include "model/framework/Shared_Information.h"
#include "model/support/ModelTestSupport.h"
#include "platform/foundation/Containers.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/UserDefaults.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace fs = boost::filesystem;
using namespace ModelTest;
using Common = Lumora::iSynthAudioEngine::SynthCommonParameters::Common;
using Lumora::SerializeWhat;
using Lumora::SerializeWhere;

namespace {

void writeFile(std::string const& path, std::string const& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool startsWith(std::string const& text, std::string const& prefix) {
    return text.rfind(prefix, 0) == 0;
}

// Old documents: the body of one part, without its header. Sounds in the old three-field form
// (name, type word, concrete value).
std::string oldSound(float volume, int octave) {
    return "COMMON_VOLUME\tufloat\t" + std::to_string(volume) + "\nCOMMON_OCTAVE\tsint\t" + std::to_string(octave) +
           "\n";
}

// The body of the engine's own "Arpeggiator" part with the given octaves.
std::string arpeggiatorBody(Lumora::iSynthAudioEngine& engine, unsigned octaves) {
    engine.arpeggiatorData().octaves = octaves;
    std::string text = engine.serialize(SerializeWhat::ArpeggiatorPart, SerializeWhere::Document);
    engine.arpeggiatorData().initialize();
    std::string header = "[[Arpeggiator]]\n";
    EXPECT_TRUE(startsWith(text, header)) << text;
    return text.substr(header.size());
}

// The old documents folder of the app and the shared user folders, ready for a conversion.
struct ConversionRig : CoreRig {
    ConversionRig() {
        attachApp();
        Shared_Information::initialSetup();
        documents = Platform::Containers::documents();
        writeFile(documents + "/program/a.corvane", oldSound(0.25f, 1));
        writeFile(documents + "/program/b/c.corvane", oldSound(0.75f, -2));
        writeFile(documents + "/program/notes.txt", "not a preset");
        writeFile(documents + "/program/d.corvane_snd", oldSound(0.5f, 0));   // not an old type
        writeFile(documents + "/arpeggiator/up.corvane_arp", arpeggiatorBody(core->synth(), 2));
        writeFile(documents + "/arpeggiator/Fast/down.corvane_arp", arpeggiatorBody(core->synth(), 1));
        soundTarget = Shared_Information::soundUserDataDirectoryPath() + "/(Old Version Presets)";
        arpTarget = Shared_Information::arpeggiatorUserDataDirectoryPath() + "/(Old Version Presets - Corvane)";
    }

    // Reads a converted sound into the engine; answers the volume and octave it set.
    std::pair<float, float> soundOf(std::string const& path) {
        param(Common::Volume).setConcreteValue(0.0f, Token::ViewController);
        EXPECT_TRUE(core->synth().deserialize(SerializeWhat::SoundPreset, readFile(path), SerializeWhere::Document));
        return {param(Common::Volume).concreteValue(), param(Common::Octave).concreteValue()};
    }

    std::string documents;
    std::string soundTarget;
    std::string arpTarget;
};

} // namespace

TEST(PresetFileConverterTest, OldSoundsAndArpeggiatorsBecomeDocumentsInTheUserFolders) {
    ConversionRig rig;
    RecordingScreen screen;
    screen.attach(*rig.core);
    OldVersionPresetConversion::convertOldVersionPresets(rig.core->audioEngine(), "Corvane", rig.documents);
    // The reads went through the live engine, so the screens see them as document changes.
    rig.core->onTimer(nullptr);
    bool sawVolume = false;
    for (auto const& [id, token] : screen.shown)
        sawVolume |= id == Common::Volume && token == Token::Document;
    EXPECT_TRUE(sawVolume);

    EXPECT_TRUE(fs::is_regular_file(rig.soundTarget + "/a.corvane_snd"));
    EXPECT_TRUE(fs::is_regular_file(rig.soundTarget + "/b/c.corvane_snd"));
    EXPECT_FALSE(fs::exists(rig.soundTarget + "/notes.txt"));
    EXPECT_FALSE(fs::exists(rig.soundTarget + "/notes.corvane_snd"));
    EXPECT_FALSE(fs::exists(rig.soundTarget + "/d.corvane_snd"));
    EXPECT_TRUE(fs::is_regular_file(rig.arpTarget + "/up.kyv_arp"));
    EXPECT_TRUE(fs::is_regular_file(rig.arpTarget + "/Fast/down.kyv_arp"));
    // Nothing is taken from the old folder.
    EXPECT_TRUE(fs::is_regular_file(rig.documents + "/program/a.corvane"));

    // The converted sound starts with the parameters read from the old body.
    std::string a = readFile(rig.soundTarget + "/a.corvane_snd");
    EXPECT_NE(a.find("[[Parameters]]\nTestSynth\tversion:2\n"), std::string::npos) << a;
    EXPECT_NE(a.find("COMMON_VOLUME\t0.250000"), std::string::npos) << a;
    EXPECT_NE(a.find("[[Arpeggiator]]"), std::string::npos) << "the other parts of the mask come from the engine";
    auto [volumeA, octaveA] = rig.soundOf(rig.soundTarget + "/a.corvane_snd");
    EXPECT_FLOAT_EQ(volumeA, 0.25f);
    EXPECT_FLOAT_EQ(octaveA, 1.0f);
    auto [volumeC, octaveC] = rig.soundOf(rig.soundTarget + "/b/c.corvane_snd");
    EXPECT_FLOAT_EQ(volumeC, 0.75f);
    EXPECT_FLOAT_EQ(octaveC, -2.0f);

    // Arpeggiator documents hold the arpeggiator's part (and its switch), no sound.
    std::string up = readFile(rig.arpTarget + "/up.kyv_arp");
    EXPECT_TRUE(startsWith(up, "[[Arpeggiator]]\n")) << up;
    EXPECT_EQ(up.find("COMMON_VOLUME"), std::string::npos) << up;
    auto& arp = rig.core->synth().arpeggiatorData();
    ASSERT_TRUE(rig.core->synth().deserialize(SerializeWhat::ArpeggiatorPart, up, SerializeWhere::Document));
    EXPECT_EQ(arp.octaves.load(), 2u);
    ASSERT_TRUE(rig.core->synth().deserialize(SerializeWhat::ArpeggiatorPart,
                                              readFile(rig.arpTarget + "/Fast/down.kyv_arp"), SerializeWhere::Document));
    EXPECT_EQ(arp.octaves.load(), 1u);
    screen.detach(*rig.core);
}

TEST(PresetFileConverterTest, ConvertingAgainOverwritesTheEarlierResults) {
    ConversionRig rig;
    auto converter = Platform::newObject<SoundPresetFileConverter>();
    auto convert = [&] {
        return converter->convert_oldVersionDirectoryPath(rig.documents + "/program",
                                                          Shared_Information::soundUserDataDirectoryPath(),
                                                          "(Old Version Presets)", "corvane", "corvane_snd",
                                                          rig.core->audioEngine(), SerializeWhat::SoundPreset);
    };
    ASSERT_TRUE(convert());
    writeFile(rig.documents + "/program/a.corvane", oldSound(0.5f, 2));
    ASSERT_TRUE(convert());
    auto [volume, octave] = rig.soundOf(rig.soundTarget + "/a.corvane_snd");
    EXPECT_FLOAT_EQ(volume, 0.5f);
    EXPECT_FLOAT_EQ(octave, 2.0f);
    // No temporary files are left beside the results.
    for (fs::directory_iterator it(rig.soundTarget), end; it != end; ++it)
        EXPECT_NE(it->path().filename().string().front(), '.') << it->path();
}

TEST(PresetFileConverterTest, MissingFoldersAndUnwritableTargetsConvertNothingOrAreLogged) {
    ConversionRig rig;
    auto converter = Platform::newObject<SoundPresetFileConverter>();
    auto* engine = rig.core->audioEngine();
    std::string user = Shared_Information::soundUserDataDirectoryPath();

    EXPECT_FALSE(converter->convert_oldVersionDirectoryPath(rig.documents + "/none", user, "(Old Version Presets)",
                                                            "corvane", "corvane_snd", engine, SerializeWhat::SoundPreset));
    EXPECT_FALSE(converter->convert_oldVersionDirectoryPath(rig.documents + "/program", user + "/none", "(Old)",
                                                            "corvane", "corvane_snd", engine, SerializeWhat::SoundPreset));
    EXPECT_FALSE(fs::exists(user + "/none"));
    {
        // A file in the way of the converted folder.
        writeFile(user + "/(Blocked)", "");
        Platform::ScopedLogCapture log;
        EXPECT_FALSE(converter->convert_oldVersionDirectoryPath(rig.documents + "/program", user, "(Blocked)", "corvane",
                                                                "corvane_snd", engine, SerializeWhat::SoundPreset));
        EXPECT_TRUE(log.contains("ERROR! : [createDirectoryAtPath:(Blocked)] ")) << log.text();
    }
    {
        // A file in the way of a sub-folder: its files fail one by one, the others convert.
        writeFile(user + "/(Sub Blocked)/b", "");
        Platform::ScopedLogCapture log;
        EXPECT_TRUE(converter->convert_oldVersionDirectoryPath(rig.documents + "/program", user, "(Sub Blocked)",
                                                               "corvane", "corvane_snd", engine,
                                                               SerializeWhat::SoundPreset));
        EXPECT_TRUE(log.contains("ERROR! : [createDirectoryAtPath:" + user + "/(Sub Blocked)/b] ")) << log.text();
        EXPECT_TRUE(log.contains("ERROR! : [writeToFile:" + user + "/(Sub Blocked)/b/c.corvane_snd] ")) << log.text();
        EXPECT_TRUE(fs::is_regular_file(user + "/(Sub Blocked)/a.corvane_snd"));
    }
}

TEST(PresetFileConverterTest, AnOldFileThatIsNotTextIsSkipped) {
    ConversionRig rig;
    writeFile(rig.documents + "/program/broken.corvane", std::string("COMMON_VOLUME\tufloat\t0.5\n\xff\xfe\x80", 29));
    Platform::ScopedLogCapture log;
    OldVersionPresetConversion::convertOldVersionPresets(rig.core->audioEngine(), "Corvane", rig.documents);
    EXPECT_FALSE(fs::exists(rig.soundTarget + "/broken.corvane_snd"));
    EXPECT_TRUE(log.contains("broken.corvane")) << log.text();
    EXPECT_TRUE(fs::is_regular_file(rig.soundTarget + "/a.corvane_snd"));
}

TEST(PresetFileConverterTest, AnEmptyOldFileIsSkipped) {
    ConversionRig rig;
    writeFile(rig.documents + "/program/empty.corvane", "");
    Platform::ScopedLogCapture log;
    OldVersionPresetConversion::convertOldVersionPresets(rig.core->audioEngine(), "Corvane", rig.documents);
    // Not a copy of whatever sound the engine held, under this file's name.
    EXPECT_FALSE(fs::exists(rig.soundTarget + "/empty.corvane_snd"));
    EXPECT_TRUE(log.contains("empty.corvane")) << log.text();
    EXPECT_TRUE(fs::is_regular_file(rig.soundTarget + "/a.corvane_snd"));
}

TEST(PresetFileConverterTest, TheConversionRunsOnceUnlessTheUserAsksAgain) {
    ConversionRig rig;
    auto defaults = Platform::UserDefaults::standard();
    auto* engine = rig.core->audioEngine();

    EXPECT_TRUE(OldVersionPresetConversion::convertIfDue(*defaults, engine, "Corvane")) << "first launch";
    EXPECT_EQ(defaults->integerForKey("convertedVersion"), 2);
    EXPECT_TRUE(fs::is_regular_file(rig.soundTarget + "/a.corvane_snd"));

    fs::remove_all(rig.soundTarget);
    EXPECT_FALSE(OldVersionPresetConversion::convertIfDue(*defaults, engine, "Corvane")) << "next launch";
    EXPECT_FALSE(fs::exists(rig.soundTarget));

    defaults->setBool("convertOldVersionPresets", true);
    EXPECT_TRUE(OldVersionPresetConversion::convertIfDue(*defaults, engine, "Corvane")) << "asked again";
    EXPECT_FALSE(defaults->boolForKey("convertOldVersionPresets"));
    EXPECT_TRUE(fs::is_regular_file(rig.soundTarget + "/a.corvane_snd"));
    EXPECT_FALSE(OldVersionPresetConversion::convertIfDue(*defaults, engine, "Corvane")) << "and once only";

    // A version-1 installation converts too.
    defaults->setInteger("convertedVersion", 1);
    EXPECT_TRUE(OldVersionPresetConversion::convertIfDue(*defaults, engine, "Corvane"));
    EXPECT_EQ(defaults->integerForKey("convertedVersion"), 2);
}
