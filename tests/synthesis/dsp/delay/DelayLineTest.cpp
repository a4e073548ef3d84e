#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/delay/AllPassFilter_PositiveFdbk.h"
#include "synthesis/dsp/delay/DelayMath.h"
#include "synthesis/dsp/delay/FeedbackFxDelay.h"
#include "synthesis/dsp/delay/HiDampDelay.h"
#include "synthesis/dsp/delay/HiDampStereoDelay.h"
#include "synthesis/dsp/delay/LpfFeedbackFx.h"
#include "synthesis/dsp/delay/MultiTapDelay.h"
#include "synthesis/dsp/delay/NullFeedbackFx.h"
#include "synthesis/dsp/delay/SingleDelay.h"
#include "synthesis/dsp/delay/StereoDelay.h"
#include "synthesis/dsp/delay/support/SignalChecks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <random>
#include <vector>

using namespace Lumora::DSP;
using SignalChecks::isClean;

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> impulse(std::size_t n)
{
    std::vector<float> x(n, 0.0f);
    x[0] = 1.0f;
    return x;
}

// Runs a mono line over the input in blocks, in place.
template <class Line>
std::vector<float> run(Line& line, std::vector<float> x, unsigned block = 64)
{
    for (std::size_t o = 0; o < x.size(); o += block) {
        const auto n = static_cast<unsigned>(std::min<std::size_t>(block, x.size() - o));
        line.process(x.data() + o, x.data() + o, n);
    }
    return x;
}

std::size_t firstNonZero(const std::vector<float>& x)
{
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] != 0.0f)
            return i;
    return x.size();
}

} // namespace

TEST(SingleDelay, DelayTimesInSamples)
{
    struct Case {
        float seconds;
        bool interpolation;
        std::size_t samples;
    };
    for (const Case c : {Case{0.01f, false, 480}, Case{0.01f, true, 480}, Case{1.0f, false, 1024},
                         Case{1.0f, true, 1024}, Case{0.0f, false, 1}, Case{0.0f, true, 1}, Case{-3.0f, true, 1},
                         Case{kNaN, true, 1}}) {
        SingleDelay d(10, c.interpolation, 1.0f);
        d.setFeedback(0.0f);
        d.setDelayTimeBySecond(c.seconds, 48000.0f);
        const auto y = run(d, impulse(3000));
        EXPECT_EQ(firstNonZero(y), c.samples) << c.seconds << " " << c.interpolation;
        EXPECT_FLOAT_EQ(y[c.samples], 1.0f);
    }
}

TEST(SingleDelay, FeedbackEchoesHalveEachTime)
{
    SingleDelay d(10, false, 1.0f);
    d.setDelayTime(100.0f / 1024.0f);
    d.setFeedback(0.5f);
    const auto y = run(d, impulse(1000));
    for (int k = 1; k < 9; ++k)
        EXPECT_FLOAT_EQ(y[100 * k], std::pow(0.5f, static_cast<float>(k - 1))) << k;
    EXPECT_EQ(y[150], 0.0f);
}

TEST(SingleDelay, FirstBlockAfterResetStartsAtItsTimeAndLaterChangesGlide)
{
    SingleDelay d(12, true, 1.0f);
    d.setFeedback(0.0f);
    d.setDelayTime(0.1f);
    d.reset();
    d.setDelayTime(200.0f / 4096.0f);
    std::vector<float> out(64);
    std::vector<float> in(64, 0.0f);
    d.process(out.data(), in.data(), 64);
    EXPECT_FLOAT_EQ(d.currentDelayTime(), 200.0f / 4096.0f);

    // A sine through a line whose time moves between blocks glides without a click.
    const float w = 2.0f * 3.14159265f * 200.0f / 48000.0f;
    std::vector<float> all;
    float phase = 0.0f;
    for (int b = 0; b < 40; ++b) {
        if (b == 20)
            d.setDelayTime(300.0f / 4096.0f);
        for (float& x : in) {
            x = std::sin(phase);
            phase += w;
        }
        d.process(out.data(), in.data(), 64);
        if (b >= 10)
            all.insert(all.end(), out.begin(), out.end());
    }
    // The undisturbed sine moves by at most w per sample; reading 100 samples further back over a
    // 64-sample block plays it backwards at 0.56 times the speed, which moves less.
    EXPECT_LT(SignalChecks::largestStep(all), w * 1.01f);
    // After the glide the line delays by 300 samples.
    EXPECT_NEAR(all.back(), std::sin(phase - w - 300.0f * w), 2e-3f);
}

TEST(SingleDelay, InterpolatedFractionalDelayAndLimit)
{
    SingleDelay d(10, true, 1.0f);
    d.setFeedback(0.0f);
    d.setDelayTime(10.25f / 1024.0f);
    auto y = run(d, impulse(64));
    EXPECT_FLOAT_EQ(y[10], 0.75f);
    EXPECT_FLOAT_EQ(y[11], 0.25f);

    SingleDelay limited(10, true, 0.1f);
    limited.setFeedback(0.0f);
    limited.setDelayTime(10.5f / 1024.0f); // the later neighbour may weigh at most 0.1
    y = run(limited, impulse(64));
    EXPECT_FLOAT_EQ(y[10], 0.1f);
    EXPECT_FLOAT_EQ(y[11], 0.9f);
}

// reset() clears only what was written since the last clear: whatever was written, by process,
// feed or a copied line, and however often the line wrapped, a reset line reads back nothing but
// silence at its longest time (which reads every slot before overwriting it).
TEST(SingleDelay, ResetSilencesEverythingWrittenBefore)
{
    constexpr std::size_t kSize = 1024;
    enum class Write { Process, Feed, CopiedLine };
    const std::size_t amounts[] = {1, 100, kSize - 1, kSize, kSize + 37, 3 * kSize + 5};
    for (const Write how : {Write::Process, Write::Feed, Write::CopiedLine}) {
        for (const bool interpolated : {false, true}) {
            for (const std::size_t amount : amounts) {
                SCOPED_TRACE(testing::Message() << "write " << static_cast<int>(how) << ", interpolated "
                                                << interpolated << ", " << amount << " samples");
                SingleDelay line(Lumora::SAMPLE_SIZE_1024, interpolated, 1.0f);
                SingleDelay source(Lumora::SAMPLE_SIZE_1024, interpolated, 1.0f);
                SingleDelay& written = how == Write::CopiedLine ? source : line;
                written.setDelayTime(0.3f);
                written.setFeedback(0.9f);
                const std::vector<float> ones(amount, 1.0f);
                if (how == Write::Feed)
                    written.feed(ones.data(), static_cast<unsigned>(amount));
                else
                    run(written, ones, 61);
                if (how == Write::CopiedLine)
                    line.copyBuffer(&source);
                line.reset();
                line.setDelayTime(1.0f);
                line.setFeedback(0.0f);
                const auto out = run(line, std::vector<float>(2 * kSize, 0.0f));
                EXPECT_EQ(firstNonZero(out), out.size());
            }
        }
    }
}

TEST(AllPassFilter, ImpulseResponse)
{
    AllPassFilter_PositiveFdbk ap(10);
    ap.setDelayTime(100.0f / 1024.0f);
    ap.setFeedback(0.5f);
    const auto y = run(ap, impulse(4000));
    EXPECT_FLOAT_EQ(y[0], -0.5f);
    EXPECT_FLOAT_EQ(y[100], 0.75f);
    EXPECT_FLOAT_EQ(y[200], 0.375f);
    EXPECT_FLOAT_EQ(y[300], 0.1875f);
    // An all-pass keeps the energy of what goes through it.
    EXPECT_NEAR(SignalChecks::energy(y.data(), y.size()), 1.0, 1e-4);
}

TEST(FeedbackFxDelay, EffectShapesWhatIsHeardAndWhatCirculates)
{
    NullFeedbackFx null;
    FeedbackFxDelay plain(10, &null);
    plain.setDelayTime(50.0f / 1024.0f);
    const auto y = run(plain, impulse(200));
    EXPECT_FLOAT_EQ(y[50], 1.0f);
    EXPECT_FLOAT_EQ(y[100], 0.5f);

    HiDampDelay damped(10); // a = 0.19: an echo keeps 0.81 at once and the rest trickles after
    damped.setDelayTime(50.0f / 1024.0f);
    const auto z = run(damped, impulse(200));
    EXPECT_FLOAT_EQ(z[50], 0.81f);
    EXPECT_FLOAT_EQ(z[51], 0.81f * 0.19f);
    EXPECT_NEAR(z[100], 0.5f * 0.81f * 0.81f + 0.81f * std::pow(0.19f, 50.0f), 1e-6f);
    damped.reset();
    EXPECT_EQ(damped.damping().lpf().state(), 0.0f);
}

// addRepeatedly must end bit for bit where n additions do, with and without denormals flushed:
// glides across and along binade edges, towards and through zero, steps half-way between two
// multiples of the spacing (where rounding follows the last bit, from odd and even mantissas and
// near the edges), denormal steps and starts, and values that are not finite.
TEST(DelayMath, AddRepeatedlyEndsWhereTheLoopEnds)
{
    auto loop = [](float a, float step, unsigned n) {
        for (unsigned i = 0; i < n; ++i)
            a += step;
        return a;
    };
    auto bitsOf = [](float x) {
        std::uint32_t b;
        std::memcpy(&b, &x, sizeof b);
        return b;
    };
    const float inf = std::numeric_limits<float>::infinity();
    const float denormal = std::numeric_limits<float>::denorm_min() * 5.0f;
    struct Case {
        float a, step;
        unsigned n;
    };
    std::vector<Case> cases = {
        {1.0f, 1.0f / 1024.0f, 4096},                    // exactly representable steps across binades
        {1.0f, -std::ldexp(1.0f, -25), 300},              // down from a binade's lowest float
        {1.0f + std::ldexp(1.0f, -23), -1.3f * std::ldexp(1.0f, -23), 5}, // down onto the finer spacing below
        {std::nextafter(2.0f, 0.0f), std::ldexp(1.0f, -23) * 0.75f, 50}, // up from its highest
        {1.5f, std::ldexp(1.0f, -23) * 0.5f, 100},        // a tie: rounds to even, then stays
        {1.5f + std::ldexp(1.0f, -23), std::ldexp(1.0f, -23) * 2.5f, 4096}, // ties at every step
        {0.3f, -0.3f / 256.0f, 256},                      // down to about zero
        {0.01f, -0.02f / 37.0f, 37},                      // through zero
        {0.0f, 1e-3f, 256},
        {-0.0f, 0.0f, 8},
        {denormal, denormal, 64},                         // denormal start and step
        {1e-30f, denormal, 64},                           // a denormal step near small numbers
        {0.7f, denormal, 4096},
        {inf, -1.0f, 4},
        {1.0f, std::numeric_limits<float>::quiet_NaN(), 4},
        {3e38f, 1e37f, 16},                               // to infinity
    };
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    std::uniform_int_distribution<int> exponent(-110, 20);
    const unsigned lengths[] = {1, 2, 37, 256, 1000, 4096};
    for (int i = 0; i < 20000; ++i) {
        const float a = std::ldexp(unit(random), exponent(random));
        const unsigned n = lengths[static_cast<unsigned>(i) % 6];
        // A target near a (a glide closing in), or anywhere within a few binades of it.
        const float target = i % 3 == 0 ? a * (1.0f + unit(random) * 1e-5f) : a * 4.0f * unit(random);
        cases.push_back({a, (target - a) / static_cast<float>(n), n});
    }
    // Steps half-way between two multiples of a's spacing, up and down, from odd and even
    // mantissas, some starting close under a binade's top or over its bottom.
    std::uniform_int_distribution<int> halves(-40, 40);
    for (int i = 0; i < 20000; ++i) {
        float a = std::ldexp(unit(random), exponent(random));
        if (a == 0.0f)
            continue;
        const float u = std::ldexp(1.0f, std::ilogb(a) - 23);
        if (i % 4 == 1)
            a = std::copysign(std::ldexp(1.0f, std::ilogb(a) + 1), a) - std::copysign(u * float(i % 64), a);
        else if (i % 4 == 2)
            a = std::copysign(std::ldexp(1.0f, std::ilogb(a)), a) + std::copysign(u * float(i % 64), a);
        const int j = halves(random);
        cases.push_back({a, (float(j) + 0.5f) * u, lengths[static_cast<unsigned>(i) % 6]});
    }
    for (const bool flushed : {false, true}) {
        std::optional<ScopedFlushDenormals> mode;
        if (flushed)
            mode.emplace();
        for (const Case& c : cases)
            ASSERT_EQ(bitsOf(DelayMath::addRepeatedly(c.a, c.step, c.n)), bitsOf(loop(c.a, c.step, c.n)))
                << "a " << c.a << " step " << c.step << " n " << c.n << (flushed ? " flushed" : "");
    }
}

TEST(MultiTapDelay, TapsReadWithoutFeedingBack)
{
    MultiTapDelay d(10, 2, nullptr);
    d.setDelayTime(300.0f / 1024.0f);
    d.setFeedback(0.0f);
    d.setTapTime(0, 100.0f / 1024.0f);
    d.setTapTime(1, 200.0f / 1024.0f);
    d.setTapTime(7, 0.3f); // no such tap: ignored
    d.setTapTime(1, 5.0f); // limited to the whole buffer...
    EXPECT_FLOAT_EQ(d.tapTime(1), 1.0f);
    d.setTapTime(1, 200.0f / 1024.0f); // ...and back
    std::vector<float> in = impulse(512), main(512), t0(512), t1(512);
    float* taps[2] = {t0.data(), t1.data()};
    for (unsigned o = 0; o < 512; o += 128)
        d.process(main.data() + o, std::array<float*, 2>{taps[0] + o, taps[1] + o}.data(), in.data() + o, 128);
    EXPECT_EQ(firstNonZero(main), 300u);
    EXPECT_EQ(firstNonZero(t0), 100u);
    EXPECT_EQ(firstNonZero(t1), 200u);
    EXPECT_FLOAT_EQ(SignalChecks::energy(t0.data(), 512), 1.0);
}

TEST(StereoDelay, CrossRatioSplitsTheFeedback)
{
    struct Case {
        float ratio;
        float left2D;
        float right2D;
    };
    for (const Case c : {Case{0.0f, 0.5f, 0.0f}, Case{1.0f, 0.0f, 0.5f}, Case{0.5f, 0.25f, 0.25f}, Case{-1.0f, 0.0f, 0.5f}}) {
        StereoDelay d(10);
        for (int ch : {0, 1}) {
            d.setDelayTimeBySecond(ch, 100.0f / 48000.0f, 48000.0f);
            d.setFeedback(ch, 0.5f);
            d.setXfeedbackRatio(ch, c.ratio);
        }
        std::vector<float> l = impulse(256), r(256, 0.0f);
        for (unsigned o = 0; o < 256; o += 64)
            d.process(l.data() + o, r.data() + o, l.data() + o, r.data() + o, 64);
        EXPECT_FLOAT_EQ(l[100], 1.0f) << c.ratio;
        EXPECT_EQ(r[100], 0.0f) << c.ratio;
        EXPECT_NEAR(l[200], c.left2D, 1e-6f) << c.ratio;
        EXPECT_NEAR(r[200], c.right2D, 1e-6f) << c.ratio;
    }
}

TEST(StereoDelay, HiDampCoefficients)
{
    HiDampStereoDelay d(10);
    EXPECT_FLOAT_EQ(d.damping(0).a(), 0.19f);
    d.setHiDamp(0, 0.0f);
    EXPECT_FLOAT_EQ(d.damping(0).a(), 0.0f);
    d.setHiDamp(1, 1.0f);
    EXPECT_FLOAT_EQ(d.damping(1).a(), 1.0f);
    d.setHiDamp(2, 0.5f); // no such channel
    EXPECT_FLOAT_EQ(d.damping(1).a(), 1.0f);
    d.setHiDamp(0, kNaN);
    EXPECT_TRUE(std::isfinite(d.damping(0).a()));
}

// One second of noise, then a minute of tail at the extreme feedback of every line: the output
// stays finite, free of denormals and bounded, and the tail dies away.
TEST(DelayRobustness, MinuteOfTailAtFullFeedback)
{
    constexpr float rate = 48000.0f;
    constexpr unsigned block = 512;
    constexpr std::size_t total = 61 * 48000;
    NullFeedbackFx null;
    std::vector<std::unique_ptr<SingleDelay>> lines;
    lines.push_back(std::make_unique<SingleDelay>(12, true, 1.0f));
    lines.push_back(std::make_unique<SingleDelay>(12, false, 1.0f));
    lines.push_back(std::make_unique<FeedbackFxDelay>(12, &null));
    lines.push_back(std::make_unique<HiDampDelay>(12));
    lines.push_back(std::make_unique<AllPassFilter_PositiveFdbk>(12));
    lines.push_back(std::make_unique<MultiTapDelay>(12, 2, nullptr));
    for (std::size_t k = 0; k < lines.size(); ++k) {
        auto& line = *lines[k];
        line.setDelayTimeBySecond(0.0123f, rate);
        line.setFeedback(k % 2 ? -7.0f : 1.0f);
        SignalChecks::Noise noise;
        std::vector<float> buf(block);
        double firstSecond = 0.0, lastSecond = 0.0;
        float peak = 0.0f;
        for (std::size_t o = 0; o < total; o += block) {
            for (float& x : buf)
                x = o < 48000 ? noise.next() : 0.0f;
            line.process(buf.data(), buf.data(), block);
            ASSERT_EQ(SignalChecks::firstUnclean(buf.data(), block), block) << k << " at " << o;
            peak = std::max(peak, SignalChecks::peak(buf.data(), block));
            if (o < 48000)
                firstSecond += SignalChecks::energy(buf.data(), block);
            else if (o >= total - 48000)
                lastSecond += SignalChecks::energy(buf.data(), block);
        }
        EXPECT_LT(peak, 1000.0f) << k;
        EXPECT_LT(lastSecond, firstSecond) << k;
    }

    HiDampStereoDelay stereo(12);
    for (int ch : {0, 1}) {
        stereo.setDelayTimeBySecond(ch, ch ? 0.017f : 0.0123f, rate);
        stereo.setFeedback(ch, 1.0f);
        stereo.setXfeedbackRatio(ch, 0.5f);
        stereo.setHiDamp(ch, 0.0f);
    }
    stereo.setInterpolation(true);
    SignalChecks::Noise noise;
    std::vector<float> l(block), r(block);
    float peak = 0.0f;
    for (std::size_t o = 0; o < total; o += block) {
        for (std::size_t i = 0; i < block; ++i) {
            l[i] = o < 48000 ? noise.next() : 0.0f;
            r[i] = o < 48000 ? noise.next() : 0.0f;
        }
        stereo.process(l.data(), r.data(), l.data(), r.data(), block);
        ASSERT_EQ(SignalChecks::firstUnclean(l.data(), block), block) << o;
        ASSERT_EQ(SignalChecks::firstUnclean(r.data(), block), block) << o;
        peak = std::max({peak, SignalChecks::peak(l.data(), block), SignalChecks::peak(r.data(), block)});
    }
    EXPECT_LT(peak, 1000.0f);
}

TEST(DelayRobustness, NaNSettingsNeverReadOutsideTheBuffer)
{
    SingleDelay d(8, true, 1.0f);
    d.setDelayTime(kNaN);
    d.setFeedback(kNaN);
    EXPECT_FLOAT_EQ(d.feedback(), -1.0f);
    d.setFeedback(0.5f);
    auto y = run(d, impulse(600));
    for (float x : y)
        ASSERT_TRUE(isClean(x));
    d.setDelayTimeBySecond(1.0f, kNaN);
    d.setDelayTime(std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(d.delayTime(), 1.0f);
    y = run(d, impulse(600));
    for (float x : y)
        ASSERT_TRUE(isClean(x));

    StereoDelay s(8);
    s.setInterpolation(true);
    s.setDelayTimeBySecond(0, kNaN, 48000.0f);
    s.setDelayTimeBySecond(1, 1e30f, 48000.0f);
    s.setFeedback(0, kNaN);
    s.setXfeedbackRatio(1, kNaN);
    std::vector<float> l = impulse(600), r = impulse(600);
    s.process(l.data(), r.data(), l.data(), r.data(), 600);
    for (std::size_t i = 0; i < 600; ++i)
        ASSERT_TRUE(isClean(l[i]) && isClean(r[i]));
}

// A NaN or infinite input sample never reaches the output and cannot stay in the loop: the line
// starts again from silence and then delays new input as before.
TEST(DelayRobustness, NonFiniteInputDoesNotStickInTheLoop)
{
    NullFeedbackFx null;
    LpfFeedbackFx lpf;
    std::vector<std::unique_ptr<SingleDelay>> lines;
    lines.push_back(std::make_unique<SingleDelay>(10, true, 1.0f));
    lines.push_back(std::make_unique<FeedbackFxDelay>(10, &null));
    lines.push_back(std::make_unique<HiDampDelay>(10));
    lines.push_back(std::make_unique<AllPassFilter_PositiveFdbk>(10));
    lines.push_back(std::make_unique<MultiTapDelay>(10, 1, &lpf));
    for (float bad : {kNaN, std::numeric_limits<float>::infinity()}) {
        for (std::size_t k = 0; k < lines.size(); ++k) {
            auto& line = *lines[k];
            line.reset();
            line.setDelayTime(100.0f / 1024.0f);
            line.setFeedback(0.9f);
            std::vector<float> x(1024, 0.0f);
            x[3] = bad;
            x = run(line, x);
            for (float v : x)
                ASSERT_TRUE(isClean(v)) << k;
            const auto y = run(line, impulse(300));
            EXPECT_GT(std::fabs(y[100]), 0.1f) << k;
            for (float v : y)
                ASSERT_TRUE(isClean(v)) << k;
        }
        HiDampStereoDelay stereo(10);
        std::vector<float> l(2048, 0.0f), r(2048, 0.0f);
        l[5] = bad;
        stereo.process(l.data(), r.data(), l.data(), r.data(), 2048);
        for (std::size_t i = 0; i < 2048; ++i)
            ASSERT_TRUE(isClean(l[i]) && isClean(r[i])) << i;
    }
}
