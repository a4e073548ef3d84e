#include "platform/foundation/Containers.h"

#include "platform/foundation/Log.h"
#include "platform/foundation/TemporaryDirectory.h"

#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <cstdlib>

namespace Platform::Containers {

namespace {

std::string variable(char const* name) {
    char const* value = std::getenv(name);
    return value && *value ? std::string(value) : std::string();
}

std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string ensured(std::string path) {
    boost::system::error_code error;
    boost::filesystem::create_directories(path, error);
    if (error)
        log("ERROR: createDirectory(" + path + ") " + error.message());
    return path;
}

// A group identifier names one folder: separators and parent steps cannot lead elsewhere.
std::string folderName(std::string name) {
    for (char& c : name) {
        if (c == '/' || c == '\0')
            c = '-';
    }
    if (name.empty() || name == "." || name == "..")
        name = "_" + name;
    return name;
}

} // namespace

std::string dataHome() {
    std::string home = variable("CORVANE_DATA_HOME");
    if (home.empty()) {
        if (std::string xdg = variable("XDG_DATA_HOME"); !xdg.empty())
            home = withoutTrailingSlash(xdg) + "/Corvane";
        else if (std::string user = variable("HOME"); !user.empty())
            home = withoutTrailingSlash(user) + "/.local/share/Corvane";
        else
            home = temporaryDirectory() + "Corvane";
    }
    return ensured(withoutTrailingSlash(home));
}

std::string configHome() {
    std::string home = variable("CORVANE_CONFIG_HOME");
    if (home.empty()) {
        if (std::string xdg = variable("XDG_CONFIG_HOME"); !xdg.empty())
            home = withoutTrailingSlash(xdg) + "/Corvane";
        else if (std::string user = variable("HOME"); !user.empty())
            home = withoutTrailingSlash(user) + "/.config/Corvane";
        else
            home = temporaryDirectory() + "Corvane/Config";
    }
    return ensured(withoutTrailingSlash(home));
}

std::string appGroup(std::string const& groupIdentifier) {
    return ensured(dataHome() + "/Shared/AppGroup/" + folderName(groupIdentifier));
}

std::string documents() {
    return ensured(dataHome() + "/Documents");
}

std::string preferences() {
    return configHome();
}

} // namespace Platform::Containers
