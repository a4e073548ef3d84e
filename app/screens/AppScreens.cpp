#include "app/screens/AppScreens.h"

#include "app/Application.h"
#include "app/screens/About_ViewController_App.h"
#include "app/screens/Lumora_InterAppAudioTransportView.h"
#include "app/screens/SyncMethodSelector_VwCtrlr_App.h"
#include "linkkit/views/ABLNotificationView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Window.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/nib/SettingsPanelVwsNib.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"
#include "screens/settings/sync/SyncMethodNames.h"
#include "screens/settings/sync/SyncMidiPanelsNib.h"

#include <mutex>

namespace {

using Platform::Rect;
using namespace SettingsPanelVwsNib;

// The About panel of the shared file, with its button aimed at the app's About screen.
std::shared_ptr<Lumora_SettingPanelView> appAboutPanel()
{
    auto panel = makePanel<About_SettingPanelView_App>(rowHeight, "About", 180);
    double const width = 80;
    double const height = 29;
    auto button = std::make_shared<Platform::Button>(
        Rect(fileWidth - margin - width, (rowHeight - height) / 2, width, height), Platform::Button::Type::System);
    button->setTitle("Show", Platform::ControlState::Normal);
    panel->addPart(button, Lumora_PinnedPartsView::Pin::Right);
    button->addTarget(panel.get(), &About_SettingPanelView_App::actionShowAppAbout, Platform::ControlEvents::TouchUpInside);
    return panel;
}

} // namespace

namespace AppScreens {

void registerAppScreens()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The shared panels first, so that the app's variants replace them.
        registerSettingsNibs();
        registerSyncAndMidiPanels();
        SyncMethodNames::setNames({"Internal", "MIDI", "Inter-App Audio", "Ableton Link"});
        SyncMethodSelector_VwCtrlr::setFactory([](std::shared_ptr<Lumora_Core> const& core) -> std::shared_ptr<SyncMethodSelector_VwCtrlr> {
            return SyncMethodSelector_VwCtrlr_App::create(core);
        });
        Lumora_SettingPanelRegistry::registerPanel(Lumora_SettingPanelClass::of<About_SettingPanelView>(), appAboutPanel);
        Lumora_InterAppAudioTransportView::registerFactory();
    });
}

void attachToApplication(std::weak_ptr<AppShell::Application> application, std::weak_ptr<Platform::Window> window)
{
    ABLNotificationView::setKeyWindowSource([window] { return window.lock(); });
    ABLNotificationView::setApplicationActiveSource([application] {
        auto app = application.lock();
        return app && app->applicationState() == AppShell::Application::State::Active;
    });
}

} // namespace AppScreens
