#include "platform/ui/x11/X11ErrorTrap.h"

#include <X11/Xlib.h>

namespace Platform::X11 {

namespace {

// The innermost trap set on this thread; the handler is process-wide but traps are set and cleared
// on the thread that owns the connection.
thread_local ErrorTrap* innermost = nullptr;

} // namespace

struct ErrorTrapHandler {
    static int handle(Display* display, XErrorEvent* event)
    {
        for (ErrorTrap* trap = innermost; trap; trap = trap->outer_) {
            if (trap->display_ != display)
                continue;
            if (trap->firstError_ == 0)
                trap->firstError_ = event->error_code;
            return 0;
        }
        ErrorTrap const* outermost = innermost;
        while (outermost && outermost->outer_)
            outermost = outermost->outer_;
        auto const previous = outermost ? reinterpret_cast<XErrorHandler>(outermost->previous_) : nullptr;
        return previous ? previous(display, event) : 0;
    }
};

ErrorTrap::ErrorTrap(Display* display) : display_(display), outer_(innermost)
{
    // Errors of requests made before the trap belong to whoever made them.
    XSync(display_, False);
    innermost = this;
    previous_ = reinterpret_cast<AnyFunction>(XSetErrorHandler(&ErrorTrapHandler::handle));
}

ErrorTrap::~ErrorTrap()
{
    XSync(display_, False);
    XSetErrorHandler(reinterpret_cast<XErrorHandler>(previous_));
    innermost = outer_;
}

int ErrorTrap::sync()
{
    XSync(display_, False);
    return firstError_;
}

} // namespace Platform::X11
