#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/envelope/MultiPointEnvelopeImpl.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <vector>

using Lumora::VoicingType;
using Lumora::DSP::ENV::ADSR;
using Lumora::DSP::ENV::MultiPointEnvelope;
using Status = MultiPointEnvelope::Impl::STATUS;

namespace {

// A linear-output ADSR at a sample rate of 1000 Hz, so that seconds read as thousands of samples.
struct LinearAdsr : ::testing::Test {
    static constexpr float kRate = 1000.0f;
    ADSR env;
    LinearAdsr() { env.setSquareOutputMode(false); }

    std::vector<float> render(unsigned frames)
    {
        std::vector<float> out(frames, -1.0f);
        env.process(out.data(), frames, kRate);
        return out;
    }
    // Renders sample by sample and answers the level after each one.
    std::vector<float> renderSampleBySample(unsigned frames)
    {
        std::vector<float> levels;
        for (unsigned i = 0; i < frames; ++i)
            levels.push_back(env.process(nullptr, 1, kRate).second);
        return levels;
    }
    Status status() const { return env.impl().status(); }
};

std::size_t firstIndexAtLeast(const std::vector<float>& v, float threshold)
{
    for (std::size_t i = 0; i < v.size(); ++i)
        if (v[i] >= threshold)
            return i;
    return v.size();
}

bool isCleanNumber(float x)
{
    return std::isfinite(x) && (x == 0.0f || std::fabs(x) >= FLT_MIN);
}

} // namespace

TEST_F(LinearAdsr, FreshEnvelopeIsFullAtOnceAndZeroReleaseIdlesInTheSameBlock)
{
    env.setSquareOutputMode(true); // the default mode; 1 and 0 square to themselves
    env.gateOn(VoicingType::NewNote);
    auto out = render(64);
    for (float x : out)
        ASSERT_EQ(x, 1.0f);
    EXPECT_EQ(status(), Status::Sustaining);

    env.gateOff();
    out = render(64);
    EXPECT_FALSE(env.isActive());
    for (float x : out)
        ASSERT_EQ(x, 0.0f);
}

TEST_F(LinearAdsr, SegmentLengthsAreSecondsTimesSampleRate)
{
    env.setADSR(0.5f, 0.25f, 0.5f, 0.1f);
    env.gateOn(VoicingType::NewNote);
    const auto out = render(1000);
    // Attack: 500 samples rising by 1/500 each, the last of them at 1.
    EXPECT_EQ(firstIndexAtLeast(out, 1.0f), 499u);
    EXPECT_NEAR(out[249], 0.5f, 0.002f);
    // Decay: 250 samples from 1 down to the sustain level.
    std::size_t reached = 0;
    for (std::size_t i = 500; i < out.size() && reached == 0; ++i)
        if (out[i] <= 0.5f)
            reached = i;
    EXPECT_EQ(reached, 749u);
    EXPECT_EQ(out[999], 0.5f);
    EXPECT_EQ(status(), Status::Sustaining);

    env.gateOff();
    const auto levels = renderSampleBySample(120);
    EXPECT_GT(levels[98], 0.0f);
    EXPECT_EQ(levels[99], 0.0f); // 100 samples of release
    EXPECT_EQ(status(), Status::Idle);
}

TEST_F(LinearAdsr, SegmentLengthsDoNotDependOnControlBlockSize)
{
    for (unsigned block : {1u, 7u, 64u, 128u, 1000u}) {
        ADSR e;
        e.setSquareOutputMode(false);
        e.setADSR(0.3f, 0.2f, 0.25f, 0.4f);
        e.gateOn(VoicingType::NewNote);
        unsigned done = 0;
        unsigned sustainAt = 0;
        while (done < 2000) {
            e.blockProcess(nullptr, 128, block, kRate);
            done += block;
            if (sustainAt == 0 && e.impl().status() == Status::Sustaining)
                sustainAt = done;
        }
        // Attack and decay together take 500 samples; the status changes inside that block.
        EXPECT_GE(sustainAt, 500u) << block;
        EXPECT_LT(sustainAt, 500u + block) << block;
        EXPECT_FLOAT_EQ(e.slope().second, 0.25f) << block;
    }
}

TEST_F(LinearAdsr, StatesFollowTheGates)
{
    env.setADSR(0.1f, 0.1f, 0.5f, 0.1f);
    EXPECT_FALSE(env.isActive());
    env.gateOn(VoicingType::NewNote);
    EXPECT_EQ(status(), Status::Running);
    EXPECT_EQ(env.impl().segment(), 1u);
    render(150);
    EXPECT_EQ(status(), Status::Running);
    EXPECT_EQ(env.impl().segment(), 2u); // decay
    render(100);
    EXPECT_EQ(status(), Status::Sustaining);
    env.gateOff();
    EXPECT_EQ(status(), Status::Releasing);
    EXPECT_EQ(env.impl().segment(), 3u);
    render(50);
    EXPECT_TRUE(env.isActive());
    render(50);
    EXPECT_FALSE(env.isActive());

    env.gateOn(VoicingType::NewNote);
    render(30);
    env.kill();
    EXPECT_FALSE(env.isActive());
    EXPECT_EQ(env.process(nullptr, 10, kRate).second, 0.0f);
}

TEST_F(LinearAdsr, RetriggerKeepsTheNominalAttackSlopeAndNewNoteRestartsFromZero)
{
    env.setADSR(1.0f, 1.0f, 0.0f, 1.0f);
    env.gateOn(VoicingType::NewNote);
    render(500);
    EXPECT_NEAR(env.slope().second, 0.5f, 1e-5f);

    env.gateOn(VoicingType::Retrigger);
    const auto levels = renderSampleBySample(1000);
    EXPECT_NEAR(levels[0], 0.501f, 1e-5f);
    EXPECT_EQ(firstIndexAtLeast(levels, 0.9999f), 499u); // half the attack time
    for (std::size_t i = 500; i < 1000; ++i)
        ASSERT_EQ(levels[i], 1.0f) << i; // held for the rest of the attack segment
    EXPECT_LT(renderSampleBySample(1)[0], 1.0f); // then the decay starts

    env.gateOn(VoicingType::NewNote);
    EXPECT_NEAR(renderSampleBySample(1)[0], 0.001f, 1e-6f);
}

TEST_F(LinearAdsr, LegatoLeavesTheEnvelopeAlone)
{
    env.setADSR(0.0f, 0.0f, 0.7f, 1.0f);
    env.gateOn(VoicingType::NewNote);
    render(10);
    env.gateOn(VoicingType::Legato);
    EXPECT_EQ(status(), Status::Sustaining);
    EXPECT_FLOAT_EQ(render(10)[0], 0.7f);

    env.gateOff();
    render(500);
    const float releasing = env.slope().second;
    env.gateOn(VoicingType::Legato);
    EXPECT_EQ(status(), Status::Releasing);
    EXPECT_LT(render(10)[9], releasing);
}

TEST_F(LinearAdsr, ReleaseAlwaysLandsOnZeroAfterItsFullLength)
{
    // A release that starts during the attack, at 0.3, still takes the whole release time.
    env.setADSR(1.0f, 0.0f, 1.0f, 0.2f);
    env.gateOn(VoicingType::NewNote);
    render(300);
    env.gateOff();
    const auto levels = renderSampleBySample(250);
    EXPECT_NEAR(levels[0], 0.3f - 0.3f / 200.0f, 1e-5f);
    EXPECT_GT(levels[198], 0.0f);
    EXPECT_EQ(levels[199], 0.0f);
    EXPECT_FALSE(env.isActive());
}

TEST_F(LinearAdsr, GateOffOnAnIdleEnvelopeStaysActiveForTheReleaseTime)
{
    env.setADSR(0.0f, 0.0f, 1.0f, 0.1f);
    env.gateOff();
    EXPECT_TRUE(env.isActive());
    const auto out = render(99);
    EXPECT_TRUE(env.isActive());
    for (float x : out)
        ASSERT_EQ(x, 0.0f);
    render(1);
    EXPECT_FALSE(env.isActive());
}

TEST_F(LinearAdsr, SustainChangeTakesEffectAtTheNextControlBlock)
{
    env.setADSR(0.0f, 0.0f, 0.8f, 0.1f);
    env.gateOn(VoicingType::NewNote);
    render(64);
    env.setADSR(0.0f, 0.0f, 0.3f, 0.1f);
    std::vector<float> out(256);
    env.blockProcess(out.data(), 128, 256, kRate);
    EXPECT_FLOAT_EQ(out[0], 0.3f);
    EXPECT_FLOAT_EQ(out[255], 0.3f);

    env.setADSR(0.0f, 0.0f, -0.5f, 0.1f);
    EXPECT_EQ(render(8)[0], 0.0f);
}

TEST_F(LinearAdsr, SquareOutputModeSquaresRenderedAndReadBackLevelsOnly)
{
    env.setADSR(0.0f, 0.0f, 1.0f, 0.101f); // a 101-sample release: its midpoint is a sample
    env.gateOn(VoicingType::NewNote);
    render(10);
    env.gateOff();
    env.setSquareOutputMode(true);
    std::vector<float> out(101);
    const auto linear = env.process(out.data(), 101, kRate);
    EXPECT_EQ(linear.first, 1.0f);
    EXPECT_EQ(out[0], 1.0f);
    EXPECT_NEAR(out[50], 0.25f, 1e-6f); // a linear fall from 1 to 0 squared: a parabola
    EXPECT_NEAR(out[25], 0.5625f, 1e-6f);
    EXPECT_EQ(out[100], 0.0f);
    EXPECT_EQ(env.level(), 1.0f);
    EXPECT_NEAR(env.level(50), 0.25f, 1e-6f);

    env.setADSR(0.0f, 0.0f, 0.5f, 0.1f);
    env.gateOn(VoicingType::NewNote);
    env.process(nullptr, 10, kRate);
    const auto held = env.process(nullptr, 10, kRate);
    EXPECT_FLOAT_EQ(held.second, 0.5f);
    EXPECT_FLOAT_EQ(env.slope().second, 0.25f);
    EXPECT_FLOAT_EQ(env.level(), 0.25f);
}

TEST_F(LinearAdsr, BlockProcessRecordsOnePairPerControlBlock)
{
    env.setADSR(1.0f, 0.0f, 1.0f, 0.0f);
    env.gateOn(VoicingType::NewNote);
    std::vector<float> out(300);
    env.blockProcess(out.data(), 128, 300, kRate);
    // Three control blocks of 128, 128 and 44 samples.
    EXPECT_FLOAT_EQ(env.level(0), 0.0f);
    EXPECT_FLOAT_EQ(env.level(127), 0.128f);
    EXPECT_FLOAT_EQ(env.level(128), 0.128f);
    EXPECT_FLOAT_EQ(env.level(255), 0.256f);
    EXPECT_FLOAT_EQ(env.level(299), 0.3f);
    EXPECT_FLOAT_EQ(env.level(277), 0.256f + 0.044f * 21.0f / 43.0f);
    EXPECT_FLOAT_EQ(env.slope().first, 0.0f);
    EXPECT_FLOAT_EQ(env.slope().second, 0.3f);
    EXPECT_FLOAT_EQ(out[299], 0.3f);
    for (unsigned i : {0u, 50u, 130u, 290u})
        EXPECT_FLOAT_EQ(out[i], env.level(i)) << i;
}

TEST_F(LinearAdsr, ReleaseHasNoClicksAtBlockBoundaries)
{
    env.setADSR(0.01f, 0.05f, 0.6f, 0.2f);
    env.gateOn(VoicingType::NewNote);
    std::vector<float> release;
    for (int b = 0; b < 20; ++b) {
        if (b == 8)
            env.gateOff();
        std::vector<float> out(37);
        env.blockProcess(out.data(), 16, 37, kRate);
        if (b >= 8)
            release.insert(release.end(), out.begin(), out.end());
    }
    EXPECT_EQ(release.back(), 0.0f);
    float largestStep = 0.0f;
    for (std::size_t i = 1; i < release.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(release[i] - release[i - 1]));
    // Nominal slope 0.6 / 200 per sample; a short run between control-block edges may take at
    // most two nominal steps at once.
    EXPECT_LE(largestStep, 2.0f * 0.6f / 200.0f + 1e-6f);
}

TEST(Envelope, HostileInputStaysInsideZeroToOne)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float rate : {0.0f, -44100.0f, nan, inf, 1.0e30f}) {
        ADSR env;
        env.setADSR(nan, -1.0f, nan, inf);
        env.gateOn(VoicingType::NewNote);
        std::vector<float> out(300);
        env.blockProcess(out.data(), 128, 300, rate);
        env.gateOff();
        env.process(out.data(), 300, rate);
        for (float x : out)
            ASSERT_TRUE(isCleanNumber(x) && x >= 0.0f && x <= 1.0f) << rate;
        EXPECT_TRUE(std::isfinite(env.level(1000)));
    }
}

TEST(Envelope, MultiPointIndexRules)
{
    MultiPointEnvelope env(5, 9); // the sustain index becomes 3
    EXPECT_EQ(env.impl().sustainIndex(), 3u);
    env.setEnvPoint(0, 3.0f, 0.7f);
    EXPECT_EQ(env.point(0).seconds, 0.0f);
    EXPECT_EQ(env.point(0).level, 0.0f);
    env.setEnvPoint(4, 2.0f, 0.7f); // the last point, past the sustain index: level forced to 0
    EXPECT_EQ(env.point(4).seconds, 2.0f);
    EXPECT_EQ(env.point(4).level, 0.0f);
    env.setEnvPoint(7, 2.0f, 0.7f); // past the end: ignored
    env.setEnvPoint(2, 1.5f, 0.4f);
    EXPECT_EQ(env.point(2).level, 0.4f);

    MultiPointEnvelope tiny(0, 0); // at least two points
    EXPECT_EQ(tiny.pointCount(), 2u);
    tiny.setEnvPoint(1, 0.01f, 0.0f);
    tiny.gateOn(VoicingType::NewNote);
    tiny.process(nullptr, 64, 1000.0f);
    tiny.gateOff();
    tiny.process(nullptr, 64, 1000.0f);
    EXPECT_FALSE(tiny.isActive());
}

// The same points at a new sample rate are converted anew: the attack keeps its length in seconds.
TEST_F(LinearAdsr, UnchangedPointsFollowANewSampleRate)
{
    env.setADSR(0.5f, 0.25f, 0.5f, 0.1f);
    env.gateOn(VoicingType::NewNote);
    env.process(nullptr, 1, kRate);
    env.setADSR(0.5f, 0.25f, 0.5f, 0.1f);
    std::vector<float> out(2000);
    env.process(out.data(), 2000, 2.0f * kRate);
    // At twice the rate the 0.5 s attack takes 1000 samples, the first of them rendered before;
    // at the old rate it would end near 500.
    EXPECT_EQ(firstIndexAtLeast(out, 1.0f), 998u);
}

// A sustaining block can be taken as one level: it must be the level every rendered sample holds,
// in either output mode, and leave the envelope where rendering leaves it; outside the sustain it
// declines and changes nothing.
TEST(Envelope, SustainBlockHoldsWhatRenderingWrites)
{
    constexpr float kRate = 1000.0f;
    for (const bool square : {false, true}) {
        ADSR rendered, held;
        for (ADSR* e : {&rendered, &held}) {
            e->setSquareOutputMode(square);
            e->setADSR(0.01f, 0.02f, 0.7f, 0.05f);
            e->gateOn(VoicingType::NewNote);
        }
        std::vector<float> a(16), b(16);
        float level = -1.0f;
        // Attack and decay: declined, the twin renders on as if never asked.
        for (int block = 0; block < 2; ++block) {
            EXPECT_FALSE(held.sustainBlock(16, kRate, level)) << square;
            rendered.process(a.data(), 16, kRate);
            held.process(b.data(), 16, kRate);
            EXPECT_EQ(a, b) << square;
        }
        rendered.process(a.data(), 16, kRate);
        held.process(b.data(), 16, kRate); // into the sustain
        // A new sustain level takes effect in the block that asks, as in a rendered block; so do
        // the times converted for a new rate.
        rendered.setADSR(0.01f, 0.02f, 0.4f, 0.05f);
        held.setADSR(0.01f, 0.02f, 0.4f, 0.05f);
        for (const float rate : {kRate, kRate, 2.0f * kRate, 2.0f * kRate}) {
            rendered.process(a.data(), 16, rate);
            ASSERT_TRUE(held.sustainBlock(16, rate, level)) << square;
            for (float v : a)
                EXPECT_EQ(v, level) << square;
            EXPECT_EQ(held.slope(), rendered.slope()) << square;
            EXPECT_EQ(held.level(), rendered.level()) << square;
        }
        // The release then runs from the same place.
        rendered.gateOff();
        held.gateOff();
        EXPECT_FALSE(held.sustainBlock(16, 2.0f * kRate, level)) << square;
        for (int block = 0; block < 8; ++block) {
            rendered.process(a.data(), 16, 2.0f * kRate);
            held.process(b.data(), 16, 2.0f * kRate);
            EXPECT_EQ(a, b) << square;
        }
    }
}
