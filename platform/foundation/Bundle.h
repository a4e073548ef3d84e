#pragma once

#include "platform/foundation/PropertyList.h"

#include <memory>
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

private:
    std::string path_;
    Dictionary info_;
};

} // namespace Platform
