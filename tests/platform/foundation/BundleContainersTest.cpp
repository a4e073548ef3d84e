#include "platform/foundation/Bundle.h"
#include "platform/foundation/Containers.h"
#include "platform/foundation/Device.h"
#include "platform/foundation/Log.h"

#include "platform/foundation/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <utility>
#include <vector>

namespace fs = boost::filesystem;

TEST(Containers, LieBelowTheDataHomeAndExist) {
    ScratchFolder home(true);
    EXPECT_EQ(Platform::Containers::dataHome(), home.path());
    std::string group = Platform::Containers::appGroup("group.com.corvane");
    EXPECT_EQ(group, home.path() + "/Shared/AppGroup/group.com.corvane");
    EXPECT_TRUE(fs::is_directory(group));
    EXPECT_TRUE(fs::is_directory(Platform::Containers::documents()));
    EXPECT_TRUE(fs::is_directory(Platform::Containers::preferences()));
    // A group name cannot reach outside the containers.
    EXPECT_EQ(Platform::Containers::appGroup(".."), home.path() + "/Shared/AppGroup/_..");
    EXPECT_EQ(Platform::Containers::appGroup("a/../../b"), home.path() + "/Shared/AppGroup/a-..-..-b");
}

TEST(Containers, FollowXdgWithoutTheOverride) {
    ScratchFolder xdg;
    char const* saved = std::getenv("CORVANE_DATA_HOME");
    std::string savedValue = saved ? saved : "";
    char const* savedXdg = std::getenv("XDG_DATA_HOME");
    std::string savedXdgValue = savedXdg ? savedXdg : "";
    ::unsetenv("CORVANE_DATA_HOME");
    ::setenv("XDG_DATA_HOME", (xdg.path() + "/").c_str(), 1);
    EXPECT_EQ(Platform::Containers::dataHome(), xdg.path() + "/Corvane");
    if (saved)
        ::setenv("CORVANE_DATA_HOME", savedValue.c_str(), 1);
    if (savedXdg)
        ::setenv("XDG_DATA_HOME", savedXdgValue.c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

// Sets or clears environment variables for one scope and puts back what was there.
class ScopedEnvironment {
public:
    void set(char const* name, std::optional<std::string> const& value) {
        char const* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(Containers, ConfigHomeTakesTheOverrideThenXdgThenTheHomeFolder) {
    struct Case {
        char const* what;
        bool override;
        bool xdg;
        std::string expected;   // below the scratch folder
    };
    const Case cases[] = {
        {"override wins over XDG", true, true, "/own"},
        {"XDG without the override", false, true, "/xdg/Corvane"},
        {"neither: ~/.config", false, false, "/home/.config/Corvane"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder scratch;
        ScopedEnvironment environment;
        environment.set("CORVANE_CONFIG_HOME", c.override ? std::optional(scratch.path() + "/own/") : std::nullopt);
        environment.set("XDG_CONFIG_HOME", c.xdg ? std::optional(scratch.path() + "/xdg/") : std::nullopt);
        environment.set("HOME", scratch.path() + "/home");
        EXPECT_EQ(Platform::Containers::configHome(), scratch.path() + c.expected);
        EXPECT_TRUE(fs::is_directory(scratch.path() + c.expected));
        // The user defaults follow it.
        EXPECT_EQ(Platform::Containers::preferences(), scratch.path() + c.expected);
    }
}

TEST(Bundle, ReadsItsInformationListAndFindsResources) {
    ScratchFolder folder;
    std::string path = folder / "Corvane.app";
    fs::create_directories(path + "/Images");
    {
        std::ofstream info(path + "/Info.txt");
        info << "# information property list\n"
                "CFBundleIdentifier = \"com.corvane.app\"\n"
                "CFBundleDisplayName = \"Corvane\"\n"
                "AudioComponents = [{name = \"Corvane\", type = \"auri\", subtype = \"crvn\", version = 65536}]\n"
                "broken = [\n";
        std::ofstream(path + "/Images/header.png") << "png";
    }
    Platform::ScopedLogCapture log;
    auto bundle = Platform::Bundle::withPath(path + "/");
    ASSERT_TRUE(bundle);
    EXPECT_TRUE(log.contains("skipped 1 unreadable lines"));
    EXPECT_EQ(bundle->bundlePath(), path);
    EXPECT_EQ(bundle->resourcePath(), path);
    EXPECT_EQ(bundle->bundleIdentifier(), "com.corvane.app");
    Platform::Value const* components = bundle->objectForInfoDictionaryKey("AudioComponents");
    ASSERT_TRUE(components && components->array());
    EXPECT_EQ(*components->array()->at(0).dictionary()->at("type").string(), "auri");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("missing"), nullptr);

    EXPECT_EQ(bundle->pathForResource("header", "png", "Images"), path + "/Images/header.png");
    EXPECT_EQ(bundle->pathForResource("header.png", "", "Images/"), path + "/Images/header.png");
    EXPECT_FALSE(bundle->pathForResource("header", "png"));
    EXPECT_FALSE(bundle->pathForResource("Images", ""));   // a folder is no resource
    EXPECT_FALSE(Platform::Bundle::withPath(folder / "missing"));
}

TEST(Bundle, MainBundleFollowsItsVariableAndHasNoInformationByDefault) {
    ScratchFolder folder;
    ::setenv("CORVANE_MAIN_BUNDLE", folder.path().c_str(), 1);
    auto main = Platform::Bundle::main();
    EXPECT_EQ(main->bundlePath(), folder.path());
    EXPECT_EQ(Platform::Bundle::main(), main);
    EXPECT_TRUE(main->infoDictionary().empty());
    EXPECT_FALSE(main->bundleIdentifier());
    ::unsetenv("CORVANE_MAIN_BUNDLE");
    EXPECT_NE(Platform::Bundle::main()->bundlePath(), folder.path());
}

TEST(Device, IdiomFollowsItsVariable) {
    ::setenv("CORVANE_UI_IDIOM", "phone", 1);
    EXPECT_EQ(Platform::Device::userInterfaceIdiom(), Platform::UserInterfaceIdiom::Phone);
    ::setenv("CORVANE_UI_IDIOM", "pad", 1);
    EXPECT_EQ(Platform::Device::userInterfaceIdiom(), Platform::UserInterfaceIdiom::Pad);
    ::unsetenv("CORVANE_UI_IDIOM");
    EXPECT_EQ(Platform::Device::userInterfaceIdiom(), Platform::UserInterfaceIdiom::Pad);
}
