// The chorus: dry and wet ends, the measured sweep of its delay (depth and rate), stereo spread,
// glides of the wet amount on both sides, and repeatability.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "synthesis/voice/effects/Chorus.h"
#include "EffectFixture.h"

namespace {

using namespace EffectTest;
using Lumora::Corvane::Module::Chorus;

constexpr unsigned kBlock = 128;
constexpr unsigned kBufferSize = 2048;

class EffectChorus : public ::testing::Test {
protected:
    EffectChorus() { chorus.reserve(kBlock); }

    Parameters::Chorus& p() { return table.params.chorus; }

    Stereo render(const std::vector<float>& in, unsigned block = kBlock)
    {
        Stereo out{std::vector<float>(in.size()), std::vector<float>(in.size())};
        for (unsigned at = 0; at < in.size(); at += block) {
            const unsigned n = std::min<unsigned>(block, unsigned(in.size()) - at);
            chorus.process(out.left.data() + at, out.right.data() + at, in.data() + at, n, kRate, clock, p(), 2,
                           AudioQuality::Normal);
            clock.advance(n);
        }
        return out;
    }

    Table table;
    TestClock clock;
    Chorus chorus;
};

TEST_F(EffectChorus, WetZeroOrSwitchedOffGivesTheDryInputOnBothSides)
{
    const auto in = noise(4096, 0.5f);
    set(p().wet, 0.0f);
    set(p().depth, 1.0f);
    Stereo out = render(in);
    for (unsigned i = 0; i < in.size(); ++i) {
        ASSERT_NEAR(out.left[i], in[i], 1e-6f) << i;
        ASSERT_NEAR(out.right[i], in[i], 1e-6f) << i;
    }
    set(p().wet, 1.0f);
    p().enabled = false;
    out = render(in);
    EXPECT_EQ(out.left, in);
    EXPECT_EQ(out.right, in);
}

TEST_F(EffectChorus, FullWetIsEightyPercentChorusAtTheBaseDelay)
{
    // Depth 0: every read point sits at 0.325 of the buffer, 665.6 samples, on both sides, and
    // each side is main line + its tap. An impulse shows the delay and the crossfade weights.
    set(p().wet, 1.0f);
    set(p().depth, 0.0f);
    const Stereo out = render(impulse(2048));
    const double dryWeight = std::pow(std::sin(0.2 * DspTest::kPi / 2.0), 1.5);
    EXPECT_NEAR(out.left[0], dryWeight, 1e-5);
    std::vector<float> wetL(out.left.begin() + 1, out.left.end());
    const auto peakAt = std::max_element(wetL.begin(), wetL.end()) - wetL.begin() + 1;
    EXPECT_NEAR(double(peakAt), 0.325 * kBufferSize, 4.0);
    EXPECT_EQ(out.left, out.right);
}

// The delay the chorus applies, recovered from a slow ramp: a ramp delayed by D samples is the
// ramp minus D times its slope. Each side is the crossfade of the dry ramp and (main + tap), so
// the mean delay of main and tap is n - (out - wA x) / (2 wB k).
std::vector<double> measuredDelay(const std::vector<float>& out, const std::vector<float>& ramp, double slope)
{
    const double wA = std::pow(std::sin(0.2 * DspTest::kPi / 2.0), 1.5);
    const double wB = std::pow(std::sin(0.8 * DspTest::kPi / 2.0), 1.5);
    std::vector<double> d(out.size());
    for (std::size_t i = 0; i < out.size(); ++i)
        d[i] = double(i) - (out[i] - wA * ramp[i]) / (2.0 * wB * slope);
    return d;
}

// Mean distance between upward crossings of the signal's mid level, in samples.
double period(const std::vector<double>& x, std::size_t from)
{
    const auto [lo, hi] = std::minmax_element(x.begin() + long(from), x.end());
    const double mid = 0.5 * (*lo + *hi);
    double first = -1.0, last = -1.0;
    int count = 0;
    for (std::size_t i = from + 1; i < x.size(); ++i) {
        if (x[i - 1] < mid && x[i] >= mid) {
            if (first < 0.0)
                first = double(i);
            else
                ++count;
            last = double(i);
        }
    }
    return count > 0 ? (last - first) / count : 0.0;
}

constexpr double kSlope = 1.0e-5;
constexpr unsigned kRampFrames = 938 * kBlock; // about 2.5 s

// The delays of both sides through a fresh chorus at full wet with the table's settings.
struct Delays {
    std::vector<double> left;
    std::vector<double> right;
};
Delays rampDelays(Parameters::Chorus& p)
{
    std::vector<float> ramp(kRampFrames);
    for (unsigned i = 0; i < kRampFrames; ++i)
        ramp[i] = float(kSlope * i);
    Chorus chorus;
    chorus.reserve(kBlock);
    TestClock clock;
    set(p.wet, 1.0f);
    std::vector<float> left(kRampFrames), right(kRampFrames);
    for (unsigned at = 0; at < kRampFrames; at += kBlock) {
        chorus.process(left.data() + at, right.data() + at, ramp.data() + at, kBlock, kRate, clock, p, 2,
                       AudioQuality::Normal);
        clock.advance(kBlock);
    }
    return {measuredDelay(left, ramp, kSlope), measuredDelay(right, ramp, kSlope)};
}

TEST_F(EffectChorus, SweepDepthAndRateFollowTheSettings)
{
    struct Case {
        float depth, rate;
    };
    const Case cases[] = {{1.0f, 0.7f}, {0.5f, 0.7f}, {1.0f, 0.55f}, {0.0f, 0.7f}};
    set(p().spread, 0.0f);
    for (const Case& c : cases) {
        set(p().depth, c.depth);
        set(p().lfo.rate, c.rate);
        const auto d = rampDelays(p()).left;
        const std::size_t settled = kBufferSize;
        const auto [lo, hi] = std::minmax_element(d.begin() + long(settled), d.end());
        // The sweep spans base m (the read points of main and tap, 0.05 cycles apart, average
        // to cos(0.05 pi) of the full swing).
        const double m = c.depth * c.depth * c.depth * 0.8;
        const double expectedSwing = 0.325 * kBufferSize * m * std::cos(0.05 * DspTest::kPi);
        EXPECT_NEAR(*hi - *lo, expectedSwing, 0.05 * expectedSwing + 1.0) << "depth " << c.depth;
        EXPECT_NEAR(*hi, 0.325 * kBufferSize, 6.0) << "depth " << c.depth;
        if (c.depth > 0.0f) {
            const double wavelength = 10.0 * std::pow(1.0 - c.rate, 3.0) + 0.2;
            EXPECT_NEAR(period(d, settled) / kRate, wavelength, 0.03 * wavelength) << "rate " << c.rate;
        }
    }
}

TEST_F(EffectChorus, SpreadSetsHowFarTheSidesSweepApart)
{
    // The side taps run p/2 cycles ahead of and behind the main sweep, p = 0.9 s^3 + 0.1, so the
    // sides' mean delays differ by at most base m sin(pi p) / 2: widest at p = 0.5, and back to
    // equal sides at full spread, where both taps meet half a cycle away from the main sweep.
    set(p().depth, 1.0f);
    set(p().lfo.rate, 0.7f);
    for (float spread : {0.0f, 0.7631f, 1.0f}) {
        set(p().spread, spread);
        const Delays d = rampDelays(p());
        double widest = 0.0;
        for (std::size_t i = kBufferSize; i < d.left.size(); ++i)
            widest = std::max(widest, std::fabs(d.left[i] - d.right[i]));
        const double pShift = 0.9 * spread * spread * spread + 0.1;
        const double expected = 0.325 * kBufferSize * 0.8 * std::sin(DspTest::kPi * pShift) / 2.0;
        EXPECT_NEAR(widest, expected, 0.05 * expected + 2.0) << "spread " << spread;
    }
}

TEST_F(EffectChorus, WetChangesGlideOnBothSides)
{
    // A steady sine through a still chorus (depth 0): the only changes are those of the wet
    // amount between blocks, and neither side may step.
    set(p().depth, 0.0f);
    const unsigned n = 64 * kBlock;
    const auto in = sine(n, 0.5f, 100.0f);
    Stereo out{std::vector<float>(n), std::vector<float>(n)};
    for (unsigned b = 0; b < n / kBlock; ++b) {
        set(p().wet, (b / 4) % 2 == 0 ? 0.0f : 1.0f);
        const unsigned at = b * kBlock;
        chorus.process(out.left.data() + at, out.right.data() + at, in.data() + at, kBlock, kRate, clock, p(), 2,
                       AudioQuality::Normal);
    }
    // A glide across one block bends the output by about 0.01 where it starts and ends; a step
    // of the wet weight on a chorus signal of amplitude 1 would be near 0.9.
    EXPECT_LT(maxCurvature(out.left, 2 * kBufferSize, n), 0.03);
    EXPECT_LT(maxCurvature(out.right, 2 * kBufferSize, n), 0.03);
}

TEST_F(EffectChorus, OutputMayBeTheInputBuffer)
{
    set(p().wet, 0.6f);
    const auto in = noise(1024, 0.5f);
    Chorus other;
    TestClock otherClock;
    std::vector<float> l(1024), r(1024);
    other.process(l.data(), r.data(), in.data(), 1024, kRate, otherClock, p(), 2, AudioQuality::Normal);
    std::vector<float> inPlace(in), right(1024);
    chorus.process(inPlace.data(), right.data(), inPlace.data(), 1024, kRate, clock, p(), 2, AudioQuality::Normal);
    EXPECT_EQ(inPlace, l);
    EXPECT_EQ(right, r);
}

TEST_F(EffectChorus, IdenticalInputGivesIdenticalOutput)
{
    set(p().wet, 0.7f);
    set(p().depth, 0.8f);
    set(p().spread, 0.5f);
    const auto in = noise(8192, 0.5f);
    const Stereo first = render(in);
    Chorus other;
    other.reserve(kBlock);
    TestClock otherClock;
    Stereo second{std::vector<float>(in.size()), std::vector<float>(in.size())};
    for (unsigned at = 0; at < in.size(); at += kBlock) {
        other.process(second.left.data() + at, second.right.data() + at, in.data() + at, kBlock, kRate, otherClock,
                      p(), 2, AudioQuality::Normal);
        otherClock.advance(kBlock);
    }
    EXPECT_EQ(first.left, second.left);
    EXPECT_EQ(first.right, second.right);
    EXPECT_TRUE(clean(first));
}

TEST_F(EffectChorus, RateReadbackIsTheFirstLfoLevelAndIsPublishedOnRequest)
{
    set(p().lfo.rate, 0.9f);
    render(std::vector<float>(3000, 0.0f), 1000);
    const float level = chorus.rateOutput().value();
    EXPECT_GT(level, 0.0f);
    EXPECT_LE(level, 1.0f);
    EXPECT_TRUE(chorus.publishReadbacks(p()));
    EXPECT_FLOAT_EQ(p().lfo.output.normalizedValue(), level);
    EXPECT_FALSE(chorus.publishReadbacks(p())); // nothing new since
}

} // namespace
