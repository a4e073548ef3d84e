#include "platform/ui/x11/DisplayScale.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include <X11/Xlib.h>
#include <X11/Xresource.h>

namespace Platform::X11 {

namespace {

constexpr double kMinimumScale = 0.5;
constexpr double kMaximumScale = 4.0;

// A whole number reading: "1.5x" or "" are not numbers. Locale-free: "." is the only point.
bool readNumber(char const* text, double& value)
{
    if (!text || !*text)
        return false;
    std::string const s(text);
    std::size_t i = 0;
    double whole = 0, fraction = 0, place = 1;
    bool digits = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, digits = true)
        whole = whole * 10 + (s[i] - '0');
    if (i < s.size() && s[i] == '.')
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i, digits = true)
            fraction += (s[i] - '0') * (place /= 10);
    if (!digits || i != s.size())
        return false;
    value = whole + fraction;
    return std::isfinite(value);
}

bool usable(double scale)
{
    return scale >= kMinimumScale && scale <= kMaximumScale;
}

} // namespace

double scaleFromSettings(char const* environmentValue, char const* xftDpi)
{
    double value = 0;
    if (readNumber(environmentValue, value) && usable(value))
        return value;
    if (readNumber(xftDpi, value) && usable(value / 96.0))
        return value / 96.0;
    return 1.0;
}

double displayScale(Display* display)
{
    std::string dpi;
    if (char const* resources = display ? XResourceManagerString(display) : nullptr) {
        XrmInitialize();
        if (XrmDatabase db = XrmGetStringDatabase(resources)) {
            char* type = nullptr;
            XrmValue value{};
            if (XrmGetResource(db, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr)
                dpi.assign(value.addr);
            XrmDestroyDatabase(db);
        }
    }
    return scaleFromSettings(std::getenv("CORVANE_UI_SCALE"), dpi.empty() ? nullptr : dpi.c_str());
}

} // namespace Platform::X11
