#include "screens/main/nibs/SurfaceParts.h"

#include "controls/button/Lumora_Button.h"
#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/lamp/Lumora_Ctrl_Lamp.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <algorithm>

namespace CorvaneNib {

using Platform::Rect;

namespace {

constexpr double titleHeight = 16;
constexpr double nameHeight = 12;
// A choice's name beside a switch or lamp: one line of the caption size.
constexpr double choiceHeight = 12;

int spanOf(Cell const& c) { return c.kind == Cell::Kind::Lamps ? 3 : 1; }

// The top of a cell's name, which closes the cell at its bottom edge.
double nameTop(Rect cell) { return cell.origin.y + cell.size.height - nameHeight - 1; }

void addName(Platform::View& parent, Rect cell, std::string const& name)
{
    parent.addSubview(caption(Rect(cell.origin.x, nameTop(cell), cell.size.width, nameHeight), name, captionSize, false,
                              nameColor()));
}

// The square that a cell's main control takes above its name.
Rect controlSquare(Rect cell, double maxSide = 36)
{
    double const side = std::min({maxSide, cell.size.width - 8, cell.size.height - nameHeight - 8});
    return Rect(cell.origin.x + (cell.size.width - side) / 2, cell.origin.y + 4, side, side);
}

void addKnob(Platform::View& parent, Rect cell, Cell const& c)
{
    auto knob = std::make_shared<Lumora_Ctrl_RotaryKnob>(controlSquare(cell));
    knob->setTag(c.tag);
    parent.addSubview(knob);
    addName(parent, cell, c.name);
}

void addStepped(Platform::View& parent, Rect cell, Cell const& c)
{
    Rect square = controlSquare(cell, 28);
    auto knob = std::make_shared<Lumora_Ctrl_RotaryKnob>(square);
    knob->setTag(c.tag);
    parent.addSubview(knob);
    auto value = std::make_shared<Lumora_Ctrl_Label>(
        Rect(cell.origin.x, square.origin.y + square.size.height, cell.size.width, 11));
    value->setTag(c.tag);
    value->setOffset(c.offset);
    value->setSurfix(c.suffix);
    value->setFontSize(captionSize);
    value->setColor(titleColor());
    parent.addSubview(value);
    addName(parent, cell, c.name);
}

// The "on" choice at the top of the cell, the "off" choice just above the cell's name and the
// switch centred between them, so the cell holds at every row height the grids use.
void addSwitch(Platform::View& parent, Rect cell, Cell const& c)
{
    double const onTop = cell.origin.y + 1;
    double const offTop = nameTop(cell) - choiceHeight;
    double const between = offTop - (onTop + choiceHeight);
    double const side = std::min(20.0, between);
    auto toggle = std::make_shared<Lumora_Ctrl_Switch>(
        Rect(cell.origin.x + (cell.size.width - side) / 2, onTop + choiceHeight + (between - side) / 2, side, side));
    toggle->setTag(c.tag);
    toggle->setToggled(true);
    parent.addSubview(toggle);
    if (c.choices.size() == 2) {
        parent.addSubview(caption(Rect(cell.origin.x, onTop, cell.size.width, choiceHeight), c.choices[1], captionSize,
                                  false, titleColor()));
        parent.addSubview(caption(Rect(cell.origin.x, offTop, cell.size.width, choiceHeight), c.choices[0], captionSize,
                                  false, nameColor()));
    }
    addName(parent, cell, c.name);
}

void addLamps(Platform::View& parent, Rect cell, Cell const& c)
{
    double const innerHeight = cell.size.height - nameHeight - 4;
    auto selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(
        Rect(cell.origin.x + 4, cell.origin.y + 2, cell.size.width - 8, innerHeight));
    selector->setTag(c.tag);
    int const count = static_cast<int>(c.choices.size());
    int const perColumn = (count + 1) / 2;
    double const columnWidth = (cell.size.width - 8) / 2;
    double const lineHeight = innerHeight / std::max(1, perColumn);
    for (int i = 0; i < count; ++i) {
        double const x = (i / perColumn) * columnWidth;
        double const y = (i % perColumn) * lineHeight;
        double const lampSide = std::min(10.0, lineHeight - 4);
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(x + 2, y + (lineHeight - lampSide) / 2, lampSide, lampSide));
        lamp->setTag(i);
        selector->addSubview(lamp);
        selector->addSubview(caption(Rect(x + lampSide + 4, y, columnWidth - lampSide - 5, lineHeight), c.choices[i],
                                     captionSize, false, nameColor()));
        static_cast<Platform::Label&>(*selector->subviews().back()).setTextAlignment(Platform::TextAlignment::Left);
    }
    parent.addSubview(selector);
    addName(parent, cell, c.name);
}

Platform::View* addButton(Platform::View& parent, Rect cell, Cell const& c)
{
    auto button = std::make_shared<Lumora_Button>(Rect(cell.origin.x + 4, cell.origin.y + 12, cell.size.width - 8, 24));
    button->setTitle(c.name, Platform::ControlState::Normal);
    button->setTitleColor(Platform::Color::whiteColor(), Platform::ControlState::Normal);
    button->titleLabel()->setFont(Platform::Font::boldSystemFont(10));
    parent.addSubview(button);
    return button.get();
}

} // namespace

Platform::Color titleColor() { return Platform::Color(1.0, 0.72, 0.42); }
Platform::Color nameColor() { return Platform::Color::withWhite(0.86); }

std::shared_ptr<Platform::Label> caption(Rect frame, std::string text, double pointSize, bool bold, Platform::Color color)
{
    auto label = std::make_shared<Platform::Label>(frame);
    label->setText(std::move(text));
    label->setFont(bold ? Platform::Font::boldSystemFont(pointSize) : Platform::Font::systemFont(pointSize));
    label->setTextColor(color);
    label->setTextAlignment(Platform::TextAlignment::Center);
    label->setNumberOfLines(1);
    label->setBackgroundColor(std::nullopt);
    label->setOpaque(false);
    return label;
}

Placed placeModules(Platform::View& parent, Rect area, std::vector<Module> const& modules, int columns, double rowHeight)
{
    Placed placed;
    double const cellWidth = area.size.width / columns;
    double y = area.origin.y;
    for (auto const& module : modules) {
        auto title = caption(Rect(area.origin.x + 6, y, area.size.width - 12, titleHeight), module.title, 11, true,
                             titleColor());
        title->setTextAlignment(Platform::TextAlignment::Left);
        parent.addSubview(title);
        y += titleHeight;
        int column = 0;
        for (auto const& c : module.cells) {
            int const span = spanOf(c);
            if (column + span > columns) {
                column = 0;
                y += rowHeight;
            }
            Rect const cell(area.origin.x + column * cellWidth, y, span * cellWidth, rowHeight);
            switch (c.kind) {
            case Cell::Kind::Knob: addKnob(parent, cell, c); break;
            case Cell::Kind::Stepped: addStepped(parent, cell, c); break;
            case Cell::Kind::Switch: addSwitch(parent, cell, c); break;
            case Cell::Kind::Lamps: addLamps(parent, cell, c); break;
            case Cell::Kind::Button: placed.buttons.push_back(addButton(parent, cell, c)); break;
            }
            column += span;
        }
        y += rowHeight + 4;
    }
    return placed;
}

} // namespace CorvaneNib
