#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/WeakRef.h"

#include <cstdint>

namespace Lumora {
class Parameter;
}

class Lumora_Control;

// Told when a control's value changes (screens that do not bind by tag use it).
class Lumora_ControlDelegate {
public:
    virtual ~Lumora_ControlDelegate() = default;
    virtual void Lumora_Control_valueChanged(Lumora_Control* control, float value) = 0;
};

// The base of every control that shows and changes one parameter value. It keeps the value in
// the control's own units, the normalized value exchanged with parameters, their defaults, the
// look variation, the disabled flag and the kind of the last report; it draws nothing and reads
// no touches itself. Subclasses convert between value and normalized value in their own setters,
// store the new normalized value, and then report it with one of the sendActions_ operations,
// which fire the value-changed actions (the bound screen reads normalizedValue and gestureState
// during the call).
class Lumora_Control : public Platform::Control {
public:
    explicit Lumora_Control(Platform::Rect frame = {});

    virtual float value() const { return value_; }
    // Stores the value; a different value is told to the delegate. No actions, no redraw.
    virtual void setValue(float value);
    virtual float defaultValue() const { return defaultValue_; }
    virtual void setDefaultValue(float value) { defaultValue_ = value; }
    virtual float normalizedValue() const { return normalizedValue_; }
    virtual void setNormalizedValue(float value) { normalizedValue_ = value; }
    virtual float normalizedDefaultValue() const { return normalizedDefaultValue_; }
    virtual void setNormalizedDefaultValue(float value) { normalizedDefaultValue_ = value; }
    virtual bool isReadOnly() const { return false; }

    bool disabled() const { return disabled_; }
    // Changes the drawing only: a redraw is requested when the flag changes.
    void setDisabled(bool disabled);
    bool passthroughTouchEventsToSuperView() const { return passthrough_; }
    void setPassthroughTouchEventsToSuperView(bool passthrough) { passthrough_ = passthrough; }
    int32_t variation() const { return variation_; }
    void setVariation(int32_t variation) { variation_ = variation; }
    // The last report: 0 none, 1 begin, 2 update, 3 end gesture, 4 set value.
    int32_t gestureState() const { return gestureState_; }
    void setGestureState(int32_t state) { gestureState_ = state; }

    // The bound parameter, not owned (the engine outlives every screen).
    Lumora::Parameter* parameter() const { return parameter_; }
    // Binds: takes the parameter's normalized default and then its current normalized value,
    // through the overridable setters and without the parameter's lock.
    virtual void setParameter(Lumora::Parameter* parameter);

    Lumora_ControlDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_ControlDelegate* delegate) { delegate_.reset(delegate); }

    // Reports: each records its gesture state and fires the value-changed actions synchronously.
    void sendActions_BeginGesture();
    void sendActions_UpdateGesture();
    void sendActions_EndGesture();
    void sendActions_SetValue();

    // Every phase goes to the superview when passing through; otherwise to the control's own
    // hook and then to the platform control's handling.
    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

protected:
    // The hooks of the four phases; empty here.
    virtual void onTouchesBegan(Platform::TouchSet const&, Platform::Event const*) {}
    virtual void onTouchesMoved(Platform::TouchSet const&, Platform::Event const*) {}
    virtual void onTouchesEnded(Platform::TouchSet const&, Platform::Event const*) {}
    virtual void onTouchesCancelled(Platform::TouchSet const&, Platform::Event const*) {}

private:
    void init_Lumora_Control();
    void report(int32_t state);

    float value_ = 0;
    bool disabled_ = false;
    bool passthrough_ = false;
    float defaultValue_ = 0;
    float normalizedValue_ = 0;
    float normalizedDefaultValue_ = 0;
    int32_t variation_ = 0;
    int32_t gestureState_ = 0;
    Lumora::Parameter* parameter_ = nullptr;
    Platform::WeakRef<Lumora_ControlDelegate> delegate_;
};
