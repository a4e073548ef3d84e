#pragma once

#include "model/settings/Lumora_Setting_Observer.h"
#include "screens/settings/base/Lumora_SettingPanelView.h"

#include <memory>
#include <string>

class Lumora_Settings;

// A panel bound to one persisted setting. While it is in the settings screen it observes the
// model's settings reports and shows its setting again whenever its key is reported, whoever
// changed it.
class Lumora_SettingPanelView_forSettings : public Lumora_SettingPanelView, public Lumora_Setting_Observer {
public:
    static constexpr char const* className = "Lumora_SettingPanelView_forSettings";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;
    ~Lumora_SettingPanelView_forSettings() override;

    // The model's settings, asked each time (none without a model).
    std::shared_ptr<Lumora_Settings> settings() const;
    // The key the panel shows; the base shows none.
    virtual std::string keyForSetting() const { return ""; }

    // Shows the setting's current value.
    virtual void updateUI() {}

    // A panel that observes the model moves its registration to the new model.
    void setCore(std::shared_ptr<Lumora_Core> core) override;
    void willMoveToSuperview(Platform::View* newSuperview) override;
    void onChangeSettingWithKey(std::string const& key) override;

    bool isObservingModel() const { return observing_; }

private:
    void stopObserving();

    bool observing_ = false;
};
