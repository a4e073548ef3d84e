#include <gtest/gtest.h>

#include <cmath>

#include "engine/clock/Clock.h"
#include "engine/clock/GrooveClockAdapter.h"

using Lumora::Clock;
using Lumora::GrooveClockAdapter;
using Lumora::TimeSignature;

namespace {
constexpr TimeSignature k44{4, 4};
}

TEST(GrooveClock, WithoutSwingOrShiftEqualsTheClock) {
    Clock clock;
    GrooveClockAdapter groove;
    for (int k = 0; k < 200; ++k) {
        clock.internalSync_pre(k44, 133.0, false);
        groove.process(&clock, 0.0, 0.0);
        EXPECT_EQ(groove.beatPosition(), clock.beatPosition());
        EXPECT_EQ(groove.isTriggered_16(), clock.isTriggered_16());
        EXPECT_EQ(groove.isTriggered_6(), clock.isTriggered_6());
        EXPECT_EQ(groove.beat32(), clock.beat32());
        EXPECT_EQ(groove.distanceToTrigger_8(), clock.distanceToTrigger_8());
        EXPECT_EQ(groove.bpm(), clock.bpm());
        EXPECT_EQ(groove.sampleTime(), clock.sampleTime());
        clock.internalSync_post(300, 44100.0f);
    }
}

TEST(GrooveClock, FullSwingDelaysOffbeatSixteenthToAThirdOfABeat) {
    EXPECT_DOUBLE_EQ(GrooveClockAdapter::swingWarp(0.5, 1.0) / 2.0, 0.1875);
    Clock clock;
    GrooveClockAdapter groove;
    clock.hostSync_pre(k44, 120.0, 0.25, 0.0);
    groove.process(&clock, 1.0, 0.0);
    EXPECT_DOUBLE_EQ(groove.beatPosition(), 0.1875);
    EXPECT_EQ(groove.beat16(), 0);
    // Scan: the groove's sixteenth 1 starts where the clock reaches 1/3 beat.
    double firstPastOne = -1.0;
    for (double p = 0.0; p < 0.5; p += 0.001) {
        clock.hostSync_pre(k44, 120.0, p, 0.0);
        groove.process(&clock, 1.0, 0.0);
        if (groove.beat16() == 1 && firstPastOne < 0.0) {
            firstPastOne = p;
        }
    }
    EXPECT_NEAR(firstPastOne, 1.0 / 3.0, 0.001);
    // Eighth-note points are not moved by swing.
    EXPECT_DOUBLE_EQ(GrooveClockAdapter::swingWarp(3.0, 1.0), 3.0);
}

TEST(GrooveClock, SwingWarpIsMonotonicAndContinuousAcrossZero) {
    for (double w : {0.25, 0.5, 1.0}) {
        double previous = GrooveClockAdapter::swingWarp(-3.0, w);
        for (double x = -3.0 + 0.01; x < 3.0; x += 0.01) {
            double const y = GrooveClockAdapter::swingWarp(x, w);
            EXPECT_GT(y, previous) << "x " << x << " w " << w;
            EXPECT_LT(y - previous, 0.02) << "x " << x << " w " << w;
            previous = y;
        }
    }
}

TEST(GrooveClock, PositiveShiftDelaysGridAndFiresDownbeatAfterZero) {
    Clock clock;
    GrooveClockAdapter groove;
    int clockFirst = -1;
    int grooveFirst = -1;
    bool grooveDownbeat = false;
    for (int k = 0; k < 100; ++k) { // 0.02 beats per block
        clock.internalSync_pre(k44, 120.0, false);
        groove.process(&clock, 0.0, 0.2);
        EXPECT_NEAR(groove.beatPosition(), clock.beatPosition() - 0.2, 1e-12);
        if (k > 0 && clock.isTriggered_16() && clock.beat16() == 2 && clockFirst < 0) {
            clockFirst = k;
        }
        if (k > 0 && groove.isTriggered_16() && groove.beat16() == 2 && grooveFirst < 0) {
            grooveFirst = k;
        }
        if (k > 0 && groove.isTriggered_16() && groove.beat16() == 0) {
            grooveDownbeat = true;
        }
        clock.internalSync_post(480, 48000.0f);
    }
    EXPECT_EQ(grooveFirst - clockFirst, 10); // 0.2 beats = 10 blocks
    EXPECT_TRUE(grooveDownbeat);
}

TEST(GrooveClock, FirstProcessTriggersEveryGrid) {
    Clock clock;
    GrooveClockAdapter groove;
    clock.internalSync_pre(k44, 120.0, false);
    groove.process(&clock, 0.5, 0.0);
    EXPECT_TRUE(groove.isTriggered_4());
    EXPECT_TRUE(groove.isTriggered_6());
    EXPECT_TRUE(groove.isTriggered_8());
    EXPECT_TRUE(groove.isTriggered_12());
    EXPECT_TRUE(groove.isTriggered_16());
    EXPECT_TRUE(groove.isTriggered_32());
}
