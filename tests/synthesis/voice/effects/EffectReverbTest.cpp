// The reverb module: both engines' settings, dry pass-through, tail length following the reverb
// time, stereo spread, switching type, stability at the extremes and repeatability.
#include <algorithm>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "synthesis/voice/effects/CompactReverb.h"
#include "synthesis/voice/effects/Reverb.h"
#include "synthesis/voice/effects/StereoReverb.h"
#include "EffectFixture.h"

namespace {

using namespace EffectTest;
using Lumora::Corvane::Module::Reverb;
using Lumora::Corvane::Module::StereoReverb;

constexpr unsigned kBlock = 256;

class EffectReverb : public ::testing::Test {
protected:
    EffectReverb() { reverb.reserve(kBlock, kRate); }

    Parameters::Reverb& p() { return table.params.reverb; }

    // Runs in through the module in blocks; the input is padded with silence to `frames`.
    Stereo render(const std::vector<float>& inL, const std::vector<float>& inR, unsigned frames)
    {
        return renderInBlocks(inL, inR, frames, kBlock, clock, [&](float* l, float* r, unsigned n) {
            reverb.process(l, r, l, r, n, kRate, clock, p(), 2, AudioQuality::Normal);
        });
    }

    Table table;
    TestClock clock;
    Reverb reverb;
};

TEST_F(EffectReverb, SendZeroOrSwitchedOffPassesTheDrySignal)
{
    const auto inL = noise(4096, 0.5f, 1);
    const auto inR = noise(4096, 0.5f, 2);
    for (int type : {0, 1}) {
        setChoice(p().type, type);
        set(p().send, 0.0f);
        Stereo out = render(inL, inR, 4096);
        EXPECT_EQ(out.left, inL) << "type " << type;
        EXPECT_EQ(out.right, inR) << "type " << type;

        set(p().send, 1.0f);
        p().enabled = false;
        out = render(inL, inR, 4096);
        EXPECT_EQ(out.left, inL) << "type " << type;
        EXPECT_EQ(out.right, inR) << "type " << type;
        p().enabled = true;
    }
}

TEST_F(EffectReverb, CompactEngineDerivesCombFeedbackAndDamping)
{
    struct Case {
        float time, hiDamp, fb0, c, a;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0.98f, 1.0f, 0.0f},
        {0.5f, 0.5f, 0.898333f, 0.858571f, 0.262856f},
        {0.0f, 1.0f, 0.0f, 0.01f, 0.9999f},
    };
    setChoice(p().type, 0);
    for (const Case& c : cases) {
        set(p().time, c.time);
        set(p().hiDamp, c.hiDamp);
        render({}, {}, kBlock);
        const auto& compact = reverb.compact();
        const float scale[] = {1.0f, 0.9f, 0.8f, 0.7f, 0.6f};
        for (unsigned i = 0; i < 5; ++i) {
            EXPECT_NEAR(compact.combFeedback(i), c.fb0 * scale[i], 1e-5f) << "time " << c.time << " comb " << i;
            EXPECT_NEAR(compact.dampingC(), c.c, 1e-5f);
            EXPECT_NEAR(compact.dampingA(), c.a, 1e-4f);
        }
    }
}

TEST(EffectReverbSettings, StereoEngineMapsRoomDecayAndCutoffs)
{
    Table table;
    auto& p = table.params.reverb;
    set(p.time, 0.5f);
    set(p.hpf, 0.5f);
    set(p.hiDamp, 0.5f);
    set(p.predelay, 1.0f);
    Lumora::DSPv2::Reverb::Parameters r;
    StereoReverb::configure(r, 44100.0f, p);
    EXPECT_FLOAT_EQ(r.roomSize, 55.0f);
    EXPECT_FLOAT_EQ(r.decayTime, 5.1f);
    EXPECT_FLOAT_EQ(r.preDelay, 0.2f);
    EXPECT_FLOAT_EQ(r.lateBrightness, 0.5f);
    EXPECT_NEAR(r.preHighPass * 22050.0f, 1046.5f, 0.1f);
    EXPECT_NEAR(r.preLowPass * 22050.0f, 5919.9f, 0.1f);
    EXPECT_FLOAT_EQ(r.earlyLevel, 0.5f);
    EXPECT_FLOAT_EQ(r.lateLevel, 0.5f);
    EXPECT_FLOAT_EQ(r.dryLevel, 0.0f);
    EXPECT_FLOAT_EQ(r.stereoWidth, 1.0f);

    // Open ends: no high-pass at all at 0 reaches 32.7 Hz; the low-pass opens fully.
    set(p.hpf, 0.0f);
    set(p.hiDamp, 0.0f);
    StereoReverb::configure(r, 44100.0f, p);
    EXPECT_NEAR(r.preHighPass * 22050.0f, 32.7f, 0.01f);
    EXPECT_FLOAT_EQ(r.preLowPass, 1.0f);
}

// The wet tail alone: the module adds the dry impulse at sample 0, which the measurement skips.
std::vector<float> tailOf(const std::vector<float>& x)
{
    std::vector<float> t(x);
    t[0] = 0.0f;
    return t;
}

// The compact engine's decay is that of its slowest comb: a comb of length L seconds with
// feedback f falls by 60 dB in L ln(0.001) / ln(f) seconds.
double compactRt60(float time)
{
    const double seconds[] = {0.013, 0.023, 0.031, 0.053, 0.073};
    const double scale[] = {1.0, 0.9, 0.8, 0.7, 0.6};
    const double fb = time * 11.0 / (time * 10.0 + 1.0) * 0.98;
    double longest = 0.0;
    for (int i = 0; i < 5; ++i)
        longest = std::max(longest, seconds[i] * std::log(0.001) / std::log(fb * scale[i]));
    return longest;
}

TEST_F(EffectReverb, TailLengthFollowsTheReverbTimeInBothEngines)
{
    set(p().send, 1.0f);
    set(p().hiDamp, 0.0f);
    set(p().predelay, 0.0f);
    struct Case {
        int type;
        float time;
        double expected; // seconds to fall by 60 dB
    };
    // Type 1 decays by 60 dB in 0.1 + 10 t seconds.
    const Case cases[] = {{1, 0.1f, 1.1}, {1, 0.2f, 2.1}, {0, 0.1f, compactRt60(0.1f)},
                          {0, 0.6f, compactRt60(0.6f)}};
    double previous = 0.0;
    for (const Case& c : cases) {
        reverb.reset();
        setChoice(p().type, c.type);
        set(p().time, c.time);
        const Stereo out = render(impulse(1), impulse(1), unsigned(kRate * 2.5f));
        ASSERT_TRUE(clean(out));
        const double measured = rt60(tailOf(out.left));
        EXPECT_NEAR(measured, c.expected, c.expected * 0.3) << "type " << c.type << " time " << c.time;
        if (c.time > 0.1f) {
            EXPECT_GT(measured, previous * 1.5) << "type " << c.type;
        }
        previous = measured;
    }
}

TEST_F(EffectReverb, StereoEngineSpreadsAOneSidedImpulseIntoDecorrelatedChannels)
{
    set(p().send, 1.0f);
    set(p().time, 0.2f);
    setChoice(p().type, 1);
    const Stereo out = render(impulse(1), {}, unsigned(kRate));
    const auto left = tailOf(out.left);
    EXPECT_GT(DspTest::rms(out.right), 1e-3);
    EXPECT_GT(DspTest::rms(left), 1e-3);
    const double rho = correlation(left.data(), out.right.data(), left.size());
    EXPECT_LT(std::fabs(rho), 0.3) << rho;
}

TEST_F(EffectReverb, CompactEngineAddsOneMonoTailToBothChannels)
{
    // The compact engine is a mono network by design: its tail is the same on both sides.
    set(p().send, 1.0f);
    set(p().time, 0.3f);
    setChoice(p().type, 0);
    const Stereo out = render(impulse(1), {}, 24000);
    EXPECT_GT(DspTest::rms(out.right), 1e-3);
    for (unsigned i = 1; i < out.left.size(); ++i)
        ASSERT_EQ(out.left[i], out.right[i]) << i;
}

TEST_F(EffectReverb, ChangingTypeCutsTheTailAndNeverReplaysIt)
{
    set(p().send, 1.0f);
    set(p().time, 0.8f);
    setChoice(p().type, 1);
    Stereo out = render(noise(4800, 0.5f), noise(4800, 0.5f, 7), 9600);
    ASSERT_GT(DspTest::rms(out.left.data() + 4800, 4800), 1e-3);

    // Type 0 with nothing sent: silent from the first block, no old tail.
    set(p().send, 0.0f);
    setChoice(p().type, 0);
    out = render({}, {}, 4800);
    EXPECT_EQ(DspTest::peak(out.left), 0.0);
    EXPECT_EQ(DspTest::peak(out.right), 0.0);
    // Back to type 1: its frozen tail was cleared as well.
    setChoice(p().type, 1);
    out = render({}, {}, 4800);
    EXPECT_EQ(DspTest::peak(out.left), 0.0);
    EXPECT_EQ(DspTest::peak(out.right), 0.0);
    EXPECT_EQ(reverb.lastType(), 1);
}

TEST_F(EffectReverb, LongestUndampedTailStaysBoundedAndClean)
{
    set(p().send, 1.0f);
    set(p().time, 1.0f);
    set(p().hiDamp, 0.0f);
    for (int type : {0, 1}) {
        reverb.reset();
        setChoice(p().type, type);
        const unsigned n = unsigned(kRate * 3);
        const Stereo out = render(noise(n / 2, 1.0f, 3), noise(n / 2, 1.0f, 4), n);
        ASSERT_TRUE(clean(out)) << "type " << type;
        EXPECT_LT(DspTest::peak(out.left), 50.0) << "type " << type;
        EXPECT_LT(DspTest::peak(out.right), 50.0) << "type " << type;
        // Still ringing after the input stopped, and not growing.
        const double before = DspTest::rms(out.left.data() + n / 2 - 9600, 9600);
        const double after = DspTest::rms(out.left.data() + n - 9600, 9600);
        EXPECT_GT(after, 1e-3) << "type " << type;
        EXPECT_LT(after, before) << "type " << type;
    }
}

TEST_F(EffectReverb, SendChangesGlideWithoutClicks)
{
    // A low sine makes any step in gain stand out against its small second difference.
    set(p().time, 0.3f);
    set(p().hiDamp, 0.5f);
    for (int type : {0, 1}) {
        reverb.reset();
        setChoice(p().type, type);
        const unsigned n = 48 * kBlock;
        const auto in = sine(n, 0.5f, 100.0f);
        Stereo out{std::vector<float>(in), std::vector<float>(in)};
        for (unsigned b = 0; b < n / kBlock; ++b) {
            set(p().send, (b / 8) % 2 == 0 ? 1.0f : 0.2f);
            float* l = out.left.data() + b * kBlock;
            float* r = out.right.data() + b * kBlock;
            reverb.process(l, r, l, r, kBlock, kRate, clock, p(), 2, AudioQuality::Normal);
        }
        // Changes happen every 8 blocks; a step of even 0.05 would read as 0.05 here.
        EXPECT_LT(maxCurvature(out.left, 8, n), 0.01) << "type " << type;
        EXPECT_LT(maxCurvature(out.right, 8, n), 0.01) << "type " << type;
    }
}

TEST(EffectReverbRepeat, IdenticalInputGivesIdenticalOutputAndResetClearsTheTail)
{
    for (int type : {0, 1}) {
        Table table;
        set(table.params.reverb.send, 0.7f);
        setChoice(table.params.reverb.type, type);
        TestClock clock;
        Reverb a, b;
        a.reserve(512, kRate);
        b.reserve(512, kRate);
        const auto inL = noise(512, 0.5f, 5);
        const auto inR = noise(512, 0.5f, 6);
        auto run = [&](Reverb& r) {
            Stereo s{std::vector<float>(8192), std::vector<float>(8192)};
            for (unsigned at = 0; at < 8192; at += 512)
                r.process(s.left.data() + at, s.right.data() + at, inL.data(), inR.data(), 512, kRate, clock,
                          table.params.reverb, 2, AudioQuality::Normal);
            return s;
        };
        const Stereo first = run(a);
        const Stereo second = run(b);
        EXPECT_EQ(first.left, second.left);
        EXPECT_EQ(first.right, second.right);
        // A reset clears every tail: silence in gives silence out.
        a.reset();
        Stereo silent{std::vector<float>(4096), std::vector<float>(4096)};
        const std::vector<float> zeros(4096, 0.0f);
        a.process(silent.left.data(), silent.right.data(), zeros.data(), zeros.data(), 4096, kRate, clock,
                  table.params.reverb, 2, AudioQuality::Normal);
        EXPECT_EQ(DspTest::peak(silent.left), 0.0) << "type " << type;
        EXPECT_EQ(DspTest::peak(silent.right), 0.0) << "type " << type;
    }
}

} // namespace
