#include "screens/settings/base/Lumora_SliderStepperOutlets.h"

double Lumora_SliderStepperOutlets::raw(Platform::Control const* sender) const
{
    Platform::Slider* s = slider.get();
    if (s && sender == s)
        return s->value();
    if (Platform::Stepper* st = stepper.get())
        return st->value();
    return 0.0;
}

void Lumora_SliderStepperOutlets::showValue(int value) const
{
    if (Platform::Slider* s = slider.get())
        s->setValue(static_cast<float>(value));
    if (Platform::Stepper* st = stepper.get())
        st->setValue(static_cast<double>(value));
}

void Lumora_SliderStepperOutlets::showText(std::string text) const
{
    if (Platform::Label* l = label.get())
        l->setText(std::move(text));
}

std::string Lumora_SliderStepperOutlets::signedText(int value)
{
    if (value == 0)
        return "0";
    std::string text = value > 0 ? "+" : "";
    text += std::to_string(value);
    return text;
}
