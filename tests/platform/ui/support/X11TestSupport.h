#pragma once

// Helpers for tests that open real windows on an X server (Xvfb under scripts/with-services.sh):
// a second client connection that moves the pointer and presses keys through XTest and takes
// screenshots with XGetImage, and pumping of the main run loop until something happened.

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <set>
#include <string>

namespace XTestSupport {

inline bool servicesRequired()
{
    char const* value = std::getenv("CORVANE_REQUIRE_SERVICES");
    return value && std::string(value) == "1";
}

inline bool displayAvailable()
{
    char const* name = std::getenv("DISPLAY");
    if (!name || !*name)
        return false;
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    XCloseDisplay(d);
    return true;
}

// Runs the main loop until the condition holds or the time is up; answers the condition.
inline bool pumpUntil(std::function<bool()> const& condition, double seconds = 5)
{
    auto const end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Platform::RunLoop::main().runFor(std::chrono::milliseconds(5));
    }
    return true;
}

inline void pumpFor(double seconds)
{
    Platform::RunLoop::main().runFor(std::chrono::duration_cast<std::chrono::steady_clock::duration>(
        std::chrono::duration<double>(seconds)));
}

// The test's own client: it plays the user.
class User {
public:
    User() : display_(XOpenDisplay(nullptr)) {}
    ~User()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    User(User const&) = delete;
    User& operator=(User const&) = delete;

    Display* display() const { return display_; }

    // Window pixel coordinates to the root window's, where XTest moves the pointer.
    void moveTo(::Window window, double x, double y)
    {
        int rx = 0, ry = 0;
        ::Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), static_cast<int>(std::lround(x)),
                              static_cast<int>(std::lround(y)), &rx, &ry, &child);
        XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
        XSync(display_, False);
    }
    void press(bool down)
    {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XSync(display_, False);
    }
    void click(::Window window, double x, double y)
    {
        moveTo(window, x, y);
        press(true);
        press(false);
    }
    void key(KeySym keysym)
    {
        KeyCode const code = XKeysymToKeycode(display_, keysym);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XSync(display_, False);
    }

    // What the server shows of the window, as an opaque image.
    Platform::Image screenshot(::Window window, int width, int height, double scale = 1)
    {
        XSync(display_, False);
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image)
            return {};
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
        cairo_surface_flush(surface);
        unsigned char* data = cairo_image_surface_get_data(surface);
        int const stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
            for (int x = 0; x < width; ++x)
                row[x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu;
        }
        cairo_surface_mark_dirty(surface);
        XDestroyImage(image);
        Platform::Image result = Platform::Image::withSurface(surface, scale);
        cairo_surface_destroy(surface);
        return result;
    }

private:
    Display* display_;
};

// How two pictures of one size differ, both laid over black as the screen shows them: the
// largest difference of one colour channel (0–255; 256 when the sizes differ), how many pixels
// differ by more than `tolerance` and the first of them.
struct Difference {
    int largest = 0;
    int pixels = 0;
    int firstX = -1, firstY = -1;
};

inline std::ostream& operator<<(std::ostream& out, Difference const& d)
{
    return out << "largest " << d.largest << ", " << d.pixels << " pixels, first at (" << d.firstX << ", "
               << d.firstY << ")";
}

inline Difference compare(Platform::Image const& a, Platform::Image const& b, int tolerance)
{
    Difference d;
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight()) {
        d.largest = 256;
        return d;
    }
    auto over = [](Platform::Image const& image, int x, int y) {
        cairo_surface_t* s = image.surface();
        auto const* row = reinterpret_cast<std::uint32_t const*>(cairo_image_surface_get_data(s)
                                                                 + y * cairo_image_surface_get_stride(s));
        // Premultiplied ARGB over black is its colour bytes; RGB24 is the same.
        return row[x] & 0xFFFFFFu;
    };
    cairo_surface_flush(a.surface());
    cairo_surface_flush(b.surface());
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            std::uint32_t const p = over(a, x, y), q = over(b, x, y);
            int worst = 0;
            for (int shift = 0; shift < 24; shift += 8)
                worst = std::max(worst, std::abs(static_cast<int>((p >> shift) & 0xFF)
                                                 - static_cast<int>((q >> shift) & 0xFF)));
            d.largest = std::max(d.largest, worst);
            if (worst > tolerance && d.pixels++ == 0) {
                d.firstX = x;
                d.firstY = y;
            }
        }
    return d;
}

// The same pictures within the tolerance.
// How many colours a picture shows, sampling every third pixel of every third row: a window
// that draws nothing shows one or two.
inline int distinctColours(Platform::Image const& image)
{
    cairo_surface_t* surface = image.surface();
    cairo_surface_flush(surface);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < image.pixelHeight(); y += 3) {
        auto const* row = reinterpret_cast<std::uint32_t const*>(cairo_image_surface_get_data(surface) +
                                                                 y * cairo_image_surface_get_stride(surface));
        for (int x = 0; x < image.pixelWidth(); x += 3)
            colours.insert(row[x] & 0xFFFFFFu);
    }
    return static_cast<int>(colours.size());
}

inline ::testing::AssertionResult samePicture(Platform::Image const& shown, Platform::Image const& expected,
                                              int tolerance = 1)
{
    Difference const d = compare(shown, expected, tolerance);
    if (d.largest <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pictures differ: " << d;
}

} // namespace XTestSupport

// Skips a test that needs a display, or fails it when the run promised one.
#define REQUIRE_X_DISPLAY()                                                                         \
    do {                                                                                            \
        if (!XTestSupport::displayAvailable()) {                                                    \
            if (XTestSupport::servicesRequired())                                                   \
                FAIL() << "no X display, but CORVANE_REQUIRE_SERVICES=1";                           \
            GTEST_SKIP() << "no X display (run under scripts/with-services.sh)";                    \
        }                                                                                           \
    } while (0)
