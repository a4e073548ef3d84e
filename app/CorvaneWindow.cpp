#include "app/CorvaneWindow.h"

#include "app/Lumora_AppDelegate.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/x11/X11WindowHost.h"

namespace AppShell {

namespace {

void tellNoAudioOutput(Platform::Window& window)
{
    Platform::ViewController* root = window.rootViewController();
    if (!root)
        return;
    auto alert = Platform::AlertController::alertControllerWithTitle(
        "No Audio Output", "Corvane could not reach a sound server; the editor works, but nothing will sound.",
        Platform::AlertController::Style::Alert);
    alert->addAction(Platform::AlertAction::actionWithTitle("OK", Platform::AlertAction::Style::Default, {}));
    root->presentViewController(alert, false);
}

} // namespace

std::unique_ptr<Platform::X11WindowHost> openEditorWindow(Lumora_AppDelegate& delegate, bool audioOutputRunning,
                                                          std::function<void()> onClose, std::string& error)
{
    std::shared_ptr<Platform::Window> window = delegate.window();
    if (!window) {
        error = "the app has no window";
        return nullptr;
    }
    auto host = std::make_unique<Platform::X11WindowHost>(window, Platform::X11WindowHost::Options{},
                                                          Platform::RunLoop::main());
    if (!host->isOpen()) {
        error = host->error();
        return nullptr;
    }
    if (!audioOutputRunning)
        tellNoAudioOutput(*window);
    host->setCloseHandler(std::move(onClose));
    return host;
}

} // namespace AppShell
