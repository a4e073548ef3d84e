#include "synthesis/dsp/noise/GeigerNoise.h"
#include "synthesis/dsp/noise/NoiseOsc.h"
#include "synthesis/dsp/noise/SampleAndHoldNoise.h"
#include "synthesis/dsp/noise/XorAddGenerator.h"
#include "synthesis/dsp/common/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

using namespace Lumora::DSP;
using namespace Lumora::DSP::OSC;

// First in this program, so that nothing has drawn from the process-wide states yet.
TEST(NoiseSeeds, FirstSamplesOfAFreshProcess)
{
    NoiseOsc noise;
    float out[2];
    noise.process(out, 2, 48000.0f);
    EXPECT_NEAR(out[0], -0.12654f, 1e-5);
    EXPECT_NEAR(out[1], 0.94013f, 1e-5);
    // The shared generator starts from the same seed and is untouched by NoiseOsc.
    EXPECT_EQ(sharedGenerator.load(), XorAddGenerator());
    EXPECT_NEAR(sharedGenerator.next(), -0.12654f, 1e-5);
    EXPECT_NEAR(sharedGenerator.next(), 0.94013f, 1e-5);
}

TEST(XorAddGenerator, StepAndRange)
{
    XorAddGenerator g;
    EXPECT_EQ(g.a(), 0x67452301u);
    EXPECT_EQ(g.b(), 0xEFCDAB89u);
    EXPECT_FLOAT_EQ(g.next(), float(std::int32_t(0xEFCDAB89u)) / 2147483648.0f);
    EXPECT_EQ(g.a(), 0x67452301u ^ 0xEFCDAB89u);
    EXPECT_EQ(g.b(), (0x67452301u ^ 0xEFCDAB89u) + 0xEFCDAB89u);
    double sum = 0.0, sq = 0.0;
    const int n = 200000;
    for (int i = 0; i < n; ++i) {
        const float v = g.next();
        ASSERT_GE(v, -1.0f);
        ASSERT_LT(v, 1.0f);
        sum += v;
        sq += double(v) * v;
    }
    EXPECT_NEAR(sum / n, 0.0, 0.01);
    EXPECT_NEAR(std::sqrt(sq / n), 1.0 / std::sqrt(3.0), 0.01);
}

TEST(SharedXorAddGenerator, TwoRenderThreadsDrawEachValueOnce)
{
    SharedXorAddGenerator shared;
    const int blocks = 2000, perBlock = 64;
    auto render = [&] {
        float out[perBlock];
        for (int b = 0; b < blocks; ++b) {
            shared.draw([&](XorAddGenerator& g) {
                for (float& v : out)
                    v = g.next();
            });
            shared.next();
        }
    };
    std::thread a(render), b(render);
    a.join();
    b.join();
    // Exactly as many steps as both threads drew, in one sequence.
    XorAddGenerator expected;
    for (int i = 0; i < 2 * blocks * (perBlock + 1); ++i)
        expected.next();
    EXPECT_EQ(shared.load(), expected);
}

TEST(NoiseOsc, WhiteNoiseLevel)
{
    NoiseOsc n;
    std::vector<float> out(48000);
    for (std::size_t i = 0; i < out.size(); i += 100)
        n.process(out.data() + i, 100, 48000.0f);
    EXPECT_NEAR(DspTest::rms(out), 1.0 / std::sqrt(3.0), 0.01);
    EXPECT_LE(DspTest::peak(out), 1.0);
    EXPECT_TRUE(DspTest::allClean(out));
}

TEST(SampleAndHoldNoise, HoldPeriods)
{
    struct Case {
        float shape, sampleRate;
        unsigned period;
    };
    for (const Case& c : {Case{0.0f, 48000, 2}, Case{0.3f, 48000, 16}, Case{0.5f, 48000, 63}, Case{1.0f, 48000, 2001},
                          Case{5.0f, 48000, 2001}, Case{-1.0f, 48000, 2}, Case{0.3f, 96000, 8}, Case{0.5f, 96000, 32},
                          Case{1.0f, 96000, 1001}, Case{0.5f, 0, 1}, Case{std::numeric_limits<float>::quiet_NaN(), 48000, 2}})
        EXPECT_EQ(SampleAndHoldNoise::holdPeriod(c.shape, c.sampleRate), c.period) << c.shape << " " << c.sampleRate;

    // Measured on the output: runs of equal samples of exactly the period, across block boundaries.
    SampleAndHoldNoise sh;
    sh.shapingValues[0] = 0.3f;
    std::vector<float> out(16 * 40);
    for (std::size_t i = 0; i < out.size(); i += 37)
        sh.process(out.data() + i, unsigned(std::min<std::size_t>(37, out.size() - i)), 48000.0f);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % 16 != 0) {
            ASSERT_EQ(out[i], out[i - 1]) << i;
        } else if (i > 0) {
            EXPECT_NE(out[i], out[i - 1]) << i;
        }
    }
    EXPECT_EQ(sh.heldValue(), out.back());
    EXPECT_NEAR(DspTest::rms(out), 1.0 / std::sqrt(3.0), 0.1);
}

TEST(GeigerNoise, DensityZeroIsWhiteNoiseAndOneIsSparseClicks)
{
    GeigerNoise white;
    white.shapingValues[0] = 0.0f;
    std::vector<float> out(48000);
    for (std::size_t i = 0; i < out.size(); i += 128)
        white.process(out.data() + i, unsigned(std::min<std::size_t>(128, out.size() - i)), 48000.0f);
    EXPECT_NEAR(DspTest::rms(out), 1.0 / std::sqrt(3.0), 0.01);

    EXPECT_EQ(GeigerNoise::clickPeriod(1.0f), 8821u);
    EXPECT_EQ(GeigerNoise::clickPeriod(0.6f), 1144u);
    EXPECT_EQ(GeigerNoise::clickPeriod(0.0f), 1u);

    // Density 1, no background: silence between single samples of 1.0, 1 to 8821 samples apart.
    GeigerNoise clicks;
    clicks.shapingValues[0] = 1.0f;
    std::vector<float> long_(48000 * 8);
    for (std::size_t i = 0; i < long_.size(); i += 512)
        clicks.process(long_.data() + i, 512, 48000.0f);
    std::vector<std::size_t> at;
    for (std::size_t i = 0; i < long_.size(); ++i) {
        if (long_[i] != 0.0f) {
            ASSERT_EQ(long_[i], 1.0f) << i;
            at.push_back(i);
        }
    }
    ASSERT_GT(at.size(), 50u);
    double mean = 0.0;
    for (std::size_t k = 1; k < at.size(); ++k) {
        const std::size_t gap = at[k] - at[k - 1];
        EXPECT_GE(gap, 1u);
        EXPECT_LE(gap, 8821u);
        mean += double(gap);
    }
    mean /= double(at.size() - 1);
    EXPECT_NEAR(mean, 8821.0 / 2.0 + 1.0, 800.0); // uniform jumps in [0, P) plus one
    // restart() starts the count again: the next sample is a click.
    clicks.restart(0.0f);
    float first = 0.0f;
    clicks.process(&first, 1, 48000.0f);
    EXPECT_EQ(first, 1.0f);
}

TEST(NoiseSources, BadShapingValuesGiveCleanOutput)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> out(256);
    for (float v : {nan, inf, -inf, 1e30f}) {
        GeigerNoise g;
        g.shapingValues[0] = v;
        g.shapingValues[1] = v;
        g.process(out.data(), 256, 48000.0f);
        EXPECT_TRUE(DspTest::allClean(out)) << v;
        SampleAndHoldNoise s;
        s.shapingValues[0] = v;
        s.process(out.data(), 256, v);
        EXPECT_TRUE(DspTest::allClean(out)) << v;
    }
}
