#pragma once

#include "model/settings/Lumora_Setting_Observer.h"
#include "screens/settings/base/Lumora_ObservingSettingPanelView.h"

#include <memory>
#include <string>

class Lumora_Settings;

// A panel bound to one persisted setting. While it is in the settings screen it observes the
// model's settings reports and shows its setting again whenever its key is reported, whoever
// changed it.
class Lumora_SettingPanelView_forSettings : public Lumora_ObservingSettingPanelView, public Lumora_Setting_Observer {
public:
    static constexpr char const* className = "Lumora_SettingPanelView_forSettings";
    using Lumora_ObservingSettingPanelView::Lumora_ObservingSettingPanelView;
    ~Lumora_SettingPanelView_forSettings() override;

    // The model's settings, asked each time (none without a model).
    std::shared_ptr<Lumora_Settings> settings() const;
    // The key the panel shows; the base shows none.
    virtual std::string keyForSetting() const { return ""; }

    void onChangeSettingWithKey(std::string const& key) override;

private:
    void addModelObserver(Lumora_Core& core) override;
    void removeModelObserver(Lumora_Core& core) override;
};
