#include "linkkit/ABLLinkViews.h"

#include "linkkit/views/ABLNotificationView.h"
#include "linkkit/views/ABLSettingsViewController.h"

std::shared_ptr<ABLLinkSettingsView> ABLLinkMakeSettingsView(ABLLink& link)
{
    return ABLSettingsViewController::create(&link);
}

void ABLLinkShowPeersNotification(unsigned long peers)
{
    ABLNotificationView::showNotificationMessage(peers);
}
