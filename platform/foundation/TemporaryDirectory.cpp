#include "platform/foundation/TemporaryDirectory.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

std::string withTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

} // namespace

std::string temporaryDirectory() {
    if (char const* forced = std::getenv("CORVANE_TMPDIR"); forced && *forced)
        return withTrailingSlash(forced);

    char const* base = std::getenv("TMPDIR");
    std::string system = withTrailingSlash(base && *base ? base : "/tmp");
    // One folder per user, like the per-application folder of a phone: other users can neither
    // read our caches nor plant files in them.
    std::string own = system + "corvane-" + std::to_string(::getuid());
    if (::mkdir(own.c_str(), 0700) != 0) {
        struct stat info {};
        if (::lstat(own.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::getuid())
            return system;
    }
    return own + "/";
}

} // namespace Platform
