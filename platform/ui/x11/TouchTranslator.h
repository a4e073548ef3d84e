#pragma once

#include "platform/graphics/Geometry.h"

#include <map>

namespace Platform {

class Touch;
class Window;

// The fields of an XInput2 device event (XIDeviceEvent) that touch translation reads: the event
// type (XI_TouchBegin, XI_TouchUpdate, XI_TouchEnd from <X11/extensions/XI2.h>), the touch id
// in `detail` and the position in the window's pixels. Kept apart from Xlib's headers, whose
// macros (None, Status, Window) collide with names of the views.
struct XITouchEvent {
    int evtype = 0;
    int detail = 0;
    double event_x = 0;
    double event_y = 0;
};

// Pointer and touch-screen input of an on-screen window turned into the window's touches. The
// left mouse button is one touch; each XInput2 touch sequence is a touch of its own, so several
// fingers play at once. Positions come in device pixels of the window and are divided by the
// scale; times are seconds on the host's steady clock (the clock long presses are measured on).
class TouchTranslator {
public:
    TouchTranslator(Window& window, double scale) : window_(window), scale_(scale) {}

    void setScale(double scale) { scale_ = scale; }

    void buttonPressed(double x, double y, double time);
    void pointerMoved(double x, double y, double time);
    void buttonReleased(double x, double y, double time);

    void touchBegan(int id, double x, double y, double time);
    void touchMoved(int id, double x, double y, double time);
    void touchEnded(int id, double x, double y, double time);
    void touchCancelled(int id, double time);

    // An XInput2 touch event (XI_TouchBegin, XI_TouchUpdate, XI_TouchEnd); others are ignored.
    void handle(XITouchEvent const& event, double time);

    // The pointer grab was lost or the window went away: every touch in progress is cancelled.
    void cancelAll(double time);

    bool mouseTouchActive() const { return touches_.count(kMouse) != 0; }
    // The touch that began last, null when none: its view takes keyboard focus.
    Touch* lastBegan() const { return lastBegan_; }

private:
    static constexpr int kMouse = -1;

    Point toPoints(double x, double y) const { return {x / scale_, y / scale_}; }
    // Forgets the touch of that id and answers it; null when none is down.
    Touch* release(int id);
    void begin(int id, double x, double y, double time);
    void move(int id, double x, double y, double time);
    void end(int id, double x, double y, double time);
    void cancel(int id, double time);

    Window& window_;
    double scale_;
    std::map<int, Touch*> touches_;
    Touch* lastBegan_ = nullptr;
};

} // namespace Platform
