#include "screens/settings/about/About_SettingPanelView.h"

#include "screens/settings/about/About_ViewController.h"

void About_SettingPanelView::actionShowAbout(Platform::Control*)
{
    if (!core())
        return;
    pushSubScreen(About_ViewController::newWithCore(core()));
}
