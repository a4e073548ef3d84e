#pragma once

#include "platform/ui/View.h"

namespace Platform {
class LayoutConstraint;
}

// The place of the editor frame in the main view: the first frame below it fills its bounds.
class Lumora_SynthFrmwrk_EdtrFrmCntnrVw : public Platform::View {
public:
    explicit Lumora_SynthFrmwrk_EdtrFrmCntnrVw(Platform::Rect frame = {}) : Platform::View(frame) {}
    void layoutSubviews() override;

    // The container's height constraint in the main file (the main screen may switch it off).
    Platform::LayoutConstraint* constraintForHeight = nullptr;
};
