#include "platform/ui/Window.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/ViewController.h"

#include <algorithm>

namespace Platform {

Window::Window(Rect frame) : View(frame) {}

Window::~Window()
{
    // Controllers refer to their views' window: let the views go first.
    if (root_ && root_->isViewLoaded())
        root_->view()->removeFromSuperview();
}

void Window::setRootViewController(std::shared_ptr<ViewController> controller)
{
    if (root_ == controller)
        return;
    if (root_ && root_->isViewLoaded() && root_->view()->superview() == this) {
        root_->beginDisappearance(false);
        root_->view()->removeFromSuperview();
        root_->endDisappearance(false);
    }
    root_ = std::move(controller);
    if (!root_)
        return;
    root_->beginAppearance(false);
    auto view = root_->sharedView();
    view->setFrame(bounds());
    view->setSafeAreaInsets(safeAreaInsets());
    insertSubview(view, 0);
    layoutIfNeeded();
    root_->endAppearance(false);
}

std::vector<Touch*> Window::activeTouches() const
{
    std::vector<Touch*> result;
    for (auto const& t : touches_)
        result.push_back(t.get());
    return result;
}

void Window::dismissPopoverOutside(Point location)
{
    if (!root_)
        return;
    ViewController* top = root_.get();
    while (top->presentedViewController())
        top = top->presentedViewController();
    if (top == root_.get() || top->presentationStyleInEffect() != ModalPresentationStyle::Popover)
        return;
    if (!top->isViewLoaded() || top->view()->window() != this)
        return;
    View* popoverView = top->view();
    if (popoverView->pointInside(popoverView->convertPointFromWindow(location), nullptr))
        return;
    PopoverPresentationController* popover = top->popoverPresentationController();
    for (View* v : popover->passthroughViews())
        if (v->pointInside(v->convertPointFromWindow(location), nullptr))
            return;
    // Hold the controller while it is dismissed: its presenter drops it.
    auto keep = std::static_pointer_cast<ViewController>(top->shared_from_this());
    top->dismissViewControllerAnimated(true);
    if (auto* delegate = popover->delegate())
        delegate->popoverPresentationControllerDidDismissPopover(popover);
}

std::vector<Touch*> Window::beginTouches(std::vector<Point> const& locations, double timestamp, int tapCount)
{
    std::vector<Touch*> began;
    for (Point p : locations) {
        auto touch = std::make_shared<Touch>(this, p, timestamp, tapCount);
        touches_.push_back(touch);
        began.push_back(touch.get());
    }
    std::vector<Touch*> all = activeTouches();
    Event probe(timestamp, TouchSet(all));
    for (Touch* touch : began) {
        std::size_t presentedBefore = subviews().size();
        dismissPopoverOutside(touch->location_);
        if (subviews().size() != presentedBefore) {
            touch->taken_ = true;  // the touch that closes a popover goes nowhere else
            continue;
        }
        View* hit = hitTest(touch->location_, &probe);
        if (!hit)
            continue;
        touch->view_ = hit;
        touch->viewAlive_ = std::static_pointer_cast<View>(hit->weak_from_this().lock());
        for (View* v = hit; v; v = v->superview())
            for (auto const& r : v->gestureRecognizers())
                if (r->isEnabled())
                    touch->recognizers_.push_back(r);
    }
    deliver(TouchPhase::Began, began, timestamp);
    return began;
}

Touch* Window::beginTouch(Point location, double timestamp, int tapCount)
{
    return beginTouches({location}, timestamp, tapCount).front();
}

void Window::moveTouches(std::vector<std::pair<Touch*, Point>> const& moves, double timestamp)
{
    relocateAndDeliver(TouchPhase::Moved, moves, timestamp);
}

void Window::moveTouch(Touch* touch, Point location, double timestamp)
{
    moveTouches({{touch, location}}, timestamp);
}

void Window::endTouches(std::vector<std::pair<Touch*, Point>> const& ends, double timestamp)
{
    relocateAndDeliver(TouchPhase::Ended, ends, timestamp);
}

void Window::endTouch(Touch* touch, Point location, double timestamp)
{
    endTouches({{touch, location}}, timestamp);
}

void Window::cancelTouch(Touch* touch, double timestamp)
{
    touch->timestamp_ = timestamp;
    touch->phase_ = TouchPhase::Cancelled;
    deliver(TouchPhase::Cancelled, {touch}, timestamp);
}

void Window::relocateAndDeliver(TouchPhase phase, std::vector<std::pair<Touch*, Point>> const& touches,
                                double timestamp)
{
    std::vector<Touch*> changed;
    for (auto const& [touch, p] : touches) {
        touch->previous_ = touch->location_;
        touch->location_ = p;
        touch->timestamp_ = timestamp;
        touch->phase_ = phase;
        changed.push_back(touch);
    }
    deliver(phase, changed, timestamp);
}

void Window::tap(Point location, double timestamp, int tapCount)
{
    Touch* touch = beginTouch(location, timestamp, tapCount);
    endTouch(touch, location, timestamp + 0.05);
}

namespace {

// Hands touches to their views, grouped by view in the order the touches came.
void sendToViews(TouchPhase phase, std::vector<Touch*> const& touches, Event const& event)
{
    std::vector<std::pair<std::shared_ptr<View>, TouchSet>> groups;
    for (Touch* t : touches) {
        std::shared_ptr<View> alive = t->viewRef();
        if (!alive)
            continue;
        auto it = std::find_if(groups.begin(), groups.end(), [&](auto const& g) { return g.first == alive; });
        if (it == groups.end()) {
            groups.emplace_back(alive, TouchSet());
            it = std::prev(groups.end());
        }
        it->second.add(t);
    }
    for (auto& [view, set] : groups) {
        switch (phase) {
        case TouchPhase::Began: view->touchesBegan(set, &event); break;
        case TouchPhase::Moved:
        case TouchPhase::Stationary: view->touchesMoved(set, &event); break;
        case TouchPhase::Ended: view->touchesEnded(set, &event); break;
        case TouchPhase::Cancelled: view->touchesCancelled(set, &event); break;
        }
    }
}

// The live recognisers watching any of the touches, each once, in the order first met.
std::vector<std::shared_ptr<GestureRecognizer>> recognizersWatching(std::vector<Touch*> const& touches)
{
    std::vector<std::shared_ptr<GestureRecognizer>> recognizers;
    for (Touch* t : touches)
        for (auto const& w : t->gestureRecognizers())
            if (auto r = w.lock(); r && std::find(recognizers.begin(), recognizers.end(), r) == recognizers.end())
                recognizers.push_back(r);
    return recognizers;
}

// A recogniser that has just begun or ended takes the touches it watches.
bool justDecided(GestureRecognizer const& recognizer, GestureRecognizer::State before)
{
    auto after = recognizer.state();
    return after != before && (after == GestureRecognizer::State::Began || after == GestureRecognizer::State::Ended);
}

} // namespace

void Window::takeTouches(std::shared_ptr<GestureRecognizer> const& recognizer, Event const& event)
{
    std::vector<Touch*> taken;
    for (auto const& owned : touches_) {
        Touch* t = owned.get();
        bool watches = std::any_of(t->recognizers_.begin(), t->recognizers_.end(),
                                   [&](auto const& w) { return w.lock() == recognizer; });
        if (!watches || t->phase_ == TouchPhase::Ended || t->phase_ == TouchPhase::Cancelled)
            continue;
        for (auto const& w : t->recognizers_)
            if (auto other = w.lock(); other && other != recognizer)
                other->failIfUndecided();
        if (recognizer->cancelsTouchesInView() && !t->taken_) {
            t->taken_ = true;
            taken.push_back(t);
        }
    }
    sendToViews(TouchPhase::Cancelled, taken, event);
}

void Window::deliver(TouchPhase phase, std::vector<Touch*> const& changed, double timestamp)
{
    // Everything touched by this event stays alive until it is delivered.
    std::vector<std::shared_ptr<Touch>> keep(touches_);
    Event event(timestamp, TouchSet(activeTouches()));

    auto recognizers = recognizersWatching(changed);
    for (auto const& r : recognizers) {
        TouchSet mine;
        for (Touch* t : changed)
            for (auto const& w : t->recognizers_)
                if (w.lock() == r)
                    mine.add(t);
        auto before = r->state();
        r->handleTouches(phase, mine, event);
        if (justDecided(*r, before))
            takeTouches(r, event);
    }

    std::vector<Touch*> forViews;
    for (Touch* t : changed)
        if (!t->taken_)
            forViews.push_back(t);
    sendToViews(phase, forViews, event);

    if (phase == TouchPhase::Ended || phase == TouchPhase::Cancelled) {
        std::erase_if(touches_, [&](auto const& t) {
            return std::find(changed.begin(), changed.end(), t.get()) != changed.end();
        });
        for (auto const& r : recognizers)
            if (r->numberOfTouches() == 0 && r->isFinished())
                r->reset();
    }
}

void Window::advanceTime(double timestamp)
{
    std::vector<std::shared_ptr<Touch>> keep(touches_);
    Event event(timestamp, TouchSet(activeTouches()));
    for (auto const& r : recognizersWatching(activeTouches())) {
        auto before = r->state();
        r->handleTime(timestamp);
        if (justDecided(*r, before))
            takeTouches(r, event);
    }
}

void Window::resizeTo(Size size)
{
    Rect const old = bounds();
    if (old.size == size)
        return;
    setFrame(Rect(frame().origin, size));
    Rect const now = bounds();
    for (auto const& sub : std::vector<std::shared_ptr<View>>(subviews()))
        if (sub->frame() == old)
            sub->setFrame(now);
    layoutIfNeeded();
}

void Window::notePendingUpdate()
{
    if (updatePending_)
        return;
    updatePending_ = true;
    if (invalidationHandler_)
        invalidationHandler_();
}

void Window::invalidateRect(Rect const& rectInWindow)
{
    invalid_.add(rectInWindow.intersection(bounds()));
    notePendingUpdate();
}

void Window::invalidateAll()
{
    invalid_.addAll();
    notePendingUpdate();
}

void Window::requestLayoutPass()
{
    notePendingUpdate();
}

InvalidRegion Window::takeInvalidRegion()
{
    InvalidRegion taken = invalid_;
    invalid_.clear();
    updatePending_ = false;
    return taken;
}

Image Window::renderToImage(double scale)
{
    return renderViewToImage(*this, scale);
}

Image renderViewToImage(View& view, double scale)
{
    view.layoutIfNeeded();
    Rect bounds = view.bounds();
    BitmapContext bitmap(bounds.size, false, scale);
    GraphicsContext& context = bitmap.context();
    context.saveGState();
    context.translate(-bounds.origin.x, -bounds.origin.y);
    view.drawHierarchyInOwnCoordinates(context);
    context.restoreGState();
    return bitmap.makeImage();
}

} // namespace Platform
