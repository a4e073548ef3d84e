#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextAttributes.h"

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

// The derived colours of a colour c (components, alpha included, as doubles): the highlight by k
// moves every component towards 1, c (1 - k) + k; the shadow by k darkens red, green and blue to
// c (1 - k) while alpha goes towards 1, a (1 - k) + k. Both keep an opaque colour opaque.
Platform::Color highlight(Platform::Color const& c, double k);
Platform::Color shadow(Platform::Color const& c, double k);

void fillPath(Platform::BezierPath const& path, Platform::Color const& color);
void fillRect(Platform::Rect const& rect, Platform::Color const& color);
void fillRoundedRect(Platform::Rect const& rect, double radius, Platform::Color const& color);
void fillOval(Platform::Rect const& rect, Platform::Color const& color);

// The arpeggiator step button's layers on its frame: base, top, selected and lighted lamps, and
// the disabled veil of black at the given alpha.
struct StepButtonColors {
    Platform::Color base, basePressed, top, topPressed, selected, lighted;
    double veilAlpha;
};
void drawStepButton(Platform::Rect const& frame, StepButtonColors const& colors, bool selected, bool pressed,
                    bool lighted, bool disabled);

// The step program fader's geometry in the caller's coordinates: the two track rectangles, the
// lit segments for a switch position, the seven numbered marks with their selection, the thumb.
Platform::Rect const& faderLowerTrack();
Platform::Rect const& faderUpperTrack();
void fillFaderTrack(Platform::Color const& color);
void fillFaderSegments(double switchPos, Platform::Color const& color);
// Calls drawMark for each mark in a 12 x 12 box (the 100 x 100 mark canvas scaled by 0.12).
void drawFaderMarks(double switchPos, std::function<void(bool selected, std::string const& label)> const& drawMark);
Platform::BezierPath faderThumb(double value);

// Text vertically centred in a box, its height measured for the box's width, clipped to the box.
void drawTextCentredVertically(std::string const& text, Platform::Rect const& box,
                               Platform::TextAttributes const& attributes);

// The labels of the response graphs: an output as a whole percentage ("50%"), or as a step of
// 0..127 ("64"); halves round away from zero.
std::string shaperPercentText(double output);
std::string shaperStepText(double output);

} // namespace Lumora::StyleKitSupport
