#include "controls/graph/LongTapObserver.h"

#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

// A detector on a clock the test moves by hand, active.
struct Rig {
    std::shared_ptr<LongTapObserver> observer = std::make_shared<LongTapObserver>();
    double now = 0;

    Rig()
    {
        observer->setClock([this] { return now; });
        observer->setActive(true);
        observer->reset();
    }
    bool at(double time, Platform::Point p)
    {
        now = time;
        return observer->updatePoint(p);
    }
};

} // namespace

TEST(LongTapObserver, StartsInactiveWithItsLimits)
{
    LongTapObserver observer;
    EXPECT_FALSE(observer.active());
    EXPECT_FALSE(observer.longPressed());
    EXPECT_EQ(observer.allowableMovement(), 1.0);
    EXPECT_EQ(observer.minimumPressDuration(), 0.25);
    EXPECT_EQ(observer.lastPoint(), (Platform::Point{0, 0}));
    EXPECT_EQ(observer.timer(), nullptr);
    // Inactive: never long, and no timer.
    EXPECT_FALSE(observer.updatePoint({0, 0}));
    EXPECT_EQ(observer.timer(), nullptr);
}

TEST(LongTapObserver, StillPositionsTurnThePressLongAfterTheDuration)
{
    Rig rig;
    // After a reset the first position is measured from (0, 0): a movement.
    EXPECT_FALSE(rig.at(0.0, {10, 10}));
    EXPECT_NE(rig.observer->timer(), nullptr);
    EXPECT_FALSE(rig.at(0.1, {10.5, 10}));
    EXPECT_FALSE(rig.at(0.2, {11.0, 10}));
    EXPECT_TRUE(rig.at(0.3, {11.5, 10}));  // more than 0.25 s after the first position
    // Once long it stays long, even when the finger jumps.
    EXPECT_TRUE(rig.at(0.4, {50, 50}));
    rig.observer->reset();
    EXPECT_FALSE(rig.observer->longPressed());
}

TEST(LongTapObserver, AJumpStartsTheCountAgain)
{
    Rig rig;
    rig.at(0.0, {10, 10});
    rig.at(0.1, {10.5, 10});
    EXPECT_FALSE(rig.at(0.2, {12.5, 10}));  // 2 points: a movement
    EXPECT_FALSE(rig.at(0.3, {13, 10}));
    EXPECT_FALSE(rig.at(0.4, {13.5, 10}));
    EXPECT_TRUE(rig.at(0.5, {14, 10}));
}

TEST(LongTapObserver, SwitchingOffResets)
{
    Rig rig;
    rig.at(0.0, {10, 10});
    EXPECT_TRUE(rig.at(0.3, {10, 10}));
    rig.observer->setActive(false);
    EXPECT_FALSE(rig.observer->longPressed());
    EXPECT_EQ(rig.observer->lastPoint(), (Platform::Point{0, 0}));
    EXPECT_FALSE(rig.at(0.9, {10, 10}));
}

TEST(LongTapObserver, TheTimerTurnsAStillPressLongWithoutANewPosition)
{
    auto observer = std::make_shared<LongTapObserver>();
    observer->setActive(true);
    observer->setMinimumPressDuration(0.05);
    EXPECT_FALSE(observer->updatePoint({10, 10}));
    auto& loop = Platform::RunLoop::main();
    loop.runFor(std::chrono::milliseconds(20));
    EXPECT_FALSE(observer->longPressed());
    loop.runFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(observer->longPressed());
    EXPECT_EQ(observer->timer(), nullptr);

    // A pending timer dies with its detector.
    auto other = std::make_shared<LongTapObserver>();
    other->setActive(true);
    other->setMinimumPressDuration(0.01);
    other->updatePoint({10, 10});
    other.reset();
    loop.runFor(std::chrono::milliseconds(30));
}
