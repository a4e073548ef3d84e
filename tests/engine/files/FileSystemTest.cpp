#include "engine/files/FileSystem.h"

#include "tests/engine/files/TestFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = Lumora::filesystem;
using LumoraTest::readFile;
using LumoraTest::TestFolder;
using LumoraTest::writeFile;

TEST(FileSystemTrim, RemovesOnlyOneCharacter) {
    struct Case { std::string in, lastSlash, headDot; };
    for (Case const& c : {Case{"", "", ""}, Case{"/a/b//", "/a/b/", "/a/b//"}, Case{"..ext", "..ext", ".ext"},
                          Case{".corvane_snd", ".corvane_snd", "corvane_snd"}, Case{"plain", "plain", "plain"}}) {
        EXPECT_EQ(fs::trimLastSlash(c.in), c.lastSlash) << c.in;
        EXPECT_EQ(fs::trimHeadDot(c.in), c.headDot) << c.in;
    }
    EXPECT_FALSE(fs::temporaryPath().empty());
    EXPECT_NE(fs::temporaryPath().back(), '/');
}

TEST(FileSystemList, SortsByteWiseFiltersDirectoriesTooAndListsFoldersFirst) {
    TestFolder folder;
    writeFile(folder / "bass.corvane_snd", "b");
    writeFile(folder / "Bass.corvane_snd", "B");
    writeFile(folder / "notes.txt", "t");
    boost::filesystem::create_directory(folder / "sub");
    boost::filesystem::create_directory(folder / "dir.corvane_snd");
    boost::filesystem::create_symlink(folder / "missing", folder / "broken.corvane_snd");

    auto const p = [&](char const* name) { return (folder / name).string(); };
    EXPECT_EQ(fs::fileList(folder.path(), "corvane_snd"),
              (std::vector<std::string>{p("dir.corvane_snd"), p("Bass.corvane_snd"), p("bass.corvane_snd")}));
    EXPECT_EQ(fs::fileList(folder.path(), ".corvane_snd"), fs::fileList(folder.path(), "corvane_snd"));
    EXPECT_EQ(fs::fileList(folder.path(), ""),
              (std::vector<std::string>{p("dir.corvane_snd"), p("sub"), p("Bass.corvane_snd"), p("bass.corvane_snd"),
                                        p("notes.txt")}));
    EXPECT_EQ(fs::fileList(folder.path(), "."), fs::fileList(folder.path(), ""));
}

TEST(FileSystemList, MissingDirectoryPrintsOneLineAndGivesNothing) {
    TestFolder folder;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(fs::fileList(folder / "missing", "").empty());
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(printed.rfind("fileList: " + (folder / "missing").string() + " ", 0), 0u) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
}

TEST(FileSystemEmptyDirectory, HiddenEntriesCountAndFilesAreNotEmptyDirectories) {
    TestFolder folder;
    boost::filesystem::create_directory(folder / "empty");
    writeFile(folder / "hidden" / ".secret", "x");
    writeFile(folder / "file", "x");
    EXPECT_TRUE(fs::isEmptyDirectory(folder / "empty"));
    EXPECT_FALSE(fs::isEmptyDirectory(folder / "hidden"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fs::isEmptyDirectory(folder / "file"));
    EXPECT_EQ(testing::internal::GetCapturedStderr().rfind("isEmptyDirectory: ", 0), 0u);
}

TEST(FileSystemText, ReadsAndWritesWholeTextsWithAndWithoutLock) {
    TestFolder folder;
    for (bool lock : {false, true}) {
        auto const path = folder / (lock ? "locked" : "plain");
        ASSERT_TRUE(fs::writeTextToFile(path, "a long first text\nline two\n", lock));
        ASSERT_TRUE(fs::writeTextToFile(path, "short", lock));
        EXPECT_EQ(fs::readTextFromFile(path, lock), std::make_pair(true, std::string("short")));
        ASSERT_TRUE(fs::writeTextToFile(path, std::string("up to\0 here", 11), lock));
        EXPECT_EQ(readFile(path), "up to");
        ASSERT_TRUE(fs::writeTextToFile(path, "", lock));
        EXPECT_EQ(fs::readTextFromFile(path, lock), std::make_pair(true, std::string()));
    }
    writeFile(folder / "binary", std::string("a\0b\r\n", 5));
    EXPECT_EQ(fs::readTextFromFile(folder / "binary", true).second, std::string("a\0b\r\n", 5));
}

TEST(FileSystemText, MissingFileReportsWithoutLineFeed) {
    TestFolder folder;
    auto const path = folder / "missing";
    testing::internal::CaptureStderr();
    EXPECT_EQ(fs::readTextFromFile(path, true), std::make_pair(false, std::string()));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR! : readTextFromFile(" + path.string() + ") fopen faild.");
    EXPECT_FALSE(fs::writeTextToFile(folder / "no" / "such" / "folder", "x", true));
}

TEST(FileSystemText, LockedWriteAndReadWaitForAnotherDescriptorsLock) {
    TestFolder folder;
    auto const path = folder / "shared.corvane_snd";
    writeFile(path, "old content");
    int other = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);

    std::atomic<bool> written{false};
    std::atomic<bool> read{false};
    std::string seen;
    std::thread writer([&] { written = fs::writeTextToFile(path, "new", true); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(written.load());
    EXPECT_EQ(readFile(path), "old content") << "the file changed before the lock was free";

    ASSERT_EQ(::flock(other, LOCK_UN), 0);
    writer.join();
    EXPECT_TRUE(written.load());

    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    std::thread reader([&] {
        seen = fs::readTextFromFile(path, true).second;
        read = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(read.load());
    ::flock(other, LOCK_UN);
    reader.join();
    ::close(other);
    EXPECT_EQ(seen, "new");
}

// A write that the system refuses part-way (here: a file size limit) answers false and leaves the
// former document as it was.
TEST(FileSystemText, FailedWriteAnswersFalseAndKeepsTheFormerContent) {
    TestFolder folder;
    auto const path = folder / "doc.corvane_snd";
    writeFile(path, "precious former content");
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{64, 64};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        bool ok = fs::writeTextToFile(path, std::string(4096, 'x'), true);
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the write was reported as a success";
    EXPECT_EQ(readFile(path), "precious former content");

    EXPECT_FALSE(fs::writeTextToFile("/dev/full", "no room", false));
    EXPECT_FALSE(fs::writeTextToFile("/dev/full", "no room", true));
}

TEST(FileSystemText, AFailedFirstSaveLeavesNoDocumentBehind) {
    TestFolder folder;
    for (bool const lock : {true, false}) {
        auto const path = folder / (lock ? "locked.corvane_snd" : "plain.corvane_snd");
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{64, 64};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            bool ok = fs::writeTextToFile(path, std::string(4096, 'x'), lock);
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 1) << "the write was reported as a success";
        EXPECT_FALSE(boost::filesystem::exists(path)) << "an empty or partial document was left: " << path;
    }
}

TEST(FileSystemTree, DescendantAndParentCompareResolvedComponents) {
    TestFolder folder;
    boost::filesystem::create_directories(folder / "base" / "sub" / "deep");
    boost::filesystem::create_directories(folder / "base2");
    writeFile(folder / "base" / "..hidden", "x");
    auto const base = folder / "base";
    EXPECT_TRUE(fs::isDescendant(base / "sub" / "deep", base));
    EXPECT_TRUE(fs::isDescendant(base, base));
    EXPECT_TRUE(fs::isDescendant(base / "..hidden", base));
    EXPECT_FALSE(fs::isDescendant(folder / "base2", base));
    EXPECT_FALSE(fs::isDescendant(base / "sub" / ".." / "..", base));
    EXPECT_TRUE(fs::isParent(base, base / "sub"));
    EXPECT_FALSE(fs::isParent(base, base / "sub" / "deep"));
    EXPECT_FALSE(fs::isParent(base, base));
}

TEST(FileSystemTree, CopyMoveRemoveAndCreate) {
    TestFolder folder;
    writeFile(folder / "src" / "a.corvane_snd", "A");
    writeFile(folder / "src" / "S" / "b.corvane_snd", "B");
    writeFile(folder / "other", "O");

    EXPECT_TRUE(fs::copyDirectory(folder / "src", folder / "copy"));
    EXPECT_EQ(readFile(folder / "copy" / "S" / "b.corvane_snd"), "B");
    EXPECT_TRUE(fs::copyFile(folder / "other", folder / "copy" / "other"));
    EXPECT_TRUE(fs::rename(folder / "copy", folder / "moved"));
    EXPECT_FALSE(fs::exists(folder / "copy"));
    EXPECT_EQ(readFile(folder / "moved" / "a.corvane_snd"), "A");

    for (auto const& [source, destination] : {std::pair{folder / "other", folder / "src" / "a.corvane_snd"},
                                              std::pair{folder / "moved", folder / "src"}}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(fs::copyFile(source, destination));
        EXPECT_FALSE(fs::rename(source, destination));
        std::string printed = testing::internal::GetCapturedStderr();
        EXPECT_NE(printed.find("copyFile: " + source.string() + " -> " + destination.string() + " "), std::string::npos);
        EXPECT_NE(printed.find("moveItemAtPath:" + source.string() + " -> " + destination.string() + " : "),
                  std::string::npos);
    }
    EXPECT_EQ(readFile(folder / "other"), "O");
    EXPECT_EQ(readFile(folder / "src" / "a.corvane_snd"), "A");
    EXPECT_TRUE(fs::exists(folder / "moved" / "S" / "b.corvane_snd"));

    EXPECT_TRUE(fs::removeDirectory(folder / "moved"));
    EXPECT_FALSE(fs::exists(folder / "moved"));
    EXPECT_TRUE(fs::removeDirectory(folder / "other"));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fs::removeDirectory(folder / "other"));
    EXPECT_FALSE(fs::createDirectory(folder / "x" / "y"));
    EXPECT_FALSE(fs::createDirectory(folder / "src"));
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("removeDirectory: " + (folder / "other").string() + " "), std::string::npos);
    EXPECT_NE(printed.find("createDirectory:" + (folder / "x" / "y").string() + " : "), std::string::npos);
    EXPECT_TRUE(fs::createDirectory(folder / "x" / "y", true));
    EXPECT_TRUE(fs::createDirectory(folder / "x" / "y", true));
    EXPECT_TRUE(fs::is_directory(folder / "x" / "y"));
    EXPECT_FALSE(fs::is_regular_file(folder / "x" / "y"));
    EXPECT_TRUE(fs::is_regular_file(folder / "src" / "a.corvane_snd"));
}
