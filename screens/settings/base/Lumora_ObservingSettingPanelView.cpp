#include "screens/settings/base/Lumora_ObservingSettingPanelView.h"

#include "model/core/Lumora_Core.h"

void Lumora_ObservingSettingPanelView::setCore(std::shared_ptr<Lumora_Core> newCore)
{
    bool const wasObserving = observing_;
    stopObserving();
    Lumora_SettingPanelView::setCore(std::move(newCore));
    if (wasObserving)
        startObserving();
}

void Lumora_ObservingSettingPanelView::willMoveToSuperview(Platform::View* newSuperview)
{
    if (newSuperview) {
        startObserving();
        updateUI();
    } else {
        stopObserving();
    }
    Lumora_SettingPanelView::willMoveToSuperview(newSuperview);
}

void Lumora_ObservingSettingPanelView::startObserving()
{
    if (observing_)
        return;
    if (auto model = core()) {
        addModelObserver(*model);
        observing_ = true;
    }
}

void Lumora_ObservingSettingPanelView::stopObserving()
{
    if (observing_) {
        if (auto model = core())
            removeModelObserver(*model);
    }
    observing_ = false;
}
