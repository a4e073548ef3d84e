#pragma once

#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"
#include "platform/ui/WeakRef.h"

#include <string>

// The slider, stepper and value label that several panels show one number with. Either control
// sends the panel's action; the raw value is that of the control that sent it.
struct Lumora_SliderStepperOutlets {
    Platform::WeakRef<Platform::Label> label;
    Platform::WeakRef<Platform::Slider> slider;
    Platform::WeakRef<Platform::Stepper> stepper;

    // The slider's value when the sender is the slider, otherwise the stepper's (0 without one).
    double raw(Platform::Control const* sender) const;
    // Both controls show the whole number: the slider as a float, the stepper as a double.
    void showValue(int value) const;
    void showText(std::string text) const;

    // "+3", "-12", and "0" rather than "+0".
    static std::string signedText(int value);
};
