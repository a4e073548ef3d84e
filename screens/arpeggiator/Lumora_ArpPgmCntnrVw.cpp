#include "screens/arpeggiator/Lumora_ArpPgmCntnrVw.h"

#include "screens/arpeggiator/Lumora_ArpPgmSlider.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<int32_t, Lumora_ArpPgmSlider::positionCount> programOfIndex = {0, 1, 2, 3, 4, -2, -1};

} // namespace

Lumora_ArpPgmCntnrVw::Lumora_ArpPgmCntnrVw(Platform::Rect frame) : View(frame) {}

void Lumora_ArpPgmCntnrVw::didMoveToSuperview()
{
    View::didMoveToSuperview();
    if (superview() && !isCreatedUI_)
        createUI();
}

void Lumora_ArpPgmCntnrVw::createUI()
{
    isCreatedUI_ = true;
    setBackgroundColor(Platform::Color::clearColor());
    double const height = frame().height();
    for (int i = 0; i < stepCount; ++i) {
        auto fader = std::make_shared<Lumora_ArpPgmSlider>(Platform::Rect(faderWidth * i, 0, faderWidth, height));
        fader->setTag(i);
        fader->setDelegate(this);
        addSubview(fader);
    }
}

Lumora_ArpPgmSlider* Lumora_ArpPgmCntnrVw::sliderWithTag(int32_t tag) const
{
    for (auto const& view : subviews())
        if (auto* slider = dynamic_cast<Lumora_ArpPgmSlider*>(view.get()); slider && slider->tag() == tag)
            return slider;
    return nullptr;
}

void Lumora_ArpPgmCntnrVw::setValue(int32_t programValue, int32_t tag)
{
    if (auto* slider = sliderWithTag(tag)) {
        slider->setValue(static_cast<float>(convToFaderValueFromDataValue(programValue)));
        slider->setNeedsDisplay();
    }
}

void Lumora_ArpPgmCntnrVw::setDisabled(bool disabled, int32_t tag)
{
    if (auto* slider = sliderWithTag(tag))
        slider->setDisabled(disabled);
}

void Lumora_ArpPgmCntnrVw::setAlpha(double alpha, int32_t tag)
{
    if (auto* slider = sliderWithTag(tag))
        slider->setAlpha(alpha);
}

int32_t Lumora_ArpPgmCntnrVw::convToFaderValueFromDataValue(int32_t programValue)
{
    for (std::size_t i = 0; i < programOfIndex.size(); ++i)
        if (programOfIndex[i] == programValue)
            return static_cast<int32_t>(i);
    return 0;
}

int32_t Lumora_ArpPgmCntnrVw::convToDataValueFromFaderValue(int32_t faderIndex)
{
    if (faderIndex < 0 || faderIndex >= static_cast<int32_t>(programOfIndex.size()))
        return 0;
    return programOfIndex[static_cast<std::size_t>(faderIndex)];
}

void Lumora_ArpPgmCntnrVw::Lumora_Control_valueChanged(Lumora_Control* control, float value)
{
    auto* slider = dynamic_cast<Lumora_ArpPgmSlider*>(control);
    Lumora_ArpPgmCntnrVw_Delegate* d = delegate();
    if (!slider || !d || std::isnan(value))
        return;
    // Anything beyond the seven positions is written as 0; clamping first keeps the cast defined.
    int32_t const index = static_cast<int32_t>(std::trunc(std::clamp(value, -1.0f, 7.0f)));
    d->arpPgmCntnrVw_arpPgmSlider_value(this, slider, static_cast<float>(convToDataValueFromFaderValue(index)));
}
