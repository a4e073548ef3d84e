#include "platform/ui/Responder.h"

namespace Platform {

void Responder::touchesBegan(TouchSet const& touches, Event const* event)
{
    if (Responder* next = nextResponder())
        next->touchesBegan(touches, event);
}

void Responder::touchesMoved(TouchSet const& touches, Event const* event)
{
    if (Responder* next = nextResponder())
        next->touchesMoved(touches, event);
}

void Responder::touchesEnded(TouchSet const& touches, Event const* event)
{
    if (Responder* next = nextResponder())
        next->touchesEnded(touches, event);
}

void Responder::touchesCancelled(TouchSet const& touches, Event const* event)
{
    if (Responder* next = nextResponder())
        next->touchesCancelled(touches, event);
}

} // namespace Platform
