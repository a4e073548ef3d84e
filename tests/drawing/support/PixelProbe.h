#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <functional>

namespace StyleKitTesting {

// Draws into a fresh transparent bitmap of the given size and returns the picture.
Platform::Image render(Platform::Size size, std::function<void()> const& draw, double scale = 1);

// Whether two colours agree within a tolerance on every component (alpha included).
bool near(Platform::Color const& a, Platform::Color const& b, double tolerance = 2.5 / 255);

// The bounding box of the pixels whose alpha exceeds the threshold, in points; null when none.
Platform::Rect inkBounds(Platform::Image const& image, double alphaThreshold = 0.5);

} // namespace StyleKitTesting
