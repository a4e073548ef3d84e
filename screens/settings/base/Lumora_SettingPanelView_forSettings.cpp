#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"

#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"

// The model keeps its observers unretained: a panel that goes away with its screen, without
// leaving its superview first, must not stay registered.
Lumora_SettingPanelView_forSettings::~Lumora_SettingPanelView_forSettings()
{
    stopObserving();
}

std::shared_ptr<Lumora_Settings> Lumora_SettingPanelView_forSettings::settings() const
{
    return core() ? core()->settings() : nullptr;
}

void Lumora_SettingPanelView_forSettings::addModelObserver(Lumora_Core& core)
{
    core.addSettingsObserver(this);
}

void Lumora_SettingPanelView_forSettings::removeModelObserver(Lumora_Core& core)
{
    core.removeSettingsObserver(this);
}

void Lumora_SettingPanelView_forSettings::onChangeSettingWithKey(std::string const& key)
{
    if (key == keyForSetting())
        updateUI();
}
