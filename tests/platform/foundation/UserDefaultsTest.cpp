#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using Platform::Array;
using Platform::Dictionary;
using Platform::UserDefaults;
using Platform::Value;

namespace {

std::string fileText(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> leftovers(std::string const& folder) {
    std::vector<std::string> names;
    for (auto const& entry : boost::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.find(".tmp.") != std::string::npos)
            names.push_back(name);
    }
    return names;
}

// Runs body in a child process and answers its exit status.
template <class Body>
int inChildProcess(Body body) {
    pid_t child = ::fork();
    if (child == 0) {
        int status = body();
        ::_exit(status);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

class UserDefaultsTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string path = folder / "prefs/suite.defaults";
};

TEST_F(UserDefaultsTest, RegisteredDefaultsAnswerUntilAValueIsStoredAndAreNeverWritten) {
    auto store = std::make_shared<UserDefaults>(path);
    store->registerDefaults({{"tempo", 120.0}, {"omni", true}, {"name", "x"}});
    EXPECT_DOUBLE_EQ(store->doubleForKey("tempo"), 120.0);
    EXPECT_TRUE(store->boolForKey("omni"));
    EXPECT_FALSE(store->objectForKey("missing"));
    EXPECT_EQ(store->integerForKey("missing"), 0);
    EXPECT_FALSE(store->stringForKey("missing"));

    store->setDouble("tempo", 90.5);
    EXPECT_DOUBLE_EQ(store->doubleForKey("tempo"), 90.5);
    store->removeObjectForKey("tempo");
    EXPECT_DOUBLE_EQ(store->doubleForKey("tempo"), 120.0);
    store->setBool("other", true);
    EXPECT_EQ(fileText(path).find("omni"), std::string::npos);
    EXPECT_EQ(fileText(path).find("tempo"), std::string::npos);
}

TEST_F(UserDefaultsTest, ValuesSurviveReopeningTheFileAndReachAnotherInstance) {
    Array ports{Value(12345), Value(-7)};
    {
        auto store = UserDefaults::atPath(path);
        EXPECT_EQ(UserDefaults::atPath(path), store);   // one store per file within the process
        store->setBool("flag", true);
        store->setInteger("count", 4000000000LL);
        store->setFloat("size", 45.5f);
        store->setObject("dir", "Factory:/Bass");
        store->setObject("ports", ports);
        store->setObject("blob", Platform::Data{1, 2, 3});
        store->setObject("dict", Dictionary{{"a", 1}});
        EXPECT_TRUE(store->synchronize());
    }
    // The process restarting: no store object is left, the file is read afresh.
    auto reopened = UserDefaults::atPath(path);
    EXPECT_TRUE(reopened->boolForKey("flag"));
    EXPECT_EQ(reopened->integerForKey("count"), 4000000000LL);
    EXPECT_FLOAT_EQ(reopened->floatForKey("size"), 45.5f);
    EXPECT_EQ(reopened->stringForKey("dir"), "Factory:/Bass");
    EXPECT_EQ(reopened->arrayForKey("ports"), ports);
    EXPECT_EQ(reopened->dataForKey("blob"), (Platform::Data{1, 2, 3}));
    EXPECT_EQ(reopened->dictionaryForKey("dict"), (Dictionary{{"a", 1}}));
    EXPECT_FALSE(reopened->arrayForKey("flag"));   // a wrong kind is no array

    // A second program's store over the same file sees each change at its next read, and
    // neither loses the other's keys.
    UserDefaults other(path);
    reopened->setInteger("fromFirst", 1);
    EXPECT_EQ(other.integerForKey("fromFirst"), 1);
    other.setInteger("fromSecond", 2);
    reopened->setInteger("fromFirst", 3);
    EXPECT_EQ(other.integerForKey("fromSecond"), 2);
    EXPECT_EQ(other.integerForKey("fromFirst"), 3);
    EXPECT_EQ(reopened->integerForKey("fromSecond"), 2);
}

TEST_F(UserDefaultsTest, AnotherProcessWritingKeepsOurKeysAndIsSeenHere) {
    auto store = UserDefaults::atPath(path);
    store->setInteger("mine", 1);
    int status = inChildProcess([&] {
        UserDefaults child(path);
        if (child.integerForKey("mine") != 1)
            return 1;
        child.setObject("theirs", "written by the other program");
        return child.synchronize() ? 0 : 2;
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(store->stringForKey("theirs"), "written by the other program");
    store->setInteger("mine", 5);
    UserDefaults fresh(path);
    EXPECT_EQ(fresh.integerForKey("mine"), 5);
    EXPECT_EQ(fresh.stringForKey("theirs"), "written by the other program");
}

TEST_F(UserDefaultsTest, AFailedWriteLeavesTheWholeOldFileAndNoTemporaryFile) {
    auto store = UserDefaults::atPath(path);
    store->setInteger("kept", 7);
    std::string before = fileText(path);

    // The other process may write only a few bytes: its write of a large value fails midway.
    int status = inChildProcess([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Platform::setLogSink([](std::string const&) {});
        UserDefaults child(path);
        child.setObject("large", std::string(10000, 'x'));
        // The value stays in memory, but is reported as not on disk.
        bool answered = child.stringForKey("large").has_value();
        return answered && !child.synchronize() ? 0 : 1;
    });
    ASSERT_EQ(status, 0);
    EXPECT_EQ(fileText(path), before);
    EXPECT_TRUE(leftovers(folder / "prefs").empty());
    EXPECT_EQ(store->integerForKey("kept"), 7);
    EXPECT_FALSE(store->objectForKey("large"));
}

TEST_F(UserDefaultsTest, AReaderNeverSeesAPartlyWrittenFile) {
    auto store = UserDefaults::atPath(path);
    store->setInteger("counter", 0);
    std::atomic<bool> done{false};
    std::atomic<int> damaged{0}, reads{0};
    std::thread reader([&] {
        while (!done.load()) {
            auto parsed = Platform::PropertyListText::readDictionary(fileText(path));
            // The padding is written just before the counter: a whole file holds a matching pair.
            bool whole = parsed.unreadableLines == 0 && parsed.entries.count("counter") == 1;
            if (whole) {
                auto n = static_cast<std::size_t>(parsed.entries.at("counter").integerValue());
                auto found = parsed.entries.find("padding");
                std::size_t length = found == parsed.entries.end() ? 0 : found->second.string()->size();
                whole = length == n * 50 || length == (n + 1) * 50;
            }
            if (!whole)
                ++damaged;
            ++reads;
        }
    });
    for (int i = 1; i <= 200; ++i) {
        store->setObject("padding", std::string(static_cast<std::size_t>(i) * 50, 'p'));
        store->setInteger("counter", i);
    }
    done = true;
    reader.join();
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(damaged.load(), 0);
    EXPECT_TRUE(leftovers(folder / "prefs").empty());
}

TEST_F(UserDefaultsTest, ADamagedFileKeepsItsReadableKeysAndIsRewrittenCleanly) {
    boost::filesystem::create_directories(folder / "prefs");
    {
        std::ofstream out(path, std::ios::binary);
        out << "good = 1\nbroken = \"no end\n\x01\x02\x03\nalso = [1, 2]\n";
    }
    Platform::ScopedLogCapture log;
    auto store = UserDefaults::atPath(path);
    EXPECT_EQ(store->integerForKey("good"), 1);
    EXPECT_EQ(store->arrayForKey("also"), (Array{Value(1), Value(2)}));
    EXPECT_FALSE(store->objectForKey("broken"));
    EXPECT_TRUE(log.contains("skipped 2 unreadable lines"));

    store->setInteger("new", 2);
    auto reread = Platform::PropertyListText::readDictionary(fileText(path));
    EXPECT_EQ(reread.unreadableLines, 0u);
    EXPECT_EQ(reread.entries.size(), 3u);
}

TEST_F(UserDefaultsTest, EverySetPostsTheChangeOnTheSettingThread) {
    auto store = UserDefaults::atPath(path);
    auto& center = Platform::NotificationCenter::defaultCenter();
    std::vector<std::thread::id> heardOn;
    std::vector<void const*> posters;
    auto token = center.addObserver(UserDefaults::didChangeNotification, nullptr,
                                    [&](Platform::Notification const& n) {
                                        heardOn.push_back(std::this_thread::get_id());
                                        posters.push_back(n.object);
                                        // The store is usable from the handler.
                                        store->integerForKey("x");
                                    });
    store->setInteger("x", 1);
    std::thread setter([&] { store->removeObjectForKey("x"); });
    auto setterId = setter.get_id();
    setter.join();
    store->registerDefaults({{"x", 3}});   // registering is no change
    store->synchronize();
    center.removeObserver(token);
    ASSERT_EQ(heardOn.size(), 2u);
    EXPECT_EQ(heardOn[0], std::this_thread::get_id());
    EXPECT_EQ(heardOn[1], setterId);
    EXPECT_EQ(posters[0], store.get());
}

TEST(UserDefaultsSuites, EverySuiteLivesInTheConfigHome) {
    ScratchFolder home(true);
    auto group = UserDefaults::forSuite("group.com.corvane.shared");
    EXPECT_EQ(group->filePath(), home.configPath() + "/group.com.corvane.shared.defaults");
    auto own = UserDefaults::forSuite("com.corvane.app");
    EXPECT_EQ(own->filePath(), home.configPath() + "/com.corvane.app.defaults");
    auto sneaky = UserDefaults::forSuite("../../etc/passwd");
    EXPECT_EQ(sneaky->filePath().rfind(home.configPath() + "/", 0), 0u);
    EXPECT_EQ(UserDefaults::forSuite("group.com.corvane.shared"), group);

    // Registered once, answered to every later caller of the suite.
    UserDefaults::forSuite("com.corvane.registering")->registerDefaults({{"restoreLastState", true}});
    EXPECT_TRUE(UserDefaults::forSuite("com.corvane.registering")->boolForKey("restoreLastState"));
}
