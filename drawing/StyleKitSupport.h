#pragma once

#include "platform/graphics/Geometry.h"

#include <functional>
#include <string>

// The drawing conventions shared by the style kits.
namespace Lumora::StyleKitSupport {

// floor(v + 0.5): the rounding of the kits' generated geometry.
double roundHalfUp(double v);
double radians(double degrees);

// Runs a symbol routine drawn on a W x H canvas stretched onto the frame: save, clip to the
// standardized frame, move to its corner, scale by frame / canvas, draw, restore.
void drawOnCanvas(Platform::Rect const& frame, double canvasWidth, double canvasHeight,
                  std::function<void()> const& symbol);

// The plate rectangle of a pressed icon: one point past the frame's right and bottom edges
// (plain), or half a point inside it on every side (inset).
enum class PlateVariant { Plain, Inset };
Platform::Rect plateRect(Platform::Rect const& frame, PlateVariant variant);

// Lays the 60 x 60 pressed plate into the rectangle, stretched to it.
void layPressedPlate(Platform::Rect const& plate);

// The labels of the response graphs: an output as a whole percentage ("50%"), or as a step of
// 0..127 ("64"); halves round away from zero.
std::string shaperPercentText(double output);
std::string shaperStepText(double output);

} // namespace Lumora::StyleKitSupport
