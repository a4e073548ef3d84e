#include "drawing/support/PixelProbe.h"

#include <cmath>

namespace StyleKitTesting {

Platform::Image render(Platform::Size size, std::function<void()> const& draw, double scale)
{
    Platform::BitmapContext bitmap(size, false, scale);
    draw();
    return bitmap.makeImage();
}

bool near(Platform::Color const& a, Platform::Color const& b, double tolerance)
{
    return std::fabs(a.red() - b.red()) <= tolerance && std::fabs(a.green() - b.green()) <= tolerance
           && std::fabs(a.blue() - b.blue()) <= tolerance && std::fabs(a.alpha() - b.alpha()) <= tolerance;
}

Platform::Rect inkBounds(Platform::Image const& image, double alphaThreshold)
{
    int x0 = image.pixelWidth(), y0 = image.pixelHeight(), x1 = -1, y1 = -1;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            if (image.pixel(x, y).alpha() > alphaThreshold) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return Platform::Rect::null();
    double const s = image.scale();
    return Platform::Rect(x0 / s, y0 / s, (x1 + 1 - x0) / s, (y1 + 1 - y0) / s);
}

} // namespace StyleKitTesting
