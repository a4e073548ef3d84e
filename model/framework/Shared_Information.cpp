#include "model/framework/Shared_Information.h"

#include "engine/files/FileSystem.h"
#include "platform/foundation/Containers.h"
#include "platform/foundation/Log.h"

#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <cstdlib>
#include <mutex>

namespace fs = boost::filesystem;

namespace {

std::string container() {
    return Platform::Containers::appGroup(Shared_Information::appGroupIdentifier);
}

std::string presetFolder(char const* relative) {
    return container() + "/Presets/" + relative;
}

bool makeFolder(std::string const& path) {
    boost::system::error_code error;
    fs::create_directories(path, error);
    if (error)
        Platform::log("ERROR! : initialSetup createDirectory(" + path + ") " + error.message());
    return !error;
}

// Copies a tree file by file, so that one file that cannot be copied costs only itself.
void copyTree(fs::path const& from, fs::path const& to) {
    boost::system::error_code error;
    for (fs::recursive_directory_iterator it(from, error), end; !error && it != end; it.increment(error)) {
        fs::path target = to / fs::relative(it->path(), from, error);
        if (error)
            break;
        boost::system::error_code itemError;
        if (fs::is_directory(it->path(), itemError))
            fs::create_directories(target, itemError);
        else if (fs::is_regular_file(it->path(), itemError))
            fs::copy_file(it->path(), target, fs::copy_options::skip_existing, itemError);
        if (itemError)
            Platform::log("ERROR! : initialSetup copy(" + it->path().string() + ") " + itemError.message());
    }
    if (error)
        Platform::log("ERROR! : initialSetup copy(" + from.string() + ") " + error.message());
}

} // namespace

void Shared_Information::initialSetup() {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);

    for (std::string const& folder : {soundUserDataDirectoryPath(), arpeggiatorUserDataDirectoryPath(),
                                      midimappingUserDataDirectoryPath(), microtuningUserDataDirectoryPath()})
        makeFolder(folder);

    std::string program = soundProgramDataDirectoryPath();
    if (!Lumora::filesystem::is_directory(program) && makeFolder(program)) {
        std::string shipped = frameworkResourcePath() + "/Data/Sound/Program";
        if (Lumora::filesystem::is_directory(shipped))
            copyTree(shipped, program);
    }
}

std::shared_ptr<Platform::UserDefaults> Shared_Information::sharedAppUserDefaults() {
    return Platform::UserDefaults::forSuite(appGroupIdentifier);
}

std::string Shared_Information::soundFactoryDataDirectoryPath() {
    return frameworkResourcePath() + "/Data/Sound/Factory";
}

std::string Shared_Information::soundUserDataDirectoryPath() {
    return presetFolder("Sound/User");
}

std::string Shared_Information::soundProgramDataDirectoryPath() {
    return presetFolder("Sound/Program");
}

std::string Shared_Information::arpeggiatorUserDataDirectoryPath() {
    return presetFolder("Arpeggiator");
}

std::string Shared_Information::midimappingUserDataDirectoryPath() {
    return presetFolder("MidiMapping");
}

std::string Shared_Information::microtuningUserDataDirectoryPath() {
    return presetFolder("Microtuning");
}

namespace {

std::mutex pluginFrameworkLock;
std::string pluginFrameworkPath;

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

void Shared_Information::setPluginFrameworkPath(std::string path) {
    std::lock_guard<std::mutex> guard(pluginFrameworkLock);
    pluginFrameworkPath = withoutTrailingSlashes(std::move(path));
}

std::string Shared_Information::frameworkResourcePath() {
    if (char const* forced = std::getenv("CORVANE_FRAMEWORK_BUNDLE"); forced && *forced)
        return withoutTrailingSlashes(forced);
    {
        std::lock_guard<std::mutex> guard(pluginFrameworkLock);
        if (!pluginFrameworkPath.empty() && Lumora::filesystem::is_directory(pluginFrameworkPath))
            return pluginFrameworkPath;
    }
    std::string installed = Platform::Bundle::main()->resourcePath() + "/Frameworks/Framework.framework";
    if (Lumora::filesystem::is_directory(installed))
        return installed;
    return std::string(CORVANE_SOURCE_RESOURCES) + "/Framework.framework";
}

std::shared_ptr<Platform::Bundle> Shared_Information::frameworkBundle() {
    static std::mutex lock;
    static std::shared_ptr<Platform::Bundle> bundle;
    std::string path = frameworkResourcePath();
    std::lock_guard<std::mutex> guard(lock);
    if (!bundle || bundle->bundlePath() != path)
        bundle = std::make_shared<Platform::Bundle>(path);
    return bundle;
}

std::optional<std::string> Shared_Information::defaultSoundPresetPath() {
    std::string path = frameworkResourcePath() + "/Data/Sound/" + defaultSoundPresetFileName;
    boost::system::error_code error;
    if (!fs::is_regular_file(path, error))
        return std::nullopt;
    return path;
}
