#pragma once

#include <memory>

namespace AppShell {
class Application;
}

namespace Platform {
class Window;
}

// The standalone app's own parts of the shared screens. The app delegate calls both once while
// it launches, before the first settings screen or activation.
namespace AppScreens {

// Puts the app's variants in place: the sync-method names with "Ableton Link", the sync-method
// selector with the Link row, the About panel and screen with the app's acknowledgments, and the
// inter-app audio transport panel's factory.
void registerAppScreens();

// The Link kit's banner shows over this window while the application is active.
void attachToApplication(std::weak_ptr<AppShell::Application> application, std::weak_ptr<Platform::Window> window);

} // namespace AppScreens
