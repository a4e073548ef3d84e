#include "model/settings/Settings.h"

#include "model/framework/Shared_Information.h"

std::shared_ptr<Platform::UserDefaults> Settings::userDefaults() {
    return Shared_Information::sharedAppUserDefaults();
}
