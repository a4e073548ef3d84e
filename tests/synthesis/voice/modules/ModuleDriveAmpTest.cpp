// The drive stage and the amplifier: drive bounds, envelope lengths, velocity and level laws.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/voice/modules/AMP.h"
#include "synthesis/voice/modules/Saturator.h"
#include "synthesis/voice/modules/ModuleFixture.h"

namespace {

using namespace ModuleTest;
using Lumora::Corvane::Module::AMP;
using Lumora::Corvane::Module::Saturator;

std::vector<float> sine(unsigned n, float amplitude, float hz)
{
    std::vector<float> x(n);
    for (unsigned i = 0; i < n; ++i)
        x[i] = amplitude * std::sin(2.0f * float(DspTest::kPi) * hz * float(i) / kRate);
    return x;
}

TEST(ModuleSaturator, DriveZeroLeavesTheSignalUnchanged)
{
    for (unsigned type : {0u, 1u}) {
        Saturator s;
        auto in = sine(256, 3.0f, 440.0f);
        std::vector<float> out(in.size());
        s.process(out.data(), in.data(), unsigned(in.size()), 0.0f, type);
        for (size_t i = 0; i < in.size(); ++i)
            ASSERT_FLOAT_EQ(out[i], in[i]) << "type " << type << " sample " << i;
    }
}

// Drive that stays at 0 never makes the shaped copy; raised later, the shaped copy fades in from
// the block's start rather than jumping in.
TEST(ModuleSaturator, DriveRaisedFromZeroFadesIn)
{
    Saturator s;
    auto in = sine(256, 0.9f, 440.0f);
    std::vector<float> out(in.size());
    for (int b = 0; b < 3; ++b)
        s.process(out.data(), in.data(), unsigned(in.size()), 0.0f, 1);
    ASSERT_EQ(out, in);
    s.process(out.data(), in.data(), unsigned(in.size()), 1.0f, 1);
    EXPECT_FLOAT_EQ(out[0], in[0]);
    for (size_t i = 1; i < 8; ++i)
        EXPECT_NEAR(out[i], in[i], 0.03f) << i;
    Saturator full;
    std::vector<float> shaped(in.size());
    full.process(shaped.data(), in.data(), unsigned(in.size()), 1.0f, 1);
    EXPECT_NEAR(out.back(), shaped.back(), 1e-5f);
}

// Blocks over silence move only the crossfade: a saturator idled through changes of drive (and a
// NaN) then renders a signal bit for bit as one that processed the silence.
TEST(ModuleSaturator, IdleOverSilenceLeavesTheCrossfadeAsProcessDoes)
{
    for (unsigned type : {0u, 1u}) {
        Saturator ran;
        Saturator idled;
        std::vector<float> silence(64, 0.0f);
        for (float drive : {0.0f, 0.7f, 0.7f, NAN, 0.2f, 1.0f}) {
            ran.process(silence.data(), silence.data(), 64, drive, type);
            idled.idle(drive);
        }
        const auto in = sine(256, 0.9f, 440.0f);
        std::vector<float> a(in.size()), b(in.size());
        ran.process(a.data(), in.data(), 256, 0.4f, type);
        idled.process(b.data(), in.data(), 256, 0.4f, type);
        EXPECT_EQ(a, b) << "type " << type;
        EXPECT_NE(a, in);
    }
}

TEST(ModuleSaturator, FullDriveStaysBoundedWhateverTheInput)
{
    // At drive 1 only the saturated copy is heard: the symmetric curve peaks at 0.5, the
    // asymmetric one at 1 (and at 0.8 below zero), however loud the input.
    for (unsigned type : {0u, 1u}) {
        for (float amplitude : {0.5f, 1.0f, 10.0f, 1000.0f}) {
            Saturator s;
            auto x = sine(512, amplitude, 1000.0f);
            s.process(x.data(), x.data(), unsigned(x.size()), 1.0f, type);
            EXPECT_TRUE(DspTest::allClean(x));
            EXPECT_LE(DspTest::peak(x), type == 0 ? 0.5 + 1e-6 : 1.0 + 1e-6) << "amplitude " << amplitude;
            if (amplitude <= 1.0f) {
                EXPECT_GT(DspTest::peak(x), 0.1);
            }
        }
    }
}

TEST(ModuleSaturator, DriveOneIsTheAsymmetricCurveDrivenByThreePointSeven)
{
    Saturator s;
    std::vector<float> x = {0.1f, -0.1f, 0.2f};
    const std::vector<float> in = x;
    s.process(x.data(), x.data(), 3, 1.0f, 1);
    for (size_t i = 0; i < x.size(); ++i) {
        const float u = 3.7f * in[i];
        const float expected = 2.0f * u / (1.0f + u * u) * (u < 0.0f ? 0.8f : 1.0f);
        EXPECT_NEAR(x[i], expected, 0.02f);
    }
}

class ModuleAmpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set(t.params.amp.level, 1.0f);
        set(t.params.amp.velocity, 0.0f);
        ones.assign(kBlock, 1.0f);
        out.assign(kBlock, 0.0f);
    }
    // Renders blocks of a constant 1 and collects the gain.
    std::vector<float> render(unsigned blocks, const NoteInformation& note)
    {
        std::vector<float> all;
        for (unsigned b = 0; b < blocks; ++b) {
            amp.process(out.data(), ones.data(), kBlock, kRate, clock, note, t.params.amp, 2, AudioQuality::Normal);
            all.insert(all.end(), out.begin(), out.end());
        }
        return all;
    }

    static constexpr unsigned kBlock = 256;
    Table t;
    Clock clock;
    AMP amp;
    std::vector<float> ones, out;
};

TEST_F(ModuleAmpTest, AttackRisesOverItsLengthAndTheLevelIsSquared)
{
    set(t.params.amp.env.attack, 0.1f); // 0.1 s = 4800 samples
    set(t.params.amp.env.sustain, 1.0f);
    amp.reserve(kBlock);
    amp.gateOn(VoicingType::NewNote);
    const auto g = render(30, noteInfo(60));
    EXPECT_NEAR(g[0], 0.0f, 1e-3f);
    EXPECT_NEAR(g[2400], 0.25f, 0.01f); // half way up, squared
    EXPECT_NEAR(g[4800], 1.0f, 0.01f);
    EXPECT_NEAR(g[7000], 1.0f, 1e-6f);
    EXPECT_TRUE(amp.isActive());
}

TEST_F(ModuleAmpTest, ReleaseEndsAfterItsLengthAndTheVoiceFallsSilent)
{
    set(t.params.amp.env.release, std::sqrt(0.02f)); // 0.2 s + 10 ms = 10080 samples
    amp.gateOn(VoicingType::NewNote);
    render(4, noteInfo(60));
    amp.gateOff();
    const auto g = render(50, noteInfo(60));
    EXPECT_NEAR(g[5040], 0.25f, 0.01f);
    EXPECT_GT(g[10000], 0.0f);
    for (size_t i = 10081; i < g.size(); ++i)
        ASSERT_EQ(g[i], 0.0f) << i;
    EXPECT_FALSE(amp.isActive());
}

TEST_F(ModuleAmpTest, ZeroReleaseStillTakesTenMilliseconds)
{
    amp.gateOn(VoicingType::NewNote);
    render(1, noteInfo(60));
    amp.gateOff();
    const auto g = render(4, noteInfo(60));
    EXPECT_NEAR(g[240], 0.25f, 0.01f);
    EXPECT_EQ(g[481], 0.0f);
    EXPECT_FALSE(amp.isActive());
}

TEST_F(ModuleAmpTest, VelocityAndLevelLaws)
{
    struct Case {
        float sensitivity, level;
        int velocity;
        float gain;
    };
    const Case cases[] = {
        {0.25f, 1.0f, 0, 0.75f},   // default sensitivity: velocity 0 still sounds at 0.75
        {0.25f, 1.0f, 127, 1.0f},
        {1.0f, 1.0f, 64, 64.0f / 127.0f},
        {0.0f, 1.0f, 1, 1.0f},
        {0.0f, 0.5f, 127, 0.25f},  // level squared
    };
    for (const auto& c : cases) {
        AMP a;
        set(t.params.amp.velocity, c.sensitivity);
        set(t.params.amp.level, c.level);
        a.gateOn(VoicingType::NewNote);
        a.process(out.data(), ones.data(), kBlock, kRate, clock, noteInfo(60, c.velocity), t.params.amp, 2,
                  AudioQuality::Normal);
        EXPECT_NEAR(out[kBlock - 1], c.gain, 1e-5f) << c.sensitivity << " " << c.velocity << " " << c.level;
    }
}

TEST_F(ModuleAmpTest, ZeroSustainStaysActiveUntilNoteOff)
{
    set(t.params.amp.env.decay, 0.1f);
    set(t.params.amp.env.sustain, 0.0f);
    amp.gateOn(VoicingType::NewNote);
    const auto g = render(40, noteInfo(60));
    EXPECT_EQ(g.back(), 0.0f);
    EXPECT_TRUE(amp.isActive());
    amp.gateOff();
    render(4, noteInfo(60));
    EXPECT_FALSE(amp.isActive());
}

TEST_F(ModuleAmpTest, KillSilencesAtOnce)
{
    amp.gateOn(VoicingType::NewNote);
    render(2, noteInfo(60));
    amp.kill();
    EXPECT_FALSE(amp.isActive());
    const auto g = render(1, noteInfo(60));
    EXPECT_EQ(DspTest::peak(g), 0.0);
}

} // namespace
