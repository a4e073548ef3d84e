#pragma once

#include <optional>
#include <string>

// The kit's texts come from its resource bundle "LinkKitResources.bundle" in the main bundle's
// resource folder; the callers keep English fallbacks for when the bundle is missing.
class LocalizedString {
public:
    // The bundle's text for the key (the key itself when the bundle has no entry); nothing while
    // the bundle cannot be found. The comment only documents the text for translators.
    static std::optional<std::string> resourcesLocalizedString(std::string const& key, std::string const& comment = {});
};
