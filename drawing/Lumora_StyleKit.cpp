#include "drawing/Lumora_StyleKit.h"

#include "platform/graphics/BezierPath.h"

#include <array>

using Platform::BezierPath;
using Platform::Color;
using Platform::Point;

namespace {

// Palette slots, in the order the colours are created.
enum Slot {
    BaseColor,
    BaseColorPressed,
    BaseColorDisabled,
    TopColor,
    TopColorPressed,
    TopColorSelected,
    TopFrameColor,
    LabelColor,
    LabelColorSelected,
    MarkColor,
    MarkColorDisabled,
    LampColorOn,
    LampColorOff,
    LampColorLighted,
    GaugeBaseColor,
    GuageTopColor,
    SlotCount
};

std::array<Color, SlotCount> const& palette()
{
    // Created once, thread-safely, on first use; never changed or released.
    static std::array<Color, SlotCount> const colors = {
        Color(0.385, 0.385, 0.385, 1.0), // baseColor_
        Color(0.092, 0.286, 0.371, 1.0), // baseColor_pressed_
        Color(0.508, 0.694, 0.824, 1.0), // baseColor_disabled_
        Color(0.711, 0.711, 0.711, 1.0), // topColor_
        Color(0.224, 0.216, 0.216, 1.0), // topColor_pressed_
        Color(0.759, 0.829, 0.867, 1.0), // topColor_selected_
        Color(0.392, 0.392, 0.392, 1.0), // topFrameColor_
        Color(0.362, 0.461, 0.513, 1.0), // labelColor_
        Color(0.155, 0.198, 0.22, 1.0),  // labelColor_selected_
        Color(1.0, 0.427, 0.157, 1.0),   // markColor_
        Color(0.47, 0.47, 0.47, 1.0),    // markColor_disabled_
        Color(1.0, 0.427, 0.157, 1.0),   // lampColor_on_
        Color(0.47, 0.47, 0.47, 1.0),    // lampColor_off_
        Color(1.0, 0.809, 0.0, 1.0),     // lampColor_lighted_
        Color(0.85, 0.85, 0.85, 1.0),    // gaugeBaseColor_
        Color(1.0, 0.427, 0.157, 1.0),   // guageTopColor_
    };
    return colors;
}

} // namespace

void Lumora_StyleKit::initialize()
{
    palette();
}

Color const& Lumora_StyleKit::baseColor_() { return palette()[BaseColor]; }
Color const& Lumora_StyleKit::baseColor_pressed_() { return palette()[BaseColorPressed]; }
Color const& Lumora_StyleKit::baseColor_disabled_() { return palette()[BaseColorDisabled]; }
Color const& Lumora_StyleKit::topColor_() { return palette()[TopColor]; }
Color const& Lumora_StyleKit::topColor_pressed_() { return palette()[TopColorPressed]; }
Color const& Lumora_StyleKit::topColor_selected_() { return palette()[TopColorSelected]; }
Color const& Lumora_StyleKit::topFrameColor_() { return palette()[TopFrameColor]; }
Color const& Lumora_StyleKit::labelColor_() { return palette()[LabelColor]; }
Color const& Lumora_StyleKit::labelColor_selected_() { return palette()[LabelColorSelected]; }
Color const& Lumora_StyleKit::markColor_() { return palette()[MarkColor]; }
Color const& Lumora_StyleKit::markColor_disabled_() { return palette()[MarkColorDisabled]; }
Color const& Lumora_StyleKit::lampColor_on_() { return palette()[LampColorOn]; }
Color const& Lumora_StyleKit::lampColor_off_() { return palette()[LampColorOff]; }
Color const& Lumora_StyleKit::lampColor_lighted_() { return palette()[LampColorLighted]; }
Color const& Lumora_StyleKit::gaugeBaseColor_() { return palette()[GaugeBaseColor]; }
Color const& Lumora_StyleKit::guageTopColor_() { return palette()[GuageTopColor]; }

// A square of side 60 with continuous-curvature corners of radius 10: each corner leaves its
// edges 15.29 from the square's corner and runs through three curves; the four corners are the
// top-right one turned by quarter turns about the centre.
void Lumora_StyleKit::drawIconPressed()
{
    BezierPath plate;
    plate.moveTo({15.29, 0});
    plate.lineTo({44.71, 0});
    plate.curveTo({53.3, 0.65}, {49.12, 0}, {51.32, 0});
    plate.lineTo({53.69, 0.75});
    plate.curveTo({59.25, 6.31}, {56.27, 1.69}, {58.31, 3.73});
    plate.curveTo({60, 15.29}, {60, 8.68}, {60, 10.88});
    plate.lineTo({60, 44.71});
    plate.curveTo({59.35, 53.3}, {60, 49.12}, {60, 51.32});
    plate.lineTo({59.25, 53.69});
    plate.curveTo({53.69, 59.25}, {58.31, 56.27}, {56.27, 58.31});
    plate.curveTo({44.71, 60}, {51.32, 60}, {49.12, 60});
    plate.lineTo({15.29, 60});
    plate.curveTo({6.7, 59.35}, {10.88, 60}, {8.68, 60});
    plate.lineTo({6.31, 59.25});
    plate.curveTo({0.75, 53.69}, {3.73, 58.31}, {1.69, 56.27});
    plate.curveTo({0, 44.71}, {0, 51.32}, {0, 49.12});
    plate.lineTo({0, 15.29});
    plate.curveTo({0.65, 6.7}, {0, 10.88}, {0, 8.68});
    plate.lineTo({0.75, 6.31});
    plate.curveTo({6.31, 0.75}, {1.69, 3.73}, {3.73, 1.69});
    plate.curveTo({15.29, 0}, {8.68, 0}, {10.88, 0});
    plate.close();
    Color::lightGrayColor().setFill();
    plate.fill();
}
