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

// At level 0 no noise is made, but raising the level glides up from silence instead of jumping,
// over the same 10 ms at every block size.
TEST_F(ModuleNoiseTest, LevelRaisedFromZeroGlidesInOverTheSameSamplesAtEveryBlockSize)
{
    const auto glide = static_cast<size_t>(0.01f * kRate);
    for (unsigned block : {32u, 1024u}) {
        Noise noise;
        set(t.params.noise.level, 0.0f);
        noise.gateOn(VoicingType::NewNote);
        EXPECT_EQ(DspTest::peak(render(noise, 1024, block)), 0.0);
        set(t.params.noise.level, 1.0f);
        const auto x = render(noise, 2048, block);
        // Half way the gain is a quarter of its 0.5 (the level is squared); a ramp of one block of
        // 32 would be at the full gain by then.
        EXPECT_EQ(x[0], 0.0f) << "blocks of " << block;
        EXPECT_LT(DspTest::peak(std::vector<float>(x.begin(), x.begin() + 16)), 0.05) << "blocks of " << block;
        EXPECT_LT(DspTest::peak(std::vector<float>(x.begin(), x.begin() + glide / 2)), 0.2) << "blocks of " << block;
        EXPECT_GT(DspTest::peak(std::vector<float>(x.begin() + glide, x.end())), 0.3) << "blocks of " << block;
    }
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
