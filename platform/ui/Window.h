#pragma once

#include "platform/ui/InvalidRegion.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace Platform {

class ViewController;
class GraphicsContext;
class Image;

// The root of a view tree on the screen: it holds the root controller's view and presented
// views, and delivers touches. Touches are injected by the host (pointer input) or by tests:
// each call is one event, delivered first to the gesture recognisers of the touched view and its
// ancestors, then, unless a recogniser took the touch, to the view found by hit-testing when the
// touch began.
class Window : public View {
public:
    explicit Window(Rect frame);
    ~Window() override;

    ViewController* rootViewController() const { return root_.get(); }
    void setRootViewController(std::shared_ptr<ViewController> controller);

    // Touch injection; timestamps are seconds on any steady clock. The returned touch lives
    // until it ends or is cancelled.
    Touch* beginTouch(Point locationInWindow, double timestamp, int tapCount = 1);
    std::vector<Touch*> beginTouches(std::vector<Point> const& locations, double timestamp, int tapCount = 1);
    void moveTouch(Touch* touch, Point locationInWindow, double timestamp);
    void moveTouches(std::vector<std::pair<Touch*, Point>> const& moves, double timestamp);
    void endTouch(Touch* touch, Point locationInWindow, double timestamp);
    void endTouches(std::vector<std::pair<Touch*, Point>> const& ends, double timestamp);
    void cancelTouch(Touch* touch, double timestamp);
    // Time passes with the fingers resting (long presses begin).
    void advanceTime(double timestamp);
    // A whole tap: down and up at one point.
    void tap(Point locationInWindow, double timestamp, int tapCount = 1);
    std::vector<Touch*> activeTouches() const;

    // The screen area changed size (an on-screen window resized): views that filled the window
    // fill it again, the others follow their autoresizing masks, and the tree is laid out.
    void resizeTo(Size size);

    // Lays out and draws the whole tree into a new bitmap of the window's size.
    Image renderToImage(double scale = 1);

    // What an on-screen host must draw again. Views report here: a display request gives the
    // view's rectangle, a change of geometry, visibility or the tree gives the whole window, a
    // layout request asks for a pass with nothing invalid yet. The handler is called each time
    // the window goes from having nothing pending to having something, so that a host asks for
    // one frame however many views report before it comes.
    void invalidateRect(Rect const& rectInWindow);
    void invalidateAll();
    void requestLayoutPass();
    void setInvalidationHandler(std::function<void()> handler) { invalidationHandler_ = std::move(handler); }
    bool hasPendingUpdate() const { return updatePending_; }
    // Takes what is pending and clears it.
    InvalidRegion takeInvalidRegion();

private:
    // Moves the touches to their new locations in the given phase and delivers them.
    void relocateAndDeliver(TouchPhase phase, std::vector<std::pair<Touch*, Point>> const& touches, double timestamp);
    void deliver(TouchPhase phase, std::vector<Touch*> const& changed, double timestamp);
    void takeTouches(std::shared_ptr<GestureRecognizer> const& recognizer, Event const& event);
    void dismissPopoverOutside(Point locationInWindow);

    void notePendingUpdate();

    std::shared_ptr<ViewController> root_;
    std::vector<std::shared_ptr<Touch>> touches_;
    InvalidRegion invalid_;
    bool updatePending_ = false;
    std::function<void()> invalidationHandler_;
};

// Draws a view and its subtree, laid out, into a new bitmap of the view's bounds size.
Image renderViewToImage(View& view, double scale = 1);

} // namespace Platform
