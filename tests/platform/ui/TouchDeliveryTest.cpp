#include "platform/ui/Control.h"
#include "platform/ui/LongPressGestureRecognizer.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/SwipeGestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {

// Records every phase it receives, with the touch's location in its own coordinates.
class RecordingView : public View {
public:
    using View::View;
    std::vector<std::string> log;
    Point lastLocation;

    void touchesBegan(TouchSet const& t, Event const* e) override { record("began", t, e); }
    void touchesMoved(TouchSet const& t, Event const* e) override { record("moved", t, e); }
    void touchesEnded(TouchSet const& t, Event const* e) override { record("ended", t, e); }
    void touchesCancelled(TouchSet const& t, Event const* e) override { record("cancelled", t, e); }

private:
    void record(char const* phase, TouchSet const& touches, Event const* event)
    {
        log.push_back(std::string(phase) + ":" + std::to_string(touches.count()));
        lastLocation = touches.anyObject()->locationInView(this);
        for (Touch* t : touches)
            EXPECT_TRUE(event->allTouches().contains(t));
    }
};

// Collects the recogniser states its actions see.
struct StateLog {
    std::vector<GestureRecognizer::State> states;
    void handle(GestureRecognizer* r) { states.push_back(r->state()); }
};

using State = GestureRecognizer::State;

class UiTouchDelivery : public ::testing::Test {
protected:
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 400, 400));
    std::shared_ptr<RecordingView> target = std::make_shared<RecordingView>(Rect(100, 100, 100, 100));

    void SetUp() override { window->addSubview(target); }
};

} // namespace

TEST_F(UiTouchDelivery, EveryPhaseGoesToTheViewTheTouchBeganOn)
{
    auto other = std::make_shared<RecordingView>(Rect(0, 0, 50, 50));
    window->addSubview(other);
    Touch* t = window->beginTouch({150, 150}, 0.0);
    EXPECT_EQ(t->view(), target.get());
    window->moveTouch(t, {10, 10}, 0.1);  // over the other view now
    EXPECT_EQ(target->lastLocation, (Point{-90, -90}));
    window->endTouch(t, {10, 10}, 0.2);
    EXPECT_EQ(target->log, (std::vector<std::string>{"began:1", "moved:1", "ended:1"}));
    EXPECT_TRUE(other->log.empty());
    EXPECT_TRUE(window->activeTouches().empty());

    Touch* c = window->beginTouch({120, 120}, 1.0);
    window->cancelTouch(c, 1.1);
    EXPECT_EQ(target->log.back(), "cancelled:1");
}

TEST_F(UiTouchDelivery, TouchesThatBeginTogetherOnOneViewArriveAsOneSet)
{
    auto touches = window->beginTouches({{110, 110}, {190, 190}}, 0.0);
    EXPECT_EQ(target->log, (std::vector<std::string>{"began:2"}));
    window->endTouches({{touches[0], {110, 110}}, {touches[1], {190, 190}}}, 0.1);
    EXPECT_EQ(target->log.back(), "ended:2");
}

TEST_F(UiTouchDelivery, UnhandledTouchesTravelUpTheResponderChain)
{
    auto plain = std::make_shared<View>(Rect(10, 10, 20, 20));
    target->addSubview(plain);
    window->tap({115, 115}, 0.0);
    EXPECT_EQ(target->log, (std::vector<std::string>{"began:1", "ended:1"}));
}

TEST_F(UiTouchDelivery, ControlReportsTouchEventsToItsTargets)
{
    auto control = std::make_shared<Control>(Rect(0, 0, 50, 50));
    target->addSubview(control);
    std::vector<unsigned long> seen;
    auto record = [&](unsigned long mask) {
        control->addHandler([&seen, mask](Control*) { seen.push_back(mask); }, mask);
    };
    record(ControlEvents::TouchDown);
    record(ControlEvents::TouchDragInside);
    record(ControlEvents::TouchDragExit);
    record(ControlEvents::TouchUpInside);
    record(ControlEvents::TouchUpOutside);

    Touch* t = window->beginTouch({110, 110}, 0.0);
    EXPECT_TRUE(control->isHighlighted());
    window->moveTouch(t, {120, 120}, 0.1);
    window->endTouch(t, {120, 120}, 0.2);
    EXPECT_FALSE(control->isHighlighted());
    EXPECT_EQ(seen, (std::vector<unsigned long>{ControlEvents::TouchDown, ControlEvents::TouchDragInside,
                                                ControlEvents::TouchUpInside}));

    // Dragged far away, the finger lifts outside.
    seen.clear();
    t = window->beginTouch({110, 110}, 1.0);
    window->moveTouch(t, {390, 390}, 1.1);
    window->endTouch(t, {390, 390}, 1.2);
    EXPECT_EQ(seen, (std::vector<unsigned long>{ControlEvents::TouchDown, ControlEvents::TouchDragExit,
                                                ControlEvents::TouchUpOutside}));

    // Disabled, it keeps the touch from the view behind and reports nothing.
    seen.clear();
    control->setEnabled(false);
    std::size_t behind = target->log.size();
    window->tap({110, 110}, 2.0);
    EXPECT_TRUE(seen.empty());
    EXPECT_FALSE(control->isHighlighted());
    EXPECT_EQ(target->log.size(), behind);
}

namespace {

struct ActionTarget : Object {
    int calls = 0;
    Control* sender = nullptr;
    void action(Control* c) { ++calls; sender = c; }
};

} // namespace

TEST(UiTargetAction, ValueChangedReachesEachTargetOnceAndGoneTargetsAreSkipped)
{
    auto control = std::make_shared<Control>(Rect(0, 0, 10, 10));
    auto a = std::make_shared<ActionTarget>();
    auto b = std::make_shared<ActionTarget>();
    control->addTarget(a.get(), &ActionTarget::action, ControlEvents::ValueChanged);
    control->addTarget(a.get(), &ActionTarget::action, ControlEvents::ValueChanged);  // kept once
    control->addTarget(b.get(), &ActionTarget::action, ControlEvents::TouchUpInside);
    EXPECT_EQ(control->actions().count(), 2u);

    control->sendActionsForControlEvents(ControlEvents::ValueChanged);
    EXPECT_EQ(a->calls, 1);
    EXPECT_EQ(a->sender, control.get());
    EXPECT_EQ(b->calls, 0);

    // Targets are not retained; a released one is no longer called.
    a.reset();
    control->sendActionsForControlEvents(ControlEvents::ValueChanged);

    control->removeTarget(b.get(), &ActionTarget::action, ControlEvents::TouchUpInside);
    EXPECT_EQ(control->actions().count(), 1u);
}

TEST_F(UiTouchDelivery, LongPressBeginsAfterTheDurationAndTakesTheTouchFromTheView)
{
    auto press = std::make_shared<LongPressGestureRecognizer>();
    StateLog log;
    press->addTarget(&log, &StateLog::handle);
    target->addGestureRecognizer(press);

    Touch* t = window->beginTouch({150, 150}, 10.0);
    window->advanceTime(10.3);
    EXPECT_TRUE(log.states.empty());
    window->advanceTime(10.5);
    EXPECT_EQ(log.states, (std::vector<State>{State::Began}));
    // The view lost the touch when the press began, and hears nothing more of it.
    EXPECT_EQ(target->log, (std::vector<std::string>{"began:1", "cancelled:1"}));
    window->moveTouch(t, {160, 150}, 10.6);
    window->endTouch(t, {160, 150}, 10.7);
    EXPECT_EQ(log.states, (std::vector<State>{State::Began, State::Changed, State::Ended}));
    EXPECT_EQ(target->log.size(), 2u);
    EXPECT_EQ(press->state(), State::Possible);  // ready for the next press

    // A finger that moves away first is no long press, and the view keeps its touch.
    t = window->beginTouch({150, 150}, 20.0);
    window->moveTouch(t, {180, 150}, 20.1);
    window->advanceTime(21.0);
    window->endTouch(t, {180, 150}, 21.1);
    EXPECT_EQ(log.states.size(), 3u);
    EXPECT_EQ(target->log.back(), "ended:1");
}

TEST_F(UiTouchDelivery, PanReportsTranslationThroughItsStates)
{
    auto pan = std::make_shared<PanGestureRecognizer>();
    std::vector<std::pair<State, Point>> seen;
    pan->addHandler([&](GestureRecognizer* r) {
        seen.emplace_back(r->state(), static_cast<PanGestureRecognizer*>(r)->translationInView(target.get()));
    });
    target->addGestureRecognizer(pan);
    target->setTransform(AffineTransform::scaling(2, 2));  // the view's points are half the window's

    Touch* t = window->beginTouch({150, 150}, 0.0);
    window->moveTouch(t, {154, 150}, 0.1);  // below the hysteresis
    EXPECT_TRUE(seen.empty());
    window->moveTouch(t, {170, 150}, 0.2);
    window->moveTouch(t, {170, 130}, 0.3);
    window->endTouch(t, {170, 130}, 0.4);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], std::make_pair(State::Began, Point{10, 0}));
    EXPECT_EQ(seen[1], std::make_pair(State::Changed, Point{10, -10}));
    EXPECT_EQ(seen[2].first, State::Ended);
    EXPECT_EQ(target->log, (std::vector<std::string>{"began:1", "moved:1", "cancelled:1"}));
}

TEST_F(UiTouchDelivery, SwipeIsRecognisedOnlyInItsDirection)
{
    auto right = std::make_shared<SwipeGestureRecognizer>();
    auto up = std::make_shared<SwipeGestureRecognizer>();
    up->setDirection(SwipeGestureRecognizer::Up);
    int rights = 0, ups = 0;
    right->addHandler([&](GestureRecognizer* r) { rights += r->state() == State::Ended; });
    up->addHandler([&](GestureRecognizer* r) { ups += r->state() == State::Ended; });
    target->addGestureRecognizer(right);
    target->addGestureRecognizer(up);

    Touch* t = window->beginTouch({110, 150}, 0.0);
    window->moveTouch(t, {140, 150}, 0.05);
    window->moveTouch(t, {175, 152}, 0.1);
    window->endTouch(t, {175, 152}, 0.15);
    EXPECT_EQ(rights, 1);
    EXPECT_EQ(ups, 0);

    t = window->beginTouch({150, 190}, 1.0);
    window->moveTouch(t, {150, 130}, 1.1);
    window->endTouch(t, {150, 130}, 1.2);
    EXPECT_EQ(rights, 1);
    EXPECT_EQ(ups, 1);

    // Too slow is no swipe.
    t = window->beginTouch({110, 150}, 2.0);
    window->moveTouch(t, {175, 150}, 3.0);
    window->endTouch(t, {175, 150}, 3.1);
    EXPECT_EQ(rights, 1);
}

TEST_F(UiTouchDelivery, DoubleTapNeedsTheSecondTap)
{
    auto doubleTap = std::make_shared<TapGestureRecognizer>();
    doubleTap->setNumberOfTapsRequired(2);
    int taps = 0;
    doubleTap->addHandler([&](GestureRecognizer* r) { taps += r->state() == State::Ended; });
    target->addGestureRecognizer(doubleTap);

    window->tap({150, 150}, 0.0, 1);
    EXPECT_EQ(taps, 0);
    window->tap({151, 150}, 0.2, 2);
    EXPECT_EQ(taps, 1);
    window->tap({150, 150}, 1.0, 1);
    EXPECT_EQ(taps, 1);
}

TEST_F(UiTouchDelivery, DisabledRecognizerSeesNothing)
{
    auto tap = std::make_shared<TapGestureRecognizer>();
    int taps = 0;
    tap->addHandler([&](GestureRecognizer*) { ++taps; });
    target->addGestureRecognizer(tap);
    tap->setEnabled(false);
    window->tap({150, 150}, 0.0);
    EXPECT_EQ(taps, 0);
    EXPECT_EQ(target->log, (std::vector<std::string>{"began:1", "ended:1"}));
}

TEST_F(UiTouchDelivery, RecognizerDisabledMidGestureIsCancelledAndReadyAgainAfterwards)
{
    auto pan = std::make_shared<PanGestureRecognizer>();
    StateLog log;
    pan->addTarget(&log, &StateLog::handle);
    target->addGestureRecognizer(pan);
    Touch* t = window->beginTouch({150, 150}, 0.0);
    window->moveTouch(t, {180, 150}, 0.1);
    pan->setEnabled(false);
    window->moveTouch(t, {190, 150}, 0.2);
    window->endTouch(t, {190, 150}, 0.3);
    EXPECT_EQ(log.states, (std::vector<State>{State::Began, State::Cancelled}));
    EXPECT_EQ(pan->numberOfTouches(), 0u);
    EXPECT_EQ(pan->state(), State::Possible);

    pan->setEnabled(true);
    t = window->beginTouch({150, 150}, 1.0);
    window->moveTouch(t, {180, 150}, 1.1);
    window->endTouch(t, {180, 150}, 1.2);
    EXPECT_EQ(log.states.back(), State::Ended);
}
