#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"

namespace Platform {
class Control;
}

// The stored sync method by name, with a button that opens the sync-method selector.
class SyncMethod_SettingPanelView : public Lumora_SettingPanelView_forSettings {
public:
    static constexpr char const* className = "SyncMethod_SettingPanelView";
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    std::string keyForSetting() const override { return "syncMethod"; }
    void updateUI() override;
    void actionShowSyncMethodSelector(Platform::Control* sender);

    Platform::Label* lableSyncMethod() const { return lableSyncMethod_.get(); }
    void setLableSyncMethod(Platform::Label* label) { lableSyncMethod_.reset(label); }

private:
    Platform::WeakRef<Platform::Label> lableSyncMethod_;
};
