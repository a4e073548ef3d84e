#include "platform/foundation/RunLoop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Platform::RunLoop;
using Platform::Timer;

TEST(RunLoop, TheTestRunsOnTheMainThread) {
    EXPECT_TRUE(RunLoop::isMainThread());
    EXPECT_EQ(&RunLoop::current(), &RunLoop::main());
    bool otherIsMain = true;
    RunLoop* otherLoop = nullptr;
    std::thread([&] {
        otherIsMain = RunLoop::isMainThread();
        otherLoop = &RunLoop::current();
    }).join();
    EXPECT_FALSE(otherIsMain);
    EXPECT_NE(otherLoop, &RunLoop::main());
}

TEST(RunLoop, BlocksPostedFromOtherThreadsRunOnTheLoopThreadInOrder) {
    RunLoop loop;
    std::vector<int> order;
    std::vector<std::thread::id> ranOn;
    std::thread poster([&] {
        for (int i = 0; i < 100; ++i)
            loop.post([&, i] {
                order.push_back(i);
                ranOn.push_back(std::this_thread::get_id());
            });
    });
    poster.join();
    EXPECT_TRUE(order.empty());   // nothing runs until the loop is pumped

    // A block posted while the loop runs waits for the next pass.
    loop.post([&] { loop.post([&] { order.push_back(1000); }); });
    EXPECT_EQ(loop.runOnce(), 101u);
    ASSERT_EQ(order.size(), 100u);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(order[i], i);
    for (auto id : ranOn)
        EXPECT_EQ(id, std::this_thread::get_id());
    EXPECT_EQ(loop.runOnce(), 1u);
    EXPECT_EQ(order.back(), 1000);
}

TEST(RunLoop, RepeatingTimerFiresEveryIntervalUntilInvalidated) {
    RunLoop loop;
    int fired = 0;
    auto scheduled = RunLoop::Clock::now();
    auto timer = loop.scheduledTimer(0.01, true, [&](Timer&) { ++fired; });
    loop.runOnce();
    if (RunLoop::Clock::now() - scheduled < 10ms) {
        EXPECT_EQ(fired, 0);   // not due yet (only provable when this thread wasn't held up)
    }

    // A loaded machine may delay firings, never bring one forward: n firings take at least n
    // intervals, however late each comes.
    auto deadline = RunLoop::Clock::now() + 20s;
    while (fired < 5 && RunLoop::Clock::now() < deadline)
        loop.runFor(10ms);
    ASSERT_GE(fired, 5);
    EXPECT_GE(RunLoop::Clock::now() - scheduled, fired * 10ms);
    EXPECT_TRUE(timer->isValid());

    timer->invalidate();
    EXPECT_FALSE(timer->isValid());
    int before = fired;
    loop.runFor(30ms);
    EXPECT_EQ(fired, before);
}

TEST(RunLoop, MissedFiringsAreNotMadeUpInABurst) {
    RunLoop loop;
    int fired = 0;
    loop.scheduledTimer(0.01, true, [&](Timer&) { ++fired; });
    std::this_thread::sleep_for(60ms);
    loop.runOnce();
    EXPECT_EQ(fired, 1);
}

TEST(RunLoop, OneShotTimerFiresOnceAndATimerMayInvalidateItself) {
    RunLoop loop;
    int once = 0, selfStopping = 0;
    auto oneShot = loop.scheduledTimer(0.005, false, [&](Timer&) { ++once; });
    loop.scheduledTimer(0.005, true, [&](Timer& t) {
        if (++selfStopping == 3)
            t.invalidate();
    });
    loop.runFor(80ms);
    EXPECT_EQ(once, 1);
    EXPECT_FALSE(oneShot->isValid());
    EXPECT_EQ(selfStopping, 3);
}

TEST(RunLoop, WaitingLoopWakesForPostsAndTimersFromOtherThreadsAndStops) {
    RunLoop loop;
    // A timer scheduled from another thread while the loop sleeps with nothing to do.
    std::thread scheduler([&] {
        std::this_thread::sleep_for(20ms);
        loop.scheduledTimer(0.005, false, [&](Timer&) { loop.stop(); });
    });
    auto start = RunLoop::Clock::now();
    loop.run();   // returns only once that timer has fired
    scheduler.join();

    // A block posted while the loop waits for a distant end.
    std::thread poster([&] {
        std::this_thread::sleep_for(20ms);
        loop.post([&] { loop.stop(); });
    });
    loop.runFor(60s);
    poster.join();
    EXPECT_LT(RunLoop::Clock::now() - start, 30s);
}

TEST(RunLoop, MainLoopIsPumpedByHand) {
    int ran = 0;
    std::thread([&] { RunLoop::main().post([&] { ++ran; }); }).join();
    RunLoop::main().runOnce();
    EXPECT_EQ(ran, 1);
}
