#pragma once

#include "platform/foundation/Object.h"
#include "platform/ui/Touch.h"

namespace Platform {

// An object that can handle touches: views and view controllers. What a responder does not
// handle goes on along the chain of next responders (a view's controller, else its superview).
class Responder : public Object {
public:
    virtual Responder* nextResponder() const { return nullptr; }

    // By default each phase is handed on to the next responder.
    virtual void touchesBegan(TouchSet const& touches, Event const* event);
    virtual void touchesMoved(TouchSet const& touches, Event const* event);
    virtual void touchesEnded(TouchSet const& touches, Event const* event);
    virtual void touchesCancelled(TouchSet const& touches, Event const* event);
};

} // namespace Platform
