#pragma once

#include <string>

// Told the key of every setting that changed (the model object, and through it the screens).
class Lumora_Setting_Observer {
public:
    virtual ~Lumora_Setting_Observer() = default;
    virtual void onChangeSettingWithKey(std::string const& key) = 0;
};
