#pragma once

#include "platform/ui/InvalidRegion.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace Platform {

class Image;
class RunLoop;
class Window;

// Shows a window's view tree on an X server: a top-level window of its own (the app) or a child
// of a window another program gives (a plug-in editor inside its host). The view tree draws into
// an image of the window's pixels exactly as a headless render does; only the invalid region is
// drawn again and copied to the screen, at most once per display frame, and nothing runs while
// nothing changes. The left mouse button is one touch, XInput2 touches are touches of their own,
// keys go to the focused text field (KeyboardInput). Everything runs on the thread of the run
// loop given (the main thread), which wakes when the connection has input.
class X11WindowHost {
public:
    struct Options {
        // A window id to live in as a child; 0 opens a top-level window.
        unsigned long parent = 0;
        std::string title = "Corvane";
        // Pixels per point; 0 takes it from the environment and the server (DisplayScale.h).
        double scale = 0;
        // The X display to open; empty takes DISPLAY.
        std::string displayName;
        // Frames per second at most.
        double frameRate = 60;
    };

    X11WindowHost(std::shared_ptr<Window> window, Options options, RunLoop& loop);
    ~X11WindowHost();
    X11WindowHost(X11WindowHost const&) = delete;
    X11WindowHost& operator=(X11WindowHost const&) = delete;

    // False when no display could be opened (the reason in error()).
    bool isOpen() const;
    std::string const& error() const;
    unsigned long windowId() const;
    Display* display() const;
    double scale() const;

    // Asks the server for a new size of the window in pixels; the views refit when the server
    // confirms it. A child window also follows its parent's size by itself.
    void resizePixels(int width, int height);

    // The user closed the window (a top-level window's close button).
    void setCloseHandler(std::function<void()> handler);

    // For a host that drives the window itself instead of the run loop (a plug-in editor's idle
    // call): handles the events that arrived and draws when a frame is due.
    void idle();
    // Handles every event that arrived; draws nothing.
    void processEvents();
    // Lays out and draws what is invalid now, whatever the frame clock says.
    void drawFrame();

    // What the last frames did, for tests and diagnostics.
    std::uint64_t framesDrawn() const;
    // Pixels drawn again by the last frame (invalid area in device pixels).
    double pixelsDrawnLastFrame() const;
    // The picture the window shows, as drawn into its back buffer.
    Image backBufferImage() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace Platform
