// The delay: tempo-synced echo times at two tempos and their glide, echo gains with and without
// cross feedback, the send, the filter section's skip and glides, stability at full feedback,
// and repeatability.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "synthesis/voice/effects/Delay.h"
#include "EffectFixture.h"

namespace {

using namespace EffectTest;
using Lumora::Corvane::Module::Delay;

constexpr unsigned kBlock = 256;

class EffectDelay : public ::testing::Test {
protected:
    EffectDelay()
    {
        delay.reserve(kBlock);
        // Plain echoes: full send, no damping, no high-pass, no cross feedback, no modulation.
        set(p().send, 1.0f);
        set(p().hiDamp, 0.0f);
        set(p().crossFeedback, 0.0f);
        set(p().feedback, 0.5f);
    }

    Parameters::Delay& p() { return table.params.delay; }

    Stereo render(const std::vector<float>& inL, const std::vector<float>& inR, unsigned frames)
    {
        return renderInBlocks(inL, inR, frames, kBlock, clock, [&](float* l, float* r, unsigned n) {
            delay.process(l, r, l, r, n, kRate, clock, p(), 2, AudioQuality::Normal);
        });
    }

    // Lets the delay-time glide settle on its target (0.96 per block: 400 blocks leave 1e-7).
    void settle()
    {
        render({}, {}, 400 * kBlock);
        delay.reset();
    }

    Table table;
    TestClock clock;
    Delay delay;
};

// Index of the largest magnitude in [from, to).
std::size_t peakIndex(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    std::size_t best = from;
    for (std::size_t i = from; i < std::min(to, x.size()); ++i)
        if (std::fabs(x[i]) > std::fabs(x[best]))
            best = i;
    return best;
}

TEST_F(EffectDelay, EchoTimesFollowTheTempoInSixteenths)
{
    struct Case {
        double bpm;
        int timeL, timeR;
    };
    // Left: (n + 1) sixteenths of 60 / bpm / 4 seconds.
    const Case cases[] = {{120.0, 1, 3}, {90.0, 1, 3}, {150.0, 0, 7}};
    for (const Case& c : cases) {
        clock.setTempo(c.bpm);
        setChoice(p().timeL, c.timeL);
        setChoice(p().timeR, c.timeR);
        settle();
        const double sixteenth = 60.0 / c.bpm * 0.25 * kRate;
        const double expectedL = sixteenth * (c.timeL + 1);
        const double expectedR = sixteenth * (c.timeR + 1);
        EXPECT_NEAR(delay.smoothedTime(0) * kRate, expectedL, 0.1) << c.bpm;
        EXPECT_NEAR(delay.smoothedTime(1) * kRate, expectedR, 0.1) << c.bpm;
        const unsigned frames = unsigned(expectedR) + 2 * kBlock;
        const Stereo out = render(impulse(1), impulse(1), frames);
        EXPECT_NEAR(double(peakIndex(out.left, 1, frames)), expectedL, 1.0) << c.bpm;
        EXPECT_NEAR(double(peakIndex(out.right, 1, frames)), expectedR, 1.0) << c.bpm;
    }
}

TEST_F(EffectDelay, AtTheDefaultsLeftIsAnEighthAndRightAQuarterNote)
{
    Table defaults;
    Delay fresh;
    TestClock tempo120(120.0);
    std::vector<float> l(kBlock), r(kBlock);
    // Right after construction the time glides up from 0 at 4 % of the distance per block.
    fresh.process(l.data(), r.data(), l.data(), r.data(), kBlock, kRate, tempo120, defaults.params.delay, 2,
                  AudioQuality::Normal);
    EXPECT_NEAR(fresh.smoothedTime(0), 0.04 * 0.25, 1e-6);
    EXPECT_NEAR(fresh.smoothedTime(1), 0.04 * 0.5, 1e-6);
    for (int b = 1; b < 400; ++b)
        fresh.process(l.data(), r.data(), l.data(), r.data(), kBlock, kRate, tempo120, defaults.params.delay, 2,
                      AudioQuality::Normal);
    EXPECT_NEAR(fresh.smoothedTime(0), 0.25, 1e-5);
    EXPECT_NEAR(fresh.smoothedTime(1), 0.5, 1e-5);
}

TEST_F(EffectDelay, EchoGainsFollowSendFeedbackAndCrossFeedback)
{
    setChoice(p().timeL, 1);
    setChoice(p().timeR, 3);
    settle();
    const unsigned tL = 12000, tR = 24000;
    struct Case {
        float send, feedback, cross;
    };
    const Case cases[] = {{1.0f, 0.5f, 0.0f}, {0.5f, 0.8f, 0.0f}, {1.0f, 0.6f, 1.0f}};
    for (const Case& c : cases) {
        delay.reset();
        set(p().send, c.send);
        set(p().feedback, c.feedback);
        set(p().crossFeedback, c.cross);
        const Stereo out = render(impulse(1), {}, 3 * tR + kBlock);
        const double g = c.send * c.send;
        auto around = [](const std::vector<float>& x, unsigned at) { return DspTest::peak(x.data() + at - 2, 5); };
        EXPECT_NEAR(around(out.left, tL), g, 0.02 * g) << "first echo";
        if (c.cross == 0.0f) {
            // Each echo is the previous one times the feedback, on its own side only.
            EXPECT_NEAR(around(out.left, 2 * tL), g * c.feedback, 0.02 * g);
            EXPECT_NEAR(around(out.left, 3 * tL), g * c.feedback * c.feedback, 0.02 * g);
            EXPECT_LT(DspTest::peak(out.right), 1e-6);
        } else {
            // Ping-pong: the echo crosses to the right, a right delay later.
            EXPECT_NEAR(around(out.right, tL + tR), g * c.feedback, 0.02 * g);
            EXPECT_NEAR(around(out.left, 2 * tL + tR), g * c.feedback * c.feedback, 0.02 * g);
            EXPECT_LT(around(out.left, 2 * tL), 1e-4);
        }
    }
}

TEST_F(EffectDelay, SendZeroOrSwitchedOffPassesTheDrySignal)
{
    const auto inL = noise(8192, 0.5f, 1);
    const auto inR = noise(8192, 0.5f, 2);
    set(p().send, 0.0f);
    set(p().filter.wet, 1.0f);
    set(p().filter.drive, 1.0f);
    Stereo out = render(inL, inR, 8192);
    EXPECT_EQ(out.left, inL);
    EXPECT_EQ(out.right, inR);

    set(p().send, 1.0f);
    p().enabled = false;
    out = render(inL, inR, 8192);
    EXPECT_EQ(out.left, inL);
    EXPECT_EQ(out.right, inR);
}

TEST_F(EffectDelay, FilterWetZeroSkipsFilterAndDrive)
{
    set(p().filter.wet, 0.0f);
    set(p().filter.freq, 0.2f);
    const auto in = noise(30000, 0.5f);
    const Stereo plain = render(in, in, 30000);
    Delay other;
    TestClock otherClock;
    set(p().filter.drive, 1.0f);
    set(p().filter.reso, 1.0f);
    Stereo driven{in, in};
    for (unsigned at = 0; at < 30000; at += kBlock) {
        const unsigned n = std::min(kBlock, 30000 - at);
        other.process(driven.left.data() + at, driven.right.data() + at, driven.left.data() + at,
                      driven.right.data() + at, n, kRate, otherClock, p(), 2, AudioQuality::Normal);
        otherClock.advance(n);
    }
    EXPECT_EQ(plain.left, driven.left);
    EXPECT_EQ(plain.right, driven.right);
}

TEST_F(EffectDelay, FilterDarkensTheEchoesOnly)
{
    setChoice(p().timeL, 0);
    setChoice(p().timeR, 0);
    set(p().feedback, 0.0f);
    settle();
    set(p().filter.wet, 1.0f);
    set(p().filter.freq, 0.3f);
    const auto in = sine(24000, 0.5f, 4000.0f);
    const Stereo out = render(in, in, 24000);
    // The dry sine passes at full level; its echo (the output minus the input) is filtered far
    // below the cutoff's 2^(2.4 - 8) of Nyquist, about 500 Hz.
    std::vector<float> echo(out.left.size());
    for (std::size_t i = 0; i < echo.size(); ++i)
        echo[i] = out.left[i] - in[i];
    EXPECT_LT(DspTest::rms(echo.data() + 12000, 12000), 0.05 * DspTest::rms(in.data() + 12000, 12000));
}

TEST_F(EffectDelay, FilterWetChangesGlideOnBothSidesAlsoIntoTheSkip)
{
    // Steady echoes of a low sine, the filter wet switched between 0 and 1 every few blocks:
    // neither side may step, including when the section is skipped at wet 0.
    setChoice(p().timeL, 0);
    setChoice(p().timeR, 1);
    set(p().feedback, 0.5f);
    set(p().crossFeedback, 0.5f);
    set(p().filter.freq, 0.25f);
    settle();
    const unsigned n = 160 * kBlock;
    const auto in = sine(n, 0.5f, 60.0f);
    Stereo out{in, in};
    for (unsigned b = 0; b < n / kBlock; ++b) {
        set(p().filter.wet, (b / 6) % 2 == 0 ? 1.0f : 0.0f);
        const unsigned at = b * kBlock;
        float* l = out.left.data() + at;
        float* r = out.right.data() + at;
        delay.process(l, r, l, r, kBlock, kRate, clock, p(), 2, AudioQuality::Normal);
        clock.advance(kBlock);
    }
    // The echoes are near 0.5 at 60 Hz, where the filter removes little; a step between the
    // filtered and unfiltered echo would still read near 0.05, a glide stays far below.
    EXPECT_LT(maxCurvature(out.left, 40 * kBlock, n), 0.005);
    EXPECT_LT(maxCurvature(out.right, 40 * kBlock, n), 0.005);
}

// The wet amount glides over 10 ms whatever the block size: a switch from filtered to unfiltered
// echoes sounds the same in blocks of 32 as in blocks of 256 (a crossfade over one block would end
// 32 or 256 samples after the switch).
TEST_F(EffectDelay, FilterWetGlidesOverTheSameSamplesAtEveryBlockSize)
{
    set(p().filter.freq, 0.25f);
    // The left echo comes an eighth note (12000 samples) on.
    const unsigned n = 96 * kBlock;
    const unsigned change = 64 * kBlock;
    const auto in = sine(n, 0.5f, 3000.0f);
    auto play = [&](unsigned block) {
        Delay d;
        d.reserve(kBlock);
        TestClock c;
        set(p().filter.wet, 1.0f);
        std::vector<float> silence(kBlock, 0.0f);
        for (int b = 0; b < 400; ++b) {
            std::vector<float> l = silence, r = silence;
            d.process(l.data(), r.data(), l.data(), r.data(), kBlock, kRate, c, p(), 2, AudioQuality::Normal);
            c.advance(kBlock);
        }
        Stereo out{in, in};
        for (unsigned at = 0; at < n; at += block) {
            set(p().filter.wet, at < change ? 1.0f : 0.0f);
            float* l = out.left.data() + at;
            float* r = out.right.data() + at;
            d.process(l, r, l, r, block, kRate, c, p(), 2, AudioQuality::Normal);
            c.advance(block);
        }
        return out.left;
    };
    const auto small = play(32);
    const auto large = play(kBlock);
    // The unfiltered echoes the switch brings back.
    double echo = 0.0;
    for (unsigned i = n - 4096; i < n; ++i)
        echo = std::max(echo, double{std::fabs(large[i] - in[i])});
    double apart = 0.0;
    for (unsigned i = change - 4 * kBlock; i < n; ++i)
        apart = std::max(apart, double{std::fabs(small[i] - large[i])});
    ASSERT_GT(echo, 0.1);
    EXPECT_LT(apart, 0.01 * echo);
}

TEST_F(EffectDelay, DriveReachingOrLeavingZeroGlides)
{
    // Filtered echoes of a low sine, the drive switched between 0 and 0.1 every few blocks: the drive
    // stage (its shaped share about 0.01 of the echo there) and its DC blocker (which at 60 Hz alone
    // moves the echo by about a third of it) may neither step in nor out.
    setChoice(p().timeL, 0);
    setChoice(p().timeR, 1);
    set(p().feedback, 0.5f);
    set(p().filter.wet, 1.0f);
    set(p().filter.freq, 0.5f);
    settle();
    const unsigned n = 160 * kBlock;
    const auto in = sine(n, 0.5f, 60.0f);
    Stereo out{in, in};
    for (unsigned b = 0; b < n / kBlock; ++b) {
        set(p().filter.drive, (b / 6) % 2 == 0 ? 0.0f : 0.1f);
        const unsigned at = b * kBlock;
        float* l = out.left.data() + at;
        float* r = out.right.data() + at;
        delay.process(l, r, l, r, kBlock, kRate, clock, p(), 2, AudioQuality::Normal);
        clock.advance(kBlock);
    }
    EXPECT_TRUE(DspTest::allClean(out.left));
    EXPECT_LT(maxCurvature(out.left, 40 * kBlock, n), 0.005);
    EXPECT_LT(maxCurvature(out.right, 40 * kBlock, n), 0.005);
}

TEST_F(EffectDelay, FullFeedbackStaysBoundedAndClean)
{
    set(p().feedback, 1.0f);
    set(p().crossFeedback, 1.0f);
    set(p().timeModDepth, 1.0f);
    set(p().timeModLfo.rate, 1.0f);
    set(p().filter.wet, 1.0f);
    set(p().filter.reso, 1.0f);
    set(p().filter.drive, 1.0f);
    set(p().filter.modDepth, 1.0f);
    set(p().filter.lfo.rate, 1.0f);
    setChoice(p().timeL, 0);
    setChoice(p().timeR, 2);
    const unsigned n = unsigned(kRate * 4);
    const Stereo out = render(noise(n / 2, 1.0f, 3), noise(n / 2, 1.0f, 4), n);
    ASSERT_TRUE(clean(out));
    EXPECT_LT(DspTest::peak(out.left), 100.0);
    EXPECT_LT(DspTest::peak(out.right), 100.0);
    // The echoes keep ringing after the input stopped.
    EXPECT_GT(DspTest::rms(out.left.data() + n - 9600, 9600), 1e-3);
}

TEST_F(EffectDelay, SlowTempoTimesStopAtTheWholeBuffer)
{
    // Eight sixteenths at 20 bpm are 6 s, beyond the 131072-sample buffer (2.73 s at 48 kHz).
    clock.setTempo(20.0);
    setChoice(p().timeL, 7);
    setChoice(p().timeR, 7);
    settle();
    EXPECT_FLOAT_EQ(delay.echo().delayTime(0), 1.0f);
    const Stereo out = render(impulse(1), {}, 131072 + 2 * kBlock);
    ASSERT_TRUE(clean(out));
    EXPECT_NEAR(double(peakIndex(out.left, 1, out.left.size())), 131072.0, 1.0);
}

TEST_F(EffectDelay, IdenticalInputGivesIdenticalOutputAndReadbacksPublish)
{
    set(p().timeModDepth, 0.7f);
    set(p().filter.wet, 0.6f);
    set(p().filter.modDepth, 0.8f);
    set(p().filter.drive, 0.5f);
    const auto inL = noise(16384, 0.5f, 8);
    const auto inR = noise(16384, 0.5f, 9);
    const Stereo first = render(inL, inR, 16384);
    Delay other;
    TestClock otherClock;
    Stereo second{inL, inR};
    for (unsigned at = 0; at < 16384; at += kBlock) {
        other.process(second.left.data() + at, second.right.data() + at, second.left.data() + at,
                      second.right.data() + at, kBlock, kRate, otherClock, p(), 2, AudioQuality::Normal);
        otherClock.advance(kBlock);
    }
    EXPECT_EQ(first.left, second.left);
    EXPECT_EQ(first.right, second.right);

    EXPECT_TRUE(delay.publishReadbacks(p()));
    EXPECT_FLOAT_EQ(p().timeModLfo.output.normalizedValue(), delay.timeModRateOutput().value());
    EXPECT_FLOAT_EQ(p().filter.lfo.output.normalizedValue(), delay.filterRateOutput().value());
    EXPECT_FALSE(delay.publishReadbacks(p()));
}

} // namespace
