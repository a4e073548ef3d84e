#pragma once

#include "platform/foundation/PropertyList.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// A bundle: a folder of resources with an information property list, the file "Info.txt" at its
// top written in the property-list text (PropertyList.h). Resources lie directly in the folder
// (or in sub-folders), as in the flat bundles of a phone, so the resource path is the bundle path.
class Bundle {
public:
    static constexpr char const* infoFileName = "Info.txt";

    // The program's own bundle: the folder "CORVANE_MAIN_BUNDLE" names when set, otherwise the
    // folder of the running executable.
    static std::shared_ptr<Bundle> main();
    // The bundle at a folder; nothing when the folder does not exist.
    static std::shared_ptr<Bundle> withPath(std::string const& path);

    // Reads the information property list once; a missing one is an empty dictionary and a
    // damaged line is skipped (and logged) without losing the others.
    explicit Bundle(std::string path);

    std::string const& bundlePath() const { return path_; }
    std::string const& resourcePath() const { return path_; }
    // "CFBundleIdentifier" of the information property list.
    std::optional<std::string> bundleIdentifier() const;

    Dictionary const& infoDictionary() const { return info_; }
    Value const* objectForInfoDictionaryKey(std::string_view key) const;

    // The path of the existing resource "name.type" (type may be empty, or already part of the
    // name), looked up in the given sub-folder; nothing when there is no such file.
    std::optional<std::string> pathForResource(std::string_view name, std::string_view type,
                                               std::string_view subdirectory = {}) const;

    // The translation of a text from the strings table "<table>.strings" of the bundle (table
    // "Localizable" when empty), a file in the property-list text with the English text as each
    // key: "Save" = "Sichern". Without a translation: the value when it is not empty, else the
    // key, so a text appears as written when no table translates it.
    std::string localizedStringForKey(std::string const& key, std::string const& value = {},
                                      std::string const& table = {}) const;
    std::string localizedString(std::string const& key) const { return localizedStringForKey(key); }

private:
    Dictionary const& stringsTable(std::string const& table) const;

    std::string path_;
    Dictionary info_;
    // Tables are read once, on first use, from whichever thread asks first.
    mutable std::mutex stringsLock_;
    mutable std::map<std::string, Dictionary> strings_;
};

} // namespace Platform
