// The filter module: cutoff tracking measured on the magnitude response, stages, drive, low end,
// envelope, reset.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/noise/XorAddGenerator.h"
#include "synthesis/voice/modules/Filter.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/modules/ModuleFixture.h"

namespace {

using namespace ModuleTest;
using Lumora::Corvane::Module::cutoffCurve;
using Lumora::Corvane::Module::Filter;
using Lumora::DSP::LFO;

class ModuleFilterTest : public ::testing::Test {
protected:
    ModuleFilterTest()
    {
        lfo.blockProcess(nullptr, 128, 4096, kRate, 0.0f, 0);
        // A plain low-pass: no velocity, envelope, drive or low end.
        set(t.params.filter.velo, 0.0f);
        set(t.params.filter.low, 0.25f);
        setChoice(t.params.filter.type, 0);
    }

    // Gain of the filter for a sine at hz, from the steady state.
    double gainAt(double hz, int note, unsigned frames = 9600)
    {
        Filter filter;
        filter.gateOn(VoicingType::NewNote);
        std::vector<float> in(frames), out;
        for (unsigned i = 0; i < frames; ++i)
            in[i] = 0.5f * float(std::sin(2.0 * DspTest::kPi * hz * i / kRate));
        const auto info = noteInfo(note);
        for (unsigned done = 0; done < frames; done += 480) {
            const float* y = filter.process(in.data() + done, 480, kRate, clock, info, t.params.filter, lfo, 2,
                                            AudioQuality::Normal);
            out.insert(out.end(), y, y + 480);
        }
        const unsigned skip = frames / 2;
        return DspTest::rms(out.data() + skip, frames - skip) / DspTest::rms(in.data() + skip, frames - skip);
    }

    Table t;
    Clock clock;
    LFO lfo{LFO::WAVEFORM_TYPE(0)};
};

TEST_F(ModuleFilterTest, CutoffFollowsTheKeyboard)
{
    // At the design frequency a cookbook low-pass of Q 0.7 has the gain 0.7; with full key
    // tracking that point moves an octave per octave played.
    const float x = 0.45f;
    set(t.params.filter.freq, x);
    set(t.params.filter.key, 1.0f);
    const double corner = 0.99 * cutoffCurve(x) * kRate / 2.0; // about 1.1 kHz
    EXPECT_NEAR(gainAt(corner, 60), 0.7, 0.03);
    EXPECT_NEAR(gainAt(2.0 * corner, 72), 0.7, 0.03);
    EXPECT_NEAR(gainAt(0.5 * corner, 48), 0.7, 0.03);
    // Without tracking an octave above the corner lies well in the stop band.
    EXPECT_LT(gainAt(2.0 * corner, 60), 0.3);
    set(t.params.filter.key, 0.0f);
    EXPECT_NEAR(gainAt(corner, 72), 0.7, 0.03);
}

TEST_F(ModuleFilterTest, TwoStagesCutTwiceAsSteeply)
{
    set(t.params.filter.freq, 0.4f);
    const double corner = 0.99 * cutoffCurve(0.4f) * kRate / 2.0;
    const double one = gainAt(4.0 * corner, 60);
    setChoice(t.params.filter.type, 1);
    const double two = gainAt(4.0 * corner, 60);
    EXPECT_NEAR(20 * std::log10(one), -24.0, 2.0); // 12 dB per octave
    EXPECT_LT(20 * std::log10(two), 20 * std::log10(one) - 20.0);
    EXPECT_NEAR(gainAt(0.25 * corner, 60), 1.0, 0.03); // the pass band stays flat
}

TEST_F(ModuleFilterTest, DefaultsLeaveTheFilterOpenWhateverTheVelocity)
{
    Table defaults;
    for (int velocity : {0, 64, 127}) {
        Filter filter;
        filter.gateOn(VoicingType::NewNote);
        std::vector<float> in(4800);
        for (unsigned i = 0; i < in.size(); ++i)
            in[i] = 0.25f * float(std::sin(2.0 * DspTest::kPi * 5000.0 * i / kRate));
        auto info = noteInfo(60, velocity);
        const float* y =
            filter.process(in.data(), 4800, kRate, clock, info, defaults.params.filter, lfo, 2, AudioQuality::Normal);
        EXPECT_GT(DspTest::rms(y + 2400, 2400), 0.8 * DspTest::rms(in.data() + 2400, 2400)) << velocity;
    }
}

TEST_F(ModuleFilterTest, EnvelopeOpensAClosedFilter)
{
    set(t.params.filter.freq, 0.2f);
    setBipolar(t.params.filter.envDepth, 1.0f);
    set(t.params.filter.env.decay, 0.1f); // 0.1 s down to sustain 0
    const double hz = 5000.0;
    Filter filter;
    filter.gateOn(VoicingType::NewNote);
    std::vector<float> in(480);
    const auto info = noteInfo(60);
    double first = 0.0, late = 0.0;
    for (int b = 0; b < 40; ++b) {
        for (unsigned i = 0; i < in.size(); ++i)
            in[i] = 0.5f * float(std::sin(2.0 * DspTest::kPi * hz * (b * 480 + i) / kRate));
        const float* y = filter.process(in.data(), 480, kRate, clock, info, t.params.filter, lfo, 2, AudioQuality::Normal);
        if (b == 1)
            first = DspTest::rms(y, 480);
        if (b == 39)
            late = DspTest::rms(y, 480);
    }
    EXPECT_GT(first, 0.2);
    EXPECT_LT(late, 0.01);
}

TEST_F(ModuleFilterTest, LowEndCutsOrBoostsTheBass)
{
    set(t.params.filter.freq, 0.6f);
    const double bass = 0.1 * 0.99 * cutoffCurve(0.6f) * kRate / 2.0;
    set(t.params.filter.low, 0.25f); // -0.5: neither
    const double neutral = gainAt(bass, 60);
    set(t.params.filter.low, 0.0f); // -1: high-pass at half the cutoff
    const double cut = gainAt(bass, 60);
    set(t.params.filter.low, 1.0f); // +1: boost scaled by 4
    const double boosted = gainAt(bass, 60);
    EXPECT_NEAR(neutral, 1.0, 0.02);
    EXPECT_LT(cut, 0.2);
    EXPECT_GT(boosted, 1.5);
}

TEST_F(ModuleFilterTest, FullResonanceAndDriveStayFiniteAndBounded)
{
    set(t.params.filter.reso, 1.0f);
    set(t.params.filter.drive, 1.0f);
    set(t.params.filter.low, 0.5f);
    setChoice(t.params.filter.type, 1);
    set(t.params.filter.lfoDepth, 1.0f);
    Filter filter;
    filter.reserve(1024);
    filter.gateOn(VoicingType::NewNote);
    std::vector<float> in(1000);
    Lumora::DSP::XorAddGenerator g;
    const auto info = noteInfo(40);
    for (int b = 0; b < 50; ++b) {
        for (auto& v : in)
            v = 2.0f * g.next();
        set(t.params.filter.freq, float(b % 7) / 6.0f); // the cutoff jumps every block
        const float* y = filter.process(in.data(), 1000, kRate, clock, info, t.params.filter, lfo, 2, AudioQuality::Normal);
        ASSERT_TRUE(DspTest::allClean(y, 1000)) << b;
        ASSERT_LT(DspTest::peak(y, 1000), 8.0) << b;
    }
}

TEST_F(ModuleFilterTest, KillClearsTheSignalState)
{
    set(t.params.filter.freq, 0.3f);
    set(t.params.filter.reso, 1.0f);
    Filter filter;
    filter.gateOn(VoicingType::NewNote);
    std::vector<float> in(256, 1.0f), zeros(256, 0.0f);
    const auto info = noteInfo(60);
    filter.process(in.data(), 256, kRate, clock, info, t.params.filter, lfo, 2, AudioQuality::Normal);
    filter.kill();
    EXPECT_FALSE(filter.envelope().isActive());
    const float* y = filter.process(zeros.data(), 256, kRate, clock, info, t.params.filter, lfo, 2, AudioQuality::Normal);
    EXPECT_EQ(DspTest::peak(y, 256), 0.0);
}

// The blocks of a span continue what its first block set up, so a span rendered in short blocks
// is bit for bit a span rendered in one block: through gliding settings, a drive that comes and
// goes, the low end moving from cut to boost and back, and a change of stages.
TEST_F(ModuleFilterTest, ShortBlocksOfASpanRenderWhatOneBlockOfTheSpanRenders)
{
    using Lumora::Corvane::Module::Span;
    constexpr unsigned kSpan = 128;
    constexpr unsigned kSpans = 72;
    struct Setting {
        unsigned span;
        Lumora::Parameter& parameter;
        float value;
    };
    const Setting settings[] = {
        {0, t.params.filter.freq, 0.5f},   {0, t.params.filter.reso, 0.6f},   {0, t.params.filter.envDepth, 0.8f},
        {0, t.params.filter.drive, 0.0f},  {8, t.params.filter.freq, 0.3f},   {16, t.params.filter.drive, 0.7f},
        {24, t.params.filter.drive, 0.0f}, {32, t.params.filter.low, 0.1f},   {40, t.params.filter.low, 0.8f},
        {48, t.params.filter.type, 0.0f},  {56, t.params.filter.low, 0.25f},  {56, t.params.filter.reso, 0.0f},
        {64, t.params.filter.type, 1.0f / 127.0f},  {64, t.params.filter.drive, 0.3f},
    };
    std::vector<float> in(kSpan * kSpans);
    Lumora::DSP::XorAddGenerator g;
    for (auto& v : in)
        v = g.next();
    const auto info = noteInfo(52);
    auto render = [&](unsigned block) {
        setChoice(t.params.filter.type, 1);
        set(t.params.filter.low, 0.25f);
        Filter filter;
        filter.reserve(kSpan);
        filter.gateOn(VoicingType::NewNote);
        std::vector<float> out;
        for (unsigned k = 0; k < kSpans; ++k) {
            for (const Setting& s : settings)
                if (s.span == k)
                    set(s.parameter, s.value);
            if (k == 60)
                filter.gateOff();
            for (unsigned at = 0; at < kSpan; at += block) {
                const unsigned offset = k * kSpan + at;
                const float* y = filter.process(in.data() + offset, block, kRate, clock, info, t.params.filter, lfo,
                                                2, AudioQuality::Normal, at == 0 ? Span::Opens : Span::Continues);
                out.insert(out.end(), y, y + block);
            }
        }
        return out;
    };
    const std::vector<float> whole = render(kSpan);
    ASSERT_GT(DspTest::rms(whole.data(), whole.size()), 0.01);
    // And what the filter rendered before its short blocks came to skip work (FNV-1a of the bits).
    std::uint64_t hash = 1469598103934665603ull;
    for (float x : whole) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &x, sizeof bits);
        for (int i = 0; i < 4; ++i)
            hash = (hash ^ ((bits >> (8 * i)) & 0xffu)) * 1099511628211ull;
    }
    EXPECT_EQ(hash, 0xcf02743f0652ae07ull) << std::hex << hash;
    for (unsigned block : {16u, 32u, 64u}) {
        const std::vector<float> shorter = render(block);
        ASSERT_EQ(shorter.size(), whole.size());
        EXPECT_EQ(0, std::memcmp(shorter.data(), whole.data(), whole.size() * sizeof(float))) << "blocks of " << block;
    }
}

} // namespace
