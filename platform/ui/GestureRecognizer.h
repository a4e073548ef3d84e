#pragma once

#include "platform/foundation/Object.h"
#include "platform/ui/TargetAction.h"
#include "platform/ui/Touch.h"

#include <vector>

namespace Platform {

class View;

// Watches the touches that land on its view (or below it) and reports a gesture to its targets.
// A discrete recogniser goes from possible straight to ended (recognised); a continuous one goes
// began, changed ..., ended or cancelled; either may fail instead. When it begins or is
// recognised, the view loses the touches (touchesCancelled) unless cancelsTouchesInView is off,
// and the other recognisers still undecided on those touches fail.
class GestureRecognizer : public Object {
public:
    enum class State : int { Possible = 0, Began = 1, Changed = 2, Ended = 3, Cancelled = 4, Failed = 5 };
    static constexpr State Recognized = State::Ended;

    State state() const { return state_; }
    View* view() const { return view_; }
    bool isEnabled() const { return enabled_; }
    // Disabling a recogniser in the middle of a gesture cancels it.
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool cancels) { cancelsTouchesInView_ = cancels; }

    template <class T, class A>
    void addTarget(T* target, A action) { actions_.add(target, action, 1); }
    template <class T, class A>
    void removeTarget(T* target, A action) { actions_.remove(target, action, 1); }
    std::size_t addHandler(TargetActionList<GestureRecognizer>::Handler handler)
    {
        return actions_.addHandler(std::move(handler), 1);
    }

    // The centroid of the touches it follows, in a view's coordinates.
    Point locationInView(View const* view) const;
    std::size_t numberOfTouches() const { return touches_.size(); }
    // The touches it follows, in the order they came down.
    std::vector<Touch*> const& touches() const { return touches_; }

    // Called by the window with the recogniser's touches of each phase, and as time passes.
    void handleTouches(TouchPhase phase, TouchSet const& touches, Event const& event);
    void handleTime(double timestamp);
    // Back to possible, forgetting the gesture: after it finished and its touches lifted.
    virtual void reset();
    bool isFinished() const;
    // Another recogniser took the touches.
    void failIfUndecided();

protected:
    GestureRecognizer() = default;

    virtual void began(TouchSet const& touches, Event const& event) = 0;
    virtual void moved(TouchSet const& touches, Event const& event) = 0;
    virtual void ended(TouchSet const& touches, Event const& event) = 0;
    virtual void cancelled(TouchSet const& touches, Event const& event);
    virtual void timePassed(double) {}

    // Moves to the state; the targets hear of every state but possible and failed. Leaving
    // possible for began or recognised first asks the view, which may turn it into failed.
    void setState(State state);
    Point centroidInWindow() const;

private:
    friend class View;
    void setView(View* view) { view_ = view; }

    View* view_ = nullptr;
    State state_ = State::Possible;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    TargetActionList<GestureRecognizer> actions_;
    std::vector<Touch*> touches_;
    Point lastLocation_;
};

} // namespace Platform
