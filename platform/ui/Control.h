#pragma once

#include "platform/ui/TargetAction.h"
#include "platform/ui/View.h"

namespace Platform {

// The events a control reports to its targets, as the platform numbers them.
namespace ControlEvents {
constexpr unsigned long TouchDown = 1ul << 0;
constexpr unsigned long TouchDownRepeat = 1ul << 1;
constexpr unsigned long TouchDragInside = 1ul << 2;
constexpr unsigned long TouchDragOutside = 1ul << 3;
constexpr unsigned long TouchDragEnter = 1ul << 4;
constexpr unsigned long TouchDragExit = 1ul << 5;
constexpr unsigned long TouchUpInside = 1ul << 6;
constexpr unsigned long TouchUpOutside = 1ul << 7;
constexpr unsigned long TouchCancel = 1ul << 8;
constexpr unsigned long ValueChanged = 1ul << 12;  // 4096
constexpr unsigned long PrimaryActionTriggered = 1ul << 13;
constexpr unsigned long EditingChanged = 1ul << 17;
constexpr unsigned long AllTouchEvents = 0xFFFul;
constexpr unsigned long AllEvents = 0xFFFFFFFFul;
} // namespace ControlEvents

// The state bits of a control.
namespace ControlState {
constexpr unsigned long Normal = 0;
constexpr unsigned long Highlighted = 1;
constexpr unsigned long Disabled = 2;
constexpr unsigned long Selected = 4;
} // namespace ControlState

// A view that reports user actions to targets. Its default touch handling tracks one touch:
// highlighted while the finger is inside, touch-down, drag and touch-up events as it goes. A
// disabled control keeps the touches that land on it without reporting anything.
class Control : public View {
public:
    explicit Control(Rect frame = {}) : View(frame) {}

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    bool isTracking() const { return tracking_; }
    // The bit set of ControlState.
    unsigned long state() const;

    template <class T, class A>
    void addTarget(T* target, A action, unsigned long events) { actions_.add(target, action, events); }
    template <class T, class A>
    void removeTarget(T* target, A action, unsigned long events) { actions_.remove(target, action, events); }
    void removeTarget(void const* target, unsigned long events) { actions_.removeTarget(target, events); }
    std::size_t addHandler(TargetActionList<Control>::Handler handler, unsigned long events)
    {
        return actions_.addHandler(std::move(handler), events);
    }
    void removeHandler(std::size_t id) { actions_.removeHandler(id); }
    TargetActionList<Control> const& actions() const { return actions_; }

    // Calls the actions registered for any of the events, synchronously, in registration order.
    void sendActionsForControlEvents(unsigned long events);

    void touchesBegan(TouchSet const& touches, Event const* event) override;
    void touchesMoved(TouchSet const& touches, Event const* event) override;
    void touchesEnded(TouchSet const& touches, Event const* event) override;
    void touchesCancelled(TouchSet const& touches, Event const* event) override;

protected:
    // Tracking hooks of the default touch handling; answering false from begin or continue
    // stops tracking the touch.
    virtual bool beginTracking(Touch* touch, Event const* event);
    virtual bool continueTracking(Touch* touch, Event const* event);
    virtual void endTracking(Touch* touch, Event const* event);
    virtual void cancelTracking(Event const* event);

private:
    bool touchInside(Touch const* touch) const;

    TargetActionList<Control> actions_;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool wasInside_ = false;
    bool touchActive_ = false;  // a touch began on the enabled control and has not finished
};

} // namespace Platform
