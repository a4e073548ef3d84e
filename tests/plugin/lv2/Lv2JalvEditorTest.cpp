// Corvane's editor in a real host: jalv.gtk3 on the JACK server and the X display of
// scripts/with-services.sh shows the plug-in's X11 UI embedded through suil; the test finds the
// editor's window in jalv's, looks at it, turns a knob through XTest and watches jalv's dump of
// what the plug-in tells its UI.

#include <gtest/gtest.h>

#include <jack/jack.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/JalvProcess.h"
#include "plugin/lv2/support/Lv2TestHost.h"
// Xlib's macros (Bool, Status) last: LV2's headers use those names.
#include "platform/ui/support/X11TestSupport.h"

namespace {

using Lv2Test::JalvProcess;
using Lv2Test::readFile;
using Lv2Test::waitFor;

// The editor's window anywhere below the root: the window of class "Corvane" that is not a
// top-level window of its own.
::Window findEditor(Display* display, ::Window window, int depth = 0) {
    XClassHint hint{};
    if (depth > 1 && XGetClassHint(display, window, &hint) != 0) {
        bool const ours = hint.res_class != nullptr && std::string(hint.res_class) == "Corvane";
        XFree(hint.res_name);
        XFree(hint.res_class);
        if (ours)
            return window;
    }
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0)
        return 0;
    ::Window found = 0;
    for (unsigned i = 0; i < count && found == 0; ++i)
        found = findEditor(display, children[i], depth + 1);
    if (children != nullptr)
        XFree(children);
    return found;
}

} // namespace

TEST(Lv2JalvEditor, JalvGtkShowsTheEditorAndAKnobTurnedThereReachesThePlugin) {
    REQUIRE_X_DISPLAY();
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("corvane-editor-probe", JackNoStartServer, &status);
    if (probe == nullptr) {
        if (XTestSupport::servicesRequired())
            FAIL() << "no JACK server, though CORVANE_REQUIRE_SERVICES=1";
        GTEST_SKIP() << "no JACK server (run inside scripts/with-services.sh)";
    }
    jack_client_close(probe);
    Lv2Test::useBuildBundle();
    Lv2Test::useProgramTemporaryFolder();
    ScratchFolder home{true};
    ScratchFolder temporary;

    std::string const log = temporary.path() + "/jalv.log";
#ifdef CORVANE_ASAN_PRELOAD
    std::string const preload = CORVANE_ASAN_PRELOAD;
#else
    std::string const preload;
#endif
    // Line by line, so that the dump is in the log when the plug-in speaks.
    JalvProcess jalv({"stdbuf", "-oL", "jalv.gtk3", "-d", "-x", "--jack-name",
                      "corvane-jalv-editor-" + std::to_string(::getpid()), "urn:corvane:lv2:Corvane"},
                     log, preload);
    XTestSupport::User user;
    Display* display = user.display();
    ::Window editor = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            editor = findEditor(display, DefaultRootWindow(display));
            return editor != 0 || !jalv.running();
        },
        std::chrono::seconds(90)));
    ASSERT_NE(editor, 0u) << "jalv.gtk3 shows no editor:\n" << readFile(log);

    XWindowAttributes attributes{};
    ASSERT_TRUE(waitFor(
        [&] {
            // jalv gives the editor the size it asks for once its window is laid out.
            XGetWindowAttributes(display, editor, &attributes);
            return attributes.map_state == IsViewable && attributes.width >= 1024 &&
                   std::abs(static_cast<double>(attributes.width) / attributes.height - 1024.0 / 573.0) < 0.01 &&
                   XTestSupport::distinctColours(user.screenshot(editor, attributes.width, attributes.height)) > 16;
        },
        std::chrono::seconds(60)))
        << "the editor's window stays blank or small (" << attributes.width << " × " << attributes.height
        << "):\n" << readFile(log);
    if (char const* path = std::getenv("CORVANE_JALV_EDITOR_SHOT"))
        cairo_surface_write_to_png(user.screenshot(editor, attributes.width, attributes.height).surface(), path);

    // The amplifier's level knob, dragged up; the plug-in announces the changed state, which jalv
    // hands to the UI and dumps.
    std::size_t const before = readFile(log).size();
    double const scale = attributes.width / 1024.0;
    user.moveTo(editor, 836 * scale, 100 * scale);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    user.press(true);
    for (int step = 1; step <= 8; ++step) {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        user.moveTo(editor, 836 * scale, (100 - 8 * step) * scale);
    }
    user.press(false);
    EXPECT_TRUE(waitFor([&] { return readFile(log).find("StateChanged", before) != std::string::npos; },
                        std::chrono::seconds(30)))
        << "the knob's change did not reach the plug-in in jalv:\n" << readFile(log).substr(before);
    EXPECT_TRUE(jalv.running()) << readFile(log);
}
