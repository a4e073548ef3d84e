#include "screens/settings/base/Lumora_SettingPanelView_forSegments.h"

#include "model/settings/Lumora_Settings.h"

void Lumora_SettingPanelView_forSegments::updateUI()
{
    auto s = settings();
    if (Platform::SegmentedControl* control = sgmntCtrl(); control && s)
        control->setSelectedSegmentIndex(segmentOf(*s));
}

void Lumora_SettingPanelView_forSegments::actionValueChanged(Platform::Control*)
{
    auto s = settings();
    Platform::SegmentedControl* control = sgmntCtrl();
    if (!control || !s)
        return;
    store(*s, control->selectedSegmentIndex());
    if (showsAgainAfterStoring())
        updateUI();
}
