#pragma once

#include "controls/base/Lumora_Control.h"
#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"

#include <cstdint>

class Lumora_ArpPgmCntnrVw;
class Lumora_ArpPgmSlider;

// Told of each change of a step's program fader, with the program value (as a float) the
// fader now stands for.
class Lumora_ArpPgmCntnrVw_Delegate {
public:
    virtual ~Lumora_ArpPgmCntnrVw_Delegate() = default;
    virtual void arpPgmCntnrVw_arpPgmSlider_value(Lumora_ArpPgmCntnrVw* container, Lumora_ArpPgmSlider* slider,
                                                  float value) = 0;
};

// The row of sixteen program faders of the arpeggiator editor. It makes its faders the first
// time it is placed in a superview (33 points wide, as high as the row, tagged 0 to 15 by
// step) and translates between fader positions and program values:
//
//   fader index    0  1  2  3  4   5   6
//   program value  0  1  2  3  4  -2  -1
class Lumora_ArpPgmCntnrVw : public Platform::View, public Lumora_ControlDelegate {
public:
    static constexpr int stepCount = 16;
    static constexpr double faderWidth = 33;

    explicit Lumora_ArpPgmCntnrVw(Platform::Rect frame = {});

    bool isCreatedUI() const { return isCreatedUI_; }
    Lumora_ArpPgmCntnrVw_Delegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_ArpPgmCntnrVw_Delegate* delegate) { delegate_.reset(delegate); }

    void didMoveToSuperview() override;

    // Each applies to the fader whose tag is the given one; setValue takes a program value.
    void setValue(int32_t programValue, int32_t tag);
    void setDisabled(bool disabled, int32_t tag);
    void setAlpha(double alpha, int32_t tag);
    using View::setAlpha;
    // The fader with that tag, or none.
    Lumora_ArpPgmSlider* sliderWithTag(int32_t tag) const;

    // A program value outside -2..4 shows at index 0; an index outside 0..6 is written as 0.
    static int32_t convToFaderValueFromDataValue(int32_t programValue);
    static int32_t convToDataValueFromFaderValue(int32_t faderIndex);

    // A fader's change: its index, truncated, as a program value for the delegate.
    void Lumora_Control_valueChanged(Lumora_Control* control, float value) override;

private:
    void createUI();

    bool isCreatedUI_ = false;
    Platform::WeakRef<Lumora_ArpPgmCntnrVw_Delegate> delegate_;
};
