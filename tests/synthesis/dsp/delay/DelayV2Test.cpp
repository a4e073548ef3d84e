#include "synthesis/dsp/delay/support/SignalChecks.h"
#include "synthesis/dsp/delay/v2/Delay.h"
#include "synthesis/dsp/delay/v2/DelayImplementation.h"
#include "synthesis/dsp/delay/v2/MultiTapDelay.h"
#include "synthesis/dsp/delay/v2/MultiTapDelayImplementation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using Lumora::DSPv2::Delay;
using Lumora::DSPv2::MultiTapDelay;

namespace {

std::vector<float> impulse(std::size_t n, std::size_t at = 0)
{
    std::vector<float> x(n, 0.0f);
    x[at] = 1.0f;
    return x;
}

std::vector<float> run(Delay& d, std::vector<float> x, unsigned block = 128)
{
    for (std::size_t o = 0; o < x.size(); o += block) {
        const auto n = static_cast<unsigned>(std::min<std::size_t>(block, x.size() - o));
        d.process(x.data() + o, x.data() + o, n);
    }
    return x;
}

} // namespace

TEST(DelayV2, AllPassImpulseResponse)
{
    Delay d(15, nullptr, true, 1.0f);
    d.setSettings_bySample(1000, 0.5f, -0.5f);
    const auto y = run(d, impulse(8000));
    EXPECT_FLOAT_EQ(y[0], -0.5f);
    EXPECT_FLOAT_EQ(y[1000], 0.75f);
    EXPECT_FLOAT_EQ(y[2000], 0.375f);
    EXPECT_EQ(y[500], 0.0f);
    EXPECT_NEAR(SignalChecks::energy(y.data(), y.size()), 1.0, 1e-4); // the tail past 8000 samples holds the rest
}

TEST(DelayV2, CombEchoGains)
{
    Delay d(12, nullptr, false, 1.0f);
    d.setSettings_bySample(250, -0.6f, 0.0f);
    const auto y = run(d, impulse(1200));
    EXPECT_EQ(y[0], 0.0f);
    EXPECT_FLOAT_EQ(y[250], 1.0f);
    EXPECT_FLOAT_EQ(y[500], -0.6f);
    EXPECT_FLOAT_EQ(y[750], 0.36f);
}

TEST(DelayV2, DelayTimesAreLimitedToTheBuffer)
{
    struct Case {
        unsigned samples;
        float seconds;
        std::size_t expected;
    };
    for (const Case c : {Case{0, -1.0f, 1}, Case{5000, -1.0f, 1024}, Case{300, -1.0f, 300}, Case{0, 0.005f, 240},
                         Case{0, 10.0f, 1024}, Case{0, std::numeric_limits<float>::quiet_NaN(), 1}}) {
        Delay d(10, nullptr, true, 1.0f);
        if (c.seconds < 0.0f)
            d.setDelayTimeBySamples(c.samples);
        else
            d.setDelayTimeBySecond(c.seconds, 48000.0f);
        EXPECT_FLOAT_EQ(d.implementation().delaySamples(), static_cast<float>(c.expected)) << c.samples << " " << c.seconds;
        const auto y = run(d, impulse(2048));
        EXPECT_FLOAT_EQ(y[c.expected], 1.0f) << c.samples << " " << c.seconds;
    }
}

TEST(DelayV2, TimeChangeGlidesAcrossTheNextBlock)
{
    Delay d(12, nullptr, true, 1.0f);
    d.setDelayTimeBySamples(100);
    std::vector<float> x(128, 0.0f);
    d.process(x.data(), x.data(), 128);
    d.setDelayTimeBySamples(228);
    EXPECT_FLOAT_EQ(d.implementation().currentFraction(), 100.0f / 4096.0f);
    d.process(x.data(), x.data(), 128);
    EXPECT_FLOAT_EQ(d.implementation().currentFraction(), 228.0f / 4096.0f);
    d.reset();
    EXPECT_EQ(d.implementation().currentFraction(), -1.0f);
}

TEST(MultiTapDelayV2, TapLevelTimeAndFirstBlockGlide)
{
    MultiTapDelay d(12, 4);
    d.setTapSettings_bySamples(0, 500, 0.0f, 0.5f);
    for (unsigned t = 1; t < 4; ++t)
        d.setTapSettings_bySamples(t, 100, 0.0f, 0.0f);
    d.setTapSettings_bySamples(9, 100, 0.0f, 0.0f); // no such tap
    // The first block glides from half the buffer (2048 samples) to 500.
    std::vector<float> out(256);
    std::vector<float> silence(256, 0.0f);
    d.process(out.data(), silence.data(), 256);
    EXPECT_NEAR(d.implementation().taps()[0].time.current * 4096.0f, 500.0f, 0.01f);

    auto in = impulse(1024, 10);
    out.assign(1024, 0.0f);
    for (unsigned o = 0; o < 1024; o += 128)
        d.process(out.data() + o, in.data() + o, 128);
    EXPECT_NEAR(out[510], 0.5f, 1e-3f);
    EXPECT_NEAR(SignalChecks::energy(out.data(), out.size()), 0.25, 1e-4);
}

TEST(MultiTapDelayV2, ResetSettlesEveryGlideOnItsTarget)
{
    MultiTapDelay d(12, 2);
    d.setTapSettings_bySamples(0, 300, 0.0f, 1.0f);
    d.setTapSettings_bySamples(1, 700, 0.0f, 0.25f);
    d.reset();
    auto in = impulse(1024);
    std::vector<float> t0(1024), t1(1024);
    std::vector<float*> taps{t0.data(), t1.data()};
    d.process(taps, in.data(), 1024);
    EXPECT_FLOAT_EQ(t0[300], 1.0f);
    EXPECT_FLOAT_EQ(t1[700], 0.25f);
    EXPECT_EQ(t0[299], 0.0f);
}

// Over a line of zeros idle() moves every tap's time, feedback and level exactly as process()
// does, sample-sized blocks and settings changed mid-glide included, so that an impulse that
// follows comes out bit for bit the same.
TEST(MultiTapDelayV2, IdleOverSilenceLeavesTheTapsAsProcessDoes)
{
    struct Step {
        unsigned samples;
        float feedback, level;
        unsigned block, blocks;
    };
    const Step steps[] = {{300, 0.3f, 0.9f, 256, 1}, {1000, -0.6f, 0.1f, 1, 50}, {40, 0.9f, 0.7f, 100, 3}};
    MultiTapDelay ran(12, 2);
    MultiTapDelay idled(12, 2);
    std::vector<float> out(256), silence(256, 0.0f);
    auto same = [](float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; };
    for (const Step& step : steps) {
        for (MultiTapDelay* d : {&ran, &idled}) {
            d->setTapSettings_bySamples(0, step.samples, step.feedback, step.level);
            d->setTapSettings_bySamples(1, step.samples / 2, -step.feedback, 1.0f - step.level);
        }
        for (unsigned b = 0; b < step.blocks; ++b) {
            ran.process(out.data(), silence.data(), step.block);
            idled.idle(step.block);
            using Tap = MultiTapDelay::Implementation::Tap;
            for (unsigned t = 0; t < 2; ++t) {
                const Tap& x = ran.implementation().taps()[t];
                const Tap& y = idled.implementation().taps()[t];
                for (auto glide : {&Tap::time, &Tap::feedback, &Tap::level})
                    EXPECT_TRUE(same((x.*glide).current, (y.*glide).current) &&
                                same((x.*glide).step, (y.*glide).step) && same((x.*glide).target, (y.*glide).target))
                        << "tap " << t;
            }
        }
    }
    for (MultiTapDelay* d : {&ran, &idled})
        d->setTapSettings_bySamples(0, 20, 0.5f, 1.0f);
    const auto in = impulse(2048, 5);
    std::vector<float> a(2048), b(2048);
    for (unsigned o = 0; o < 2048; o += 128) {
        ran.process(a.data() + o, in.data() + o, 128);
        idled.process(b.data() + o, in.data() + o, 128);
    }
    EXPECT_GT(SignalChecks::peak(a.data(), a.size()), 0.1f);
    EXPECT_EQ(std::memcmp(a.data(), b.data(), a.size() * sizeof(float)), 0);
}

TEST(MultiTapDelayV2, TapFeedbackRecirculates)
{
    MultiTapDelay d(12, 1);
    d.setTapSettings_bySamples(0, 100, 0.5f, 1.0f);
    d.reset();
    auto in = impulse(512);
    std::vector<float> out(512);
    float* taps[1] = {out.data()};
    d.process(taps, in.data(), 512);
    EXPECT_FLOAT_EQ(out[100], 1.0f);
    EXPECT_FLOAT_EQ(out[200], 0.5f);
    EXPECT_FLOAT_EQ(out[300], 0.25f);
}

// Four taps at full feedback would make a loop gain of four; the network stays bounded and dies
// away over a minute of silence, and so does a comb at feedback 1.
TEST(DelayV2Robustness, MinuteOfTailAtFullFeedback)
{
    constexpr unsigned block = 512;
    constexpr std::size_t total = 61 * 48000;
    MultiTapDelay taps(13, 4);
    for (unsigned t = 0; t < 4; ++t)
        taps.setTapSettings_bySamples(t, 700 + 311 * t, t % 2 ? -1.0f : 1.0f, 1.0f);
    Delay comb(13, nullptr, true, 1.0f);
    comb.setSettings_bySample(777, 1.0f, 0.0f);
    Delay allpass(13, nullptr, true, 1.0f);
    allpass.setSettings_bySample(555, -1.0f, 1.0f);

    SignalChecks::Noise noise;
    std::vector<float> in(block), a(block), b(block), c(block);
    float peak = 0.0f;
    double first = 0.0, last = 0.0;
    for (std::size_t o = 0; o < total; o += block) {
        for (float& x : in)
            x = o < 48000 ? noise.next() : 0.0f;
        taps.process(a.data(), in.data(), block);
        comb.process(b.data(), in.data(), block);
        allpass.process(c.data(), in.data(), block);
        for (auto* y : {&a, &b, &c}) {
            ASSERT_EQ(SignalChecks::firstUnclean(y->data(), block), block) << o;
            peak = std::max(peak, SignalChecks::peak(y->data(), block));
        }
        if (o < 48000)
            first += SignalChecks::energy(a.data(), block);
        else if (o >= total - 48000)
            last += SignalChecks::energy(a.data(), block);
    }
    EXPECT_LT(peak, 5000.0f);
    EXPECT_LT(last, first);
}

TEST(DelayV2Robustness, NonFiniteInputDoesNotStickInTheLoop)
{
    Delay comb(10, nullptr, true, 1.0f);
    comb.setSettings_bySample(100, 0.9f, 0.0f);
    MultiTapDelay taps(10, 2);
    taps.setTapSettings_bySamples(0, 100, 0.5f, 1.0f);
    taps.setTapSettings_bySamples(1, 170, 0.3f, 1.0f);
    taps.reset();
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        std::vector<float> x(1024, 0.0f), y(1024);
        x[7] = bad;
        comb.process(y.data(), x.data(), 1024);
        EXPECT_EQ(SignalChecks::firstUnclean(y.data(), 1024), 1024u);
        taps.process(y.data(), x.data(), 1024);
        EXPECT_EQ(SignalChecks::firstUnclean(y.data(), 1024), 1024u);

        auto in = impulse(256);
        comb.process(y.data(), in.data(), 256);
        EXPECT_FLOAT_EQ(y[100], 1.0f);
        taps.process(y.data(), in.data(), 256);
        EXPECT_FLOAT_EQ(y[100], 1.0f);
        EXPECT_EQ(SignalChecks::firstUnclean(y.data(), 256), 256u);
    }
}

// reset() clears only what was written since the last clear: whatever was written, however often
// the line wrapped, a reset delay heard at its longest time gives silence, and so does a tap.
TEST(DelayV2, ResetSilencesEverythingWrittenBefore)
{
    constexpr unsigned kSize = 1024;
    for (const std::size_t amount : {std::size_t{1}, std::size_t{100}, std::size_t{kSize - 1}, std::size_t{kSize},
                                     std::size_t{3 * kSize + 5}}) {
        Delay d(10, nullptr, true, 1.0f);
        d.setSettings_bySample(300, 0.9f, 0.0f);
        run(d, std::vector<float>(amount, 1.0f), 61);
        d.reset();
        d.setSettings_bySample(kSize, 0.0f, 0.0f);
        const auto y = run(d, std::vector<float>(2 * kSize, 0.0f));
        EXPECT_TRUE(std::all_of(y.begin(), y.end(), [](float x) { return x == 0.0f; })) << amount << " samples";

        MultiTapDelay m(10, 1);
        m.setTapSettings_bySamples(0, 300, 0.9f, 1.0f);
        std::vector<float> x(amount, 1.0f);
        for (std::size_t o = 0; o < x.size(); o += 61) {
            const auto n = static_cast<unsigned>(std::min<std::size_t>(61, x.size() - o));
            m.process(x.data() + o, x.data() + o, n);
        }
        m.reset();
        m.setTapSettings_bySamples(0, kSize, 0.0f, 1.0f);
        std::vector<float> z(2 * kSize, 0.0f);
        m.process(z.data(), z.data(), static_cast<unsigned>(z.size()));
        EXPECT_TRUE(std::all_of(z.begin(), z.end(), [](float v) { return v == 0.0f; })) << amount << " samples (taps)";
    }
}
