#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <functional>
#include <string>
#include <vector>

namespace StyleKitTesting {

using Platform::Color;
using Platform::Rect;

// Every command icon by name, with the routine that draws it (MIDI and Alt with selected false).
struct IconEntry {
    std::string name;
    std::function<void(Rect const&, Color const&, bool pressed)> draw;
};
std::vector<IconEntry> const& allIcons();

// Draws every control and icon of the default kit, and the product kit's figures below them, on
// one sheet of the given size.
void drawSheet();
constexpr double sheetWidth = 1400;
constexpr double sheetHeight = 1500;

} // namespace StyleKitTesting
