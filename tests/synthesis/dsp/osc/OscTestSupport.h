#pragma once

// Makes this test program build the wave tables itself, in a fresh temporary directory, instead of
// reading a cache left by an earlier run. Include it in one test file per program, before any table
// is touched (static initialization runs before main).
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace DspTest {

inline std::string freshTemporaryDirectory()
{
    const char* base = std::getenv("TMPDIR"); // the system's, not the program's own folder
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/dsp-osc-test-XXXXXX";
    if (char* made = ::mkdtemp(pattern.data()))
        return made;
    return "/tmp";
}

struct FreshTableCache {
    std::string directory = freshTemporaryDirectory();
    FreshTableCache() { ::setenv("CORVANE_TMPDIR", directory.c_str(), 1); }
    ~FreshTableCache()
    {
        std::error_code ec;
        if (directory != "/tmp")
            std::filesystem::remove_all(directory, ec);
    }
};

inline const std::string& tableCacheDirectory()
{
    static FreshTableCache cache;
    return cache.directory;
}

} // namespace DspTest
