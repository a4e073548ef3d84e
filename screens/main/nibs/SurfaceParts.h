#pragma once

// Building blocks of the product's interface files: captions and the cells of a module grid
// (a knob with its name, a two-way switch, a lamp selector of named choices, a stepped value
// shown as a knob with its value), and the placement of whole modules into a panel.

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace Platform {
class Label;
}

namespace CorvaneNib {

// Colours of the surfaces' texts on the framework's dark panels.
Platform::Color titleColor();
Platform::Color nameColor();

// The size of every caption that names a control or a choice: readable at a surface's scale 1.
inline constexpr double captionSize = 9;

std::shared_ptr<Platform::Label> caption(Platform::Rect frame, std::string text, double pointSize, bool bold,
                                         Platform::Color color);

// One control of a module grid.
struct Cell {
    enum class Kind {
        Knob,     // a rotary knob
        Switch,   // a toggle for a two-way choice, with the two names
        Lamps,    // a lamp selector over the names, in two columns (spans three grid columns)
        Stepped,  // a knob over a small whole range, with the value shown (offset + value, suffix)
        Button,   // a button that sends an action (no parameter), named
    };
    Kind kind = Kind::Knob;
    int tag = 0;
    std::string name;
    std::vector<std::string> choices;  // Switch: off / on names; Lamps: one per value
    float offset = 0;                  // Stepped: added to the shown value
    std::string suffix;                // Stepped
};

struct Module {
    std::string title;
    std::vector<Cell> cells;
};

inline Cell knob(int tag, std::string name) { return {Cell::Kind::Knob, tag, std::move(name), {}, 0, {}}; }
inline Cell toggle(int tag, std::string name, std::string off, std::string on)
{
    return {Cell::Kind::Switch, tag, std::move(name), {std::move(off), std::move(on)}, 0, {}};
}
inline Cell lamps(int tag, std::string name, std::vector<std::string> choices)
{
    return {Cell::Kind::Lamps, tag, std::move(name), std::move(choices), 0, {}};
}
inline Cell stepped(int tag, std::string name, float offset, std::string suffix)
{
    return {Cell::Kind::Stepped, tag, std::move(name), {}, offset, std::move(suffix)};
}
inline Cell button(std::string name) { return {Cell::Kind::Button, 0, std::move(name), {}, 0, {}}; }

// The views a placement made that a file connects afterwards.
struct Placed {
    std::vector<Platform::View*> buttons;  // the Button cells, in order
};

// Places the modules top-down into the area of the parent, each a title row and a grid of the
// given number of columns.
Placed placeModules(Platform::View& parent, Platform::Rect area, std::vector<Module> const& modules, int columns,
                    double rowHeight = 60);

} // namespace CorvaneNib
