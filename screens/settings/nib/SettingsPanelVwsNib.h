#pragma once

#include "platform/ui/Control.h"
#include "screens/settings/base/Lumora_SettingPanelView.h"
#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

#include <memory>
#include <string>
#include <vector>

// The parts the panel file gives its panels, shared by the panel families' builders so that
// every panel looks alike: a title on the left, the panel's controls on the right, a hairline
// along the bottom. Panels are laid out at the file's width and stretched by the screen.
namespace Platform {
class Button;
class Label;
} // namespace Platform

namespace SettingsPanelVwsNib {

constexpr double fileWidth = 320;
constexpr double margin = 12;
constexpr double rowHeight = 44;
// A panel with a value row: the title and value above, slider and stepper below.
constexpr double valuePanelHeight = 72;
constexpr double controlHeight = 29;
constexpr double switchWidth = 51;
constexpr double stepperWidth = 94;

// The top of a part of the given height centred in the row that starts at rowTop.
constexpr double centred(double rowTop, double height) { return rowTop + (rowHeight - height) / 2; }

// A new panel of class T at the file's width, with its title and the hairline.
template <class T>
std::shared_ptr<T> makePanel(double height, std::string const& title, double titleWidth = fileWidth - 2 * margin);

void addTitle(Lumora_SettingPanelView& panel, std::string const& title, double titleWidth);
void addHairline(Lumora_SettingPanelView& panel);
// A system button on the right of the title row.
std::shared_ptr<Platform::Button> addButton(Lumora_SettingPanelView& panel, std::string const& title, double width);
// A bold, right-aligned value label of the given width at the right end of the title row.
std::shared_ptr<Platform::Label> addValueLabel(Lumora_SettingPanelView& panel, double width);
// The value row below the title: a slider across and a stepper on the right, both over the
// range, set into the outlets; with a label width above 0, a value label (addValueLabel) too.
void addValueRow(Lumora_SettingPanelView& panel, Lumora_SliderStepperOutlets& outlets, double minimum, double maximum,
                 double labelWidth);

// Aims a control's action at a panel; the action may be a member of one of the panel's bases.
template <class C, class Panel>
void aim(Platform::Control& control, Panel* panel, void (C::*action)(Platform::Control*), unsigned long events)
{
    control.addTarget(static_cast<C*>(panel), action, events);
}

// A panel of class T with a value row (see addValueRow) whose controls send the panel's action;
// the title leaves room for a value label of valueWidth.
template <class T>
std::shared_ptr<T> valuePanel(std::string const& title, double minimum, double maximum, double valueWidth,
                              bool withLabel)
{
    auto panel = makePanel<T>(valuePanelHeight, title, fileWidth - 3 * margin - valueWidth);
    Lumora_SliderStepperOutlets& outlets = panel->outlets();
    addValueRow(*panel, outlets, minimum, maximum, withLabel ? valueWidth : 0);
    aim(*outlets.slider.get(), panel.get(), &T::actionValueChanged, Platform::ControlEvents::ValueChanged);
    aim(*outlets.stepper.get(), panel.get(), &T::actionValueChanged, Platform::ControlEvents::ValueChanged);
    return panel;
}

template <class T>
std::shared_ptr<T> makePanel(double height, std::string const& title, double titleWidth)
{
    auto panel = std::make_shared<T>(Platform::Rect(0, 0, fileWidth, height));
    addTitle(*panel, title, titleWidth);
    addHairline(*panel);
    return panel;
}

} // namespace SettingsPanelVwsNib

// Registers the panels of the engine, sound, audio, document and keyboard families and of the
// About view, and the builder of "SettingsPanelVws" over every registered panel.
void registerSettingsPanelVwsNib();
