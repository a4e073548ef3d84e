#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"

namespace Platform {

// Numbered as the phone's paragraph alignments.
enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

// The attributes of drawn text: font, foreground colour and the paragraph's alignment.
struct TextAttributes {
    Font font = Font::systemFont(Font::systemFontSize());
    Color color = Color::blackColor();
    TextAlignment alignment = TextAlignment::Left;
};

} // namespace Platform
