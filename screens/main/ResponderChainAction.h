#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Responder.h"

// Interface files that are loaded without an owner (the editor frames and surfaces) send their
// buttons' actions up the responder chain, as a control without a target does: the first
// responder from the control upwards that is a T performs the action.
template <class T>
T* firstResponderOfClass(Platform::Responder const* from)
{
    for (auto* r = from ? from->nextResponder() : nullptr; r; r = r->nextResponder()) {
        if (auto* hit = dynamic_cast<T*>(r))
            return hit;
    }
    return nullptr;
}

template <class T, class S>
void connectActionUpResponderChain(Platform::Control* control, void (T::*action)(S*),
                                   unsigned long events = Platform::ControlEvents::TouchUpInside)
{
    control->addHandler(
        [action](Platform::Control* sender) {
            if (T* target = firstResponderOfClass<T>(sender))
                (target->*action)(static_cast<S*>(sender));
        },
        events);
}
