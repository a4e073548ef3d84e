#pragma once

#include <functional>
#include <memory>
#include <string>

class Lumora_AppDelegate;

namespace Platform {
class X11WindowHost;
}

namespace AppShell {

// Corvane on a desktop: the app's window (its root view controller, the editor) shown on the X
// display at the window's size (the pad layout), resizable, for a caller that runs the main loop
// itself (live play), while the answer lives; `onClose` is called when the user closes it. Without
// live audio output the editor tells the user so in an alert. Nothing (the reason in `error`) when
// there is no window or no display.
std::unique_ptr<Platform::X11WindowHost> openEditorWindow(Lumora_AppDelegate& delegate, bool audioOutputRunning,
                                                          std::function<void()> onClose, std::string& error);

} // namespace AppShell
