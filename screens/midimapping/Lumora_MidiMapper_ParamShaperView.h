#pragma once

#include "engine/mapping/MidiParamMapper.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/View.h"

#include <cstdint>

namespace Lumora {
class iAudioEngine;
class Parameter;
} // namespace Lumora

// Edits the response curve of one parameter's MIDI mapping: the values lo, mid and hi of its
// one-breakpoint curve. A touch picks the handle by the third of the view it lands in and keeps
// it for the whole drag; dragging up three view heights runs through the whole range. An
// integer parameter's curve stays straight (mid halfway between lo and hi). A double tap resets
// the curve to the parameter's whole range.
//
// The element is looked up at every event, never kept: MIDI learn or a document load may
// replace it in between. Curve values are written under the mapper's lock, so the render
// thread reads each one whole.
class Lumora_MidiMapper_ParamShaperView : public Platform::View {
public:
    // The handles.
    enum : unsigned { Lo = 0, Mid = 1, Hi = 2 };

    explicit Lumora_MidiMapper_ParamShaperView(Platform::Rect frame = {});

    int32_t paramIndex() const { return paramIndex_; }
    void setParamIndex(int32_t index) { paramIndex_ = index; }
    // Null for a parameter that is not numeric: the view then shows and edits nothing.
    Lumora::iAudioEngine* audioEngine() const { return audioEngine_; }
    void setAudioEngine(Lumora::iAudioEngine* engine) { audioEngine_ = engine; }

    unsigned operatingPos() const { return operatingPos_; }
    void setOperatingPos(unsigned pos) { operatingPos_ = pos; }
    float operatingPosValue_internal() const { return operatingPosValue_internal_; }
    void setOperatingPosValue_internal(float value) { operatingPosValue_internal_ = value; }
    Platform::Point lastTouchPoint() const { return lastTouchPoint_; }
    void setLastTouchPoint(Platform::Point point) { lastTouchPoint_ = point; }

    Lumora::MidiParamMapper::Element* midiParamMapperElement() const;
    Lumora::Parameter* parameter() const;
    bool isFloatParam() const;
    bool isIntParam() const;

    // The operated handle's curve value; 0 without a mapping.
    float operatingPosValue() const;
    // Writes the operated handle (and, for an integer parameter, keeps the curve straight).
    void setOperatingPosValue(float value);

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void drawRect(Platform::Rect const& rect) override;

    // The double tap: the curve spans the parameter's whole normalized range again.
    void selTapGesture(Platform::GestureRecognizer* recognizer);

private:
    void initialize_ParamShaperView();

    int32_t paramIndex_ = 0;
    unsigned operatingPos_ = Lo;
    float operatingPosValue_internal_ = 0;
    Lumora::iAudioEngine* audioEngine_ = nullptr;
    Platform::Point lastTouchPoint_;
};
