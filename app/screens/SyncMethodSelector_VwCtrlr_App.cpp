#include "app/screens/SyncMethodSelector_VwCtrlr_App.h"

#include "app/AudioIO_for_iOS_App.h"
#include "engine/audio/SyncInformation.h"
#include "engine/audio/iAudioEngine.h"
#include "linkkit/ABLLink.h"
#include "linkkit/views/ABLLinkSettingsViewController.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/NavigationController.h"

namespace {

// The stored sync method of the Link row, and the one a disabled Link falls back to.
constexpr auto linkMethod = static_cast<std::uint32_t>(Lumora::SyncMethod::Link);
constexpr auto internalMethod = static_cast<std::uint32_t>(Lumora::SyncMethod::Internal);

} // namespace

std::shared_ptr<SyncMethodSelector_VwCtrlr_App> SyncMethodSelector_VwCtrlr_App::create(std::shared_ptr<Lumora_Core> const& core)
{
    auto selector = std::make_shared<SyncMethodSelector_VwCtrlr_App>();
    if (!selector->initWithCore(core))
        return nullptr;
    return selector;
}

// The Link kit keeps the callback after the selector is gone: it is taken back here, so that a
// later switch never reaches a selector that no longer exists.
SyncMethodSelector_VwCtrlr_App::~SyncMethodSelector_VwCtrlr_App()
{
    onCloseAbLinkSettings();
    if (registeredLink_ && registeredLink_ == appLink())
        ABLLinkSetIsEnabledCallback(registeredLink_, nullptr, nullptr);
}

ABLLink* SyncMethodSelector_VwCtrlr_App::appLink() const
{
    Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
    auto* io = engine ? dynamic_cast<Lumora::AudioIO_for_iOS_App*>(engine->audioIO()) : nullptr;
    return io ? io->link() : nullptr;
}

void SyncMethodSelector_VwCtrlr_App::viewDidLoad()
{
    SyncMethodSelector_VwCtrlr::viewDidLoad();
    ABLLink* link = appLink();
    if (link) {
        ABLLinkSetIsEnabledCallback(link, &SyncMethodSelector_VwCtrlr_App::isEnabledCallback, this);
        registeredLink_ = link;
    }
    vcAbletonLinkSettings_ = ABLLinkSettingsViewController::instance(link);
    lastAbLinkEnabled_ = link && ABLLinkUserEnabled(link);
    openAbLinkSettings_ = false;
}

// Called by the Link kit on the main thread; the setting is written from the main queue, with
// the model held weakly so that a selector gone meanwhile leaves nothing dangling.
void SyncMethodSelector_VwCtrlr_App::isEnabledCallback(bool isEnabled, void* context)
{
    auto* selector = static_cast<SyncMethodSelector_VwCtrlr_App*>(context);
    if (!selector)
        return;
    std::weak_ptr<Lumora_Core> weakCore = selector->core();
    Platform::RunLoop::main().post([weakCore, isEnabled] {
        auto core = weakCore.lock();
        if (auto settings = core ? core->settings() : nullptr)
            settings->setSyncMethod(isEnabled ? linkMethod : internalMethod);
    });
}

void SyncMethodSelector_VwCtrlr_App::didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath)
{
    if (indexPath.row == linkRow) {
        openAbLinkSettings_ = true;
        if (Platform::NavigationController* navigation = navigationController(); navigation && vcAbletonLinkSettings_)
            navigation->pushViewController(vcAbletonLinkSettings_, true);
    } else {
        storeMethodOfRow(indexPath.row);
    }
    tableView->reloadData();
}

void SyncMethodSelector_VwCtrlr_App::onCloseAbLinkSettings()
{
    if (openAbLinkSettings_) {
        ABLLink* link = appLink();
        bool const enabled = link && ABLLinkUserEnabled(link);
        auto settings = core() ? core()->settings() : nullptr;
        if (settings) {
            if (lastAbLinkEnabled_)
                settings->setSyncMethod(enabled ? linkMethod : internalMethod);
            else if (enabled)
                settings->setSyncMethod(linkMethod);
        }
        if (isViewLoaded())
            tableView()->reloadData();
        lastAbLinkEnabled_ = enabled;
    }
    openAbLinkSettings_ = false;
}
