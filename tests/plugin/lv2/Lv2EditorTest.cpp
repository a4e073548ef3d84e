// Corvane's LV2 editor as a host opens it: the UI's library loaded by path, given a parent window
// the test makes, the instance of a lilv host through instance-access, and idle calls.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <set>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/Lv2TestHost.h"
// Xlib's macros (Bool, Status) last: LV2's headers use those names.
#include "platform/ui/support/X11TestSupport.h"

using namespace Lv2Test;

namespace {

constexpr char const* kPluginUri = "urn:corvane:lv2:Corvane";
constexpr char const* kUiUri = "urn:corvane:lv2:Corvane:ui";
// The amplifier's level knob, in points of the editor's 1024-point width.
constexpr double kControlX = 836;
constexpr double kControlY = 100;

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

// The host's side: its window, which the editor lives in, and the size the editor asks for.
struct FakeHost {
    FakeHost() : display(XOpenDisplay(nullptr)) {
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1400, 900, 0, 0, 0);
        XMapWindow(display, window);
        XSync(display, False);
        resize.handle = this;
        resize.ui_resize = [](LV2UI_Feature_Handle handle, int width, int height) {
            auto* self = static_cast<FakeHost*>(handle);
            self->width = width;
            self->height = height;
            return 0;
        };
    }
    ~FakeHost() {
        if (window != 0)
            XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    FakeHost(FakeHost const&) = delete;
    FakeHost& operator=(FakeHost const&) = delete;

    std::vector<LV2_Feature const*> features(void* instance) {
        parentFeature = {LV2_UI__parent, reinterpret_cast<void*>(static_cast<std::uintptr_t>(window))};
        resizeFeature = {LV2_UI__resize, &resize};
        instanceFeature = {LV2_INSTANCE_ACCESS_URI, instance};
        std::vector<LV2_Feature const*> list{&parentFeature, &resizeFeature};
        if (instance != nullptr)
            list.push_back(&instanceFeature);
        list.push_back(nullptr);
        return list;
    }

    Display* display;
    ::Window window = 0;
    LV2UI_Resize resize{};
    LV2_Feature parentFeature{}, resizeFeature{}, instanceFeature{};
    int width = 0, height = 0;
};

struct Lv2Editor : ::testing::Test {
    void SetUp() override {
        REQUIRE_X_DISPLAY();
        ASSERT_NE(world.plugin(), nullptr) << "Corvane not found on LV2_PATH";
        ASSERT_NE(ui.descriptor, nullptr) << dlerror();
        ASSERT_STREQ(ui.descriptor->URI, kUiUri);
    }

    LV2UI_Handle open(void* instance, LV2UI_Widget* widget) {
        std::vector<LV2_Feature const*> const features = host.features(instance);
        return ui.descriptor->instantiate(ui.descriptor, kPluginUri, CORVANE_LV2_BUNDLE, nullptr, nullptr, widget,
                                          features.data());
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
};

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

TEST_F(Lv2Editor, ShowsThePluginsEditorInTheHostsWindowAndADragOnAKnobChangesTheSound) {
    Instance instance(world);
    ASSERT_TRUE(instance.valid());
    instance.render(4096);

    LV2UI_Widget widget = nullptr;
    LV2UI_Handle handle = open(instance.handle(), &widget);
    ASSERT_NE(handle, nullptr);
    auto const editorWindow = static_cast<::Window>(reinterpret_cast<std::uintptr_t>(widget));
    ASSERT_NE(editorWindow, 0u);
    // The design's preferred size, asked of the host before the widget is handed over.
    ASSERT_GT(host.width, 0);
    EXPECT_NEAR(static_cast<double>(host.width) / host.height, 1024.0 / 573.0, 0.01);

    idleFor(handle, 50);
    XTestSupport::User user;
    Platform::Image const shot = user.screenshot(editorWindow, host.width, host.height);
    EXPECT_GT(distinctColours(shot), 16) << "the editor's window shows no picture";
    // CORVANE_EDITOR_SHOT=file.png keeps the picture, to look at when the layout moves the knob.
    if (char const* path = std::getenv("CORVANE_EDITOR_SHOT"))
        cairo_surface_write_to_png(shot.surface(), path);

    std::string const before = instance.saveState();
    double const scale = host.width / 1024.0;
    user.moveTo(editorWindow, kControlX * scale, kControlY * scale);
    idleFor(handle, 3);
    user.press(true);
    idleFor(handle, 3);
    for (int step = 1; step <= 8; ++step) {
        user.moveTo(editorWindow, kControlX * scale, (kControlY - 8 * step) * scale);
        idleFor(handle, 2);
    }
    user.press(false);
    idleFor(handle, 10);
    instance.render(1024);
    EXPECT_TRUE(instance.saveState() != before) << "a drag on the editor's knob changed no parameter";

    ui.descriptor->cleanup(handle);
    // The plug-in runs on after its editor closed.
    instance.render(1024);
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
