#pragma once

#include "model/settings/Lumora_Settings.h"

// The product's settings: kept in the user defaults that the app and the extension share through
// their application group, so a setting changed in one program is what the other reads next.
class Settings : public Lumora_Settings {
public:
    std::shared_ptr<Platform::UserDefaults> userDefaults() override;
};
