#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextAttributes.h"

#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// Measuring and drawing text. Lines break at line feeds and, where a width is given, between
// words (a single word wider than the width stays whole); each line is the font's line height
// high and is aligned within the width by the attributes' alignment.
class StringDrawing {
public:
    // The size of the text without wrapping: its widest line by its lines' heights.
    static Size size(std::string_view text, TextAttributes const& attributes);
    // The box the text takes when wrapped to the width of `constraint` (its height is not a limit).
    static Rect boundingRect(std::string_view text, Size constraint, TextAttributes const& attributes);
    // Draws the text wrapped to the rectangle's width, from its top, into the current context.
    static void drawInRect(std::string_view text, Rect const& rect, TextAttributes const& attributes);
    // Draws the text unwrapped with the top-left of its first line at `point`.
    static void drawAtPoint(std::string_view text, Point point, TextAttributes const& attributes);

    // The text broken into lines for a width (none: line feeds only).
    static std::vector<std::string> lines(std::string_view text, double width, Font const& font);
    static double advance(std::string_view text, Font const& font);
};

} // namespace Platform
