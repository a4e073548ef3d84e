#include "controls/slider/Lumora_Ctrl_Slider_Base.h"

#include "controls/painter/Lumora_Painter.h"

Lumora_Ctrl_Slider_Base::Lumora_Ctrl_Slider_Base(Platform::Rect frame) : Lumora_Ctrl_TravelBase(frame) {}

void Lumora_Ctrl_Slider_Base::updateInternalValue(Platform::Point p)
{
    constexpr double fineFactor = 0.1;
    Platform::Point const last = lastTouchPoint();
    setLastTouchPoint(p);
    bool const vertical = direction_ == 0;
    double const length = vertical ? bounds().height() : bounds().width();
    // A slider without length along its axis has no travel to map a distance onto.
    if (!(length > 0))
        return;
    bool const sideways = isSidewaysAngle(touchAngle(p, last));
    double const up = last.y - p.y;
    double const right = p.x - last.x;
    double step;
    if (vertical)
        step = sideways ? right / length * fineFactor : up / length;
    else
        step = sideways ? right / length : up / length * fineFactor;
    float const v = Lumora_clamp01(trueInternaValue() + static_cast<float>(step));
    if (v != trueInternaValue())
        setInternalValue(v);
}

void Lumora_Ctrl_Slider_Base::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawSliderWithFrame(rect, indicatorPosition(), disabled(), isBipole(),
                                                          variation());
}
