#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "engine/clock/Clock.h"
#include "engine/clock/MidiClockTracker.h"

using Lumora::Clock;
using Lumora::MidiClockTracker;
using Lumora::TimeSignature;

namespace {

constexpr TimeSignature k44{4, 4};

// A MIDI clock source ticking at a fixed tempo; each block gets the ticks that arrived during
// the previous block (the render cycle takes its MIDI at the block's start).
struct TickSource {
    double bpm;
    double firstTick;
    long delivered = 0;

    unsigned ticksBefore(double time) {
        double const period = 60.0 / (bpm * 24.0);
        long const due = time <= firstTick ? 0 : long(std::ceil((time - firstTick) / period));
        auto const n = unsigned(due - delivered);
        delivered = due;
        return n;
    }
};

struct ClockRun {
    Clock clock;
    unsigned frames;
    float rate;
    long block = 0;

    double now() const { return double(block) * frames / rate; }

    void step(unsigned ticks, double engineBpm = 100.0, bool restart = false) {
        clock.midiSync_pre(k44, engineBpm, restart, ticks);
        clock.midiSync_post(frames, rate);
        ++block;
    }
};

} // namespace

class MidiClockBlocks : public ::testing::TestWithParam<std::tuple<unsigned, double>> {};

// Locks, measures the true tempo at small and large blocks, and follows the ticks from a
// position just below zero without ever jumping to a wrapped-around position.
TEST_P(MidiClockBlocks, LocksMeasuresTempoAndFollowsTicks) {
    auto const [frames, bpm] = GetParam();
    ClockRun run{{}, frames, 44100.0f};
    TickSource source{bpm, 0.0123};
    long firstLockedTicks = -1;
    bool sawDownbeat = false;
    while (run.now() < 4.0) {
        unsigned const ticks = source.ticksBefore(run.now());
        run.clock.midiSync_pre(k44, 100.0, false, ticks);
        EXPECT_EQ(run.clock.syncMode(), Clock::SyncMidi);
        double const p = run.clock.beatPosition();
        EXPECT_GT(p, -0.5);
        EXPECT_LT(p, 20.0);
        EXPECT_GE(run.clock.beat16(), -1);
        if (p < 0.0) { // one tick before zero: reached by a rewind, no grid point
            EXPECT_FALSE(run.clock.isTriggered_beat());
            EXPECT_FALSE(run.clock.isTriggered_16());
            EXPECT_FALSE(run.clock.isTriggered_32());
        }
        if (firstLockedTicks >= 0) {
            // position = (ticks since the lock began - 1) / 24, one block late
            double const expected = double(source.delivered - ticks - firstLockedTicks - 1) / 24.0;
            EXPECT_NEAR(p, expected, 1e-9);
            if (run.clock.isTriggered_beat() && run.clock.beatCounter().count == 0) {
                EXPECT_FALSE(sawDownbeat);
                EXPECT_TRUE(run.clock.isTriggered_16());
                sawDownbeat = true;
            }
        }
        run.clock.midiSync_post(frames, 44100.0f);
        ++run.block;
        if (firstLockedTicks < 0 && run.clock.isMidiClockLocked()) {
            firstLockedTicks = source.delivered;
        }
    }
    EXPECT_EQ(run.clock.midiClockLockState(), MidiClockTracker::Locked);
    EXPECT_TRUE(sawDownbeat);
    EXPECT_NEAR(run.clock.midiClockTempo(), bpm, bpm * 0.003);
    run.clock.midiSync_pre(k44, 100.0, false, source.ticksBefore(run.now()));
    EXPECT_NEAR(run.clock.bpm(), bpm, bpm * 0.003);
}

INSTANTIATE_TEST_SUITE_P(SmallAndLargeBlocks, MidiClockBlocks,
                         ::testing::Values(std::make_tuple(64u, 120.0), std::make_tuple(1024u, 120.0),
                                           std::make_tuple(1024u, 93.0), std::make_tuple(256u, 174.0),
                                           std::make_tuple(4096u, 120.0)));

TEST(MidiClock, NinetySixEvenTicksInTwoSecondsMeasure120) {
    MidiClockTracker tracker;
    // one tick per block of 20.8333 ms: 96 ticks per 2 seconds
    for (int i = 0; i < 200; ++i) {
        tracker.addTicks(1);
        tracker.update(1000, 48000.0f);
    }
    EXPECT_NEAR(tracker.tempo(), 120.0, 1e-6);
}

TEST(MidiClock, DropsOutThenRunsFreeFromLastPredictedPosition) {
    ClockRun run{{}, 512, 44100.0f};
    TickSource source{120.0, 0.0};
    unsigned ticks = 0;
    while (run.now() < 1.0 || ticks == 0) { // end on a block that brought ticks
        ticks = source.ticksBefore(run.now());
        run.step(ticks);
    }
    ASSERT_EQ(run.clock.midiClockLockState(), MidiClockTracker::Locked);

    // No more ticks: 0.125 s later the state drops to 3, one block after that to 0.
    int blocksUntilDrop = 0;
    while (run.clock.midiClockLockState() == MidiClockTracker::Locked) {
        run.step(0);
        ++blocksUntilDrop;
    }
    double const blockSeconds = 512 / 44100.0;
    EXPECT_EQ(run.clock.midiClockLockState(), MidiClockTracker::DroppingOut);
    // counted from the start of the last block that brought ticks to the end of this one
    EXPECT_GE((blocksUntilDrop + 1) * blockSeconds, 0.125);
    EXPECT_LT(blocksUntilDrop * blockSeconds, 0.125);
    run.step(0);
    EXPECT_EQ(run.clock.midiClockLockState(), MidiClockTracker::Idle);

    // Free running at the engine's tempo from where it stood, without a jump.
    run.clock.midiSync_pre(k44, 90.0, false, 0);
    double const p0 = run.clock.beatPosition();
    EXPECT_DOUBLE_EQ(run.clock.bpm(), 90.0);
    run.clock.midiSync_post(512, 44100.0f);
    run.clock.midiSync_pre(k44, 90.0, false, 0);
    EXPECT_NEAR(run.clock.beatPosition() - p0, 1.5 * blockSeconds, 1e-9);
    EXPECT_GT(p0, 1.5);
}

// Without any tick ever received the clock must not pretend to be locked.
TEST(MidiClock, UnlockedRunsAtEngineTempoAndRestarts) {
    ClockRun run{{}, 256, 48000.0f};
    run.step(0, 150.0);
    run.clock.midiSync_pre(k44, 150.0, false, 0);
    EXPECT_FALSE(run.clock.isMidiClockLocked());
    EXPECT_DOUBLE_EQ(run.clock.bpm(), 150.0);
    EXPECT_NEAR(run.clock.beatPosition(), 2.5 * 256 / 48000.0, 1e-12);
    run.clock.midiSync_post(256, 48000.0f);
    run.clock.midiSync_pre(k44, 150.0, true, 0);
    EXPECT_EQ(run.clock.beatPosition(), 0.0);
    EXPECT_TRUE(run.clock.isRewinded());
}
