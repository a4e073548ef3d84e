#include "screens/settings/panels/MicroTuning_SettingPanelView.h"

#include "platform/ui/ViewController.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"

// The editor is made with the panel's model and its owning settings screen; a program without
// the editor shows the panel's button doing nothing.
void MicroTuning_SettingPanelView::actionShowMicroTuningEditorVw(Platform::Control*)
{
    pushSubScreen(Lumora_SettingPanelRegistry::makeSubScreen(editorName, core(), ownerSettingVwCtrlr()));
}
