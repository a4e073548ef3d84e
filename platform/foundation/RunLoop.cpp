#include "platform/foundation/RunLoop.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace Platform {

namespace {

// Static initialisation runs on the thread that starts the process, before main().
std::thread::id const kMainThread = std::this_thread::get_id();

constexpr double kMinimumInterval = 1e-4;

RunLoop::Clock::duration toDuration(double seconds) {
    return std::chrono::duration_cast<RunLoop::Clock::duration>(std::chrono::duration<double>(seconds));
}

} // namespace

Timer::Timer(double interval, bool repeats, Callback callback)
    : interval_(std::max(interval, kMinimumInterval)), repeats_(repeats), callback_(std::move(callback)) {}

void Timer::invalidate() {
    // The loop is set while scheduling, before anyone else sees the timer.
    if (loop_) {
        loop_->forget(this);
        return;
    }
    valid_ = false;
}

bool Timer::isValid() const {
    if (!loop_)
        return valid_;
    std::lock_guard<std::mutex> guard(loop_->lock_);
    return valid_;
}

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

RunLoop& RunLoop::current() {
    if (isMainThread())
        return main();
    thread_local RunLoop loop;
    return loop;
}

bool RunLoop::isMainThread() {
    return std::this_thread::get_id() == kMainThread;
}

RunLoop::~RunLoop() {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& timer : timers_) {
        timer->valid_ = false;
        timer->loop_ = nullptr;
    }
}

std::shared_ptr<Timer> RunLoop::scheduledTimer(double intervalSeconds, bool repeats, Timer::Callback callback) {
    auto timer = std::make_shared<Timer>(intervalSeconds, repeats, std::move(callback));
    {
        std::lock_guard<std::mutex> guard(lock_);
        timer->loop_ = this;
        timer->fireTime_ = Clock::now() + toDuration(timer->interval_);
        timers_.push_back(timer);
        timersChanged_ = true;
    }
    wake_.notify_all();
    return timer;
}

void RunLoop::post(Block block) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        queue_.push_back(std::move(block));
    }
    wake_.notify_all();
}

void RunLoop::forget(Timer* timer) {
    std::lock_guard<std::mutex> guard(lock_);
    timer->valid_ = false;
    std::erase_if(timers_, [timer](auto const& t) { return t.get() == timer; });
}

std::size_t RunLoop::runQueuedBlocks() {
    // Only the blocks queued before this pass run now; blocks they post wait for the next pass,
    // so a block that re-posts itself cannot hold the loop forever.
    std::deque<Block> pending;
    {
        std::lock_guard<std::mutex> guard(lock_);
        pending.swap(queue_);
    }
    for (auto& block : pending)
        block();
    return pending.size();
}

std::size_t RunLoop::fireDueTimers(Clock::time_point now) {
    std::vector<std::shared_ptr<Timer>> due;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto const& timer : timers_) {
            if (timer->valid_ && timer->fireTime_ <= now)
                due.push_back(timer);
        }
        std::sort(due.begin(), due.end(), [](auto const& a, auto const& b) { return a->fireTime_ < b->fireTime_; });
        for (auto const& timer : due) {
            if (timer->repeats_) {
                // Next firing on the timer's own grid, skipping the ones already missed.
                auto interval = toDuration(timer->interval_);
                auto late = now - timer->fireTime_;
                timer->fireTime_ += interval * (late / interval + 1);
            }
        }
    }
    std::size_t fired = 0;
    for (auto const& timer : due) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (!timer->valid_)
                continue;   // invalidated by an earlier callback of this pass
        }
        timer->callback_(*timer);
        ++fired;
        if (!timer->repeats_)
            forget(timer.get());
    }
    return fired;
}

std::size_t RunLoop::runOnce() {
    std::size_t ran = runQueuedBlocks();
    ran += fireDueTimers(Clock::now());
    return ran;
}

RunLoop::Clock::time_point RunLoop::nextEvent(Clock::time_point limit) {
    std::lock_guard<std::mutex> guard(lock_);
    timersChanged_ = false;
    if (!queue_.empty() || stopRequested_)
        return Clock::now();
    Clock::time_point next = limit;
    for (auto const& timer : timers_) {
        if (timer->valid_)
            next = std::min(next, timer->fireTime_);
    }
    return next;
}

void RunLoop::waitUntil(Clock::time_point time) {
    std::unique_lock<std::mutex> guard(lock_);
    wake_.wait_until(guard, time, [this] { return !queue_.empty() || stopRequested_ || timersChanged_; });
}

// A stop request ends one run: answers whether there was one, and clears it.
bool RunLoop::takeStopRequest() {
    std::lock_guard<std::mutex> guard(lock_);
    return std::exchange(stopRequested_, false);
}

std::size_t RunLoop::runFor(Clock::duration duration) {
    auto const end = Clock::now() + duration;
    std::size_t ran = 0;
    while (true) {
        ran += runOnce();
        if (takeStopRequest())
            return ran;
        if (Clock::now() >= end)
            return ran;
        waitUntil(nextEvent(end));
    }
}

void RunLoop::run() {
    while (true) {
        runOnce();
        if (takeStopRequest())
            return;
        waitUntil(nextEvent(Clock::now() + std::chrono::hours(1)));
    }
}

void RunLoop::stop() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        stopRequested_ = true;
    }
    wake_.notify_all();
}

} // namespace Platform
