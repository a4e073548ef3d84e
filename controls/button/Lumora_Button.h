#pragma once

#include "platform/ui/Button.h"

#include <cstdint>

// A plain push button whose whole look is the installed theme's, chosen by `variation`.
class Lumora_Button : public Platform::Button {
public:
    explicit Lumora_Button(Platform::Rect frame = {});

    // Clears the background and makes every control event redraw the button.
    void initButton();
    // An interface file may have set attributes after construction: the set-up runs again.
    void awakeFromNib() override;

    int32_t variation() const { return variation_; }
    // Takes effect at the next redraw.
    void setVariation(int32_t variation) { variation_ = variation; }

    void drawRect(Platform::Rect const& rect) override;

private:
    int32_t variation_ = 0;
};
