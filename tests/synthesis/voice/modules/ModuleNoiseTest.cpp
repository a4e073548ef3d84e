// The noise module: colours, level law, envelope decay and hold.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/voice/modules/ModuleFixture.h"
#include "synthesis/voice/modules/Noise.h"
#include "synthesis/dsp/noise/XorAddGenerator.h"

namespace {

using namespace ModuleTest;
using Lumora::Corvane::Module::Noise;

class ModuleNoiseTest : public ::testing::Test {
protected:
    std::vector<float> render(Noise& noise, unsigned frames, unsigned block = 256, unsigned version = 2)
    {
        std::vector<float> all;
        const auto note = noteInfo(69);
        for (unsigned done = 0; done < frames; done += block) {
            const float* out = noise.process(block, kRate, clock, note, t.params.noise, version, AudioQuality::Normal);
            all.insert(all.end(), out, out + block);
        }
        return all;
    }

    Table t;
    Clock clock;
};

TEST_F(ModuleNoiseTest, WhiteNoiseAtHalfGainFollowsTheSquaredLevel)
{
    // Uniform noise in [-1, 1) has an RMS of 1/sqrt(3); the white colour is played at half gain.
    const double white = 0.5 / std::sqrt(3.0);
    for (float level : {1.0f, 0.5f, 0.0f}) {
        Noise noise;
        set(t.params.noise.level, level);
        noise.gateOn(VoicingType::NewNote);
        const auto x = render(noise, 48000);
        EXPECT_NEAR(DspTest::rms(x), white * level * level, 0.02 * white) << "level " << level;
        EXPECT_TRUE(DspTest::allClean(x));
        EXPECT_LE(DspTest::peak(x), 0.5 * level * level + 1e-6);
    }
}

TEST_F(ModuleNoiseTest, SilentBeforeItsGateAndWithLevelAtItsDefault)
{
    Noise noise;
    set(t.params.noise.level, 1.0f);
    EXPECT_EQ(DspTest::peak(render(noise, 1024)), 0.0); // envelope idle
    set(t.params.noise.level, 0.0f);                    // the sound's default
    noise.gateOn(VoicingType::NewNote);
    EXPECT_EQ(DspTest::peak(render(noise, 1024)), 0.0);
}

// At level 0 no noise is made, but raising the level glides up from silence instead of jumping.
TEST_F(ModuleNoiseTest, LevelRaisedFromZeroGlidesIn)
{
    Noise noise;
    set(t.params.noise.level, 0.0f);
    noise.gateOn(VoicingType::NewNote);
    EXPECT_EQ(DspTest::peak(render(noise, 1024)), 0.0);
    set(t.params.noise.level, 1.0f);
    const auto x = render(noise, 256);
    EXPECT_EQ(x[0], 0.0f);
    EXPECT_LT(DspTest::peak(std::vector<float>(x.begin(), x.begin() + 16)), 0.05);
    EXPECT_GT(DspTest::peak(std::vector<float>(x.end() - 64, x.end())), 0.2);
}

TEST_F(ModuleNoiseTest, DecayFallsToSilenceOverItsLength)
{
    Noise noise;
    set(t.params.noise.level, 1.0f);
    set(t.params.noise.env.decay, 0.1f); // 0.1 s = 4800 samples, sustain 0
    noise.gateOn(VoicingType::NewNote);
    const auto x = render(noise, 9600);
    const double white = 0.5 / std::sqrt(3.0);
    EXPECT_NEAR(DspTest::rms(x.data(), 200), white, 0.25 * white);
    // Half way down the linear level is 0.5: the squared envelope gives a quarter.
    EXPECT_NEAR(DspTest::rms(x.data() + 2300, 200), 0.25 * white, 0.08 * white);
    EXPECT_EQ(DspTest::peak(x.data() + 4801, x.size() - 4801), 0.0);
}

TEST_F(ModuleNoiseTest, DecayAtOneHoldsUntilReleaseThenFadesOverTenSeconds)
{
    Noise noise;
    set(t.params.noise.level, 1.0f);
    set(t.params.noise.env.decay, 1.0f);
    noise.gateOn(VoicingType::NewNote);
    const auto held = render(noise, 4 * 48000, 4800);
    const double white = 0.5 / std::sqrt(3.0);
    EXPECT_NEAR(DspTest::rms(held.data() + held.size() - 4800, 4800), white, 0.05 * white);
    noise.gateOff();
    const auto released = render(noise, 5 * 48000, 4800);
    // Half way through the ten-second release: (1 - 0.5)^2.
    EXPECT_NEAR(DspTest::rms(released.data() + released.size() - 4800, 4800), 0.25 * white, 0.03 * white);
}

TEST_F(ModuleNoiseTest, EveryColourIsFiniteAndBounded)
{
    for (int type = 0; type <= 5; ++type) {
        Noise noise;
        set(t.params.noise.level, 1.0f);
        setChoice(t.params.noise.type, type);
        noise.gateOn(VoicingType::NewNote);
        const auto x = render(noise, 24000, 300);
        EXPECT_TRUE(DspTest::allClean(x)) << "type " << type;
        EXPECT_GT(DspTest::rms(x), 0.01) << "type " << type;
        EXPECT_LT(DspTest::peak(x), 12.0) << "type " << type;
        EXPECT_EQ(noise.previousType(), type);
    }
}

TEST_F(ModuleNoiseTest, BandPassColourCentresOnTwiceTheNoteFrequency)
{
    Noise noise;
    set(t.params.noise.level, 1.0f);
    setChoice(t.params.noise.type, 3);
    noise.gateOn(VoicingType::NewNote);
    const auto x = render(noise, 48000, 512);
    const std::vector<float> tail(x.begin() + 4800, x.end());
    const double atBand = DspTest::amplitudeAt(tail, 880.0, kRate);
    EXPECT_GT(atBand, 4.0 * DspTest::amplitudeAt(tail, 440.0, kRate));
    EXPECT_GT(atBand, 4.0 * DspTest::amplitudeAt(tail, 1760.0, kRate));
}

// The sample-and-hold and Geiger colours draw from the generator that every voice's pitch jitter
// draws from: silenced at level 0 they draw as much as when heard, so that the noise level shifts
// no voice's jitter.
TEST_F(ModuleNoiseTest, SilencedColoursDrawAsMuchFromTheSharedGeneratorAsHeardOnes)
{
    using Lumora::DSP::sharedGenerator;
    for (int type : {4, 5}) {
        const auto start = sharedGenerator.load();
        std::uint64_t after[2] = {};
        for (int heard = 0; heard < 2; ++heard) {
            sharedGenerator.store(start);
            Noise noise;
            setChoice(t.params.noise.type, type);
            set(t.params.noise.level, heard ? 1.0f : 0.0f);
            noise.gateOn(VoicingType::NewNote);
            const auto x = render(noise, 8 * 300, 300);
            EXPECT_EQ(DspTest::peak(x) > 0.0, heard == 1) << "type " << type;
            after[heard] = sharedGenerator.load().packed();
        }
        EXPECT_NE(after[1], start.packed()) << "type " << type;
        EXPECT_EQ(after[0], after[1]) << "type " << type;
    }
}

} // namespace
