#pragma once

// Small picture helpers shared by the theme tests (header only: each test is its own program).

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

namespace ThemeTesting {

using Platform::Color;
using Platform::Image;
using Platform::Point;
using Platform::Rect;
using Platform::Size;

// Draws into a fresh transparent bitmap and returns the picture.
inline Image render(Size size, std::function<void()> const& draw)
{
    Platform::BitmapContext bitmap(size);
    draw();
    return bitmap.makeImage();
}

inline bool near(Color const& a, Color const& b, double tolerance = 2.5 / 255)
{
    return std::fabs(a.red() - b.red()) <= tolerance && std::fabs(a.green() - b.green()) <= tolerance
           && std::fabs(a.blue() - b.blue()) <= tolerance && std::fabs(a.alpha() - b.alpha()) <= tolerance;
}

inline void expectColorAt(Image const& image, Point p, Color const& expected)
{
    Color const actual = image.colorAt(p);
    EXPECT_TRUE(near(actual, expected)) << "at (" << p.x << ", " << p.y << "): " << actual.red() << " "
                                        << actual.green() << " " << actual.blue() << " " << actual.alpha();
}

// Pixel-for-pixel equality, and that something was drawn at all.
inline ::testing::AssertionResult samePicture(Image const& a, Image const& b)
{
    if (a.pixelWidth() != b.pixelWidth() || a.pixelHeight() != b.pixelHeight())
        return ::testing::AssertionFailure() << "sizes differ";
    bool inked = false;
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y))
                return ::testing::AssertionFailure() << "differ at " << x << "," << y;
            inked = inked || a.pixel(x, y).alpha() > 0;
        }
    if (!inked)
        return ::testing::AssertionFailure() << "nothing drawn";
    return ::testing::AssertionSuccess();
}

inline bool differ(Image const& a, Image const& b)
{
    for (int y = 0; y < a.pixelHeight(); ++y)
        for (int x = 0; x < a.pixelWidth(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return true;
    return false;
}

// A point on a circle about `centre`, angles clockwise from the right in degrees (y points down).
inline Point onCircle(Point centre, double radius, double degrees)
{
    double const a = degrees * std::numbers::pi / 180;
    return {centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)};
}

} // namespace ThemeTesting
