// Corvane's LV2 editor as a host opens it: the UI's library loaded by path, given a parent window
// the test makes, the instance of a lilv host through instance-access, and idle calls.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <chrono>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/Lv2TestHost.h"
// Xlib's macros (Bool, Status) last: LV2's headers use those names.
#include "platform/ui/support/X11TestSupport.h"

using namespace Lv2Test;

namespace {

constexpr char const* kPluginUri = "urn:corvane:lv2:Corvane";
constexpr char const* kUiUri = "urn:corvane:lv2:Corvane:ui";
// Controls of the main screen, in points of the editor's 1024 × 573 design: the amplifier's level
// knob, the octave selector's step-up button, the preset browser's next-preset arrow.
constexpr double kControlX = 836;
constexpr double kControlY = 100;
constexpr double kOctaveUpX = 51;
constexpr double kOctaveUpY = 521;
constexpr double kNextPresetX = 677;
constexpr double kNextPresetY = 21;

// The UI's library, as a host finds it in the bundle.
struct UiLibrary {
    UiLibrary() : library(dlopen(CORVANE_LV2_BUNDLE "/CorvaneUI.so", RTLD_NOW | RTLD_LOCAL)) {
        if (library == nullptr)
            return;
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(library, "lv2ui_descriptor"));
        descriptor = entry != nullptr ? entry(0) : nullptr;
    }
    ~UiLibrary() {
        if (library != nullptr)
            dlclose(library);
    }
    UiLibrary(UiLibrary const&) = delete;
    UiLibrary& operator=(UiLibrary const&) = delete;

    int idle(LV2UI_Handle handle) const {
        auto const* interface = static_cast<LV2UI_Idle_Interface const*>(descriptor->extension_data(LV2_UI__idleInterface));
        return interface->idle(handle);
    }

    void* library;
    LV2UI_Descriptor const* descriptor = nullptr;
};

// The host's side: its window, which the editor lives in, the size the editor asks for, and what
// the editor writes to its control ports.
struct FakeHost {
    struct PortWrite {
        std::uint32_t port;
        float value;
    };

    // Without a display the fixture is made all the same (the test then skips or fails in SetUp).
    FakeHost() : display(XOpenDisplay(nullptr)) {
        if (display != nullptr) {
            window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1400, 900, 0, 0, 0);
            XMapWindow(display, window);
            XSync(display, False);
        }
        resize.handle = this;
        resize.ui_resize = [](LV2UI_Feature_Handle handle, int width, int height) {
            auto* self = static_cast<FakeHost*>(handle);
            self->width = width;
            self->height = height;
            return 0;
        };
        touch.handle = this;
        touch.touch = [](LV2UI_Feature_Handle handle, std::uint32_t port, bool grabbed) {
            static_cast<FakeHost*>(handle)->touches.emplace_back(port, grabbed);
        };
    }

    static void write(LV2UI_Controller controller, std::uint32_t port, std::uint32_t size, std::uint32_t protocol,
                      void const* buffer) {
        auto* self = static_cast<FakeHost*>(const_cast<void*>(controller));
        if (protocol != 0 || size != sizeof(float)) {
            ++self->badWrites;
            return;
        }
        self->writes.push_back({port, *static_cast<float const*>(buffer)});
    }
    // The ports written since the last call, with the last value of each.
    std::map<std::uint32_t, float> takeWrites() {
        std::map<std::uint32_t, float> last;
        for (PortWrite const& w : writes)
            last[w.port] = w.value;
        writes.clear();
        return last;
    }
    ~FakeHost() {
        if (display == nullptr)
            return;
        if (window != 0)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    FakeHost(FakeHost const&) = delete;
    FakeHost& operator=(FakeHost const&) = delete;

    std::vector<LV2_Feature const*> features(void* instance) {
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(window))};
        resizeFeature = {LV2_UI__resize, &resize};
        touchFeature = {LV2_UI__touch, &touch};
        instanceFeature = {LV2_INSTANCE_ACCESS_URI, instance};
        std::vector<LV2_Feature const*> list{&parentFeature, &resizeFeature, &touchFeature};
        if (instance != nullptr)
            list.push_back(&instanceFeature);
        list.push_back(nullptr);
        return list;
    }

    Display* display;
    ::Window window = 0;
    LV2UI_Resize resize{};
    LV2UI_Touch touch{};
    LV2_Feature parentFeature{}, resizeFeature{}, touchFeature{}, instanceFeature{};
    int width = 0, height = 0;
    std::vector<PortWrite> writes;
    std::vector<std::pair<std::uint32_t, bool>> touches;
    int badWrites = 0;
};

// A window's size and parent as the server has them.
struct Geometry {
    int width = 0, height = 0;
    ::Window parent = 0;
};

Geometry geometryOf(Display* display, ::Window window) {
    Geometry g;
    ::Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0) {
        g.parent = parent;
        if (children != nullptr)
            XFree(children);
    }
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) != 0) {
        g.width = attributes.width;
        g.height = attributes.height;
    }
    return g;
}

struct Lv2Editor : ::testing::Test {
    void SetUp() override {
        REQUIRE_X_DISPLAY();
        ASSERT_NE(world.plugin(), nullptr) << "Corvane not found on LV2_PATH";
        ASSERT_NE(ui.descriptor, nullptr) << dlerror();
        ASSERT_STREQ(ui.descriptor->URI, kUiUri);
    }

    LV2UI_Handle open(void* instance, LV2UI_Widget* widget) {
        std::vector<LV2_Feature const*> const features = host.features(instance);
        return ui.descriptor->instantiate(ui.descriptor, kPluginUri, CORVANE_LV2_BUNDLE, &FakeHost::write, &host,
                                          widget, features.data());
    }

    static ::Window windowOf(LV2UI_Widget widget) {
        return static_cast<::Window>(reinterpret_cast<std::uintptr_t>(widget));
    }

    // A press, moves up by 64 points in 8 steps, and a release, on the editor's pixel scale.
    void drag(LV2UI_Handle handle, ::Window editor, double scale, double x, double y) {
        user.moveTo(editor, x * scale, y * scale);
        idleFor(handle, 3);
        user.press(true);
        idleFor(handle, 3);
        for (int step = 1; step <= 8; ++step) {
            user.moveTo(editor, x * scale, (y - 8 * step) * scale);
            idleFor(handle, 2);
        }
        user.press(false);
        idleFor(handle, 10);
    }

    void idleFor(LV2UI_Handle handle, int times) {
        for (int i = 0; i < times; ++i) {
            EXPECT_EQ(ui.idle(handle), 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }

    bool const temporary = (useProgramTemporaryFolder(), true);
    ScratchFolder home{true};
    World world;
    UiLibrary ui;
    FakeHost host;
    XTestSupport::User user;
};

// Whether the pixel at (x, y) is nearly white.
// Whether most pixels of the 20 × 10 pixels above and left of (x, y) are nearly white.
bool whiteNear(Platform::Image const& image, int x, int y) {
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    if (x >= image.pixelWidth() || y >= image.pixelHeight() || x < 20 || y < 10)
        return false;
    int white = 0;
    for (int row = y - 10; row < y; ++row) {
        auto const* pixels = reinterpret_cast<std::uint32_t const*>(cairo_image_surface_get_data(surface)
                                                                    + row * cairo_image_surface_get_stride(surface));
        for (int column = x - 20; column < x; ++column) {
            std::uint32_t const p = pixels[column];
            white += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200;
        }
    }
    return white > 100;
}

// The lines of a that b lacks.
std::string linesOnlyIn(std::string const& a, std::string const& b) {
    std::string out, line;
    std::istringstream in(a);
    while (std::getline(in, line))
        if (b.find(line + "\n") == std::string::npos)
            out += line + "\n";
    return out;
}

// The engine's part of a saved state: the port values the host keeps are left out.
std::string engineState(Instance& instance) {
    std::string const all = instance.saveState();
    std::size_t const start = all.find("[[Parameters]]");
    return start == std::string::npos ? all : all.substr(start);
}

TEST_F(Lv2Editor, ShowsThePluginsEditorInTheHostsWindowAndADragOnAKnobChangesTheSound) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    instance.render(4096);

    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = open(instance.handle(), &widget);
    ASSERT_NE(handle, nullptr);
    ::Window const editorWindow = windowOf(widget);
    ASSERT_NE(editorWindow, 0u);
    // The design's preferred size, asked of the host before the widget is handed over.
    ASSERT_GT(host.width, 0);
    EXPECT_NEAR(static_cast<double>(host.width) / host.height, 1024.0 / 573.0, 0.01);

    idleFor(handle, 50);
    Platform::Image const shot = user.screenshot(editorWindow, host.width, host.height);
    EXPECT_GT(XTestSupport::distinctColours(shot), 16) << "the editor's window shows no picture";
    // CORVANE_EDITOR_SHOT=file.png keeps the picture, to look at when the layout moves the knob.
    if (char const* path = std::getenv("CORVANE_EDITOR_SHOT"))
        cairo_surface_write_to_png(shot.surface(), path);

    std::string const before = instance.saveState();
    drag(handle, editorWindow, host.width / 1024.0, kControlX, kControlY);
    instance.render(1024);
    EXPECT_TRUE(instance.saveState() != before) << "a drag on the editor's knob changed no parameter";

    ui.descriptor->cleanup(handle);
    // The plug-in runs on after its editor closed.
    instance.render(1024);
}

// The host's port follows a knob turned in the editor; the host handing the values back (late, one
// per cycle, as a busy host does) never pulls the knob back; the host's own move still applies
// and shows in the editor.
TEST_F(Lv2Editor, AKnobTurnedInTheEditorMovesTheHostsPortWithoutTheEchoFightingIt) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    instance.render(4096);
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = open(instance.handle(), &widget);
    ASSERT_NE(handle, nullptr);
    ::Window const editorWindow = windowOf(widget);
    idleFor(handle, 30);
    host.writes.clear();
    host.touches.clear();

    drag(handle, editorWindow, host.width / 1024.0, kControlX, kControlY);
    instance.render(1024);
    idleFor(handle, 20);
    EXPECT_EQ(host.badWrites, 0);
    std::vector<FakeHost::PortWrite> const writes = std::exchange(host.writes, {});
    ASSERT_FALSE(writes.empty()) << "the editor told the host nothing of the turned knob";
    std::uint32_t const port = writes.back().port;
    for (FakeHost::PortWrite const& w : writes)
        EXPECT_EQ(w.port, port) << "one knob turned, yet another port was written";
    float const turnedTo = writes.back().value;
    EXPECT_NE(turnedTo, instance.controlAt(port));
    // The drag is one gesture: grabbed first, let go last.
    ASSERT_GE(host.touches.size(), 2u);
    EXPECT_EQ(host.touches.front(), std::make_pair(port, true));
    EXPECT_EQ(host.touches.back(), std::make_pair(port, false));

    float const original = instance.controlAt(port);
    std::string const turned = engineState(instance);
    for (FakeHost::PortWrite const& w : writes) {
        instance.setControlAt(w.port, w.value);
        instance.render(256);
        std::string const now = engineState(instance);
        EXPECT_TRUE(now == turned) << "the host's echo of " << w.value << " moved the sound: "
                                   << linesOnlyIn(now, turned);
    }
    idleFor(handle, 5);
    for (auto const& [written, value] : host.takeWrites())
        ADD_FAILURE() << "port " << written << " written again with " << value << " after the echoes";

    // Automation: the host moves the port itself, back to where it stood before the drag.
    double const scale = host.width / 1024.0;
    Platform::Image const shownBefore = user.screenshot(editorWindow, host.width, host.height);
    instance.setControlAt(port, original);
    instance.render(1024);
    idleFor(handle, 10);
    EXPECT_TRUE(engineState(instance) != turned) << "the host's own move did not reach the sound";
    XTestSupport::Difference const shown =
        XTestSupport::compare(user.screenshot(editorWindow, host.width, host.height), shownBefore, 8);
    EXPECT_GT(shown.pixels, 0) << "the editor does not show the host's move";
    EXPECT_NEAR(shown.firstX / scale, kControlX, 40) << shown;
    EXPECT_TRUE(host.takeWrites().empty()) << "the host's own move was written back to it";
    ui.descriptor->cleanup(handle);
}

// A press and release with no frame and no movement between them, as a quick click is.
TEST_F(Lv2Editor, ASingleClickOnAButtonChangesTheSoundAndTellsTheHost) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    instance.render(4096);
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = open(instance.handle(), &widget);
    ASSERT_NE(handle, nullptr);
    ::Window const editorWindow = windowOf(widget);
    idleFor(handle, 30);
    double const scale = host.width / 1024.0;

    struct Click {
        char const* what;
        double x, y;
        std::size_t portsAtLeast;
    };
    for (Click const& click : {Click{"the octave's step-up button", kOctaveUpX, kOctaveUpY, 1},
                               Click{"the next-preset arrow", kNextPresetX, kNextPresetY, 2}}) {
        SCOPED_TRACE(click.what);
        host.writes.clear();
        std::string const before = instance.saveState();
        user.click(editorWindow, click.x * scale, click.y * scale);
        idleFor(handle, 15);
        instance.render(1024);
        idleFor(handle, 3);
        EXPECT_TRUE(instance.saveState() != before) << "the click changed nothing";
        EXPECT_GE(host.takeWrites().size(), click.portsAtLeast) << "the host's ports were not told";
    }
    ui.descriptor->cleanup(handle);
}

// The host resizes its window (a toolkit's socket follows its allocation), or asks through the
// UI's resize interface: the editor takes the new size and draws into all of it.
TEST_F(Lv2Editor, FollowsTheSizeTheHostGivesIt) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = open(instance.handle(), &widget);
    ASSERT_NE(handle, nullptr);
    ::Window const editorWindow = windowOf(widget);
    idleFor(handle, 10);

    XResizeWindow(host.display, host.window, 800, 448);
    XSync(host.display, False);
    auto settled = [&](int w, int h) {
        for (int i = 0; i < 250; ++i) {
            Geometry const g = geometryOf(user.display(), editorWindow);
            if (g.width == w && g.height == h)
                return true;
            idleFor(handle, 1);
        }
        return false;
    };
    EXPECT_TRUE(settled(800, 448)) << "the editor did not follow its parent";
    idleFor(handle, 10);
    // The keyboard's white keys reach the bottom-right corner: the views refitted, not only the
    // window.
    EXPECT_TRUE(whiteNear(user.screenshot(editorWindow, 800, 448), 790, 440)) << "the views kept their old size";

    // A host that asks gives the room first.
    XResizeWindow(host.display, host.window, 1400, 900);
    XSync(host.display, False);
    EXPECT_TRUE(settled(1400, 900));
    auto const* resize = static_cast<LV2UI_Resize const*>(ui.descriptor->extension_data(LV2_UI__resize));
    ASSERT_NE(resize, nullptr);
    EXPECT_EQ(resize->ui_resize(handle, 1200, 672), 0);
    EXPECT_TRUE(settled(1200, 672)) << "the editor did not take the size the host asked for";
    idleFor(handle, 10);
    Platform::Image const larger = user.screenshot(editorWindow, 1200, 672);
    EXPECT_TRUE(whiteNear(larger, 1190, 664)) << "the views kept their old size";
    ui.descriptor->cleanup(handle);
}

// A toolkit host hands over the id of a window it has made but not yet sent to the server: the
// editor must still give a window at once (the host asks for its size next) and move in later.
TEST_F(Lv2Editor, OpensInAHostWindowThatReachesTheServerOnlyAfterwards) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    Display* late = XOpenDisplay(nullptr);
    ::Window const plug = XCreateSimpleWindow(late, DefaultRootWindow(late), 0, 0, 1024, 573, 0, 0, 0);
    XDestroyWindow(host.display, host.window);
    XSync(host.display, False);
    host.window = 0;
    std::vector<LV2_Feature const*> features = host.features(instance.handle());
    LV2_Feature const parent{LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(plug))};
    features[0] = &parent;
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = ui.descriptor->instantiate(ui.descriptor, kPluginUri, CORVANE_LV2_BUNDLE, &FakeHost::write,
                                                     &host, &widget, features.data());
    ASSERT_NE(handle, nullptr);
    ::Window const editorWindow = windowOf(widget);
    EXPECT_GT(geometryOf(user.display(), editorWindow).width, 0) << "the editor's window does not exist";

    XMapWindow(late, plug);
    XSync(late, False);
    bool inside = false;
    for (int i = 0; i < 250 && !inside; ++i) {
        idleFor(handle, 1);
        inside = geometryOf(user.display(), editorWindow).parent == plug;
    }
    EXPECT_TRUE(inside) << "the editor never moved into the host's window";
    idleFor(handle, 20);
    EXPECT_GT(XTestSupport::distinctColours(user.screenshot(editorWindow, host.width, host.height)), 16);
    ui.descriptor->cleanup(handle);
    XDestroyWindow(late, plug);
    XCloseDisplay(late);
}

TEST_F(Lv2Editor, ClosesCleanlyWhenTheHostDestroyedItsWindowFirst) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = open(instance.handle(), &widget);
    ASSERT_NE(handle, nullptr);
    idleFor(handle, 5);
    XDestroyWindow(host.display, host.window);
    XSync(host.display, False);
    host.window = 0;
    idleFor(handle, 5);
    ui.descriptor->cleanup(handle);
}

TEST_F(Lv2Editor, RefusesWithAMessageWithoutInstanceAccess) {
    LV2UI_Widget widget = nullptr;
    ::testing::internal::CaptureStderr();
    LV2UI_Handle handle = open(nullptr, &widget);
    std::string const said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(handle, nullptr);
    EXPECT_NE(said.find("instance-access"), std::string::npos) << said;
}

} // namespace
