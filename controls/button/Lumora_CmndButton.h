#pragma once

#include "platform/ui/Button.h"

#include <cstdint>
#include <optional>
#include <string>

// The command button of the screens' tool bars: an icon picked by its image name ("Close",
// "NewFile", "GoBack", "Settings", ...) and drawn by the installed theme in the theme's colour
// for the button's state. A name the painter has no icon for is drawn as its first letter ("?"
// for no name). The button redraws on every control event, so a press shows at once.
class Lumora_CmndButton : public Platform::Button {
public:
    explicit Lumora_CmndButton(Platform::Rect frame = {});

    // Clears the background and makes every control event redraw the button.
    void initCommandButton();
    // An interface file may have set attributes after construction: the set-up runs again.
    void awakeFromNib() override;

    std::optional<std::string> const& imageName() const { return imageName_; }
    // Stores the name and redraws.
    void setImageName(std::optional<std::string> name);
    // The "Alt" icon shows the selection itself, so themes colour it as unselected.
    bool isAltButton() const { return imageName_ && *imageName_ == "Alt"; }
    int32_t variation() const { return variation_; }
    // Stores the variation and redraws (themes read it when they answer the colour requests).
    void setVariation(int32_t variation);

    // The theme's colours for a control state (1 highlighted, 2 disabled, 4 selected).
    std::optional<Platform::Color> foregroundColorWithState(unsigned long state);
    std::optional<Platform::Color> backgroundColorWithState(unsigned long state);

    void drawRect(Platform::Rect const& rect) override;

private:
    void drawLetter(Platform::Color const& foreground) const;

    int32_t variation_ = 0;
    std::optional<std::string> imageName_;
};
