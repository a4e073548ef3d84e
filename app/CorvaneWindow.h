#pragma once

#include <string>

class Lumora_AppDelegate;

namespace AppShell {

class Application;

// Corvane on a desktop: the app's window (its root view controller, the editor) opened on the X
// display at the window's size (the pad layout), resizable, and the main run loop run with the
// window's events until the user closes it. Closing ends the app as leaving it does on a device:
// the app goes to the background (the state backup is written, audio stops) and terminates.
// Without live audio output the editor tells the user so in an alert.
//
// The application must be launched and active. Answers the program's exit status; 1 (with the
// reason in `error`, nothing run) when no display could be opened.
int runInWindow(Application& application, Lumora_AppDelegate& delegate, bool audioOutputRunning,
                std::string& error);

} // namespace AppShell
