#include "screens/settings/base/Lumora_SettingPanelView.h"

#include "controls/painter/Lumora_Painter.h"
#include "platform/ui/NavigationController.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"

Lumora_SettingPanelView::Lumora_SettingPanelView(Platform::Rect frame)
    : Lumora_PinnedPartsView(frame)
{
}

void Lumora_SettingPanelView::setOwnerSettingVwCtrlr(Lumora_SettingsVwCtrlr* owner)
{
    owner_.reset(owner);
}

void Lumora_SettingPanelView::pushSubScreen(std::shared_ptr<Platform::ViewController> const& subScreen)
{
    Lumora_SettingsVwCtrlr* owner = ownerSettingVwCtrlr();
    if (!owner || !subScreen)
        return;
    Platform::NavigationController* navigation = owner->navigationController();
    if (!navigation)
        return;
    Platform::NavigationBar* bar = navigation->navigationBar();
    bar->setBackgroundColor(Lumora_Painter::sharedInstance()->popoverHeaderColor());
    bar->setTranslucent(false);
    subScreen->setExtendedLayoutIncludesOpaqueBars(false);
    navigation->pushViewController(subScreen, true);
}
