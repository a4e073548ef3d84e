#pragma once

#include "platform/ui/Touch.h"

// Event helpers.
class UIEvent_Lumora {
public:
    // The touch a phase hands to a view: one of the event's touches for that view or, without
    // an event (a direct call), one of the phase's own touches; null when there is none.
    static Platform::Touch* touchForView(Platform::View const* view, Platform::TouchSet const& touches,
                                         Platform::Event const* event)
    {
        return event ? event->touchesForView(view).anyObject() : touches.anyObject();
    }
};
