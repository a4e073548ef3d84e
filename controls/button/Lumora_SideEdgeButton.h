#pragma once

#include "platform/ui/Button.h"

// The tall button on the side edge of the synth main screen, drawn by the installed theme.
class Lumora_SideEdgeButton : public Platform::Button {
public:
    explicit Lumora_SideEdgeButton(Platform::Rect frame = {});

    // Clears the background and makes every control event redraw the button.
    void initButton();
    // An interface file may have set attributes after construction: the set-up runs again.
    void awakeFromNib() override;

    void drawRect(Platform::Rect const& rect) override;
};
