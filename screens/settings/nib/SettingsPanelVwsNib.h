#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

#include <memory>
#include <string>
#include <vector>

// The parts the panel file gives its panels, shared by the panel families' builders so that
// every panel looks alike: a title on the left, the panel's controls on the right, a hairline
// along the bottom. Panels are laid out at the file's width and stretched by the screen.
namespace SettingsPanelVwsNib {

constexpr double fileWidth = 320;
constexpr double margin = 12;
constexpr double rowHeight = 44;
// A panel with a value row: the title and value above, slider and stepper below.
constexpr double valuePanelHeight = 72;

// A new panel of class T at the file's width, with its title and the hairline.
template <class T>
std::shared_ptr<T> makePanel(double height, std::string const& title, double titleWidth = fileWidth - 2 * margin);

void addTitle(Lumora_SettingPanelView& panel, std::string const& title, double titleWidth);
void addHairline(Lumora_SettingPanelView& panel);

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
