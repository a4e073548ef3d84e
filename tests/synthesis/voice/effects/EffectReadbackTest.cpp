// The effects' display values never make the render thread wait: while another thread sits
// inside a read-back parameter's change (a screen being told of it), blocks still render, and
// the values reach the parameters when the main thread publishes them.
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "synthesis/voice/effects/Chorus.h"
#include "synthesis/voice/effects/Delay.h"
#include "EffectFixture.h"

namespace {

using namespace EffectTest;
using namespace Lumora::Corvane::Module;
using namespace std::chrono_literals;

// Holds the thread that reports a change of the watched parameter until released, as a slow
// observer would, while that thread still holds the parameter's lock.
class HoldingObserver : public ParameterObserver {
public:
    explicit HoldingObserver(int id) : id_(id) {}

    void didChangeParam(const Parameter* param, Token, AutomationEventType) override
    {
        if (param->id() != id_)
            return;
        std::unique_lock lock(mutex_);
        entered_ = true;
        changed_.notify_all();
        changed_.wait(lock, [&] { return released_; });
    }
    void waitUntilEntered()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return entered_; });
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    const int id_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool entered_ = false;
    bool released_ = false;
};

TEST(EffectReadback, RenderingNeverWaitsOnAReadbackParameterLock)
{
    Table table;
    Chorus chorus;
    Delay delay;
    chorus.reserve(256);
    delay.reserve(256);
    for (Parameter* watched : {static_cast<Parameter*>(&table.params.chorus.lfo.output),
                               static_cast<Parameter*>(&table.params.delay.filter.lfo.output)}) {
        HoldingObserver observer(watched->id());
        table.manager.addObserver(&observer);
        std::thread screen([&] {
            watched->setNormalizedValue(0.9f, ParameterObserver::Token::SettingPanel, AutomationEventType::None);
        });
        observer.waitUntilEntered();

        auto render = std::async(std::launch::async, [&] {
            TestClock clock;
            std::vector<float> in(256, 0.1f), l(256), r(256);
            for (int b = 0; b < 8; ++b) {
                chorus.process(l.data(), r.data(), in.data(), 256, kRate, clock, table.params.chorus, 2,
                               AudioQuality::Normal);
                delay.process(l.data(), r.data(), l.data(), r.data(), 256, kRate, clock, table.params.delay, 2,
                              AudioQuality::Normal);
                clock.advance(256);
            }
        });
        const bool finished = render.wait_for(5s) == std::future_status::ready;
        observer.release();
        screen.join();
        render.wait();
        table.manager.removeObserver(&observer);
        EXPECT_TRUE(finished) << "rendering waited on parameter " << watched->id();
    }

    // Published from here (the main thread), the levels arrive as engine read-backs.
    EXPECT_TRUE(chorus.publishReadbacks(table.params.chorus));
    EXPECT_TRUE(delay.publishReadbacks(table.params.delay));
    EXPECT_FLOAT_EQ(table.params.chorus.lfo.output.normalizedValue(), chorus.rateOutput().value());
    EXPECT_FLOAT_EQ(table.params.delay.filter.lfo.output.normalizedValue(), delay.filterRateOutput().value());
}

} // namespace
