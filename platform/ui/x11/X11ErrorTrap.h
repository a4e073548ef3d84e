#pragma once

typedef struct _XDisplay Display;

namespace Platform::X11 {

// Catches the X errors one connection's requests cause while the trap is set, instead of leaving
// them to the process's error handler: Xlib's default one ends the process, and a host's toolkit
// (GDK) ends it too for errors it did not expect. A plug-in editor needs this for requests that
// may fail through no fault of its own, such as making a window inside a host window that the
// host has not yet sent to the server. Errors of other connections go to the handler that was set
// before. The handler is process-wide, so a trap is set and cleared on one thread, briefly.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(ErrorTrap const&) = delete;
    ErrorTrap& operator=(ErrorTrap const&) = delete;

    // Waits for the server to answer every request made so far and answers the first error code
    // they caused since the trap was set (0 for none).
    int sync();

private:
    friend struct ErrorTrapHandler;
    // Any function pointer type holds the handler found before; it is cast back to call it.
    using AnyFunction = void (*)();

    Display* display_;
    ErrorTrap* outer_;
    AnyFunction previous_ = nullptr;
    int firstError_ = 0;
};

} // namespace Platform::X11
