// Documents that other apps hand over: packed documents of every kind unpacked into their kind's
// user folder, old-version sound files converted into the user sound folder and made the current
// sound, and URLs the app must refuse.
#include "app/support/AppShellTestSupport.h"

#include "engine/zip/Zip.h"

using namespace AppShellTest;
using AppShell::URL;

namespace {

class HandedOver : public AppShellFixture {
protected:
    void SetUp() override {
        AppShellFixture::SetUp();
        app = &launch();
        ASSERT_TRUE(app->launched);
    }
    bool open(URL const& url) { return app->application->openURL(url); }

    ScratchFolder outside;
    LaunchedApp* app = nullptr;
};

// The parameter text an earlier version stored as a whole sound file.
std::string oldSoundText(float drift) {
    return "Corvane\tversion:2\nPITCH_DRIFT\t" + std::to_string(drift) + "\n";
}

} // namespace

TEST_F(HandedOver, APackOfEachKindIsUnpackedIntoItsUserFolder) {
    struct Kind {
        char const* type;
        std::string userFolder;
    };
    Kind const kinds[] = {
        {"corvane_snd", Shared_Information::soundUserDataDirectoryPath()},
        {"corvane_midi", Shared_Information::midimappingUserDataDirectoryPath()},
        {"kyv_arp", Shared_Information::arpeggiatorUserDataDirectoryPath()},
        {"kyv_tng", Shared_Information::microtuningUserDataDirectoryPath()},
    };
    for (Kind const& kind : kinds) {
        std::string const folder = outside / (std::string("Pads ") + kind.type);
        writeFile(folder + "/Warm." + kind.type, "document of " + std::string(kind.type));
        std::string const pack = outside / (std::string("Pads.") + kind.type + "_pack");
        ASSERT_TRUE(Lumora::zip(folder.c_str(), pack.c_str())) << kind.type;

        EXPECT_TRUE(open(URL::fileURLWithPath(pack))) << kind.type;
        std::string const unpacked = kind.userFolder + "/Pads " + kind.type + "/Warm." + kind.type;
        EXPECT_EQ(readFile(unpacked), "document of " + std::string(kind.type)) << unpacked;
    }
    // A file of no known kind, and a pack that is no archive, are refused.
    writeFile(outside / "notes.txt", "text");
    EXPECT_FALSE(open(URL::fileURLWithPath(outside / "notes.txt")));
    writeFile(outside / "Broken.corvane_snd_pack", "not a zip archive");
    EXPECT_FALSE(open(URL::fileURLWithPath(outside / "Broken.corvane_snd_pack")));
}

TEST_F(HandedOver, AnOldVersionSoundFileBecomesAUserSoundAndTheCurrentSound) {
    writeFile(outside / "Old Lead.corvane", oldSoundText(0.9f));
    EXPECT_TRUE(open(URL::fileURLWithPath(outside / "Old Lead.corvane")));

    std::string const converted = Shared_Information::soundUserDataDirectoryPath() + "/Old Lead.corvane_snd";
    ASSERT_TRUE(boost::filesystem::exists(converted));
    EXPECT_NE(readFile(converted).find("[[Parameters]]"), std::string::npos);
    EXPECT_NE(readFile(converted).find("PITCH_DRIFT\t0.900000"), std::string::npos);
    EXPECT_FLOAT_EQ(app->value("PITCH_DRIFT"), 0.9f);
    EXPECT_EQ(app->presetName(), "Old Lead");

    // Handed over again with other content: the user's converted file is replaced.
    writeFile(outside / "Old Lead.corvane", oldSoundText(0.4f));
    EXPECT_TRUE(open(URL::fileURLWithPath(outside / "Old Lead.corvane")));
    EXPECT_NE(readFile(converted).find("PITCH_DRIFT\t0.400000"), std::string::npos);
}

TEST_F(HandedOver, AHostileOldVersionNameStaysInsideTheUserSoundFolder) {
    std::string const user = Shared_Information::soundUserDataDirectoryPath();
    writeFile(outside / "a:b*c?.corvane", oldSoundText(0.6f));
    EXPECT_TRUE(open(URL::fileURLWithPath(outside / "a:b*c?.corvane")));
    EXPECT_TRUE(boost::filesystem::exists(user + "/a-b-c-.corvane_snd"));
    EXPECT_EQ(app->presetName(), "a-b-c-");

    // Dots alone are a name here, not a way out of the folder.
    writeFile(outside / "...corvane", oldSoundText(0.6f));
    EXPECT_TRUE(open(URL::fileURLWithPath(outside / "...corvane")));
    EXPECT_TRUE(boost::filesystem::exists(user + "/...corvane_snd"));
    EXPECT_FALSE(boost::filesystem::exists(boost::filesystem::path(user).parent_path() / ".corvane_snd"));
}

TEST_F(HandedOver, AnOldVersionFileThatCannotBeConvertedIsNotReportedAsImported) {
    app->set("PITCH_DRIFT", 0.3f);
    std::string const previous = app->presetName();
    // Not text: the converter leaves it alone.
    writeFile(outside / "Noise.corvane", std::string("\xff\xfe\x00\x01", 4));
    EXPECT_FALSE(open(URL::fileURLWithPath(outside / "Noise.corvane")));
    EXPECT_FALSE(boost::filesystem::exists(Shared_Information::soundUserDataDirectoryPath() + "/Noise.corvane_snd"));
    EXPECT_EQ(app->presetName(), previous);
    EXPECT_FLOAT_EQ(app->value("PITCH_DRIFT"), 0.3f);
}

TEST_F(HandedOver, UrlsThatAreNotFilesOrCannotBeReachedAreRefused) {
    writeFile(outside / "Old.corvane", oldSoundText(0.9f));
    EXPECT_FALSE(open(URL::withString("https://example.invalid/Old.corvane")));
    EXPECT_FALSE(open(URL::withString(outside / "Old.corvane")));   // no scheme
    EXPECT_FALSE(open(URL::fileURLWithPath(outside / "missing.corvane_snd_pack")));

    // A security-scoped file that access is refused to.
    int stops = 0;
    URL refused = URL::fileURLWithPath(outside / "elsewhere/Old.corvane");
    refused.setSecurityScope({[] { return false; }, [&] { ++stops; }});
    EXPECT_FALSE(open(refused));
    EXPECT_EQ(stops, 0);

    // Access makes the file appear; it is opened and access is given back.
    URL scoped = URL::fileURLWithPath(outside / "scoped/Old Pad.corvane");
    scoped.setSecurityScope({[&] {
                                 writeFile(outside / "scoped/Old Pad.corvane", oldSoundText(0.7f));
                                 return true;
                             },
                             [&] { ++stops; }});
    EXPECT_TRUE(open(scoped));
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(app->presetName(), "Old Pad");

    // Access is granted but the file never comes: the coordinated read finds nothing.
    URL absent = URL::fileURLWithPath(outside / "absent/Gone.corvane");
    absent.setSecurityScope({[] { return true; }, [&] { ++stops; }});
    EXPECT_FALSE(open(absent));
    EXPECT_EQ(stops, 2);
}

TEST(AppShellURL, SchemesPathsAndExtensions) {
    URL const file = URL::withString("file:///music/Pads.corvane_snd_pack");
    EXPECT_TRUE(file.isFileURL());
    EXPECT_EQ(file.path(), "/music/Pads.corvane_snd_pack");
    EXPECT_EQ(file.lastPathComponent(), "Pads.corvane_snd_pack");
    EXPECT_EQ(file.pathExtension(), "corvane_snd_pack");
    EXPECT_FALSE(URL::withString("mailto:someone@example.invalid").isFileURL());
    EXPECT_EQ(URL::fileURLWithPath("/a/.hidden").pathExtension(), "");
    EXPECT_EQ(URL::fileURLWithPath("/a/b.c/name").pathExtension(), "");
    EXPECT_FALSE(URL::fileURLWithPath("/a").startAccessingSecurityScopedResource());
}
