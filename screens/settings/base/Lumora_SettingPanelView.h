#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_PinnedPartsView.h"

#include <memory>

class Lumora_Core;
class Lumora_SettingsVwCtrlr;

namespace Platform {
class ViewController;
}

// One panel of the settings screen: a small view of the panel file "SettingsPanelVws". It knows
// the model and the settings screen that shows it; a panel that opens a sub-screen pushes it on
// that screen's navigation stack. The screen gives each panel its width; the panel's parts keep
// their places by the sides they are pinned to.
class Lumora_SettingPanelView : public Lumora_PinnedPartsView {
public:
    static constexpr char const* className = "Lumora_SettingPanelView";
    explicit Lumora_SettingPanelView(Platform::Rect frame = {});

    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }
    virtual void setCore(std::shared_ptr<Lumora_Core> core) { core_ = core; }

    Lumora_SettingsVwCtrlr* ownerSettingVwCtrlr() const { return owner_.get(); }
    void setOwnerSettingVwCtrlr(Lumora_SettingsVwCtrlr* owner);

    // Opens a sub-screen on the owning screen's navigation stack, in the header's colours;
    // nothing without an owner inside a navigation controller.
    void pushSubScreen(std::shared_ptr<Platform::ViewController> const& subScreen);

private:
    Lumora_CoreRef core_;
    Platform::WeakRef<Lumora_SettingsVwCtrlr> owner_;
};
