#include "engine/zip/Zip.h"
#include "engine/zip/ZqZipArchive.h"

#include "platform/foundation/Log.h"
#include "tests/engine/files/TestFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <set>

#include <sys/stat.h>

namespace bfs = boost::filesystem;
using LumoraTest::readFile;
using LumoraTest::TestFolder;
using LumoraTest::writeFile;

namespace {

struct RawEntry {
    std::string name;
    std::string content;
    unsigned long versionMadeBy = 0x1300;
    unsigned long flag = 0;
};

// Writes entries exactly as given, as a foreign or hostile archiver would.
void writeRawArchive(bfs::path const& path, std::vector<RawEntry> const& entries) {
    zipFile archive = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    for (RawEntry const& entry : entries) {
        zip_fileinfo info{};
        ASSERT_EQ(zipOpenNewFileInZip4(archive, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                       -1, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                       entry.versionMadeBy, entry.flag),
                  ZIP_OK);
        if (!entry.content.empty())
            zipWriteInFileInZip(archive, entry.content.data(), static_cast<unsigned>(entry.content.size()));
        zipCloseFileInZip(archive);
    }
    ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);
}

std::set<std::string> entryNames(bfs::path const& archivePath) {
    std::set<std::string> names;
    unzFile archive = unzOpen(archivePath.c_str());
    if (!archive)
        return names;
    for (int result = unzGoToFirstFile(archive); result == UNZ_OK; result = unzGoToNextFile(archive)) {
        char name[512];
        unz_file_info info{};
        unzGetCurrentFileInfo(archive, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        names.insert(name);
    }
    unzClose(archive);
    return names;
}

// Everything below a folder, as relative paths.
std::set<std::string> treeOf(bfs::path const& folder) {
    std::set<std::string> items;
    for (bfs::recursive_directory_iterator it(folder), end; it != end; ++it)
        items.insert(it->path().lexically_relative(folder).string());
    return items;
}

} // namespace

TEST(ZipPacking, FolderIsKeptAsTopEntryWithOnlyEmptyFoldersAsFolderEntries) {
    TestFolder folder;
    writeFile(folder / "B" / "a.corvane_snd", "first");
    writeFile(folder / "B" / "S" / "b.corvane_snd", std::string(50000, 'b'));
    bfs::create_directories(folder / "B" / "E");
    ASSERT_TRUE(Lumora::zip((folder / "B").c_str(), (folder / "B.corvane_snd_pack").c_str()));
    EXPECT_EQ(entryNames(folder / "B.corvane_snd_pack"),
              (std::set<std::string>{"B/E/", "B/S/b.corvane_snd", "B/a.corvane_snd"}));

    ASSERT_TRUE(Lumora::unzip((folder / "B.corvane_snd_pack").c_str(), (folder / "out").c_str()));
    EXPECT_EQ(treeOf(folder / "out"),
              (std::set<std::string>{"B", "B/E", "B/S", "B/S/b.corvane_snd", "B/a.corvane_snd"}));
    EXPECT_EQ(readFile(folder / "out" / "B" / "S" / "b.corvane_snd"), std::string(50000, 'b'));
    // Modification times and permissions come back with the files.
    EXPECT_NEAR(static_cast<double>(bfs::last_write_time(folder / "out" / "B" / "a.corvane_snd")),
                static_cast<double>(bfs::last_write_time(folder / "B" / "a.corvane_snd")), 2.0);

    bfs::create_directories(folder / "Empty");
    ASSERT_TRUE(Lumora::zip((folder / "Empty").c_str(), (folder / "empty.zip").c_str()));
    EXPECT_EQ(entryNames(folder / "empty.zip"), (std::set<std::string>{"Empty/"}));
}

TEST(ZipPacking, OneFileGivesOneEntryNamedByTheFileAndRoundTrips) {
    TestFolder folder;
    writeFile(folder / "docs" / "Grand Pad.corvane_snd", "[[Parameters]]\nvalue\n");
    ASSERT_TRUE(Lumora::zip((folder / "docs" / "Grand Pad.corvane_snd").c_str(), (folder / "p.zip").c_str()));
    EXPECT_EQ(entryNames(folder / "p.zip"), (std::set<std::string>{"Grand Pad.corvane_snd"}));
    writeFile(folder / "out" / "Grand Pad.corvane_snd", "older, to be overwritten");
    ASSERT_TRUE(Lumora::unzip((folder / "p.zip").c_str(), (folder / "out").c_str()));
    EXPECT_EQ(readFile(folder / "out" / "Grand Pad.corvane_snd"), "[[Parameters]]\nvalue\n");
    EXPECT_EQ(treeOf(folder / "out"), (std::set<std::string>{"Grand Pad.corvane_snd"})) << "no temporary left";

    EXPECT_FALSE(Lumora::zip((folder / "missing").c_str(), (folder / "m.zip").c_str()));
    EXPECT_FALSE(Lumora::zip((folder / "docs").c_str(), (folder / "no" / "folder" / "x.zip").c_str()));
}

TEST(ZipUnpacking, MissingCorruptAndEmptyArchives) {
    TestFolder folder;
    EXPECT_FALSE(Lumora::unzip((folder / "missing.zip").c_str(), (folder / "out").c_str()));
    writeFile(folder / "garbage.zip", "this is not an archive at all, only text pretending to be one");
    EXPECT_FALSE(Lumora::unzip((folder / "garbage.zip").c_str(), (folder / "out").c_str()));

    // A real archive whose compressed data was damaged fails its check and reports failure.
    writeRawArchive(folder / "good.zip", {{"doc.corvane_snd", std::string(20000, 'z') + "tail"}});
    std::string bytes = readFile(folder / "good.zip");
    for (size_t i = 40; i < 60; ++i)
        bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
    writeFile(folder / "damaged.zip", bytes);
    Platform::ScopedLogCapture log;
    EXPECT_FALSE(Lumora::unzip((folder / "damaged.zip").c_str(), (folder / "out").c_str()));
    EXPECT_FALSE(bfs::exists(folder / "out" / "doc.corvane_snd")) << "a half-extracted document was left";
    EXPECT_TRUE(!bfs::exists(folder / "out") || bfs::is_empty(folder / "out"));
    Platform::Error error;

    writeRawArchive(folder / "none.zip", {});
    EXPECT_TRUE(Lumora::unzip((folder / "none.zip").c_str(), (folder / "empty-out").c_str()));

    EXPECT_FALSE(ZqZipArchive::unzipFileAtPath("", (folder / "out").string(), true, {}, &error));
    EXPECT_EQ(error.code(), -6);
    EXPECT_FALSE(ZqZipArchive::unzipFileAtPath((folder / "missing.zip").string(), (folder / "out").string(), true,
                                               {}, &error));
    EXPECT_EQ(error.code(), -1);
    EXPECT_EQ(error.localizedDescription(), "failed to open zip file");
}

TEST(ZipUnpacking, EntriesNamingPlacesOutsideTheDestinationLandInsideIt) {
    struct Case { std::string name, landsAt; };
    for (Case const& c : {Case{"../evil.txt", "evil.txt"}, Case{"..\\..\\evil.txt", "evil.txt"},
                          Case{"/tmp/evil.txt", "tmp/evil.txt"}, Case{"a/../../evil.txt", "evil.txt"},
                          Case{"C:\\evil.txt", "C:/evil.txt"}, Case{"ok/..\\..\\evil.txt", "evil.txt"},
                          Case{"a/../..", "1"}}) {
        TestFolder folder;
        writeRawArchive(folder / "odd.zip", {{"first.corvane_snd", "first"}, {c.name, "payload"}});
        Platform::ScopedLogCapture log;
        EXPECT_TRUE(Lumora::unzip((folder / "odd.zip").c_str(), (folder / "user").c_str())) << c.name << log.text();
        EXPECT_EQ(readFile(folder / "user" / "first.corvane_snd"), "first") << c.name;
        EXPECT_EQ(readFile(folder / "user" / c.landsAt), "payload") << c.name;
        EXPECT_FALSE(bfs::exists(folder / "evil.txt")) << c.name;
        EXPECT_FALSE(bfs::exists("/tmp/evil.txt") && readFile("/tmp/evil.txt") == "payload") << c.name;
    }
}

TEST(ZipUnpacking, LinksLeadingOutsideAreRefusedAndNothingIsWrittenThroughThem) {
    TestFolder folder;
    bfs::create_directories(folder / "outside");
    // A link entry (Unix host, link type in the mode), then a file that would go through it.
    zipFile archive = zipOpen((folder / "link.zip").c_str(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    info.external_fa = 0120777ul << 16;
    zipOpenNewFileInZip4(archive, "escape", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, -1, 0, -MAX_WBITS,
                         DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0x0314, 0);
    std::string const target = "../outside";
    zipWriteInFileInZip(archive, target.data(), static_cast<unsigned>(target.size()));
    zipCloseFileInZip(archive);
    zip_fileinfo plain{};
    zipOpenNewFileInZip4(archive, "escape/planted.txt", &plain, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, -1, 0,
                         -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0x0314, 0);
    zipWriteInFileInZip(archive, "x", 1);
    zipCloseFileInZip(archive);
    zipClose(archive, nullptr);

    Platform::ScopedLogCapture log;
    EXPECT_FALSE(Lumora::unzip((folder / "link.zip").c_str(), (folder / "user").c_str()));
    EXPECT_TRUE(bfs::is_empty(folder / "outside"));

    // A link already standing in the destination does not carry a write outside either.
    writeRawArchive(folder / "through.zip", {{"dir/planted.txt", "x"}});
    bfs::create_directories(folder / "user2");
    bfs::create_directory_symlink(folder / "outside", folder / "user2" / "dir");
    EXPECT_FALSE(Lumora::unzip((folder / "through.zip").c_str(), (folder / "user2").c_str()));
    EXPECT_TRUE(bfs::is_empty(folder / "outside"));
}

TEST(ZipUnpacking, ForeignNamesSeparatorsAndSkippedEntries) {
    TestFolder folder;
    writeRawArchive(folder / "foreign.zip",
                    {{"sub\\inner\\doc.kyv_arp", "arp"},
                     {"./dot/../plain.kyv_tng", "tuning"},
                     {"__MACOSX/._doc.kyv_arp", "resource fork"},
                     {"Caf\x82.txt", "cp437", 0x0014, 0},            // made on MS-DOS, code page 437
                     {"Ma\xc3\xb1" "ana.txt", "utf8", 0x0014, 0x800},   // UTF-8 flag
                     {"folder/", ""}});
    Platform::ScopedLogCapture log;
    ASSERT_TRUE(Lumora::unzip((folder / "foreign.zip").c_str(), (folder / "out").c_str())) << log.text();
    EXPECT_EQ(treeOf(folder / "out"),
              (std::set<std::string>{"sub", "sub/inner", "sub/inner/doc.kyv_arp", "plain.kyv_tng", "Caf\xc3\xa9.txt",
                                     "Ma\xc3\xb1" "ana.txt", "folder"}));
}

TEST(ZipUnpacking, OverwriteOffKeepsExistingFiles) {
    TestFolder folder;
    writeRawArchive(folder / "a.zip", {{"doc.txt", "from archive"}});
    writeFile(folder / "out" / "doc.txt", "mine");
    EXPECT_TRUE(ZqZipArchive::unzipFileAtPath((folder / "a.zip").string(), (folder / "out").string(), false, {},
                                              static_cast<Platform::Error*>(nullptr)));
    EXPECT_EQ(readFile(folder / "out" / "doc.txt"), "mine");
}

TEST(ZipHelpers, DosDatesSanitizingAndEncodings) {
    std::tm time{};
    time.tm_year = 2023 - 1900;
    time.tm_mon = 6;
    time.tm_mday = 14;
    time.tm_hour = 13;
    time.tm_min = 37;
    time.tm_sec = 42;
    std::uint32_t dos = ZqZipArchive::tmToDosDate(time);
    EXPECT_EQ(dos, (43u << 25) | (7u << 21) | (14u << 16) | (13u << 11) | (37u << 5) | 21u);
    std::time_t back = ZqZipArchive::dateWithMSDOSFormat(dos);
    std::tm local{};
    localtime_r(&back, &local);
    EXPECT_EQ(local.tm_year, time.tm_year);
    EXPECT_EQ(local.tm_mon, time.tm_mon);
    EXPECT_EQ(local.tm_mday, 14);
    EXPECT_EQ(local.tm_hour, 13);
    EXPECT_EQ(local.tm_min, 37);
    EXPECT_EQ(local.tm_sec, 42);
    time.tm_year = 1979 - 1900;
    EXPECT_EQ(ZqZipArchive::tmToDosDate(time), 0u);

    struct Case { std::string in, out; };
    for (Case const& c : {Case{"a/b/c.txt", "a/b/c.txt"}, Case{"a\\b\\c.txt", "a/b/c.txt"}, Case{"./a//b/./c", "a/b/c"},
                          Case{"a/x/../c", "a/c"}, Case{"../x", "x"}, Case{"/abs", "abs"}, Case{"D:x", "D:x"},
                          Case{"a/../..", ""}, Case{"../../a/b", "a/b"}}) {
        EXPECT_EQ(ZqZipArchive::sanitizedPath(c.in), c.out) << c.in;
    }
    EXPECT_EQ(ZqZipArchive::hexString({0x00, 0xAB, 0x7f}), "00AB7F");
    EXPECT_EQ(ZqZipArchive::base64RFC4648({0xfb, 0xff}), "-_8=");
    EXPECT_EQ(ZqZipArchive::base64RFC4648({'M', 'a', 'n'}), "TWFu");
    EXPECT_EQ(ZqZipArchive::base64RFC4648({'M'}), "TQ==");
}

TEST(ZipInspection, PayloadSizeAndPasswordQueries) {
    TestFolder folder;
    writeRawArchive(folder / "a.zip", {{"one", "12345"}, {"two", "678"}});
    Platform::Error error;
    EXPECT_EQ(ZqZipArchive::payloadSizeForArchiveAtPath((folder / "a.zip").string(), &error), 8u);
    EXPECT_FALSE(ZqZipArchive::isFilePasswordProtectedAtPath((folder / "a.zip").string()));
    EXPECT_TRUE(ZqZipArchive::isPasswordValidForArchiveAtPath((folder / "a.zip").string(), "", &error));
    EXPECT_EQ(ZqZipArchive::payloadSizeForArchiveAtPath((folder / "none.zip").string(), &error), 0u);
    EXPECT_EQ(error.code(), -1);
}

namespace {

struct CountingDelegate : ZqZipArchive::Delegate {
    std::vector<std::string> events;
    long stopAt = -1;
    void zipArchiveWillUnzipArchiveAtPath(std::string const&, unz_global_info const& info) override {
        events.push_back("will archive " + std::to_string(info.number_entry));
    }
    bool zipArchiveShouldUnzipFileAtIndex(long index, long, std::string const&, unz_file_info const&) override {
        return index != stopAt;
    }
    void zipArchiveDidUnzipFileAtIndex(long index, long total, std::string const&,
                                       std::string const& unzippedFilePath) override {
        events.push_back("did " + std::to_string(index) + "/" + std::to_string(total) + " "
                         + bfs::path(unzippedFilePath).filename().string());
    }
    void zipArchiveDidUnzipArchiveAtPath(std::string const&, unz_global_info const&, std::string const&) override {
        events.push_back("did archive");
    }
};

} // namespace

TEST(ZipUnpacking, DelegateHandlersAndCancelling) {
    TestFolder folder;
    writeRawArchive(folder / "two.zip", {{"one.txt", "1"}, {"two.txt", "2"}});

    CountingDelegate delegate;
    ASSERT_TRUE(ZqZipArchive::unzipFileAtPath((folder / "two.zip").string(), (folder / "a").string(), &delegate));
    EXPECT_EQ(delegate.events,
              (std::vector<std::string>{"will archive 2", "did 0/2 one.txt", "did 1/2 two.txt", "did archive"}));

    std::vector<std::string> progressed;
    bool completed = false;
    ASSERT_TRUE(ZqZipArchive::unzipFileAtPath(
        (folder / "two.zip").string(), (folder / "b").string(),
        [&](std::string const& entry, unz_file_info const&, long index, long total) {
            progressed.push_back(entry + " " + std::to_string(index) + "/" + std::to_string(total));
        },
        [&](std::string const* path, bool succeeded, Platform::Error const* error) {
            completed = path && succeeded && !error;
        }));
    EXPECT_EQ(progressed, (std::vector<std::string>{"one.txt 0/2", "two.txt 1/2"}));
    EXPECT_TRUE(completed);

    CountingDelegate stopping;
    stopping.stopAt = 1;
    EXPECT_FALSE(ZqZipArchive::unzipFileAtPath((folder / "two.zip").string(), (folder / "c").string(), &stopping));
    EXPECT_TRUE(bfs::exists(folder / "c" / "one.txt"));
    EXPECT_FALSE(bfs::exists(folder / "c" / "two.txt"));
}

TEST(ZipPacking, InstanceWritesDataAndRefusesWithoutAnOpenArchive) {
    TestFolder folder;
    ZqZipArchive closed((folder / "x.zip").string());
    EXPECT_FALSE(closed.writeData({'a'}, "a.txt"));
    EXPECT_FALSE(closed.close());

    ZqZipArchive archive((folder / "data.zip").string());
    ASSERT_TRUE(archive.open());
    EXPECT_TRUE(archive.writeData({'h', 'i'}, "hi.txt"));
    EXPECT_FALSE(archive.writeData({'x'}, "secret.txt", "password")) << "no encryption here: refused, not written plain";
    ASSERT_TRUE(archive.close());
    ASSERT_TRUE(Lumora::unzip((folder / "data.zip").c_str(), (folder / "out").c_str()));
    EXPECT_EQ(readFile(folder / "out" / "hi.txt"), "hi");
    EXPECT_EQ(treeOf(folder / "out"), (std::set<std::string>{"hi.txt"}));
}

namespace {

// One entry written with the given Unix mode and, where asked, a wrong checksum.
struct HostileEntry {
    std::string name;
    std::string content;
    unsigned long mode = 0100644;
    bool wrongChecksum = false;
};

void writeHostileArchive(bfs::path const& path, std::vector<HostileEntry> const& entries) {
    zipFile archive = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    for (HostileEntry const& entry : entries) {
        zip_fileinfo info{};
        info.external_fa = entry.mode << 16;
        // Stored raw, so that the checksum in the header is whatever we say.
        int const raw = entry.wrongChecksum ? 1 : 0;
        ASSERT_EQ(zipOpenNewFileInZip4(archive, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       raw ? 0 : Z_DEFLATED, raw ? 0 : -1, raw, -MAX_WBITS, DEF_MEM_LEVEL,
                                       Z_DEFAULT_STRATEGY, nullptr, 0, 0x0314, 0),
                  ZIP_OK);
        if (!entry.content.empty())
            zipWriteInFileInZip(archive, entry.content.data(), static_cast<unsigned>(entry.content.size()));
        if (raw)
            zipCloseFileInZipRaw(archive, entry.content.size(), 0xDEADBEEF);
        else
            zipCloseFileInZip(archive);
    }
    ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);
}

} // namespace

TEST(ZipUnpacking, HostileArchivesCreateNothingOutsideAndLoseNoDocument) {
    std::string const longName(300, 'n');
    struct Case {
        char const* what;
        std::vector<HostileEntry> entries;
        bool ok;
        std::set<std::string> tree;             // the destination afterwards (besides "mine.txt")
        std::string message;                    // a piece of the reported error
    };
    std::vector<Case> const cases = {
        {"a chain of links",
         {{"a", ".", 0120777}, {"b", "a/../..", 0120777}, {"b/planted.txt", "x"}, {"after.txt", "kept"}},
         false, {"b", "b/planted.txt", "after.txt"}, "symbolic link"},
        {"an absolute link", {{"abs", "/tmp", 0120777}, {"abs/planted.txt", "x"}}, false, {"abs", "abs/planted.txt"},
         "symbolic link"},
        {"a dangling link", {{"dangling", "nowhere/at/all", 0120777}}, false, {}, "symbolic link"},
        {"through the user's own link", {{"outlink/planted.txt", "x"}, {"after.txt", "kept"}}, false, {"after.txt"},
         "symbolic link"},
        {"a damaged entry over a document", {{"mine.txt", "replacement", 0100644, true}}, false, {}, "crc"},
        {"set-id, sticky and world-writable bits",
         {{"setuid.txt", "x", 0106777}, {"sticky.txt", "x", 0101666}}, true, {"setuid.txt", "sticky.txt"}, ""},
        {"control characters", {{std::string("bell\x07" "esc\x1b" "tab\t" "lf\n" "cr\r.txt"), "x"}}, true,
         {"bell-esc-tab-lf-cr-.txt"}, ""},
        {"a name too long, then a good one", {{longName + ".txt", "x"}, {"after.txt", "kept"}}, false, {"after.txt"},
         "longer than"},
        {"duplicate names", {{"dup.txt", "first"}, {"dup.txt", "second"}}, true, {"dup.txt"}, ""},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        bfs::create_directories(folder / "outside");
        bfs::create_directories(folder / "user");
        writeFile(folder / "user" / "mine.txt", "precious");
        bfs::create_directory_symlink(folder / "outside", folder / "user" / "outlink");
        writeHostileArchive(folder / "pack.zip", c.entries);

        Platform::ScopedLogCapture log;
        Platform::Error error;
        bool const ok = ZqZipArchive::unzipFileAtPath((folder / "pack.zip").string(), (folder / "user").string(), true,
                                                      true, 0, {}, &error, nullptr, {}, {});
        EXPECT_EQ(ok, c.ok) << log.text();
        EXPECT_TRUE(bfs::is_empty(folder / "outside"));
        EXPECT_EQ(readFile(folder / "user" / "mine.txt"), "precious");
        std::set<std::string> tree = treeOf(folder / "user");
        tree.erase("mine.txt");
        tree.erase("outlink");
        EXPECT_EQ(tree, c.tree) << log.text();
        if (!c.message.empty()) {
            EXPECT_NE(error.localizedDescription().find(c.message), std::string::npos) << error.localizedDescription();
        }
        for (std::string const& item : tree) {
            struct stat st {};
            ASSERT_EQ(::lstat((folder / "user" / item).c_str(), &st), 0) << item;
            EXPECT_FALSE(S_ISLNK(st.st_mode)) << item;
            EXPECT_EQ(st.st_mode & (S_ISUID | S_ISGID | S_ISVTX | S_IWGRP | S_IWOTH), 0u) << item;
        }
    }
}

TEST(ZipUnpacking, APackExpandingBeyondItsLimitIsRefusedBeforeAnythingIsWritten) {
    TestFolder folder;
    // About 300 MB of zeros, a few hundred kilobytes packed.
    zipFile archive = zipOpen((folder / "bomb.zip").c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    zip_fileinfo info{};
    ASSERT_EQ(zipOpenNewFileInZip(archive, "bomb.corvane_snd", &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 9),
              ZIP_OK);
    std::vector<char> const zeros(1 << 20, 0);
    for (int i = 0; i < 300; ++i)
        zipWriteInFileInZip(archive, zeros.data(), static_cast<unsigned>(zeros.size()));
    zipCloseFileInZip(archive);
    zipClose(archive, nullptr);
    ASSERT_LT(bfs::file_size(folder / "bomb.zip"), 2u << 20);

    Platform::ScopedLogCapture log;
    Platform::Error error;
    EXPECT_FALSE(ZqZipArchive::unzipFileAtPath((folder / "bomb.zip").string(), (folder / "user").string(), true, {},
                                               &error));
    EXPECT_NE(error.localizedDescription().find("refused pack"), std::string::npos) << error.localizedDescription();
    EXPECT_FALSE(bfs::exists(folder / "user" / "bomb.corvane_snd"));
    EXPECT_TRUE(!bfs::exists(folder / "user") || bfs::is_empty(folder / "user"));
}
