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

void Lumora_SettingPanelView_forSettings::setCore(std::shared_ptr<Lumora_Core> newCore)
{
    bool const wasObserving = observing_;
    stopObserving();
    Lumora_SettingPanelView::setCore(std::move(newCore));
    if (wasObserving && core()) {
        core()->addSettingsObserver(this);
        observing_ = true;
    }
}

void Lumora_SettingPanelView_forSettings::willMoveToSuperview(Platform::View* newSuperview)
{
    if (newSuperview) {
        if (core() && !observing_) {
            core()->addSettingsObserver(this);
            observing_ = true;
        }
        updateUI();
    } else {
        stopObserving();
    }
    Lumora_SettingPanelView::willMoveToSuperview(newSuperview);
}

void Lumora_SettingPanelView_forSettings::stopObserving()
{
    if (observing_ && core())
        core()->removeSettingsObserver(this);
    observing_ = false;
}

void Lumora_SettingPanelView_forSettings::onChangeSettingWithKey(std::string const& key)
{
    if (key == keyForSetting())
        updateUI();
}
