#include "app/StateLocations.h"

#include <cstdlib>

#include <boost/filesystem/operations.hpp>

namespace AppShell {

namespace {
std::string fromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value ? value : "";
}
} // namespace

std::string stateDirectory() {
    std::string folder = fromEnvironment("CORVANE_STATE_HOME");
    if (folder.empty()) {
        std::string base = fromEnvironment("XDG_STATE_HOME");
        if (base.empty()) {
            const std::string home = fromEnvironment("HOME");
            base = (home.empty() ? std::string(".") : home) + "/.local/state";
        }
        folder = base + "/Corvane";
    }
    boost::system::error_code ignored;
    boost::filesystem::create_directories(folder, ignored);
    return folder.back() == '/' ? folder : folder + "/";
}

} // namespace AppShell
