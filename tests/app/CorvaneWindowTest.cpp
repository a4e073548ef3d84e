// `Corvane` on a desktop: live play opens the app's editor in a window on the X display at the pad
// layout's size, and closing the window ends the app as leaving it does (the state backup written).
#include "app/CorvaneProgram.h"

#include "app/support/AppShellTestSupport.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/TemporaryDirectory.h"

#include <filesystem>
#include <string>
#include <vector>

#include "platform/ui/support/X11TestSupport.h"

using namespace AppShellTest;

namespace {

std::string projectBundle() {
    return (std::filesystem::path(CORVANE_SOURCE_DIR) / "resources/Corvane.app").string();
}

// The top-level window of that name, 0 while there is none.
::Window findWindow(Display* display, std::string const& name) {
    ::Window root = 0, parent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    ::Window found = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* title = nullptr;
        if (XFetchName(display, children[i], &title) && title) {
            if (name == title)
                found = children[i];
            XFree(title);
        }
    }
    if (children)
        XFree(children);
    return found;
}

void closeWindow(Display* display, ::Window window) {
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = window;
    message.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window, False, NoEventMask, &message);
    XSync(display, False);
}

} // namespace

TEST(CorvaneWindow, TheEditorOpensInAWindowAndClosingItEndsTheAppWithItsBackup) {
    REQUIRE_X_DISPLAY();
    sharedTemporaryDirectory();
    ScratchFolder home{true};
    ::setenv("CORVANE_MAIN_BUNDLE", projectBundle().c_str(), 1);
    ScratchFolder state;
    ::setenv("CORVANE_STATE_HOME", state.path().c_str(), 1);
    ::setenv("CORVANE_JACK_CONNECT", "0", 1);
    std::string const backup = state.path() + "/full_state_backup";

    XTestSupport::User user;
    XWindowAttributes seen{};
    bool closed = false;
    auto const started = std::chrono::steady_clock::now();
    // The user's side runs on the program's own run loop: it looks for the window, then closes it.
    auto watcher = Platform::RunLoop::main().scheduledTimer(0.1, true, [&](Platform::Timer& timer) {
        if (std::chrono::steady_clock::now() - started > std::chrono::seconds(30)) {
            timer.invalidate();
            Platform::RunLoop::main().stop();  // the test fails below
            return;
        }
        ::Window const w = findWindow(user.display(), "Corvane");
        if (!w || !XGetWindowAttributes(user.display(), w, &seen) || seen.map_state != IsViewable)
            return;
        closeWindow(user.display(), w);
        closed = true;
        timer.invalidate();
    });

    // The program's messages go to the test's own output, not into a capture: a crash while the
    // app ends must leave its report where the test log shows it.
    char const* argv[] = {"Corvane"};
    int const status = AppShell::runCorvane(1, argv);
    for (char const* name : {"CORVANE_MAIN_BUNDLE", "CORVANE_STATE_HOME", "CORVANE_JACK_CONNECT"})
        ::unsetenv(name);
    watcher->invalidate();

    ASSERT_TRUE(closed) << "no Corvane window appeared (the program's messages are above)";
    EXPECT_EQ(status, 0);
    Platform::Rect const pad = AppShell::Application::mainScreenBounds();
    EXPECT_EQ(seen.width, static_cast<int>(pad.size.width));
    EXPECT_EQ(seen.height, static_cast<int>(pad.size.height));
    EXPECT_TRUE(std::filesystem::exists(backup));
    EXPECT_EQ(findWindow(user.display(), "Corvane"), 0u);
}
