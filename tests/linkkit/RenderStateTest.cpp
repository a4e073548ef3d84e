#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "linkkit/ABLLink.h"
#include "linkkit/ABLLinkRenderState.h"
#include "linkkit/ABLLinkSession.h"

namespace {

constexpr std::uint64_t kTicksPerSecond = 1'000'000'000;

// The integer beat arithmetic, written out independently: everything in microbeats and
// microseconds, each step rounded to the nearest integer, halves away from zero.
std::int64_t referencePhase(std::int64_t x, std::int64_t q)
{
    x += q * ((std::llabs(x) + q) / q);
    return x % q;
}

double referenceBeatAt(ABLLinkTimeline const& tl, double factor, std::uint64_t hostTime, double quantum)
{
    auto const t = std::llround(factor * static_cast<double>(hostTime));
    auto const u = std::llround(60'000'000.0 / tl.tempo);
    auto const m = std::llround(static_cast<double>(t - tl.timeOrigin) / static_cast<double>(u) * 1'000'000.0);
    auto const q = std::llround(quantum * 1'000'000.0);
    auto const b = m + tl.beatOrigin - std::llround(static_cast<double>(q) / 1'000'000.0 * 0.5 * 1'000'000.0);
    auto const r = q == 0 ? 0 : (referencePhase(m, q) - referencePhase(b, q) + q) % q;
    return static_cast<double>(b + r) / 1'000'000.0;
}

ABLLinkRenderState stateWith(ABLLinkTimeline timeline)
{
    ABLLinkRenderState state;
    state.capture(timeline, {});
    return state;
}

} // namespace

TEST(LinkRenderState, HostTicksAreNanosecondsRoundedToTheNearestMicrosecond)
{
    ABLLinkRenderState state;
    EXPECT_EQ(state.hostTimeToMicros(0), 0);
    EXPECT_EQ(state.hostTimeToMicros(1'499), 1);
    EXPECT_EQ(state.hostTimeToMicros(1'500), 2);   // halves away from zero
    EXPECT_EQ(state.hostTimeToMicros(3 * kTicksPerSecond), 3'000'000);
    EXPECT_EQ(ABLHostClock::ticksToMicros(2'500).count(), 3);

    auto const before = ABLHostClock::ticks();
    auto const now = ABLHostClock {}.micros().count();
    auto const after = ABLHostClock::ticks();
    EXPECT_LE(before, after);
    EXPECT_GE(now, state.hostTimeToMicros(before));
    EXPECT_LE(now, state.hostTimeToMicros(after));
}

TEST(LinkRenderState, ChangeTempoLimitsTheTempoAndKeepsTheBeatAtTheGivenTime)
{
    struct Case {
        double requested;
        double stored;
    };
    for (auto const [requested, stored] : { Case { 1000.0, 999.0 }, Case { 10.0, 20.0 }, Case { 87.5, 87.5 },
             Case { 999.0, 999.0 }, Case { 20.0, 20.0 } }) {
        SCOPED_TRACE(requested);
        auto state = stateWith({ 120.0, 3'250'000, 1'234'567 });
        std::uint64_t const at = 41 * kTicksPerSecond + 123'456'789;
        double const beatBefore = ABLLinkRenderStateBeatAt(&state, at, 0.0);

        ABLLinkRenderStateChangeTempo(&state, at, requested);

        EXPECT_EQ(ABLLinkRenderStateTempo(&state), stored);
        // The time origin is a whole microsecond: the beat may move by what half a microsecond
        // holds at the new tempo, plus one microbeat of rounding.
        double const tolerance = 1e-6 + 0.5e-6 * stored / 60.0;
        EXPECT_NEAR(ABLLinkRenderStateBeatAt(&state, at, 0.0), beatBefore, tolerance);
        EXPECT_EQ(state.timeline.beatOrigin, 3'250'000);
        EXPECT_TRUE(state.timelineChanged());
        // One second later the new tempo runs (a beat lasts a whole number of microseconds).
        double const beatsPerSecond = 1e6 / static_cast<double>(std::llround(60e6 / stored));
        EXPECT_NEAR(ABLLinkRenderStateBeatAt(&state, at + kTicksPerSecond, 0.0) - beatBefore, beatsPerSecond, 2 * tolerance);
    }
}

TEST(LinkRenderState, ChangeTempoFollowsTheIntegerTimeline)
{
    // t = 10 s; u = 500,000 us; M = 19,000,000 microbeats; new u = 600,000 us (100 BPM):
    // time origin = t - 19 x 600,000.
    auto state = stateWith({ 120.0, 7'000'000, 500'000 });
    ABLLinkRenderStateChangeTempo(&state, 10 * kTicksPerSecond, 100.0);
    EXPECT_EQ(state.timeline.tempo, 100.0);
    EXPECT_EQ(state.timeline.timeOrigin, 10'000'000 - 19 * 600'000);
    EXPECT_EQ(state.timeline.beatOrigin, 7'000'000);
}

TEST(LinkRenderState, ATempoThatIsNotANumberChangesNothing)
{
    auto state = stateWith({ 120.0, 0, 0 });
    ABLLinkRenderStateChangeTempo(&state, kTicksPerSecond, std::nan(""));
    EXPECT_EQ(state.tempo(), 120.0);
    EXPECT_FALSE(state.timelineChanged());
}

TEST(LinkRenderState, BeatAtAlignsThePhaseToTheBeatsSinceTheTimeOrigin)
{
    // Beat origin 0: the phase of the timeline beat already is that of the elapsed beats.
    auto plain = stateWith({ 120.0, 0, 2'000'000 });
    for (std::uint64_t seconds : { 0, 2, 3, 7, 100 }) {
        auto const at = seconds * kTicksPerSecond + 250'000'000;
        EXPECT_NEAR(ABLLinkRenderStateBeatAt(&plain, at, 4.0), ABLLinkRenderStateBeatAt(&plain, at, 0.0), 1e-9)
            << seconds;
    }

    // Beat origin one beat: the answer lies within two beats of the timeline beat and is
    // congruent, modulo 4, to the beats elapsed since the time origin.
    auto shifted = stateWith({ 120.0, 1'000'000, 2'000'000 });
    for (std::uint64_t millis : { 0, 900, 2'000, 3'100, 5'000, 12'345, 100'000 }) {
        SCOPED_TRACE(millis);
        auto const at = millis * 1'000'000;
        double const timeline = ABLLinkRenderStateBeatAt(&shifted, at, 0.0);
        double const elapsed = timeline - 1.0;
        double const aligned = ABLLinkRenderStateBeatAt(&shifted, at, 4.0);
        EXPECT_LE(std::abs(aligned - timeline), 2.0);
        double const difference = std::fmod(aligned - elapsed, 4.0);
        EXPECT_NEAR(std::min(std::abs(difference), 4.0 - std::abs(difference)), 0.0, 1e-6);
    }
}

TEST(LinkRenderState, BeatAtMatchesTheIntegerArithmetic)
{
    struct Case {
        ABLLinkTimeline timeline;
        std::uint64_t hostTime;
        double quantum;
    };
    Case const cases[] = {
        { { 120.0, 0, 0 }, 5 * kTicksPerSecond, 4.0 },
        { { 120.0, 1'000'000, 2'000'000 }, 3 * kTicksPerSecond, 4.0 },
        { { 97.3, -2'500'000, 9'876'543 }, 77 * kTicksPerSecond + 1'700, 4.0 },
        { { 140.0, 123'456, 50'000'000 }, 1 * kTicksPerSecond, 4.0 },       // before the time origin
        { { 60.0, 5'000'000, 0 }, 10 * kTicksPerSecond + 500, 3.0 },
        { { 999.0, 0, 17 }, 1'000 * kTicksPerSecond, 7.5 },
        { { 20.0, 42, 0 }, 4 * kTicksPerSecond, 0.0 },
    };
    for (auto const& c : cases) {
        auto state = stateWith(c.timeline);
        EXPECT_DOUBLE_EQ(ABLLinkRenderStateBeatAt(&state, c.hostTime, c.quantum),
            referenceBeatAt(c.timeline, state.hostTimeFactor, c.hostTime, c.quantum))
            << c.timeline.tempo << " " << c.hostTime << " " << c.quantum;
    }
}

TEST(LinkRenderState, AQuantumThatIsNotFiniteGivesThePlainBeat)
{
    auto state = stateWith({ 120.0, 1'000'000, 0 });
    EXPECT_DOUBLE_EQ(ABLLinkRenderStateBeatAt(&state, 3 * kTicksPerSecond, std::nan("")), 7.0);
    EXPECT_DOUBLE_EQ(ABLLinkRenderStateBeatAt(&state, 3 * kTicksPerSecond, INFINITY), 7.0);
}

TEST(LinkRenderState, ACommitHandsOverOnlyWhatChanged)
{
    auto const now = std::chrono::microseconds(5'000'000);
    auto state = stateWith({ 120.0, 0, 1'000 });

    auto const unchanged = ABLLinkSession::changesOf(state, now);
    EXPECT_FALSE(unchanged.timeline);
    EXPECT_FALSE(unchanged.startStopState);

    ABLLinkRenderStateChangeTempo(&state, 2 * kTicksPerSecond, 90.0);
    auto const tempo = ABLLinkSession::changesOf(state, now);
    ASSERT_TRUE(tempo.timeline);
    EXPECT_EQ((*tempo.timeline).tempo.bpm(), 90.0);
    EXPECT_EQ((*tempo.timeline).timeOrigin.count(), state.timeline.timeOrigin);
    EXPECT_FALSE(tempo.startStopState);
    EXPECT_EQ(tempo.timelineTimestamp, now);

    state.capture(state.timeline, {});
    state.startStop = { true, 4'000'000 };
    auto const playing = ABLLinkSession::changesOf(state, now);
    EXPECT_FALSE(playing.timeline);
    ASSERT_TRUE(playing.startStopState);
    EXPECT_TRUE((*playing.startStopState).isPlaying);
    EXPECT_EQ((*playing.startStopState).time.count(), 4'000'000);
    EXPECT_EQ((*playing.startStopState).timestamp, now);
}
