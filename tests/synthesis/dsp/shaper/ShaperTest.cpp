#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/dsp/shaper/AsymSaturator.h"
#include "synthesis/dsp/shaper/Crossfader.h"
#include "synthesis/dsp/shaper/Crossfader3.h"
#include "synthesis/dsp/shaper/Panner.h"
#include "synthesis/dsp/shaper/Saturator.h"
#include "synthesis/dsp/shaper/StereoAmp.h"
#include "synthesis/dsp/shaper/WaveShaper.h"
#include "synthesis/dsp/common/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using namespace Lumora::DSP;

namespace {
std::vector<float> ones(unsigned n) { return std::vector<float>(n, 1.0f); }
} // namespace

TEST(Saturator, CurvesForSeparateAndSharedBuffers)
{
    Saturator s;
    const std::vector<float> in = {1.0f, 3.0f, -1.0f, 0.0f};
    std::vector<float> out(4);
    s.process(out.data(), in.data(), 4);
    EXPECT_FLOAT_EQ(out[0], 1.0f);
    EXPECT_FLOAT_EQ(out[1], 0.6f);
    EXPECT_FLOAT_EQ(out[2], -1.0f);
    EXPECT_EQ(out[3], 0.0f);
    std::vector<float> shared = {0.5f, 1.0f};
    s.process(shared.data(), shared.data(), 2);
    EXPECT_FLOAT_EQ(shared[0], 0.5f);
    EXPECT_FLOAT_EQ(shared[1], 0.4f);
    const std::vector<float> bad = {std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN(),
                                    1e30f, -1e30f};
    s.process(out.data(), bad.data(), 4);
    EXPECT_TRUE(DspTest::allClean(out));
}

TEST(WaveShaper, TableCurvesAndClamping)
{
    struct Case {
        float x, identity, asym;
    };
    const Case cases[] = {{-1.0f, -1.0f, -0.8f}, {0.0f, 0.0f, 0.0f}, {1.0f, 0.99f, 0.99995f},
                          {-0.5f, -0.5f, -0.64f}, {0.5f, 0.5f, 0.8f}, {-7.0f, -1.0f, -0.8f}, {7.0f, 0.99f, 0.99995f}};
    WaveShaper identity(200);
    AsymSaturator asym(0.8f, 200);
    for (const auto& c : cases) {
        float y = 0.0f;
        identity.process(&y, &c.x, 1);
        EXPECT_NEAR(y, c.identity, 1e-5) << c.x;
        asym.process(&y, &c.x, 1);
        EXPECT_NEAR(y, c.asym, 1e-3) << c.x;
    }
    // NaN reads an end of the table instead of outside it.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    float y = 0.0f;
    asym.process(&y, &nan, 1);
    EXPECT_TRUE(std::isfinite(y));
    // In place.
    std::vector<float> buf = {-0.5f, 0.5f};
    asym.process(buf.data(), buf.data(), 2);
    EXPECT_NEAR(buf[0], -0.64f, 1e-3);
    EXPECT_NEAR(buf[1], 0.8f, 1e-3);
}

TEST(Amplifier, RampsExclusivelyThenClears)
{
    Amplifier amp;
    auto in = ones(4);
    std::vector<float> out(4);
    amp.process(out.data(), in.data(), 4, 1.0f); // first block: no ramp
    EXPECT_EQ(out, ones(4));
    amp.process(out.data(), in.data(), 4, 0.0f);
    EXPECT_EQ(out, (std::vector<float>{1.0f, 0.75f, 0.5f, 0.25f}));
    in[2] = std::numeric_limits<float>::quiet_NaN();
    amp.process(out.data(), in.data(), 4, 0.0f);
    EXPECT_EQ(out, std::vector<float>(4, 0.0f)); // cleared, not multiplied
    // A one-sample block takes the new gain.
    in = ones(1);
    amp.process(out.data(), in.data(), 1, 0.5f);
    EXPECT_EQ(out[0], 0.5f);
    // After reset the new gain holds for the whole block.
    amp.reset();
    in = ones(4);
    amp.process(out.data(), in.data(), 4, 2.0f);
    EXPECT_EQ(out, std::vector<float>(4, 2.0f));
}

// A caller may apply a held gain itself only where a block would be that plain product: never
// before the first block, after a change, at 0 (which clears) or for a gain it takes as 0.
TEST(Amplifier, HoldsOnlyASteadyNonZeroGain)
{
    Amplifier amp;
    std::vector<float> out(4);
    const auto in = ones(4);
    EXPECT_FALSE(amp.holds(0.5f));
    amp.process(out.data(), in.data(), 4, 0.5f);
    EXPECT_TRUE(amp.holds(0.5f));
    EXPECT_FALSE(amp.holds(0.25f));
    EXPECT_FALSE(amp.holds(std::numeric_limits<float>::quiet_NaN()));
    amp.process(out.data(), in.data(), 4, 0.0f);
    EXPECT_FALSE(amp.holds(0.0f));
    amp.process(out.data(), in.data(), 4, std::numeric_limits<float>::infinity());
    EXPECT_FALSE(amp.holds(std::numeric_limits<float>::infinity()));
    amp.process(out.data(), in.data(), 4, 2.0f);
    amp.reset();
    EXPECT_FALSE(amp.holds(2.0f));
}

TEST(StereoAmp, ExclusiveRampAndTwoSegmentEnvelope)
{
    StereoAmp amp;
    auto l = ones(8), r = ones(8);
    std::vector<float> ol(8), orr(8);
    amp.process(ol.data(), orr.data(), l.data(), r.data(), 8, 0.5f, 0.0f, 0.0f);
    EXPECT_EQ(ol, std::vector<float>(8, 0.5f));
    amp.process(ol.data(), orr.data(), l.data(), r.data(), 8, 1.3f, 0.0f, 0.0f);
    for (int i = 0; i < 8; ++i) {
        EXPECT_FLOAT_EQ(ol[i], 0.5f + i * 0.1f);
        EXPECT_FLOAT_EQ(orr[i], ol[i]);
    }
    // Half the block ramps to the midpoint (shape 0.5), the rest to the target, both inclusive.
    amp.process(ol.data(), orr.data(), l.data(), r.data(), 8, 0.5f, 0.5f, 0.5f);
    const float expected[] = {1.3f, 1.1666667f, 1.0333333f, 0.9f, 0.9f, 0.7666667f, 0.6333333f, 0.5f};
    for (int i = 0; i < 8; ++i)
        EXPECT_NEAR(ol[i], expected[i], 1e-5) << i;
    amp.reset();
    amp.process(ol.data(), orr.data(), l.data(), r.data(), 8, 0.25f, 0.0f, 0.0f);
    EXPECT_EQ(orr, std::vector<float>(8, 0.25f));
}

TEST(Crossfader, EqualPowerWeightsAndInclusiveRamps)
{
    const std::vector<float> a = ones(5);
    const std::vector<float> b(5, 2.0f);
    std::vector<float> out(5);
    struct Case {
        float position, curve, wA, wB;
    };
    for (const Case& c : {Case{0.5f, 1.0f, 0.70710678f, 0.70710678f}, Case{0.5f, 1.5f, 0.59460356f, 0.59460356f},
                          Case{0.0f, 1.0f, 1.0f, 0.0f}, Case{-3.0f, 1.0f, 1.0f, 0.0f}, Case{9.0f, 1.5f, 0.0f, 1.0f}}) {
        Crossfader x;
        x.process(out.data(), a.data(), b.data(), 5, c.position, c.curve);
        for (float v : out)
            EXPECT_NEAR(v, c.wA + 2.0f * c.wB, 1e-5) << c.position << " " << c.curve;
    }
    // From position 0 to 1 the weights ramp so that the block ends exactly on the new weights.
    Crossfader x;
    x.process(out.data(), a.data(), b.data(), 5, 0.0f, 1.0f);
    x.process(out.data(), a.data(), b.data(), 5, 1.0f, 1.0f);
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(out[i], (1.0f - i / 4.0f) + 2.0f * (i / 4.0f), 1e-6);
    // Gains scale the weights; in place on either input gives the same result.
    Crossfader g1, g2, g3;
    std::vector<float> sep(5), inA = a, inB = b;
    g1.process(sep.data(), a.data(), b.data(), 5, 0.3f, 0.5f, 3.0f, 1.5f);
    g2.process(inA.data(), inA.data(), b.data(), 5, 0.3f, 0.5f, 3.0f, 1.5f);
    g3.process(inB.data(), a.data(), inB.data(), 5, 0.3f, 0.5f, 3.0f, 1.5f);
    EXPECT_EQ(sep, inA);
    EXPECT_EQ(sep, inB);
    EXPECT_NEAR(sep[0], 0.5f * std::pow(std::sin(0.7f * 1.5707963f), 1.5f) + 6.0f * std::pow(std::sin(0.3f * 1.5707963f), 1.5f), 1e-5);
}

// An input that weighs nothing through a whole block is not read: a caller may skip making it, and
// whatever it holds (even NaN) leaves no trace.
TEST(Crossfader, InputAtWeightZeroIsIgnored)
{
    const std::vector<float> a = ones(5);
    const std::vector<float> bad(5, std::numeric_limits<float>::quiet_NaN());
    std::vector<float> out(5);
    Crossfader x;
    EXPECT_FALSE(x.ignoresB(0.0f)); // nothing is known before the first block
    x.process(out.data(), a.data(), a.data(), 5, 0.0f, 1.5f);
    EXPECT_TRUE(x.ignoresB(0.0f));
    EXPECT_FALSE(x.ignoresB(0.1f));
    x.process(out.data(), a.data(), bad.data(), 5, 0.0f, 1.5f);
    EXPECT_EQ(out, a);
    Crossfader y;
    y.process(out.data(), bad.data(), a.data(), 5, 1.0f, 1.5f);
    EXPECT_EQ(out, a);
}

// A block that would pass a through untouched may be skipped: only once the crossfader has ended a
// block on weights 1 and 0 at that very position and curve, with unit gains.
TEST(Crossfader, PassesAOnlyWhenSettledOnA)
{
    const std::vector<float> a = ones(5), b(5, 2.0f);
    std::vector<float> out(5);
    Crossfader x;
    EXPECT_FALSE(x.passesA(0.0f, 1.5f)); // nothing is known before the first block
    x.process(out.data(), a.data(), b.data(), 5, 1.0f, 1.5f);
    EXPECT_FALSE(x.passesA(1.0f, 1.5f));
    x.process(out.data(), a.data(), b.data(), 5, 0.0f, 1.5f); // ramps back to a: b is still heard
    EXPECT_TRUE(x.passesA(0.0f, 1.5f));
    EXPECT_FALSE(x.passesA(0.01f, 1.5f));
    EXPECT_FALSE(x.passesA(-0.0f, 1.5f)); // another position, even with the same weights
    EXPECT_FALSE(x.passesA(0.0f, 1.0f));
    Crossfader gained;
    gained.process(out.data(), a.data(), b.data(), 5, 0.0f, 0.5f, 1.0f, 1.5f);
    EXPECT_FALSE(gained.passesA(0.0f, 1.5f));
    // Where it answers yes, processing in place changes neither the signal nor what it answers.
    std::vector<float> inPlace = {0.1f, -0.2f, 0.3f, -0.4f, 0.5f};
    const std::vector<float> before = inPlace;
    x.process(inPlace.data(), inPlace.data(), b.data(), 5, 0.0f, 1.5f);
    EXPECT_EQ(inPlace, before);
    EXPECT_TRUE(x.passesA(0.0f, 1.5f));
}

TEST(Crossfader3, ThreeWayWeightsAndInputsThatTakePart)
{
    const std::vector<float> a = ones(4), b(4, 10.0f), c(4, 100.0f);
    std::vector<float> out(4);
    Crossfader3 x;
    x.process(out.data(), a.data(), b.data(), c.data(), 4, 0.25f, 1.0f);
    for (float v : out)
        EXPECT_NEAR(v, 0.70710678f * 1.0f + 0.70710678f * 10.0f, 1e-4);
    // Moving to 0.75: A falls to 0 and stops at once, C comes up from 0 and stays out this block,
    // B ramps inclusively from 0.7071 to 0.7071.
    x.process(out.data(), a.data(), b.data(), c.data(), 4, 0.75f, 1.0f);
    for (float v : out)
        EXPECT_NEAR(v, 7.0710678f, 1e-4);
    x.process(out.data(), a.data(), b.data(), c.data(), 4, 0.75f, 1.0f);
    for (float v : out)
        EXPECT_NEAR(v, 7.0710678f + 70.710678f, 1e-3);
    x.process(out.data(), a.data(), b.data(), c.data(), 4, 0.5f, 1.0f);
    // Back to all B: C has dropped to 0 and stops at once, B ramps up to 1.
    EXPECT_NEAR(out[0], 7.0710678f, 1e-4);
    EXPECT_NEAR(out[3], 10.0f, 1e-4);
    // In place on the input that is overwritten.
    Crossfader3 y, z;
    std::vector<float> sep(4), inC = c;
    y.process(sep.data(), a.data(), b.data(), c.data(), 4, 0.8f, 1.5f);
    z.process(inC.data(), a.data(), b.data(), inC.data(), 4, 0.8f, 1.5f);
    EXPECT_EQ(sep, inC);
    // Nothing takes part: zeros.
    Crossfader3 w;
    std::vector<float> zeroIn(4, 0.0f);
    w.process(out.data(), a.data(), b.data(), c.data(), 4, 0.0f, 1.0f);
    w.process(out.data(), a.data(), b.data(), c.data(), 4, 1.0f, 1.0f);
    for (float v : out)
        EXPECT_EQ(v, 0.0f);
}

TEST(Crossfader3, ACurveChangeAloneReweighs)
{
    const std::vector<float> a(4, 0.0f), b = ones(4), c(4, 0.0f);
    std::vector<float> out(4);
    Crossfader3 x;
    // At 0.25 B weighs sin(pi/4)^curve: 0.7071 at curve 1, 0.5 at curve 2, and back.
    for (const auto& [curve, weight] : {std::pair{1.0f, 0.70710678f}, std::pair{2.0f, 0.5f}, std::pair{1.0f, 0.70710678f}}) {
        x.process(out.data(), a.data(), b.data(), c.data(), 4, 0.25f, curve);
        EXPECT_NEAR(out[3], weight, 1e-5) << curve;
    }
}

TEST(Panner, GainsRampsAndInPlace)
{
    const std::vector<float> in = ones(4);
    std::vector<float> o1(4), o2(4);
    Panner p;
    p.process(o1.data(), o2.data(), in.data(), 4, 0.5f, 1.5f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(o1[i], 0.59460356f, 1e-5);
        EXPECT_NEAR(o2[i], 0.59460356f, 1e-5);
    }
    p.process(o1.data(), o2.data(), in.data(), 4, 1.0f, 1.5f);
    EXPECT_NEAR(o1[0], 0.59460356f, 1e-5);
    EXPECT_NEAR(o1[3], 1.0f, 1e-6);
    EXPECT_NEAR(o2[3], 0.0f, 1e-6);
    p.reset();
    std::vector<float> shared = ones(4);
    p.process(shared.data(), o2.data(), shared.data(), 4, 0.0f, 1.0f);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(shared[i], 0.0f, 1e-6);
        EXPECT_NEAR(o2[i], 1.0f, 1e-6);
    }
    // Pan outside [0, 1] and NaN never give NaN gains.
    Panner q;
    q.process(o1.data(), o2.data(), in.data(), 4, -0.3f, 1.5f);
    EXPECT_TRUE(DspTest::allClean(o1));
    q.process(o1.data(), o2.data(), in.data(), 4, std::numeric_limits<float>::quiet_NaN(), 1.5f);
    EXPECT_TRUE(DspTest::allClean(o1));
    EXPECT_TRUE(DspTest::allClean(o2));
}

TEST(GainStages, NaNSettingsNeverReachTheOutput)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<float> in = ones(8);
    std::vector<float> o1(8), o2(8);
    Amplifier amp;
    StereoAmp st;
    Crossfader x;
    Panner p;
    for (float bad : {nan, std::numeric_limits<float>::infinity()}) {
        amp.process(o1.data(), in.data(), 8, bad);
        EXPECT_TRUE(DspTest::allClean(o1));
        amp.process(o1.data(), in.data(), 8, 1.0f);
        EXPECT_TRUE(DspTest::allClean(o1));
        EXPECT_EQ(o1[7], 0.875f); // ramping up from the 0 that stood for the bad gain
        st.process(o1.data(), o2.data(), in.data(), in.data(), 8, bad, 0.5f, bad);
        EXPECT_TRUE(DspTest::allClean(o1));
        x.process(o1.data(), in.data(), in.data(), 8, 0.5f, bad, 1.0f, 1.0f);
        EXPECT_TRUE(DspTest::allClean(o1));
        x.process(o1.data(), in.data(), in.data(), 8, 0.5f, bad);
        EXPECT_TRUE(DspTest::allClean(o1));
        p.process(o1.data(), o2.data(), in.data(), 8, 0.5f, bad);
        EXPECT_TRUE(DspTest::allClean(o1));
        EXPECT_TRUE(DspTest::allClean(o2));
    }
}
