#include "model/framework/Shared_Information.h"

#include "platform/foundation/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace fs = boost::filesystem;

namespace {

void writeFile(std::string const& path, std::string const& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A program with its own data home and its own copy of the framework's bundle.
class SharedInformationTest : public ::testing::Test {
protected:
    SharedInformationTest() { ::setenv("CORVANE_FRAMEWORK_BUNDLE", framework.path().c_str(), 1); }
    ~SharedInformationTest() override { ::unsetenv("CORVANE_FRAMEWORK_BUNDLE"); }

    ScratchFolder home{true};
    ScratchFolder framework;
    std::string container = home.path() + "/Shared/AppGroup/" + Shared_Information::appGroupIdentifier;
};

} // namespace

TEST_F(SharedInformationTest, InitialSetupMakesEveryDocumentFolderInTheSharedContainer) {
    std::vector<std::string> folders{
        Shared_Information::soundUserDataDirectoryPath(),       Shared_Information::soundProgramDataDirectoryPath(),
        Shared_Information::arpeggiatorUserDataDirectoryPath(), Shared_Information::midimappingUserDataDirectoryPath(),
        Shared_Information::microtuningUserDataDirectoryPath(),
    };
    for (auto const& folder : folders) {
        SCOPED_TRACE(folder);
        EXPECT_EQ(folder.rfind(container + "/Presets/", 0), 0u);
    }
    EXPECT_EQ(std::set<std::string>(folders.begin(), folders.end()).size(), folders.size());

    Shared_Information::initialSetup();
    for (auto const& folder : folders)
        EXPECT_TRUE(fs::is_directory(folder)) << folder;
    Shared_Information::initialSetup();   // again: nothing changes, nothing fails
    for (auto const& folder : folders)
        EXPECT_TRUE(fs::is_directory(folder)) << folder;
}

TEST_F(SharedInformationTest, ANewProgramFolderStartsWithTheShippedProgramListOnlyOnce) {
    writeFile(framework / "Data/Sound/Program/01 Pad.corvane_snd", "pad");
    writeFile(framework / "Data/Sound/Program/Leads/02 Lead.corvane_snd", "lead");
    Shared_Information::initialSetup();
    std::string program = Shared_Information::soundProgramDataDirectoryPath();
    EXPECT_TRUE(fs::is_regular_file(program + "/01 Pad.corvane_snd"));
    EXPECT_TRUE(fs::is_regular_file(program + "/Leads/02 Lead.corvane_snd"));

    // The user's own choice of programs is kept at the next start.
    fs::remove(program + "/01 Pad.corvane_snd");
    Shared_Information::initialSetup();
    EXPECT_FALSE(fs::exists(program + "/01 Pad.corvane_snd"));
}

TEST_F(SharedInformationTest, FrameworkResourcesAndTheDefaultPreset) {
    EXPECT_EQ(Shared_Information::frameworkResourcePath(), framework.path());
    EXPECT_EQ(Shared_Information::soundFactoryDataDirectoryPath(), framework.path() + "/Data/Sound/Factory");
    EXPECT_FALSE(Shared_Information::defaultSoundPresetPath());

    writeFile(framework / "Data/Sound/Default.corvane_snd", "[[Parameters]]\n");
    writeFile(framework / "Images/Header.png", "png");
    writeFile(framework / "Info.txt", "CFBundleIdentifier = \"com.corvane.Framework\"\n");
    EXPECT_EQ(Shared_Information::defaultSoundPresetPath(), framework.path() + "/Data/Sound/Default.corvane_snd");

    ScratchFolder other;
    ::setenv("CORVANE_FRAMEWORK_BUNDLE", other.path().c_str(), 1);
    EXPECT_EQ(Shared_Information::frameworkBundle()->resourcePath(), other.path());
    ::setenv("CORVANE_FRAMEWORK_BUNDLE", (framework.path() + "/").c_str(), 1);
    auto bundle = Shared_Information::frameworkBundle();
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->resourcePath(), framework.path());
    EXPECT_EQ(bundle->bundleIdentifier(), "com.corvane.Framework");
    EXPECT_EQ(bundle->pathForResource("Header", "png", "Images"), framework.path() + "/Images/Header.png");
}

TEST_F(SharedInformationTest, WithoutAnInstalledFrameworkTheSourceTreeResourcesServe) {
    ::unsetenv("CORVANE_FRAMEWORK_BUNDLE");
    ScratchFolder mainBundle;
    ::setenv("CORVANE_MAIN_BUNDLE", mainBundle.path().c_str(), 1);
    std::string path = Shared_Information::frameworkResourcePath();
    EXPECT_EQ(fs::path(path).filename(), "Framework.framework");
    EXPECT_EQ(fs::path(path).parent_path().filename(), "resources");
    EXPECT_TRUE(Shared_Information::frameworkBundle());   // never null, even without the folder

    fs::create_directories(mainBundle / "Frameworks/Framework.framework");
    EXPECT_EQ(Shared_Information::frameworkResourcePath(), mainBundle.path() + "/Frameworks/Framework.framework");
    ::unsetenv("CORVANE_MAIN_BUNDLE");
}

TEST_F(SharedInformationTest, OneSharedStoreInTheConfigHomeKeepsItsRegisteredDefaults) {
    auto store = Shared_Information::sharedAppUserDefaults();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->filePath().rfind(home.configPath() + "/", 0), 0u);
    store->registerDefaults({{"registered", 7}});
    store.reset();
    auto again = Shared_Information::sharedAppUserDefaults();
    EXPECT_EQ(again->integerForKey("registered"), 7);
}
