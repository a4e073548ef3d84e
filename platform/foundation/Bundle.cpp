#include "platform/foundation/Bundle.h"

#include "platform/foundation/Log.h"

#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

namespace Platform {

namespace {

std::string executableFolder() {
    boost::system::error_code error;
    auto executable = boost::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return boost::filesystem::current_path(error).string();
    return executable.parent_path().string();
}

bool isFolder(std::string const& path) {
    boost::system::error_code error;
    return boost::filesystem::is_directory(path, error);
}

bool isFile(std::string const& path) {
    boost::system::error_code error;
    return boost::filesystem::is_regular_file(path, error);
}

} // namespace

std::shared_ptr<Bundle> Bundle::main() {
    char const* forced = std::getenv("CORVANE_MAIN_BUNDLE");
    std::string path = forced && *forced ? std::string(forced) : executableFolder();

    // One bundle object per folder; the variable may point elsewhere later (tests do).
    static std::mutex lock;
    static std::shared_ptr<Bundle> cached;
    std::lock_guard<std::mutex> guard(lock);
    if (!cached || cached->bundlePath() != path)
        cached = std::make_shared<Bundle>(path);
    return cached;
}

std::shared_ptr<Bundle> Bundle::withPath(std::string const& path) {
    if (!isFolder(path))
        return nullptr;
    return std::make_shared<Bundle>(path);
}

Bundle::Bundle(std::string path) : path_(std::move(path)) {
    while (path_.size() > 1 && path_.back() == '/')
        path_.pop_back();
    std::string infoPath = path_ + "/" + infoFileName;
    std::ifstream in(infoPath, std::ios::binary);
    if (!in)
        return;
    std::ostringstream text;
    text << in.rdbuf();
    auto read = PropertyListText::readDictionary(text.str());
    info_ = std::move(read.entries);
    if (read.unreadableLines > 0)
        log("ERROR: Bundle(" + infoPath + ") skipped " + std::to_string(read.unreadableLines) + " unreadable lines");
}

std::optional<std::string> Bundle::bundleIdentifier() const {
    Value const* identifier = objectForInfoDictionaryKey("CFBundleIdentifier");
    if (identifier && identifier->string())
        return *identifier->string();
    return std::nullopt;
}

Value const* Bundle::objectForInfoDictionaryKey(std::string_view key) const {
    auto found = info_.find(key);
    return found == info_.end() ? nullptr : &found->second;
}

std::optional<std::string> Bundle::pathForResource(std::string_view name, std::string_view type,
                                                   std::string_view subdirectory) const {
    if (name.empty())
        return std::nullopt;
    std::string path = path_ + "/";
    if (!subdirectory.empty()) {
        path += subdirectory;
        if (path.back() != '/')
            path += '/';
    }
    path += name;
    if (!type.empty()) {
        if (type.front() != '.')
            path += '.';
        path += type;
    }
    if (!isFile(path))
        return std::nullopt;
    return path;
}

Dictionary const& Bundle::stringsTable(std::string const& table) const {
    // Called with stringsLock_ held.
    auto found = strings_.find(table);
    if (found != strings_.end())
        return found->second;
    Dictionary& entries = strings_[table];
    std::string const file = path_ + "/" + table + ".strings";
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return entries;
    std::ostringstream text;
    text << in.rdbuf();
    auto read = PropertyListText::readDictionary(text.str());
    entries = std::move(read.entries);
    if (read.unreadableLines > 0)
        log("ERROR: Bundle(" + file + ") skipped " + std::to_string(read.unreadableLines) + " unreadable lines");
    return entries;
}

std::string Bundle::localizedStringForKey(std::string const& key, std::string const& value,
                                          std::string const& table) const {
    {
        std::lock_guard<std::mutex> guard(stringsLock_);
        Dictionary const& entries = stringsTable(table.empty() ? std::string("Localizable") : table);
        auto found = entries.find(key);
        if (found != entries.end() && found->second.string())
            return *found->second.string();
    }
    return value.empty() ? key : value;
}

} // namespace Platform
