#pragma once

#include "controls/slider/Lumora_Ctrl_Slider.h"

// The program fader of one arpeggiator step: a vertical slider with seven detent positions,
// whose value is the position index 0..6. The program row converts the index to the step's
// program value.
class Lumora_ArpPgmSlider : public Lumora_Ctrl_Slider {
public:
    static constexpr int32_t positionCount = 7;
    // The fader drawing's own canvas; it is scaled uniformly into the slider's bounds.
    static constexpr double canvasWidth = 32;
    static constexpr double canvasHeight = 130;

    explicit Lumora_ArpPgmSlider(Platform::Rect frame = {});

    // An interface file may have set other positions: the fader takes its seven again.
    void awakeFromNib() override;
    void drawRect(Platform::Rect const& rect) override;

private:
    void setupPositions();
};
