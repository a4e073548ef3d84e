#include "app/CorvaneWindow.h"

#include "app/Application.h"
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

int runInWindow(Application& application, Lumora_AppDelegate& delegate, bool audioOutputRunning, std::string& error)
{
    std::shared_ptr<Platform::Window> window = delegate.window();
    if (!window) {
        error = "the app has no window";
        return 1;
    }
    Platform::RunLoop& loop = Platform::RunLoop::main();
    Platform::X11WindowHost host(window, Platform::X11WindowHost::Options{}, loop);
    if (!host.isOpen()) {
        error = host.error();
        return 1;
    }
    if (!audioOutputRunning)
        tellNoAudioOutput(*window);
    host.setCloseHandler([&loop] { loop.stop(); });
    loop.run();
    application.enterBackground();
    application.terminate();
    loop.runOnce();
    return 0;
}

} // namespace AppShell
