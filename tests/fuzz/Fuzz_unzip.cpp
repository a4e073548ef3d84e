// A pack from anywhere, unpacked into a scratch folder that is emptied after each input. Anything
// an input makes outside that folder is a finding: the target checks its sibling stays empty.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <boost/filesystem.hpp>

#include "engine/zip/ZqZipArchive.h"

namespace bfs = boost::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bfs::path const root = [] {
        bfs::path const folder = bfs::temp_directory_path() / bfs::unique_path("corvane-fuzz-unzip-%%%%%%%%");
        bfs::create_directories(folder / "outside");
        return folder;
    }();
    bfs::path const archive = root / "input.zip";
    bfs::path const destination = root / "user" / "documents";
    {
        std::FILE* file = std::fopen(archive.c_str(), "wb");
        if (file == nullptr)
            return 0;
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    Platform::Error error;
    ZqZipArchive::unzipFileAtPath(archive.string(), destination.string(), true, true, 1, {}, &error, nullptr, {}, {});
    if (!bfs::is_empty(root / "outside"))
        std::abort();
    for (bfs::directory_iterator it(root), end; it != end; ++it) {
        std::string const name = it->path().filename().string();
        if (name != "outside" && name != "user" && name != "input.zip")
            std::abort();
    }
    boost::system::error_code ignored;
    bfs::remove_all(root / "user", ignored);
    return 0;
}
