#pragma once

#include "controls/knob/Lumora_Ctrl_TravelBase.h"

#include <cstdint>

// A straight fader: the finger drags along the axis to move the value over the slider's own
// length, or across it to move it ten times more finely. Every change is relative to the previous
// touch location; the value never jumps to the touched point. Drawn by the installed theme.
class Lumora_Ctrl_Slider_Base : public Lumora_Ctrl_TravelBase {
public:
    explicit Lumora_Ctrl_Slider_Base(Platform::Rect frame = {});

    // 0 vertical (the value grows upward); any other value horizontal (it grows to the right).
    uint64_t direction() const { return direction_; }
    void setDirection(uint64_t direction) { direction_ = direction; }

    void updateInternalValue(Platform::Point p) override;
    void drawRect(Platform::Rect const& rect) override;

private:
    uint64_t direction_ = 0;
};
