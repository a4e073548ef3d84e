#include "screens/midimapping/Lumora_MidiMapper_ParamShaperView.h"

#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {
// The drawn curve keeps this far from the view's edges.
constexpr double kInset = 5;
// Dragging up this many view heights runs through the whole range.
constexpr float kHeightsPerRange = 3;
// Float parameters move in hundredths, the others in the engine's 127 steps.
constexpr float kFloatSteps = 100;
constexpr float kIntSteps = 127;
} // namespace

Lumora_MidiMapper_ParamShaperView::Lumora_MidiMapper_ParamShaperView(Platform::Rect frame) : Platform::View(frame)
{
    initialize_ParamShaperView();
}

void Lumora_MidiMapper_ParamShaperView::initialize_ParamShaperView()
{
    auto doubleTap = std::make_shared<Platform::TapGestureRecognizer>();
    doubleTap->setNumberOfTapsRequired(2);
    doubleTap->addTarget(this, &Lumora_MidiMapper_ParamShaperView::selTapGesture);
    addGestureRecognizer(doubleTap);
}

Lumora::MidiParamMapper::Element* Lumora_MidiMapper_ParamShaperView::midiParamMapperElement() const
{
    return audioEngine_ ? audioEngine_->midiParamMapper().findElement(paramIndex_) : nullptr;
}

Lumora::Parameter* Lumora_MidiMapper_ParamShaperView::parameter() const
{
    return audioEngine_ ? audioEngine_->parameterManager().getParameter(paramIndex_) : nullptr;
}

bool Lumora_MidiMapper_ParamShaperView::isFloatParam() const
{
    Lumora::Parameter const* p = parameter();
    return p && (p->type() == Lumora::Parameter::Type::SFloat || p->type() == Lumora::Parameter::Type::UFloat);
}

bool Lumora_MidiMapper_ParamShaperView::isIntParam() const
{
    Lumora::Parameter const* p = parameter();
    return p && (p->type() == Lumora::Parameter::Type::SInt || p->type() == Lumora::Parameter::Type::UInt);
}

float Lumora_MidiMapper_ParamShaperView::operatingPosValue() const
{
    if (!audioEngine_)
        return 0;
    std::lock_guard lock(audioEngine_->midiParamMapper().mutex());
    Lumora::MidiParamMapper::Element const* element = midiParamMapperElement();
    if (!element)
        return 0;
    Lumora::Math::Shaper1bp const& curve = element->shaper();
    switch (operatingPos_) {
    case Lo: return curve.yL();
    case Mid: return curve.yC();
    default: return curve.yR();
    }
}

void Lumora_MidiMapper_ParamShaperView::setOperatingPosValue(float value)
{
    if (!audioEngine_)
        return;
    bool const floatParam = isFloatParam();
    {
        std::lock_guard lock(audioEngine_->midiParamMapper().mutex());
        Lumora::MidiParamMapper::Element* element = midiParamMapperElement();
        if (!element)
            return;
        Lumora::Math::Shaper1bp& curve = element->shaper();
        if (floatParam) {
            if (operatingPos_ == Lo)
                curve.setYL(value);
            else if (operatingPos_ == Mid)
                curve.setYC(value);
            else
                curve.setYR(value);
        } else if (operatingPos_ == Lo) {
            // An integer parameter's curve stays straight: mid follows halfway.
            curve.setYL(value);
            curve.setYC((curve.yR() - value) * 0.5f + value);
        } else if (operatingPos_ == Hi) {
            curve.setYC(value + (value - curve.yL()) * -0.5f);
            curve.setYR(value);
        }
    }
    setNeedsDisplay();
}

void Lumora_MidiMapper_ParamShaperView::touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (Platform::Touch* touch = touches.anyObject()) {
        Platform::Point const p = touch->locationInView(this);
        double const w = bounds().size.width;
        operatingPos_ = p.x < w / 3 ? Lo : (p.x < 2 * w / 3 ? Mid : Hi);
        operatingPosValue_internal_ = operatingPosValue();
        lastTouchPoint_ = p;
    }
    Platform::View::touchesBegan(touches, event);
}

void Lumora_MidiMapper_ParamShaperView::touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event)
{
    Platform::Touch* touch = touches.anyObject();
    float const h = static_cast<float>(bounds().size.height);
    if (touch && h > 0) {
        Platform::Point const p = touch->locationInView(this);
        float const dy = static_cast<float>(lastTouchPoint_.y) - static_cast<float>(p.y);
        float const v = std::clamp(dy / h / kHeightsPerRange + operatingPosValue_internal_, 0.0f, 1.0f);
        operatingPosValue_internal_ = v;
        float const steps = isFloatParam() ? kFloatSteps : kIntSteps;
        setOperatingPosValue(std::round(v * steps) / steps);
        lastTouchPoint_ = p;
    }
    Platform::View::touchesMoved(touches, event);
}

void Lumora_MidiMapper_ParamShaperView::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    Platform::View::touchesEnded(touches, event);
}

void Lumora_MidiMapper_ParamShaperView::touchesCancelled(Platform::TouchSet const& touches,
                                                         Platform::Event const* event)
{
    Platform::View::touchesCancelled(touches, event);
}

void Lumora_MidiMapper_ParamShaperView::drawRect(Platform::Rect const& rect)
{
    Platform::Rect const frame = rect.insetBy(kInset, kInset);
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();
    float lo = 0, mid = 0.5f, hi = 1;
    bool mapped = false;
    if (audioEngine_) {
        std::lock_guard lock(audioEngine_->midiParamMapper().mutex());
        if (Lumora::MidiParamMapper::Element const* element = midiParamMapperElement()) {
            lo = element->shaper().yL();
            mid = element->shaper().yC();
            hi = element->shaper().yR();
            mapped = true;
        }
    }
    if (!mapped) {
        painter->drawShaperWithFrame(frame, true, 0, 0.5, 1);
        return;
    }
    if (isFloatParam()) {
        painter->drawShaperWithFrame(frame, false, lo, mid, hi);
        return;
    }
    Lumora::Parameter const* p = parameter();
    double const min = p ? p->normalizedMinValue() : 0.0;
    double const max = p ? p->normalizedMaxValue() : 1.0;
    painter->drawIntShaperWithFrame(frame, false, lo, hi, min, max);
}

void Lumora_MidiMapper_ParamShaperView::selTapGesture(Platform::GestureRecognizer*)
{
    Lumora::Parameter const* p = parameter();
    if (!p)
        return;
    float const min = p->normalizedMinValue();
    float const max = p->normalizedMaxValue();
    {
        std::lock_guard lock(audioEngine_->midiParamMapper().mutex());
        Lumora::MidiParamMapper::Element* element = midiParamMapperElement();
        if (!element)
            return;
        element->shaper().setYL(min);
        element->shaper().setYC(min + (max - min) * 0.5f);
        element->shaper().setYR(max);
    }
    setNeedsDisplay();
}
