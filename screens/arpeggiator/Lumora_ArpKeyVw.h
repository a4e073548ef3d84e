#pragma once

#include "screens/keyboard/Lumora_KeyView.h"

// One step key of the arpeggiator editor. It fades itself to a fifth when disabled, so that the
// steps beyond the step length recede, and is drawn by the theme as a step button.
class Lumora_ArpKeyVw : public Lumora_KeyView {
public:
    static constexpr double disabledAlpha = static_cast<double>(0.2f);

    explicit Lumora_ArpKeyVw(Platform::Rect frame = {});

    // Sets the alpha for the state (0.2 disabled, 1.0 enabled), then stores the state.
    void setDisabled(bool disabled);

    void drawRect(Platform::Rect const& rect) override;
};
