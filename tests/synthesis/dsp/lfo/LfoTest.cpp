#include "engine/clock/Clock.h"
#include "synthesis/dsp/delay/support/SignalChecks.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/lfo/StepSeqLfoWaveGen.h"
#include "synthesis/dsp/lfo/WaveGenelator.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <set>
#include <vector>

using Lumora::DSP::LFO;

namespace {

constexpr float kRate = 48000.0f;

// Renders whole blocks with running sample times, as an engine does.
std::vector<float> renderRunning(LFO& lfo, std::size_t frames, float shape = 0.0f, unsigned block = 256)
{
    std::vector<float> out(frames);
    for (std::size_t o = 0; o < frames; o += block) {
        const auto n = static_cast<unsigned>(std::min<std::size_t>(block, frames - o));
        lfo.blockProcess(out.data() + o, 128, n, kRate, shape, o);
    }
    return out;
}

std::vector<std::size_t> upwardCrossings(const std::vector<float>& x, float level)
{
    std::vector<std::size_t> at;
    for (std::size_t i = 1; i < x.size(); ++i)
        if (x[i - 1] < level && x[i] >= level)
            at.push_back(i);
    return at;
}

// The level of a fresh LFO at one phase.
float levelAt(LFO::WAVEFORM_TYPE type, float shape, float phase)
{
    LFO lfo(type);
    lfo.setPhaseShift(phase);
    return lfo.process(nullptr, 1, kRate, shape, 0).first;
}

} // namespace

TEST(Lfo, FirstSpanOfANewSine)
{
    LFO lfo(LFO::Sine);
    const auto [start, end] = lfo.process(nullptr, 128, kRate, 0.0f, 0);
    EXPECT_FLOAT_EQ(start, 0.0f);
    EXPECT_NEAR(end, 0.0000691f, 0.000001f);
}

TEST(Lfo, WavelengthsInSamples)
{
    for (float seconds : {0.02f, 0.25f, 1.27f}) {
        LFO lfo(LFO::Sine);
        lfo.setWavelength(seconds);
        const auto x = renderRunning(lfo, static_cast<std::size_t>(seconds * kRate * 3.5f));
        const auto at = upwardCrossings(x, 0.5f);
        ASSERT_GE(at.size(), 3u) << seconds;
        for (std::size_t k = 1; k < at.size(); ++k)
            EXPECT_NEAR(static_cast<double>(at[k] - at[k - 1]), seconds * kRate, 2.0) << seconds;
        // A sine starts at 0 and crosses the middle a quarter cycle in.
        EXPECT_NEAR(static_cast<double>(at[0]), seconds * kRate * 0.25, 2.0) << seconds;
    }
}

TEST(Lfo, ShapesAtKnownPhases)
{
    struct Case {
        LFO::WAVEFORM_TYPE type;
        float shape;
        float phase;
        float level;
    };
    const Case cases[] = {
        {LFO::Sine, 0.0f, 0.25f, 0.5f},        {LFO::Sine, 0.0f, 0.5f, 1.0f},
        {LFO::Sine, 1.0f, 0.4f, 1.0f},         {LFO::Sine, 1.0f, 0.1f, 0.0f},
        {LFO::TriangleSaw, 0.5f, 0.25f, 0.5f}, {LFO::TriangleSaw, 0.5f, 0.5f, 1.0f},
        {LFO::TriangleSaw, 0.0f, 0.25f, 0.75f}, {LFO::TriangleSaw, 1.0f, 0.25f, 0.25f},
        {LFO::SpikeSaw, 0.0f, 0.05f, 0.5f},    {LFO::SpikeSaw, 0.0f, 0.5f, 0.0f},
        {LFO::Rectangle, 0.5f, 0.25f, 1.0f},   {LFO::Rectangle, 0.5f, 0.75f, 0.0f},
        {LFO::SawTriSqu, 0.0f, 0.25f, 0.75f},  {LFO::SawTriSqu, 0.25f, 0.25f, 0.625f},
        {LFO::SawTriSqu, 0.5f, 0.25f, 0.5f},   {LFO::SawTriSqu, 1.0f, 0.75f, 0.0f},
        {LFO::UsawTriDsawPls, 0.0f, 0.25f, 0.25f}, {LFO::UsawTriDsawPls, 0.25f, 0.75f, 0.5f},
        {LFO::UsawTriDsawPls, 0.6f, 0.5f, 0.7f},   {LFO::UsawTriDsawPls, 0.6f, 0.95f, 0.03f},
        {LFO::UsawTriDsawPls, 1.0f, 0.05f, 1.0f},  {LFO::UsawTriDsawPls, 1.0f, 0.5f, 0.0f},
        {LFO::UsawTriDsawSquRnd, 0.6f, 0.25f, 0.85f}, {LFO::UsawTriDsawSquRnd, 0.6f, 0.75f, 0.15f},
        // A negative shift counts back from the end of the cycle.
        {LFO::TriangleSaw, 1.0f, -0.25f, 0.75f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(levelAt(c.type, c.shape, c.phase), c.level, 1e-5f)
            << "type " << c.type << " shape " << c.shape << " phase " << c.phase;
}

TEST(Lfo, EveryShapeStaysBetweenZeroAndOne)
{
    for (unsigned t = 0; t < LFO::WaveformCount; ++t) {
        for (float shape : {-1.0f, 0.0f, 0.3f, 0.55f, 0.8f, 1.0f, 2.0f, std::numeric_limits<float>::quiet_NaN()}) {
            LFO lfo(static_cast<LFO::WAVEFORM_TYPE>(t));
            lfo.setWavelength(0.01f);
            lfo.setPhaseShift(-0.3f);
            const auto x = renderRunning(lfo, 2000, shape, 100);
            for (float v : x)
                ASSERT_TRUE(SignalChecks::isClean(v) && v >= 0.0f && v <= 1.0f) << t << " " << shape << " " << v;
        }
    }
}

TEST(Lfo, FollowsTheClockAcrossSkippedBlocks)
{
    Lumora::Clock clock;
    LFO everyBlock(LFO::Sine), sometimes(LFO::Sine), mirrored(LFO::Sine);
    for (LFO* l : {&everyBlock, &sometimes, &mirrored})
        l->setWavelength(0.37f);
    mirrored.setPhaseShift(0.5f);
    constexpr unsigned block = 192;
    for (int b = 0; b < 400; ++b) {
        clock.internalSync_pre({4, 4}, 120.0, b == 0);
        const std::uint64_t t = clock.sampleTime();
        everyBlock.blockProcess(nullptr, 128, block, kRate, 0.0f, t);
        mirrored.blockProcess(nullptr, 128, block, kRate, 0.0f, t);
        EXPECT_NEAR(everyBlock.level() + mirrored.level(), 1.0f, 1e-4f) << b;
        if (b % 7 == 0) {
            sometimes.blockProcess(nullptr, 128, block, kRate, 0.0f, t);
            EXPECT_NEAR(sometimes.level(), everyBlock.level(), 1e-4f) << b;
            EXPECT_NEAR(sometimes.slope().second, everyBlock.slope().second, 1e-4f) << b;
        }
        clock.internalSync_post(block, kRate);
    }
    EXPECT_EQ(clock.sampleTime(), 400u * block);
}

TEST(Lfo, LevelsPerSpan)
{
    LFO lfo(LFO::TriangleSaw);
    lfo.setWavelength(0.01f); // 480 samples
    std::vector<float> out(300);
    lfo.blockProcess(out.data(), 128, 300, kRate, 0.5f, 0);
    EXPECT_FLOAT_EQ(lfo.level(299), out[299]); // end of the third span, 44 samples long
    EXPECT_FLOAT_EQ(lfo.slope().second, out[299]);
    EXPECT_FLOAT_EQ(lfo.level(), out[0]);
    for (unsigned i : {0u, 60u, 127u, 128u, 200u, 256u, 280u})
        EXPECT_NEAR(lfo.level(i), out[i], 1e-6f) << i;
    // Without a buffer the spans' levels are the same.
    LFO bare(LFO::TriangleSaw);
    bare.setWavelength(0.01f);
    bare.blockProcess(nullptr, 128, 300, kRate, 0.5f, 0);
    for (unsigned i : {0u, 127u, 128u, 299u})
        EXPECT_FLOAT_EQ(bare.level(i), lfo.level(i)) << i;
}

// Advancing an LFO whose inner levels nobody reads must leave it exactly where rendering it
// would, block sizes above, at and below the span included, and answer the same level (the last
// of blockProcess, the first of process), so that read-backs, sweeps and the phase a voice later
// finds are bit for bit those of a rendered LFO. Every shape, the stateful ones included.
TEST(Lfo, AdvanceEndsWhereRenderingEnds)
{
    const unsigned blocks[] = {32, 256, 1, 128, 300, 129, 4096, 64, 17};
    enum class Mode { Rendered, Advanced, RenderedSpan, AdvancedToStart };
    struct Run {
        std::vector<float> levels;
        float phase;
        float cycle;
    };
    const auto run = [&](LFO::WAVEFORM_TYPE type, Mode mode) {
        LFO lfo(type);
        lfo.setWavelength(0.011f); // 528 samples: cycles end inside blocks and spans
        lfo.setPhaseShift(-0.3f);
        std::srand(11); // the random shapes draw from the shared generator
        Run r;
        std::uint64_t time = 1000;
        for (int round = 0; round < 6; ++round) {
            for (unsigned n : blocks) {
                switch (mode) {
                case Mode::Rendered:
                    lfo.blockProcess(nullptr, 128, n, kRate, 0.0f, time);
                    r.levels.push_back(lfo.slope().second);
                    break;
                case Mode::Advanced:
                    r.levels.push_back(lfo.advance(128, n, kRate, 0.0f, time));
                    EXPECT_EQ(lfo.slope().second, r.levels.back());
                    break;
                case Mode::RenderedSpan:
                    r.levels.push_back(lfo.process(nullptr, n, kRate, 0.0f, time).first);
                    break;
                case Mode::AdvancedToStart:
                    r.levels.push_back(lfo.advanceToStart(n, kRate, 0.0f, time));
                    EXPECT_EQ(lfo.level(), r.levels.back());
                    break;
                }
                time += n;
            }
        }
        r.phase = lfo.phase();
        r.cycle = lfo.cycleNumber();
        return r;
    };
    const std::pair<Mode, Mode> pairs[] = {{Mode::Rendered, Mode::Advanced},
                                           {Mode::RenderedSpan, Mode::AdvancedToStart}};
    for (unsigned t = 0; t < LFO::WaveformCount; ++t) {
        const auto type = static_cast<LFO::WAVEFORM_TYPE>(t);
        for (const auto& [reference, cheap] : pairs) {
            const Run expected = run(type, reference);
            const Run actual = run(type, cheap);
            EXPECT_EQ(actual.levels, expected.levels) << "type " << t;
            EXPECT_EQ(actual.phase, expected.phase) << "type " << t;
            EXPECT_EQ(actual.cycle, expected.cycle) << "type " << t;
        }
    }
}

// A short block whose start is worked out only when read must read as the rendered block does,
// whether the start is read at once, late (after the end) or never, and leave the phase where
// rendering leaves it. Every shape; the stateful ones render as before.
TEST(Lfo, StartOnReadReadsAsTheRenderedBlock)
{
    const unsigned blocks[] = {32, 1, 128, 64, 17, 100, 2};
    struct Run {
        std::vector<float> levels;
        float phase;
        float cycle;
    };
    const auto run = [&](LFO::WAVEFORM_TYPE type, bool onRead) {
        LFO lfo(type);
        lfo.setWavelength(0.011f); // 528 samples: cycles end inside blocks
        lfo.setPhaseShift(-0.3f);
        std::srand(11);
        Run r;
        std::uint64_t time = 1000;
        for (int round = 0; round < 8; ++round) {
            for (unsigned n : blocks) {
                float end;
                if (onRead) {
                    end = lfo.processStartOnRead(n, kRate, 0.0f, time);
                } else {
                    lfo.blockProcess(nullptr, 128, n, kRate, 0.0f, time);
                    end = lfo.slope().second;
                }
                r.levels.push_back(end);
                // The start is read in some blocks only: first through each reader in turn.
                switch ((round + n) % 4) {
                case 0:
                    r.levels.push_back(lfo.level());
                    break;
                case 1:
                    r.levels.push_back(lfo.level(n / 2));
                    r.levels.push_back(lfo.level());
                    break;
                case 2:
                    r.levels.push_back(lfo.slope().first);
                    r.levels.push_back(lfo.slope().second);
                    break;
                default:
                    break; // never read
                }
                time += n;
            }
        }
        r.phase = lfo.phase();
        r.cycle = lfo.cycleNumber();
        return r;
    };
    for (unsigned t = 0; t < LFO::WaveformCount; ++t) {
        const auto type = static_cast<LFO::WAVEFORM_TYPE>(t);
        const Run expected = run(type, false);
        const Run actual = run(type, true);
        EXPECT_EQ(actual.levels, expected.levels) << "type " << t;
        EXPECT_EQ(actual.phase, expected.phase) << "type " << t;
        EXPECT_EQ(actual.cycle, expected.cycle) << "type " << t;
    }
}

TEST(Lfo, RestartAndClockReset)
{
    LFO lfo(LFO::TriangleSaw);
    lfo.setPhaseShift(0.25f);
    lfo.process(nullptr, 64, kRate, 1.0f, 1000);
    lfo.process(nullptr, 64, kRate, 1.0f, 30000); // well into the cycle
    EXPECT_GT(lfo.phase(), 0.1f);
    lfo.restart();
    EXPECT_FLOAT_EQ(lfo.process(nullptr, 1, kRate, 1.0f, 30000).first, 0.25f); // the shift alone

    lfo.process(nullptr, 64, kRate, 1.0f, 40000);
    EXPECT_FLOAT_EQ(lfo.process(nullptr, 1, kRate, 1.0f, 10).first, 0.25f); // clock went back
}

TEST(Lfo, SteppedShapesChangeOncePerCycleAndRunWithoutABuffer)
{
    LFO random(LFO::Random);
    random.setWavelength(0.01f); // 480 samples per cycle
    std::set<float> values;
    for (std::uint64_t t = 0; t < 480 * 20; t += 96) {
        random.process(nullptr, 96, kRate, 0.0f, t);
        values.insert(random.slope().second);
        ASSERT_GE(random.slope().second, 0.0f);
        ASSERT_LT(random.slope().second, 1.0f);
    }
    EXPECT_GE(values.size(), 15u);
    EXPECT_LE(values.size(), 21u);

    // Smoothing with a shape above 0 approaches each step gradually, buffer or not.
    LFO steps(LFO::StepSeq);
    static_cast<Lumora::DSP::StepSeqLfoWaveGen*>(steps.waveGenelator())->setSteps({0.0f, 1.0f});
    steps.setWavelength(0.01f);
    std::vector<float> out(480);
    steps.process(out.data(), 480, kRate, 0.0f, 0);
    EXPECT_EQ(out[479], 0.0f); // the held value 0 until the next cycle starts
    steps.process(out.data(), 480, kRate, 0.1f, 480);
    // The first smoothed sample moves by 1 - c = exp(-2 pi shape) of the step.
    EXPECT_NEAR(out[0], std::exp(-2.0f * 3.14159265f * 0.1f), 1e-5f);
    EXPECT_LT(out[1], 1.0f);
    EXPECT_NEAR(out[479], 1.0f, 1e-3f);
    for (std::size_t i = 1; i < out.size(); ++i)
        ASSERT_GE(out[i], out[i - 1]);

    LFO stepsBare(LFO::StepSeq);
    static_cast<Lumora::DSP::StepSeqLfoWaveGen*>(stepsBare.waveGenelator())->setSteps({0.0f, 1.0f});
    stepsBare.setWavelength(0.01f);
    stepsBare.process(nullptr, 480, kRate, 0.0f, 0);
    const auto [first, last] = stepsBare.process(nullptr, 480, kRate, 0.1f, 480);
    EXPECT_NEAR(first, out[0], 1e-6f);
    EXPECT_NEAR(last, out[479], 1e-5f);
}

TEST(Lfo, RandomHalvesRedrawAtEachHalfCycle)
{
    LFO lfo(LFO::UsawTriDsawSquRnd);
    lfo.setWavelength(0.01f);
    std::set<float> values;
    for (std::uint64_t t = 0; t < 480 * 10; t += 60) {
        lfo.process(nullptr, 60, kRate, 1.0f, t);
        values.insert(lfo.slope().first);
    }
    EXPECT_GE(values.size(), 18u);
    EXPECT_LE(values.size(), 21u);
}

TEST(LfoRobustness, DegenerateTimingHoldsTheLevel)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float wavelength : {0.0f, -1.0f, nan, inf, 1.0e-30f}) {
        for (float rate : {0.0f, nan, kRate}) {
            LFO lfo(LFO::Sine);
            lfo.setWavelength(wavelength);
            lfo.setPhaseShift(wavelength); // NaN and infinities in the shift too
            std::vector<float> out(300);
            for (std::uint64_t t = 0; t < 3000; t += 300) {
                lfo.blockProcess(out.data(), 128, 300, rate, 0.0f, t);
                for (float v : out)
                    ASSERT_TRUE(SignalChecks::isClean(v) && v >= 0.0f && v <= 1.0f) << wavelength << " " << rate;
            }
        }
    }
    LFO unknown(static_cast<LFO::WAVEFORM_TYPE>(42));
    EXPECT_EQ(unknown.waveGenelator()->type(), LFO::Sine);
}

// LFOs moved together take the first one's phase when they stand where it stood, and must read
// exactly as when each is moved on its own: shifted copies in step, one whose wavelength differs,
// one that fell behind, a stateful shape, across cycle ends and a clock that goes back.
TEST(Lfo, MovedTogetherReadsAsMovedAlone)
{
    const unsigned blocks[] = {32, 1, 128, 300, 64, 17, 4096};
    const auto run = [&](bool together) {
        std::array<LFO, 6> lfos{LFO(LFO::Sine), LFO(LFO::Sine), LFO(LFO::TriangleSaw),
                                LFO(LFO::Sine), LFO(LFO::Random), LFO(LFO::Sine)};
        const float shifts[] = {0.0f, 0.45f, -0.3f, 0.2f, 0.0f, 0.7f};
        for (std::size_t i = 0; i < lfos.size(); ++i) {
            lfos[i].setWavelength(i == 3 ? 0.013f : 0.011f);
            lfos[i].setPhaseShift(shifts[i]);
        }
        std::srand(5); // the random shape draws from the shared generator
        std::vector<float> levels;
        std::uint64_t time = 1000;
        for (int round = 0; round < 4; ++round) {
            if (round == 1)
                lfos[5].advanceToStart(7, kRate, 0.0f, time - 7); // out of step from here on
            if (round == 3)
                time = 20; // the clock went back
            for (unsigned n : blocks) {
                if (together)
                    LFO::advanceToStart(lfos, n, kRate, 0.0f, time);
                else
                    for (LFO& lfo : lfos)
                        lfo.advanceToStart(n, kRate, 0.0f, time);
                for (const LFO& lfo : lfos) {
                    levels.push_back(lfo.level());
                    levels.push_back(lfo.phase());
                    levels.push_back(lfo.cycleNumber());
                }
                time += n;
            }
        }
        return levels;
    };
    EXPECT_EQ(run(true), run(false));
}
