#include "screens/settings/sync/SyncMethod_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"
#include "screens/settings/sync/SyncMethodNames.h"
#include "screens/settings/sync/SyncMethodSelector_VwCtrlr.h"

void SyncMethod_SettingPanelView::updateUI()
{
    auto s = settings();
    Platform::Label* label = lableSyncMethod_.get();
    if (!s || !label)
        return;
    label->setText(SyncMethodNames::nameOf(s->syncMethod()));
}

void SyncMethod_SettingPanelView::actionShowSyncMethodSelector(Platform::Control*)
{
    pushSubScreen(SyncMethodSelector_VwCtrlr::make(core()));
}
