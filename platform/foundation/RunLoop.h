#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace Platform {

class RunLoop;

// A timer scheduled on a run loop. A repeating timer fires every interval from its scheduling;
// firings missed while the loop was busy are dropped, not made up in a burst. The run loop keeps
// the timer until it is invalidated (or, for a one-shot timer, until it has fired).
class Timer {
public:
    using Callback = std::function<void(Timer&)>;

    Timer(double interval, bool repeats, Callback callback);

    void invalidate();
    bool isValid() const;
    double timeInterval() const { return interval_; }
    bool repeats() const { return repeats_; }

private:
    friend class RunLoop;

    double const interval_;
    bool const repeats_;
    Callback callback_;
    // Guarded by the owning run loop's lock.
    std::chrono::steady_clock::time_point fireTime_{};
    bool valid_ = true;
    RunLoop* loop_ = nullptr;
};

// The event loop of one thread: timers scheduled on it and blocks posted to its queue from any
// thread run on the thread that runs the loop. The main run loop belongs to the process's main
// thread; a program runs it with run(), a test pumps it by hand with runOnce() or runFor().
class RunLoop {
public:
    using Clock = std::chrono::steady_clock;
    using Block = std::function<void()>;

    // The run loop of the main thread (the thread that started the process).
    static RunLoop& main();
    // The run loop of the calling thread: the main run loop on the main thread.
    static RunLoop& current();
    static bool isMainThread();

    RunLoop() = default;
    RunLoop(RunLoop const&) = delete;
    RunLoop& operator=(RunLoop const&) = delete;
    ~RunLoop();

    // Schedules a timer whose first firing is one interval from now (an interval below 0.1 ms is
    // taken as 0.1 ms, so that a repeating timer cannot starve the loop).
    std::shared_ptr<Timer> scheduledTimer(double intervalSeconds, bool repeats, Timer::Callback callback);

    // Queues a block to run on the loop's thread; callable from any thread. Blocks run in the
    // order they were posted.
    void post(Block block);

    // Runs the blocks queued so far and the timers that are due, without waiting; answers how
    // many blocks and timer firings ran.
    std::size_t runOnce();
    // Runs the loop, waiting for queued blocks and timers, until the time has passed.
    std::size_t runFor(Clock::duration duration);
    // Runs until stop() is called (from a block, a timer or another thread).
    void run();
    void stop();

private:
    friend class Timer;

    std::size_t runQueuedBlocks();
    std::size_t fireDueTimers(Clock::time_point now);
    Clock::time_point nextEvent(Clock::time_point limit);
    void waitUntil(Clock::time_point time);
    bool takeStopRequest();
    void forget(Timer* timer);

    std::mutex lock_;
    std::condition_variable wake_;
    std::deque<Block> queue_;
    std::vector<std::shared_ptr<Timer>> timers_;
    bool stopRequested_ = false;
    bool timersChanged_ = false;   // a timer was scheduled while the loop may be waiting
};

} // namespace Platform
