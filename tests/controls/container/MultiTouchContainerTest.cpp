#include "controls/base/Lumora_Control.h"
#include "controls/container/Lumora_DrawingOperationableControlsContainerView.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace Platform;

namespace {

// Writes each hook call into a shared log as "<name> <phase> <finger>", checking that every call
// carries exactly one touch.
class RecordingControl : public Lumora_Control {
public:
    RecordingControl(Rect frame, std::string name, std::vector<std::string>& log, std::map<Touch const*, int>& fingers,
                     int& nextFinger)
        : Lumora_Control(frame), name_(std::move(name)), log_(log), fingers_(fingers), nextFinger_(nextFinger)
    {
    }

protected:
    void onTouchesBegan(TouchSet const& t, Event const*) override { record("began", t); }
    void onTouchesMoved(TouchSet const& t, Event const*) override { record("moved", t); }
    void onTouchesEnded(TouchSet const& t, Event const*) override { record("ended", t); }
    void onTouchesCancelled(TouchSet const& t, Event const*) override { record("cancelled", t); }

private:
    void record(char const* phase, TouchSet const& touches)
    {
        EXPECT_EQ(touches.count(), 1u);
        // A touch seen for the first time is the finger just put down.
        auto [it, added] = fingers_.try_emplace(touches.anyObject(), nextFinger_);
        log_.push_back(name_ + " " + phase + " " + std::to_string(it->second));
    }

    std::string name_;
    std::vector<std::string>& log_;
    std::map<Touch const*, int>& fingers_;
    int& nextFinger_;
};

// Controls A, B and C in a row at y 0..100 of the container, with gaps between them, and D one
// level deeper at the right; below y 100 there is only the container.
class MultiTouchContainer : public ::testing::Test {
protected:
    std::vector<std::string> log;
    std::map<Touch const*, int> fingers;
    int nextFinger = 0;
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 600, 200));
    std::shared_ptr<Lumora_DrawingOperationableControlsContainerView> container =
        std::make_shared<Lumora_DrawingOperationableControlsContainerView>(Rect(0, 0, 600, 200));
    std::shared_ptr<RecordingControl> a = control(0, "A");
    std::shared_ptr<RecordingControl> b = control(150, "B");
    std::shared_ptr<RecordingControl> c = control(300, "C");
    std::shared_ptr<RecordingControl> d = control(0, "D");
    double clock = 0;

    void SetUp() override
    {
        container->addSubview(a);
        container->addSubview(b);
        container->addSubview(c);
        auto group = std::make_shared<View>(Rect(450, 0, 100, 100));
        group->addSubview(d);
        container->addSubview(group);
        container->awakeFromNib();
        window->addSubview(container);
    }

    std::shared_ptr<RecordingControl> control(double x, std::string name)
    {
        return std::make_shared<RecordingControl>(Rect(x, 0, 100, 100), std::move(name), log, fingers, nextFinger);
    }

    Touch* down(Point p, int finger)
    {
        nextFinger = finger;
        Touch* t = window->beginTouch(p, clock += 0.01);
        fingers[t] = finger;
        return t;
    }
    void move(Touch* t, Point p) { window->moveTouch(t, p, clock += 0.01); }
    // A lifted touch may be made again at the same address.
    void up(Touch* t, Point p)
    {
        window->endTouch(t, p, clock += 0.01);
        fingers.erase(t);
    }
};

} // namespace

TEST_F(MultiTouchContainer, OnlyDirectControlsPassTheirTouchesUp)
{
    EXPECT_TRUE(a->passthroughTouchEventsToSuperView());
    EXPECT_TRUE(c->passthroughTouchEventsToSuperView());
    EXPECT_FALSE(d->passthroughTouchEventsToSuperView());
    EXPECT_EQ(container->backgroundColor(), Color::clearColor());

    // The deeper control keeps its own handling: each phase reaches its hook once.
    Touch* t = down({470, 50}, 1);
    move(t, {480, 50});
    up(t, {480, 50});
    EXPECT_EQ(log, (std::vector<std::string>{"D began 1", "D moved 1", "D ended 1"}));
    EXPECT_TRUE(container->touchedCntrls().empty());
}

TEST_F(MultiTouchContainer, AFingerSlidesFromControlToControl)
{
    Touch* t = down({50, 50}, 1);
    move(t, {80, 50});
    move(t, {160, 50});
    move(t, {200, 50});
    move(t, {320, 50});
    move(t, {330, 50});
    up(t, {330, 50});
    EXPECT_EQ(log, (std::vector<std::string>{"A began 1", "A moved 1", "A ended 1", "B began 1", "B moved 1",
                                             "B ended 1", "C began 1", "C moved 1", "C ended 1"}));
    EXPECT_TRUE(container->touchedCntrls().empty());
}

TEST_F(MultiTouchContainer, TwoFingersOperateTwoControlsIndependently)
{
    Touch* one = down({50, 50}, 1);
    Touch* two = down({200, 50}, 2);
    EXPECT_EQ(container->touchedCntrls().size(), 2u);
    window->moveTouches({{one, {60, 40}}, {two, {210, 60}}}, clock += 0.01);
    window->moveTouches({{two, {220, 70}}}, clock += 0.01);
    up(one, {60, 40});
    window->moveTouches({{two, {230, 80}}}, clock += 0.01);
    up(two, {230, 80});
    EXPECT_EQ(log, (std::vector<std::string>{"A began 1", "B began 2", "A moved 1", "B moved 2", "B moved 2",
                                             "A ended 1", "B moved 2", "B ended 2"}));
}

TEST_F(MultiTouchContainer, OffEveryControlTheControlHearsNothingUntilTheLift)
{
    Touch* t = down({50, 50}, 1);
    move(t, {50, 150});
    move(t, {60, 160});
    up(t, {60, 160});
    EXPECT_EQ(log, (std::vector<std::string>{"A began 1", "A ended 1"}));

    // Coming back over the same control continues its gesture.
    log.clear();
    t = down({50, 50}, 2);
    move(t, {50, 150});
    move(t, {50, 60});
    up(t, {50, 60});
    EXPECT_EQ(log, (std::vector<std::string>{"A began 2", "A moved 2", "A ended 2"}));
}

TEST_F(MultiTouchContainer, AFingerFromEmptySpaceBeginsOnTheFirstControlItReaches)
{
    Touch* t = down({120, 150}, 1);
    move(t, {125, 50});  // the gap between A and B
    EXPECT_TRUE(log.empty());
    move(t, {180, 50});
    move(t, {190, 50});
    up(t, {190, 50});
    EXPECT_EQ(log, (std::vector<std::string>{"B began 1", "B moved 1", "B ended 1"}));
}

TEST_F(MultiTouchContainer, CancellationEndsEveryAttachedGesture)
{
    Touch* one = down({50, 50}, 1);
    Touch* two = down({350, 50}, 2);
    window->cancelTouch(one, clock += 0.01);
    window->cancelTouch(two, clock += 0.01);
    EXPECT_EQ(log, (std::vector<std::string>{"A began 1", "C began 2", "A ended 1", "C ended 2"}));
    EXPECT_TRUE(container->touchedCntrls().empty());
}
