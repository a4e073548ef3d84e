// Corvane's editor in a real host: jalv.gtk3 on the JACK server and the X display of
// scripts/with-services.sh shows the plug-in's X11 UI embedded through suil; the test finds the
// editor's window in jalv's, looks at it, turns a knob through XTest and watches jalv's dump of
// what the plug-in tells its UI.

#include <gtest/gtest.h>

#include <jack/jack.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/Lv2TestHost.h"
// Xlib's macros (Bool, Status) last: LV2's headers use those names.
#include "platform/ui/support/X11TestSupport.h"

namespace {

using Clock = std::chrono::steady_clock;

bool waitFor(std::function<bool()> const& condition, std::chrono::seconds limit) {
    auto const end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return true;
}

std::string readFile(std::string const& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// jalv.gtk3 as a child process, its output in a log.
class JalvGtk {
public:
    JalvGtk(std::string const& name, std::string const& log) {
        pid_ = ::fork();
        if (pid_ != 0)
            return;
        int const out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
#ifdef CORVANE_ASAN_PRELOAD
        ::setenv("LD_PRELOAD", CORVANE_ASAN_PRELOAD, 1);
        ::setenv("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0", 1);
#endif
        // Line by line, so that the dump is in the log when the plug-in speaks.
        ::execlp("stdbuf", "stdbuf", "-oL", "jalv.gtk3", "-d", "-x", "--jack-name", name.c_str(),
                 "urn:corvane:lv2:Corvane", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ~JalvGtk() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        auto const end = Clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > end) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    JalvGtk(JalvGtk const&) = delete;
    JalvGtk& operator=(JalvGtk const&) = delete;

    bool running() const {
        int status = 0;
        return pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == 0;
    }

private:
    pid_t pid_ = -1;
};

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

int distinctColours(Platform::Image const& image) {
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image.pixelHeight(); y += 3) {
        auto const* row = reinterpret_cast<std::uint32_t const*>(cairo_image_surface_get_data(surface)
                                                                 + y * cairo_image_surface_get_stride(surface));
        for (int x = 0; x < image.pixelWidth(); x += 3)
            colours.insert(row[x] & 0xFFFFFFu);
    }
    return static_cast<int>(colours.size());
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
    JalvGtk jalv("corvane-jalv-editor-" + std::to_string(::getpid()), log);
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
                   distinctColours(user.screenshot(editor, attributes.width, attributes.height)) > 16;
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
