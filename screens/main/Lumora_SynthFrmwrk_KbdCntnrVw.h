#pragma once

#include "platform/ui/View.h"

// The place of the on-screen keyboard in the main view: the keyboard below it fills its bounds.
class Lumora_SynthFrmwrk_KbdCntnrVw : public Platform::View {
public:
    explicit Lumora_SynthFrmwrk_KbdCntnrVw(Platform::Rect frame = {}) : Platform::View(frame) {}
    void awakeFromNib() override;
    void layoutSubviews() override;
};
