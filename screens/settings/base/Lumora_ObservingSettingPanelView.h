#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

#include <memory>

// A panel that observes the model while it is in the settings screen: it registers when it
// joins a view tree (and shows its value then), leaves the registration when it leaves the tree
// or goes away, and moves it along when it is given another model. What it observes is the
// derived panel's choice.
class Lumora_ObservingSettingPanelView : public Lumora_SettingPanelView {
public:
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    // Shows the bound value.
    virtual void updateUI() {}

    void setCore(std::shared_ptr<Lumora_Core> core) override;
    void willMoveToSuperview(Platform::View* newSuperview) override;

    bool isObservingModel() const { return observing_; }

protected:
    // The model keeps its observers unretained: the derived panel's destructor calls this, while
    // its removal hook is still its own.
    void stopObserving();

private:
    virtual void addModelObserver(Lumora_Core& core) = 0;
    virtual void removeModelObserver(Lumora_Core& core) = 0;
    void startObserving();

    bool observing_ = false;
};
