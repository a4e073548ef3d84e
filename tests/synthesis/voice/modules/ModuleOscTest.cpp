// The oscillator module: wave groups by position, sub oscillator, level law, segmentation,
// FM ratio snapping.
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/modules/ModuleFixture.h"
#include "synthesis/voice/modules/OSC.h"

namespace {

using namespace ModuleTest;
using Lumora::Corvane::Module::forEachSegment;
using Lumora::Corvane::Module::OSC;
using Lumora::Corvane::Module::snapModRatio;
using Lumora::Corvane::Module::Span;
using Lumora::DSP::LFO;

class ModuleOscTest : public ::testing::Test {
protected:
    ModuleOscTest() { lfo.blockProcess(nullptr, 128, 4096, kRate, 0.0f, 0); }

    std::vector<float> render(OSC& osc, unsigned frames, unsigned block = 256, int note = 69,
                              AudioQuality quality = AudioQuality::Eco, unsigned version = 2)
    {
        std::vector<float> all;
        const auto info = noteInfo(note);
        for (unsigned done = 0; done < frames; done += block) {
            const unsigned n = std::min(block, frames - done);
            const float* out = osc.process(n, kRate, clock, info, t.params.osc, lfo, version, quality);
            all.insert(all.end(), out, out + n);
        }
        return all;
    }

    Table t;
    Clock clock;
    LFO lfo{LFO::WAVEFORM_TYPE(0)};
};

// What the module must render at a pure wave position without modulation: that wave's oscillator
// times its group scale and the squared level.
template <class Wave>
std::vector<float> reference(unsigned frames, float scale, float level)
{
    Wave w;
    w.setFrequency(NoteNumberToHz(69));
    std::vector<float> x(frames);
    w.process(x.data(), frames, kRate);
    for (auto& v : x)
        v *= scale * level * level;
    return x;
}

TEST_F(ModuleOscTest, EachPureWavePositionRendersOnlyItsGroup)
{
    struct Case {
        float waveMix;
        std::vector<float> expected;
        bool saw, triangle, square;
    };
    const float level = 0.8f; // the sound's default
    const Case cases[] = {
        {-1.0f, reference<Lumora::DSP::OSC::SawOsc>(1024, 0.8f, level), true, false, false},
        {0.0f, reference<Lumora::DSP::OSC::TriangleOsc>(1024, 1.0f, level), false, true, false},
        {1.0f, reference<Lumora::DSP::OSC::SquareOsc>(1024, 0.6f, level), false, false, true},
    };
    for (const auto& c : cases) {
        OSC osc;
        setBipolar(t.params.osc.waveMix, c.waveMix);
        osc.gateOn(VoicingType::NewNote);
        const auto x = render(osc, 1024);
        for (size_t i = 0; i < x.size(); ++i)
            ASSERT_NEAR(x[i], c.expected[i], 1e-4f) << "wave mix " << c.waveMix << " sample " << i;
        EXPECT_EQ(osc.sawGroup().voices[0].plain.phase() != 0.0f, c.saw);
        EXPECT_EQ(osc.triangleGroup().voices[0].plain.phase() != 0.0f, c.triangle);
        EXPECT_EQ(osc.squareGroup().voices[0].plain.phase() != 0.0f, c.square);
        EXPECT_EQ(osc.subOsc().phase(), 0.0f); // the sub costs nothing at level 0
    }
}

TEST_F(ModuleOscTest, BetweenTwoPositionsBothNeighboursSound)
{
    OSC osc;
    setBipolar(t.params.osc.waveMix, -0.5f);
    osc.gateOn(VoicingType::NewNote);
    render(osc, 512);
    EXPECT_NE(osc.sawGroup().voices[0].plain.phase(), 0.0f);
    EXPECT_NE(osc.triangleGroup().voices[0].plain.phase(), 0.0f);
    EXPECT_EQ(osc.squareGroup().voices[0].plain.phase(), 0.0f);
}

TEST_F(ModuleOscTest, PlaysThePitchItIsGiven)
{
    OSC osc;
    setBipolar(t.params.osc.waveMix, 0.0f);
    osc.gateOn(VoicingType::NewNote);
    const auto x = render(osc, 48000, 256, 69, AudioQuality::High);
    EXPECT_LT(std::fabs(cents(DspTest::zeroCrossingFrequency(x, kRate, 1000), 440.0)), 0.5);
    EXPECT_TRUE(DspTest::allClean(x));
}

TEST_F(ModuleOscTest, SubOscillatorSoundsAnOctaveDown)
{
    const double f = NoteNumberToHz(57);
    for (float sub : {0.0f, 1.0f}) {
        OSC osc;
        set(t.params.osc.subLevel, sub);
        setBipolar(t.params.osc.waveMix, 0.0f);
        osc.gateOn(VoicingType::NewNote);
        const auto x = render(osc, 24000, 256, 57);
        const double below = DspTest::amplitudeAt(x, f / 2, kRate);
        const double fundamental = DspTest::amplitudeAt(x, f, kRate);
        if (sub == 0.0f) {
            EXPECT_LT(below, 1e-3 * fundamental);
        } else {
            // A square of peak pi/4 has a fundamental of 1 at the squared level 0.64.
            EXPECT_NEAR(below, 0.64, 0.05);
            EXPECT_NE(osc.subOsc().phase(), 0.0f);
        }
    }
}

// The sub level switched from full to 0 (automation, a mapped controller): the sub fades out over
// 10 ms (480 samples) instead of stopping within a sample, and then costs nothing. The waves do not
// depend on the sub, so the difference to a module without it is the sub's contribution.
TEST_F(ModuleOscTest, SubSwitchedOffFadesOutOver10ms)
{
    OSC plain, withSub;
    for (OSC* osc : {&plain, &withSub})
        osc->gateOn(VoicingType::NewNote);
    set(t.params.osc.subLevel, 0.0f);
    const auto a = render(plain, 2 * 256 + 768);
    set(t.params.osc.subLevel, 1.0f);
    auto b = render(withSub, 2 * 256);
    set(t.params.osc.subLevel, 0.0f);
    const auto rest = render(withSub, 768);
    b.insert(b.end(), rest.begin(), rest.end());

    std::vector<float> sub(a.size());
    for (size_t i = 0; i < a.size(); ++i)
        sub[i] = b[i] - a[i];
    const auto span = [&](size_t from, size_t n) { return DspTest::peak(sub.data() + from, n); };
    // The sub's square wave at the squared level 0.64 stands at about 0.64 pi/4 = 0.5.
    EXPECT_GT(span(256, 256), 0.45);
    EXPECT_GT(span(512, 8), 0.4);             // still sounding as the switch comes,
    EXPECT_GT(span(512 + 256, 8), 0.05);      // still fading a block later,
    EXPECT_LT(span(512 + 480 - 8, 8), 0.02);  // faded out 10 ms after it,
    EXPECT_EQ(span(512 + 480, 256 - 480 + 512), 0.0f);  // and silent from there on
    EXPECT_EQ(render(withSub, 256), render(plain, 256));
}

TEST_F(ModuleOscTest, LevelIsSquared)
{
    double reference = 0.0;
    for (float level : {1.0f, 0.5f, 0.25f, 0.0f}) {
        OSC osc;
        set(t.params.osc.level, level);
        osc.gateOn(VoicingType::NewNote);
        const double r = DspTest::rms(render(osc, 4800));
        if (level == 1.0f)
            reference = r;
        else
            EXPECT_NEAR(r, reference * level * level, 1e-4 * reference) << level;
    }
    EXPECT_GT(reference, 0.2);
}

TEST_F(ModuleOscTest, OddBlockSizesRenderTheSameSignal)
{
    // Without modulation the segmentation must not be heard: 300-frame blocks (segments of 128
    // and 172), 1-frame and 129-frame blocks render what 256-frame blocks do.
    OSC a;
    a.gateOn(VoicingType::NewNote);
    const auto x = render(a, 6000, 256);
    for (unsigned block : {300u, 1u, 129u, 383u}) {
        OSC b;
        b.gateOn(VoicingType::NewNote);
        const auto y = render(b, 6000, block);
        std::vector<float> difference(x.size());
        for (size_t i = 0; i < x.size(); ++i)
            difference[i] = y[i] - x[i];
        // Only the rounding of the phase accumulation may differ.
        EXPECT_LT(DspTest::rms(difference), 5e-4) << "block " << block;
        EXPECT_LT(DspTest::peak(difference), 5e-3) << "block " << block;
    }
}

// Without modulation a block that opens a span reads nothing its continuations do not hold, so
// short blocks that continue spans must render exactly what the same blocks each opening a span
// render: at every pure position and between two, detuned, through FM, with the sub, and across
// settings that change (and glide or fade) at a span's start.
TEST_F(ModuleOscTest, ContinuedSpansRenderWhatOpenedSpansRenderBitForBit)
{
    using Change = std::function<void(Table&)>;
    struct Case {
        const char* name;
        Change setUp;
        AudioQuality quality;
        std::vector<std::pair<unsigned, Change>> changes; // at these blocks, each one opening a span
    };
    auto mix = [](float v) { return [v](Table& t) { setBipolar(t.params.osc.waveMix, v); }; };
    auto detune = [](float v) { return [v](Table& t) { set(t.params.osc.detune, v); }; };
    auto fm = [](float v) { return [v](Table& t) { set(t.params.osc.modDepth, v); }; };
    const Case cases[] = {
        {"saw", mix(-1.0f), AudioQuality::Eco, {}},
        {"triangle", mix(0.0f), AudioQuality::Eco, {}},
        {"square", mix(1.0f), AudioQuality::Normal, {}},
        {"saw and triangle", mix(-0.5f), AudioQuality::Eco, {}},
        {"detuned", detune(0.3f), AudioQuality::Eco, {}},
        {"FM mixed in", fm(0.4f), AudioQuality::High, {}},
        {"FM alone", fm(1.0f), AudioQuality::Normal, {}},
        {"sub", [](Table& t) { set(t.params.osc.subLevel, 0.5f); }, AudioQuality::Eco, {}},
        {"changes",
         mix(-1.0f),
         AudioQuality::Eco,
         {{8, mix(1.0f)},
          {24, detune(0.3f)},
          {40, detune(0.0f)},
          {56, [](Table& t) { set(t.params.osc.level, 0.5f); }},
          {72, mix(0.0f)},
          {88, fm(1.0f)}}},
    };
    constexpr unsigned kBlock = 32, kBlocksPerSpan = 4, kBlocks = 120;
    const auto info = noteInfo(57);
    for (const auto& c : cases) {
        Table table;
        c.setUp(table);
        OSC spans, opened;
        spans.gateOn(VoicingType::NewNote);
        opened.gateOn(VoicingType::NewNote);
        auto next = c.changes.begin();
        for (unsigned b = 0; b < kBlocks; ++b) {
            if (next != c.changes.end() && next->first == b)
                (next++)->second(table);
            const Span span = b % kBlocksPerSpan == 0 ? Span::Opens : Span::Continues;
            const float* x = spans.process(kBlock, kRate, clock, info, table.params.osc, lfo, 2, c.quality, span);
            const std::vector<float> got(x, x + kBlock);
            const float* y = opened.process(kBlock, kRate, clock, info, table.params.osc, lfo, 2, c.quality,
                                            Span::Opens);
            for (unsigned i = 0; i < kBlock; ++i)
                ASSERT_EQ(std::bit_cast<uint32_t>(got[i]), std::bit_cast<uint32_t>(y[i]))
                    << c.name << ", block " << b << " sample " << i;
        }
    }
}

TEST(ModuleControlSegments, OddBlockSizes)
{
    using Segments = std::vector<std::pair<unsigned, unsigned>>;
    struct Case {
        unsigned frames, version;
        Segments expected;
    };
    const Case cases[] = {
        {1, 2, {{0, 1}}},
        {128, 2, {{0, 128}}},
        {129, 2, {{0, 129}}},
        {255, 2, {{0, 255}}},
        {256, 2, {{0, 128}, {128, 128}}},
        {300, 2, {{0, 128}, {128, 172}}},
        {383, 2, {{0, 128}, {128, 255}}},
        {384, 2, {{0, 128}, {128, 128}, {256, 128}}},
        {300, 1, {{0, 300}}},
        {1024, 1, {{0, 1024}}},
        {300, 0, {{0, 128}, {128, 172}}}, // version 0 stands for the current sampling
    };
    for (const auto& c : cases) {
        Segments got;
        forEachSegment(c.frames, c.version, [&](unsigned o, unsigned n) { got.emplace_back(o, n); });
        EXPECT_EQ(got, c.expected) << c.frames << " frames, version " << c.version;
    }
}

TEST_F(ModuleOscTest, ModulationEnvelopeMovesTheWavePosition)
{
    // The triangle's position plus a full envelope depth reaches the square while the envelope holds.
    OSC osc;
    setBipolar(t.params.osc.waveMix, 0.0f);
    setBipolar(t.params.osc.waveEnv, 1.0f);
    set(t.params.osc.env.decay, 1.0f); // hold
    osc.gateOn(VoicingType::NewNote);
    render(osc, 2048, 512);
    EXPECT_NE(osc.squareGroup().voices[0].plain.phase(), 0.0f);
    const float before = osc.triangleGroup().voices[0].plain.phase();
    render(osc, 2048, 512);
    EXPECT_EQ(osc.triangleGroup().voices[0].plain.phase(), before); // position 1: the triangle rests
}

TEST_F(ModuleOscTest, EnvelopeOnTheRatioTargetMovesTheFmRatio)
{
    // Ratio 4 * 0.5^2 = 1; a held envelope at full depth adds 0.4 on the ratio target and leaves
    // the mix alone. The triangle runs its modulator at 1.5 times the ratio.
    set(t.params.osc.modFreq, 0.5f);
    set(t.params.osc.modDepth, 0.3f);
    setChoice(t.params.osc.modTarget, 1);
    setBipolar(t.params.osc.modEnvDepth, 1.0f);
    set(t.params.osc.env.decay, 1.0f);
    setBipolar(t.params.osc.waveMix, -0.5f);
    OSC osc;
    osc.gateOn(VoicingType::NewNote);
    render(osc, 1024, 512);
    EXPECT_NEAR(osc.sawGroup().voices[0].fm.inner.ratio, 1.4f, 1e-3f);
    EXPECT_NEAR(osc.triangleGroup().voices[0].fm.inner.ratio, 2.1f, 1e-3f);
    EXPECT_FLOAT_EQ(osc.sawGroup().voices[0].mix, 0.3f);
    EXPECT_NEAR(osc.sawGroup().voices[0].fm.inner.modulator.frequency(), 1.4f * 440.0f, 0.5f);
}

TEST_F(ModuleOscTest, FrequencyModulationStaysFiniteAtEveryQuality)
{
    set(t.params.osc.modDepth, 0.7f);
    set(t.params.osc.detune, 1.0f);
    set(t.params.osc.subLevel, 0.5f);
    setBipolar(t.params.osc.waveMix, 0.3f);
    for (auto q : {AudioQuality::Eco, AudioQuality::Normal, AudioQuality::High}) {
        OSC osc;
        osc.reserve(512);
        osc.gateOn(VoicingType::NewNote);
        const auto x = render(osc, 4096, 512, 96, q);
        EXPECT_TRUE(DspTest::allClean(x));
        EXPECT_GT(DspTest::rms(x), 0.1);
        EXPECT_LT(DspTest::peak(x), 2.0);
    }
}

TEST(ModuleSnapModRatio, MusicalRatios)
{
    struct Case {
        float in, out;
        bool snapped;
    };
    const Case cases[] = {
        {1.24f, 1.25f, true}, {2.99f, 3.0f, true}, {1.40f, 1.40f, false}, {0.5f, 0.5f, true},
        {1.33f, 1.3333334f, true}, {0.75f, 0.75f, true}, {2.0f, 2.0f, true}, {0.1f, 0.1f, false},
    };
    for (const auto& c : cases) {
        const auto [ratio, snapped] = snapModRatio(c.in);
        EXPECT_FLOAT_EQ(ratio, c.out) << c.in;
        EXPECT_EQ(snapped, c.snapped) << c.in;
    }
}

} // namespace
