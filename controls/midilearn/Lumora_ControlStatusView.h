#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"

#include "engine/mapping/MidiParamMapper.h"

#include <cstdint>
#include <memory>

class Lumora_ControlStatusView;

// Told of the user's taps and long presses on a MIDI-learn overlay.
class Lumora_ControlStatusView_delegate {
public:
    virtual ~Lumora_ControlStatusView_delegate() = default;
    // A tap toggled the overlay; `selected` is its new state.
    virtual void controlStatusView_didSelect(Lumora_ControlStatusView* view, bool selected) = 0;
    // A long press began; `selected` is the overlay's current state, which the press leaves.
    virtual void controlStatusView_didLongPressed(Lumora_ControlStatusView* view, bool selected) = 0;
};

// The overlay that covers one bound control in MIDI-learn mode: it shows which controller
// drives the control's parameter, arms learning on a tap and asks for the mapping editor on a
// long press. It lives in the control's superview, holds the control and its delegate weakly
// and never owns the engine's mapper.
class Lumora_ControlStatusView : public Platform::View {
public:
    // Give it its control and the mapper with initWithControl before use.
    Lumora_ControlStatusView();

    // A new overlay for the control (made and initialised in one step).
    static std::shared_ptr<Lumora_ControlStatusView> withControl(Platform::Control* control,
                                                                  Lumora::MidiParamMapper* mapper);
    // A 10 x 10 clear overlay with a long-press recogniser; the layout pass places it.
    void initWithControl(Platform::Control* control, Lumora::MidiParamMapper* mapper);

    bool pressed() const { return pressed_; }
    void setPressed(bool pressed);
    bool selected() const { return selected_; }
    void setSelected(bool selected);

    Lumora_ControlStatusView_delegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_ControlStatusView_delegate* delegate) { delegate_.reset(delegate); }
    Platform::Control* control() const { return control_.get(); }
    Lumora::MidiParamMapper* midiParamMapper() const { return mapper_; }

    // The covered control's tag, which is its parameter's id; 0 once the control is gone.
    int32_t parameterIndex() const;
    // The parameter's mapping element, or null when the parameter has no mapping.
    Lumora::MidiParamMapper::Element* midiMapperElement() const;

    // Covers the control with 5 points to spare on every side and stays in front of it.
    void layoutSubviews() override;
    void drawRect(Platform::Rect const& rect) override;

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    // A press the long-press recogniser took over leaves the overlay as it was.
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

    void longPress(Platform::GestureRecognizer* recognizer);

private:
    bool pressed_ = false;
    bool selected_ = false;
    Platform::WeakRef<Lumora_ControlStatusView_delegate> delegate_;
    Platform::WeakRef<Platform::Control> control_;
    Lumora::MidiParamMapper* mapper_ = nullptr;
};
