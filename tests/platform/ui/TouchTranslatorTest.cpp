// Multi-touch without a touch screen: XInput2-shaped events (the fields of an XIDeviceEvent) fed
// to the translation directly.

#include "platform/ui/Window.h"
#include "platform/ui/x11/TouchTranslator.h"

#include <gtest/gtest.h>

#include <X11/extensions/XI2.h>

#include <string>
#include <vector>

using namespace Platform;

namespace {

class FingerView : public View {
public:
    explicit FingerView(Rect frame) : View(frame) { setMultipleTouchEnabled(true); }
    std::vector<std::string> log;
    Point last;

    void touchesBegan(TouchSet const& t, Event const*) override { record("began", t); }
    void touchesMoved(TouchSet const& t, Event const*) override { record("moved", t); }
    void touchesEnded(TouchSet const& t, Event const*) override { record("ended", t); }
    void touchesCancelled(TouchSet const& t, Event const*) override { record("cancelled", t); }

private:
    void record(char const* phase, TouchSet const& touches)
    {
        log.push_back(phase);
        last = touches.anyObject()->locationInView(this);
    }
};

XITouchEvent touchEvent(int type, int id, double x, double y)
{
    XITouchEvent e;
    e.evtype = type;
    e.detail = id;
    e.event_x = x;
    e.event_y = y;
    return e;
}

struct TwoKeys : ::testing::Test {
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 400, 200));
    std::shared_ptr<FingerView> left = std::make_shared<FingerView>(Rect(0, 0, 200, 200));
    std::shared_ptr<FingerView> right = std::make_shared<FingerView>(Rect(200, 0, 200, 200));
    // Pixels are points × 2.
    TouchTranslator translator{*window, 2};

    void SetUp() override
    {
        window->addSubview(left);
        window->addSubview(right);
    }
};

} // namespace

TEST_F(TwoKeys, TwoFingersAreTwoTouchesOnTheirOwnViews)
{
    translator.handle(touchEvent(XI_TouchBegin, 11, 100, 100), 1.0);
    translator.handle(touchEvent(XI_TouchBegin, 12, 700, 100), 1.0);
    EXPECT_EQ(window->activeTouches().size(), 2u);
    EXPECT_EQ(left->log, (std::vector<std::string>{"began"}));
    EXPECT_EQ(right->log, (std::vector<std::string>{"began"}));

    // Each finger moves its own touch; a finger that leaves its view still belongs to it.
    translator.handle(touchEvent(XI_TouchUpdate, 12, 300, 140), 1.1);
    EXPECT_EQ(right->log.back(), "moved");
    EXPECT_EQ(right->last, (Point{-50, 70}));
    EXPECT_EQ(left->log.size(), 1u);

    // One lifts, the other stays down.
    translator.handle(touchEvent(XI_TouchEnd, 11, 100, 100), 1.2);
    EXPECT_EQ(left->log.back(), "ended");
    EXPECT_EQ(window->activeTouches().size(), 1u);

    // The other is cancelled (the grab went elsewhere).
    translator.cancelAll(1.3);
    EXPECT_EQ(right->log.back(), "cancelled");
    EXPECT_TRUE(window->activeTouches().empty());
}

TEST_F(TwoKeys, EventsOfUnknownOrFinishedSequencesChangeNothing)
{
    translator.handle(touchEvent(XI_TouchUpdate, 5, 10, 10), 1.0);
    translator.handle(touchEvent(XI_TouchEnd, 5, 10, 10), 1.0);
    translator.handle(touchEvent(XI_ButtonPress, 1, 10, 10), 1.0);
    EXPECT_TRUE(left->log.empty());

    translator.handle(touchEvent(XI_TouchBegin, 5, 10, 10), 1.0);
    translator.handle(touchEvent(XI_TouchEnd, 5, 10, 10), 1.1);
    translator.handle(touchEvent(XI_TouchEnd, 5, 10, 10), 1.2);
    EXPECT_EQ(left->log, (std::vector<std::string>{"began", "ended"}));

    // An id begun again before its end was seen cancels the old sequence first.
    translator.handle(touchEvent(XI_TouchBegin, 6, 10, 10), 2.0);
    translator.handle(touchEvent(XI_TouchBegin, 6, 20, 20), 2.1);
    EXPECT_EQ(window->activeTouches().size(), 1u);
    EXPECT_EQ(left->log.back(), "began");
    EXPECT_EQ(left->log[left->log.size() - 2], "cancelled");
}

TEST_F(TwoKeys, TheMouseIsOneMoreFingerBesideTheTouches)
{
    translator.handle(touchEvent(XI_TouchBegin, 1, 100, 100), 1.0);
    translator.buttonPressed(600, 20, 1.0);
    translator.pointerMoved(600, 20, 1.05);   // no movement: nothing delivered
    translator.pointerMoved(640, 60, 1.1);
    EXPECT_EQ(right->log, (std::vector<std::string>{"began", "moved"}));
    EXPECT_EQ(right->last, (Point{120, 30}));
    EXPECT_TRUE(translator.mouseTouchActive());
    translator.buttonReleased(640, 60, 1.2);
    EXPECT_FALSE(translator.mouseTouchActive());
    EXPECT_EQ(window->activeTouches().size(), 1u);
    // Motion with the button up is no touch.
    translator.pointerMoved(500, 20, 1.3);
    EXPECT_EQ(right->log.back(), "ended");
}
