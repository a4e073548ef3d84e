#include "controls/knob/Lumora_Ctrl_RotaryKnob_Base.h"

#include "controls/painter/Lumora_Painter.h"

#include <atomic>
#include <cmath>
#include <numbers>

namespace {
// The plug-in's settings replay may write the mode on a host thread while a knob is dragged.
std::atomic<bool> linearKnobMode{true};
}

Lumora_Ctrl_RotaryKnob_Base::Lumora_Ctrl_RotaryKnob_Base(Platform::Rect frame) : Lumora_Ctrl_TravelBase(frame) {}

void Lumora_Ctrl_RotaryKnob_Base::setControlTypeToLinear(bool linear)
{
    linearKnobMode.store(linear, std::memory_order_relaxed);
}

bool Lumora_Ctrl_RotaryKnob_Base::isControlTypeLinear()
{
    return linearKnobMode.load(std::memory_order_relaxed);
}

float Lumora_Ctrl_RotaryKnob_Base::touchAngle(Platform::Point p) const
{
    // Seen from the centre of the knob's own coordinates, where touch locations are given.
    Platform::Rect const b = bounds();
    return touchAngle(p, Platform::Point{b.midX(), b.midY()});
}

void Lumora_Ctrl_RotaryKnob_Base::beginDrag(Platform::Point p)
{
    Lumora_Ctrl_TravelBase::beginDrag(p);
    lastAngle_ = touchAngle(p);
}

void Lumora_Ctrl_RotaryKnob_Base::updateInternalValue(Platform::Point p)
{
    constexpr double pi = std::numbers::pi;
    Platform::Point const last = lastTouchPoint();
    float v = trueInternaValue();
    if (isControlTypeLinear()) {
        if (isSidewaysAngle(touchAngle(p, last))) {
            float const fineResolution = linerResolution_ * linerFineResolutionRatio_;
            v += static_cast<float>((p.x - last.x) / fineResolution);
        } else {
            v += static_cast<float>((last.y - p.y) / linerResolution_);
        }
    } else {
        float const angle = touchAngle(p);
        float const d = angle - lastAngle_;
        lastAngle_ = angle;
        // A half turn moves 0.6 of the travel. A step of pi or more crossed the line straight
        // below the centre, where the angle jumps by 2 pi, and moves nothing.
        if (-pi < d && d < pi)
            v += static_cast<float>(d / pi * 0.6);
    }
    v = Lumora_clamp01(v);
    if (v != trueInternaValue())
        setInternalValue(v);
    setLastTouchPoint(p);
}

void Lumora_Ctrl_RotaryKnob_Base::drawRect(Platform::Rect const& rect)
{
    Lumora_Painter::sharedInstance()->drawKnobWithFrame(rect, indicatorPosition(), disabled(), isBipole(), variation());
}
