#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "engine/clock/Clock.h"

using Lumora::Clock;
using Lumora::TimeSignature;

namespace {

constexpr TimeSignature k44{4, 4};

// Runs one internal block: pre, then post.
void internalBlock(Clock& clock, double bpm, unsigned frames, float rate, bool restart = false) {
    clock.internalSync_pre(k44, bpm, restart);
    clock.internalSync_post(frames, rate);
}

} // namespace

class InternalClockGrid : public ::testing::TestWithParam<std::tuple<float, unsigned>> {};

// Every block must report exactly the sixteenths crossed since the previous block's start, and
// its fraction must show that it is the first block past the point.
TEST_P(InternalClockGrid, SixteenthsTriggerInFirstBlockPastEachPoint) {
    auto const [rate, frames] = GetParam();
    Clock clock;
    double const advance = 120.0 / 60.0 * frames / rate; // beats per block
    int triggers = 0;
    int const blocks = int(std::ceil(8.0 / advance)); // about two bars
    for (int k = 0; k < blocks; ++k) {
        clock.internalSync_pre(k44, 120.0, false);
        EXPECT_NEAR(clock.beatPosition(), k * advance, 1e-9);
        if (clock.isTriggered_16()) {
            ++triggers;
            EXPECT_EQ(clock.beat16(), int(std::floor(clock.beatPosition() * 4.0 + 1e-12)));
            // past the point by less than one block (in sixteenths)
            EXPECT_LT(clock.beat16Counter().fraction, advance * 4.0 + 1e-9);
        } else {
            EXPECT_GE(clock.beat16Counter().fraction, advance * 4.0 - 1e-9);
        }
        clock.internalSync_post(frames, rate);
    }
    double const last = (blocks - 1) * advance;
    EXPECT_EQ(triggers, int(std::floor(last * 4.0 + 1e-9)) + 1);
}

INSTANTIATE_TEST_SUITE_P(BlockSizesAndRates, InternalClockGrid,
                         ::testing::Values(std::make_tuple(48000.0f, 480u), std::make_tuple(44100.0f, 64u),
                                           std::make_tuple(44100.0f, 1024u), std::make_tuple(96000.0f, 512u),
                                           std::make_tuple(44100.0f, 4096u)));

TEST(Clock, InternalAdvancesTwoHundredthsOfABeatPerBlockAt48k) {
    Clock clock;
    internalBlock(clock, 120.0, 480, 48000.0f);
    clock.internalSync_pre(k44, 120.0, false);
    EXPECT_NEAR(clock.beatPosition(), 0.02, 1e-12);
    EXPECT_NEAR(clock.quaterNotePosition(), 0.02, 1e-12);
    EXPECT_EQ(clock.sampleTime(), 480u);
    EXPECT_NEAR(clock.absoluteTime(), 0.01, 1e-12);
}

TEST(Clock, FirstBlockTriggersEveryGridAndTempoChangeDependsOnTempo) {
    Clock at120;
    at120.internalSync_pre(k44, 120.0, false);
    EXPECT_TRUE(at120.isTriggered_beat());
    EXPECT_TRUE(at120.isTriggered_4());
    EXPECT_TRUE(at120.isTriggered_6());
    EXPECT_TRUE(at120.isTriggered_8());
    EXPECT_TRUE(at120.isTriggered_12());
    EXPECT_TRUE(at120.isTriggered_16());
    EXPECT_TRUE(at120.isTriggered_32());
    EXPECT_EQ(at120.beat16(), 0);
    EXPECT_FALSE(at120.isTempoChanged());

    Clock at100;
    at100.internalSync_pre(k44, 100.0, false);
    EXPECT_TRUE(at100.isTempoChanged());
    EXPECT_DOUBLE_EQ(at100.secPerBeat(), 0.6);
    at100.internalSync_post(64, 44100.0f);
    at100.internalSync_pre(k44, 100.0, false);
    EXPECT_FALSE(at100.isTempoChanged());
}

TEST(Clock, RestartReturnsToZeroRewindsAndRetriggersMovedGrids) {
    Clock clock;
    for (int k = 0; k < 30; ++k) { // 0.6 beats in
        internalBlock(clock, 120.0, 480, 48000.0f);
    }
    clock.internalSync_pre(k44, 120.0, false);
    ASSERT_EQ(clock.beat4(), 0);
    ASSERT_EQ(clock.beat16(), 2);
    clock.internalSync_post(480, 48000.0f);

    clock.internalSync_pre(k44, 120.0, true);
    EXPECT_EQ(clock.beatPosition(), 0.0);
    EXPECT_TRUE(clock.isRewinded());
    EXPECT_FALSE(clock.isTriggered_4()); // count was already 0
    EXPECT_FALSE(clock.isTriggered_beat());
    EXPECT_TRUE(clock.isTriggered_16());
    EXPECT_TRUE(clock.isTriggered_32());
    EXPECT_EQ(clock.beat16(), 0);
}

TEST(Clock, HostJumpBackwardsRewinds) {
    Clock clock;
    clock.hostSync_pre(k44, 120.0, 8.0, 8.0);
    clock.hostSync_post(256, 44100.0f);
    clock.hostSync_pre(k44, 120.0, 8.1, 8.0);
    EXPECT_FALSE(clock.isRewinded());
    clock.hostSync_post(256, 44100.0f);
    clock.hostSync_pre(k44, 120.0, 4.0, 4.0);
    EXPECT_TRUE(clock.isRewinded());
    EXPECT_EQ(clock.syncMode(), Clock::SyncHost);
}

// A host position that cannot be counted leaves the clock where it stands: no trigger, no jump,
// and a usable position afterwards counts on as before.
TEST(Clock, HostPositionThatCannotBeCountedHoldsTheClock) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double beat, bar;
    };
    for (const Case c : {Case{nan, 8.0}, Case{inf, 8.0}, Case{-inf, 0.0}, Case{3.0e9, 8.0}, Case{-5.0e12, 8.0},
                         Case{8.25, nan}, Case{8.25, 1.0e300}}) {
        Clock clock;
        clock.hostSync_pre(k44, 120.0, 8.0, 8.0);
        clock.hostSync_post(256, 44100.0f);
        clock.hostSync_pre(k44, 120.0, c.beat, c.bar);
        EXPECT_DOUBLE_EQ(clock.beatPosition(), 8.0) << c.beat << " " << c.bar;
        EXPECT_FALSE(clock.isTriggered_beat());
        EXPECT_FALSE(clock.isTriggered_16());
        EXPECT_FALSE(clock.isRewinded());
        clock.hostSync_post(256, 44100.0f);
        clock.hostSync_pre(k44, 120.0, 9.0, 8.0);
        EXPECT_TRUE(clock.isTriggered_beat());
    }
}

// The counters and the bar position hold the very bits that floor and fmod give, zeros' signs
// included, over negative, whole, tiny and limit positions.
TEST(Clock, CountersAndBarPositionMatchFloorAndFmodBitForBit) {
    const double positions[] = {0.0,    -0.0,    0.25,   -0.25,  3.0,           -3.0,          -4.0,
                                7.999,  -7.999,  1e-300, -1e-300, 2147483646.5, -2147483646.0, -2147483645.5,
                                4.0e15, -4.0e15, 9.1e15, -9.1e15, 1.0e300};
    for (const double p : positions) {
        Clock::Counter counter;
        Clock::updateCounter(counter, p);
        const double whole = std::floor(p);
        const double fraction = p - whole;
        if (std::fabs(whole) < 2147483647.0) {
            EXPECT_EQ(counter.count, static_cast<int32_t>(whole)) << p;
            EXPECT_EQ(std::signbit(counter.fraction), std::signbit(fraction)) << p;
            EXPECT_EQ(counter.fraction, fraction) << p;
        } else {
            EXPECT_EQ(counter.count, -1) << p;
            EXPECT_FALSE(counter.triggered) << p;
        }
        for (const uint32_t numerator : {3u, 4u, 7u}) {
            double beats = std::fmod(whole, double(numerator));
            if (beats < 0.0) {
                beats += double(numerator);
            }
            const double bar = Clock::barPositionOf(p, numerator);
            EXPECT_EQ(std::signbit(bar), std::signbit(fraction + beats)) << p << " / " << numerator;
            EXPECT_EQ(bar, fraction + beats) << p << " / " << numerator;
        }
    }
}

TEST(Clock, HostWithoutBarStartGivesPositionWithinBar) {
    Clock clock;
    clock.hostSync_pre(k44, 120.0, 9.5, 0.0);
    EXPECT_DOUBLE_EQ(clock.beatPosition_bar(), 1.5);
    clock.hostSync_pre(k44, 120.0, 9.5, 8.0);
    EXPECT_DOUBLE_EQ(clock.beatPosition_bar(), 8.0);
}

// A host pre-roll counts in from below zero; the downbeat at 0 must fire when it is crossed.
TEST(Clock, HostPreRollCrossingZeroFiresDownbeat) {
    Clock clock;
    double const step = 120.0 / 60.0 * 512 / 44100.0;
    double p = -1.0;
    bool sawNegative = false;
    for (; p < 0.0; p += step) {
        clock.hostSync_pre(k44, 120.0, p, 0.0);
        sawNegative = true;
        EXPECT_EQ(clock.beatCounter().count, -1);
        EXPECT_GE(clock.beatCounter().fraction, 0.0);
        EXPECT_GE(clock.beatPosition_bar(), 3.0); // last beat of the previous bar
        clock.hostSync_post(512, 44100.0f);
    }
    ASSERT_TRUE(sawNegative);
    clock.hostSync_pre(k44, 120.0, p, 0.0);
    EXPECT_TRUE(clock.isTriggered_beat());
    EXPECT_TRUE(clock.isTriggered_4());
    EXPECT_TRUE(clock.isTriggered_16());
    EXPECT_EQ(clock.beatCounter().count, 0);
    EXPECT_EQ(clock.beat16(), 0);
    EXPECT_EQ(clock.beat(), 0);
}

// Looping back into the pre-roll is a rewind, not a grid point; the downbeat fires on the way
// up through 0.
TEST(Clock, HostJumpBackIntoPreRollIsSilentUntilZero) {
    Clock clock;
    clock.hostSync_pre(k44, 120.0, 8.25, 0.0);
    clock.hostSync_post(512, 44100.0f);
    clock.hostSync_pre(k44, 120.0, -0.05, 0.0);
    EXPECT_TRUE(clock.isRewinded());
    EXPECT_FALSE(clock.isTriggered_beat());
    EXPECT_FALSE(clock.isTriggered_16());
    EXPECT_EQ(clock.beat16(), -1);
    clock.hostSync_post(512, 44100.0f);
    clock.hostSync_pre(k44, 120.0, 0.02, 0.0);
    EXPECT_TRUE(clock.isTriggered_beat());
    EXPECT_TRUE(clock.isTriggered_16());
    EXPECT_EQ(clock.beat16(), 0);
}

TEST(Clock, DistancesToTriggers) {
    Clock clock;
    clock.hostSync_pre(k44, 120.0, 0.1875, 0.0); // sixteenths: 0.75
    EXPECT_DOUBLE_EQ(clock.distanceToTrigger_16(), -0.25);
    EXPECT_DOUBLE_EQ(clock.distanceToNextTrigger_16(), 0.25);
    EXPECT_DOUBLE_EQ(clock.distanceToTrigger_32(), 0.5 - 1.0);
    EXPECT_DOUBLE_EQ(clock.distanceToTrigger_8(), 0.375);
}

TEST(Clock, DenominatorScalesQuarterNoteGrids) {
    Clock clock;
    clock.hostSync_pre(TimeSignature{6, 8}, 120.0, 3.0, 0.0); // three eighths = 1.5 quarters
    EXPECT_DOUBLE_EQ(clock.beatPerQuaterNote(), 0.5);
    EXPECT_DOUBLE_EQ(clock.quaterNotePosition(), 1.5);
    EXPECT_EQ(clock.beat4(), 1);
    EXPECT_EQ(clock.beat6(), 2); // 1.5 x 1.5 = 2.25
    EXPECT_EQ(clock.beat16(), 6);
    EXPECT_EQ(clock.beat(), 3);
    EXPECT_DOUBLE_EQ(clock.secPerQuaterNote(), 0.25);
}
