#include "linkkit/views/ABLLinkSettingsViewController.h"

#include "linkkit/ABLLinkObject.h"
#include "linkkit/views/ABLSettingsViewController.h"

std::shared_ptr<Platform::ViewController> ABLLinkSettingsViewController::instance(ABLLink* link)
{
    if (!link)
        return nullptr;
    return std::dynamic_pointer_cast<ABLSettingsViewController>(link->settingsViewController());
}
