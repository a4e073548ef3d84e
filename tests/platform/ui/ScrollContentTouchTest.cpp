#include "platform/ui/Control.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

using namespace Platform;

namespace {

// A knob-like control: follows a vertical drag with its value.
class DragKnob : public Control {
public:
    using Control::Control;
    double value = 0.5;
    int moves = 0;
    int cancels = 0;

protected:
    bool beginTracking(Touch* touch, Event const* event) override
    {
        lastY_ = touch->locationInView(nullptr).y;
        return Control::beginTracking(touch, event);
    }
    bool continueTracking(Touch* touch, Event const* event) override
    {
        ++moves;
        double y = touch->locationInView(nullptr).y;
        value += (lastY_ - y) / 200;
        lastY_ = y;
        return Control::continueTracking(touch, event);
    }
    void cancelTracking(Event const* event) override
    {
        ++cancels;
        Control::cancelTracking(event);
    }

private:
    double lastY_ = 0;
};

// A 200 x 200 window filled by a scroll view over a taller content, a knob at the top left.
class ScrollContent : public ::testing::Test {
protected:
    void SetUp() override
    {
        window->addSubview(scroll);
        scroll->setContentSize({200, 1000});
        scroll->addSubview(content);
        content->addSubview(knob);
    }

    void drag(Point from, Point to)
    {
        Touch* t = window->beginTouch(from, time += 1);
        for (int i = 1; i <= 4; ++i)
            window->moveTouch(t, {from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4}, time += 0.05);
        window->endTouch(t, to, time += 0.05);
    }

    double time = 0;
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 200, 200));
    std::shared_ptr<ScrollView> scroll = std::make_shared<ScrollView>(Rect(0, 0, 200, 200));
    std::shared_ptr<View> content = std::make_shared<View>(Rect(0, 0, 200, 1000));
    std::shared_ptr<DragKnob> knob = std::make_shared<DragKnob>(Rect(0, 0, 100, 100));
};

} // namespace

TEST_F(ScrollContent, AControlKeepsItsDragAndTheViewDoesNotScroll)
{
    drag({50, 80}, {50, 20});
    EXPECT_EQ(knob->moves, 4);
    EXPECT_EQ(knob->cancels, 0);
    EXPECT_NEAR(knob->value, 0.8, 1e-9);
    EXPECT_EQ(scroll->contentOffset(), (Point{0, 0}));
    EXPECT_FALSE(knob->isTracking());
}

TEST_F(ScrollContent, ADragOnPlainContentStillScrolls)
{
    drag({150, 150}, {150, 50});
    EXPECT_EQ(scroll->contentOffset().y, 100);
    // And on the scroll view itself, past the content's width.
    content->setFrame(Rect(0, 0, 100, 1000));
    drag({150, 150}, {150, 100});
    EXPECT_EQ(scroll->contentOffset().y, 150);
    EXPECT_EQ(knob->moves, 0);
}

TEST_F(ScrollContent, AControlHandsTheDragOverOnceThePanWasRefusedAndTheNextDragScrolls)
{
    // The refused pan leaves no trace on the following gesture.
    drag({50, 80}, {50, 20});
    drag({150, 150}, {150, 50});
    EXPECT_EQ(scroll->contentOffset().y, 100);
    EXPECT_EQ(knob->moves, 4);
}

TEST_F(ScrollContent, WithoutCancellingTheControlAndThePanBothFollowTheFinger)
{
    scroll->setCanCancelContentTouches(false);
    drag({50, 90}, {50, 30});
    EXPECT_EQ(knob->cancels, 0);
    EXPECT_EQ(knob->moves, 4);
    EXPECT_EQ(scroll->contentOffset().y, 60);
}
