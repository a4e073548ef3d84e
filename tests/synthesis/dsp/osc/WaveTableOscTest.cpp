#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SineOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "synthesis/dsp/common/SignalAnalysis.h"
#include "synthesis/dsp/osc/OscTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

using namespace Lumora::DSP::OSC;

namespace {

const std::string& gCache = DspTest::tableCacheDirectory();

std::vector<float> render(WaveTableOsc& osc, double sampleRate, std::size_t n, unsigned block = 128)
{
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; i += block)
        osc.process(out.data() + i, unsigned(std::min<std::size_t>(block, n - i)), float(sampleRate));
    return out;
}

std::unique_ptr<WaveTableOsc> make(int wave)
{
    switch (wave) {
    case 0: return std::make_unique<SineOsc>();
    case 1: return std::make_unique<SawOsc>();
    case 2: return std::make_unique<SquareOsc>();
    default: return std::make_unique<TriangleOsc>();
    }
}
const char* kWaveNames[] = {"sine", "saw", "square", "triangle"};

} // namespace

TEST(WaveTables, KnownValuesAndZeroStart)
{
    SawOsc saw;
    SquareOsc square;
    TriangleOsc triangle;
    SineOsc sine;
    EXPECT_NEAR(SawOsc::table(0)[256], 0.50930, 1e-4);
    EXPECT_NEAR(SquareOsc::table(0)[256], 1.0, 1e-6);
    EXPECT_NEAR(SineOsc::table(0)[256], 1.0, 1e-6);
    // Triangle: rising first, peak about 7 pi / 24 at a quarter cycle.
    EXPECT_NEAR(TriangleOsc::table(127)[256], 7.0 * DspTest::kPi / 24.0, 2e-3);
    EXPECT_GT(TriangleOsc::table(127)[10], 0.0f);
    // Saw falls, peak about 0.8; square peaks about pi/4 when many terms are in.
    EXPECT_LT(SawOsc::table(255)[10], SawOsc::table(255)[5]);
    EXPECT_NEAR(DspTest::peak(SawOsc::table(255), 1024), 0.8 * 1.18, 0.05); // Gibbs overshoot of 9 %
    EXPECT_NEAR(SquareOsc::table(127)[256], DspTest::kPi / 4.0, 1e-2);
    for (unsigned k = 0; k < SawOsc::kTableCount; ++k)
        EXPECT_NEAR(SawOsc::table(k)[0], 0.0f, 1e-6) << k;
    for (unsigned k = 0; k < SquareOsc::kTableCount; ++k) {
        EXPECT_NEAR(SquareOsc::table(k)[0], 0.0f, 1e-6) << k;
        EXPECT_NEAR(TriangleOsc::table(k)[0], 0.0f, 1e-6) << k;
    }
}

TEST(WaveTables, TableChoiceKeepsHarmonicsBelowNyquist)
{
    EXPECT_EQ(SawOsc::tableIndex(48000.0f, 100.0f), 239u);
    EXPECT_EQ(SawOsc::tableIndex(48000.0f, 10.0f), 255u);
    EXPECT_EQ(SquareOsc::tableIndex(48000.0f, 30000.0f), 0u);
    EXPECT_EQ(SawOsc::tableIndex(48000.0f, 30000.0f), 0u);
    // Frequency 0, tiny, negative, NaN: the table with the most harmonics, with no overflow on the way.
    for (float f : {0.0f, 1e-30f, -5.0f, std::numeric_limits<float>::denorm_min(),
                    std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(SawOsc::tableIndex(48000.0f, f), 255u) << f;
        EXPECT_EQ(SquareOsc::tableIndex(48000.0f, f), 127u) << f;
        EXPECT_EQ(TriangleOsc::tableIndex(48000.0f, f), 127u) << f;
    }
    // The widest tables (513 saw harmonics, square and triangle up to 257 and 513) are read only where
    // all of their harmonics fit.
    EXPECT_EQ(SawOsc::tableIndex(48000.0f, 70.0f), 254u);
    EXPECT_EQ(SawOsc::tableIndex(48000.0f, 46.0f), 255u);
    EXPECT_EQ(SquareOsc::tableIndex(48000.0f, 150.0f), 126u);
    EXPECT_EQ(SquareOsc::tableIndex(48000.0f, 90.0f), 127u);
    // Triangle table k reaches harmonic 2k + 1: at 1 kHz / 48 kHz 24 harmonics fit, so table 11 (up to 23).
    EXPECT_EQ(TriangleOsc::tableIndex(48000.0f, 1000.0f), 11u);
    EXPECT_EQ(TriangleOsc::tableIndex(48000.0f, 100.0f), 119u);
    EXPECT_EQ(TriangleOsc::tableIndex(48000.0f, 40.0f), 127u);
}

TEST(WaveTableOsc, PitchAtSeveralNotesAndSampleRates)
{
    for (int wave = 0; wave < 4; ++wave)
        for (double sr : {44100.0, 48000.0, 96000.0})
            for (double f : {55.0, 440.0, 2093.0}) {
                auto osc = make(wave);
                osc->setFrequency(float(f));
                const auto out = render(*osc, sr, 16384);
                EXPECT_NEAR(DspTest::peakFrequency(out, sr), f, std::max(0.3, f * 1e-3))
                    << kWaveNames[wave] << " " << sr << " " << f;
                if (wave != 1) { // the saw's ramp crosses zero in its middle and at the jump alike
                    EXPECT_NEAR(DspTest::zeroCrossingFrequency(out, sr), f, f * 1e-3) << kWaveNames[wave];
                }
            }
}

TEST(WaveTableOsc, AliasedEnergyStaysLow)
{
    for (int wave = 1; wave < 4; ++wave)
        for (double sr : {44100.0, 48000.0})
            for (double f : {41.2, 61.7, 97.9, 440.0, 1046.5, 3520.0, 7040.0}) {
                auto osc = make(wave);
                osc->setFrequency(float(f));
                const auto out = render(*osc, sr, 32768);
                const double db = DspTest::aliasedEnergyDb(out, f, sr);
                // Deep notes read tables with hundreds of harmonics, whose top ones the linear interpolation of
                // a 1024-entry table mirrors back as faint images; everywhere else the figure is far lower.
                EXPECT_LT(db, f < 140.0 ? -40.0 : -65.0) << kWaveNames[wave] << " " << sr << " " << f;
                RecordProperty(std::string(kWaveNames[wave]) + "_" + std::to_string(int(sr)) + "_" +
                                   std::to_string(int(f)),
                               std::to_string(db));
            }
}

TEST(WaveTableOsc, PhaseAdvanceAndWrap)
{
    SineOsc osc;
    osc.restart(0.75f);
    osc.setFrequency(12000.0f);
    std::vector<float> out(3);
    osc.process(out.data(), 3, 48000.0f); // increment 0.25
    EXPECT_FLOAT_EQ(osc.phase(), 0.5f);
    EXPECT_NEAR(out[0], -1.0f, 1e-5);
    EXPECT_NEAR(out[1], 0.0f, 1e-5);
    EXPECT_NEAR(out[2], 1.0f, 1e-5);
    // A negative frequency runs backwards and keeps the phase in [0, 1).
    osc.setFrequency(-12000.0f);
    osc.process(out.data(), 3, 48000.0f);
    EXPECT_FLOAT_EQ(osc.phase(), 0.75f);
}

TEST(WaveTableOsc, NegativePositionsInterpolateBetweenTheirNeighbours)
{
    // At frequency 0 the saw reads its widest table, whose jump at entry 0 makes any interpolation
    // between the wrong neighbours obvious.
    SawOsc saw;
    const float* t = SawOsc::table(255);
    struct Case {
        float pm;
        float expected;
    };
    const Case cases[] = {
        {-0.5f / 1024.0f, 0.5f * t[1023] + 0.5f * t[0]},
        {-1.25f / 1024.0f, 0.25f * t[1022] + 0.75f * t[1023]},
        {-1.0f - 0.5f / 1024.0f, 0.5f * t[1023] + 0.5f * t[0]},
        {0.5f / 1024.0f, 0.5f * t[0] + 0.5f * t[1]},
    };
    for (const auto& c : cases) {
        saw.restart(0.0f);
        float out = 0.0f;
        saw.process(&out, &c.pm, 1, 48000.0f);
        EXPECT_NEAR(out, c.expected, 2e-3) << c.pm;
    }
}

TEST(WaveTableOsc, HardSyncRestartsEveryMasterPeriod)
{
    for (int wave = 0; wave < 4; ++wave) {
        auto osc = make(wave);
        osc->setFrequency(713.0f);
        osc->setSyncFrequency(480.0f); // period of 100 samples at 48 kHz
        const auto out = render(*osc, 48000.0, 4096, 64);
        double err = 0.0;
        for (std::size_t i = 200; i + 100 < out.size(); ++i)
            err = std::max(err, double(std::fabs(out[i] - out[i + 100])));
        EXPECT_LT(err, 1e-5) << kWaveNames[wave];
        EXPECT_NEAR(DspTest::peakFrequency(out, 48000.0) / 480.0, std::round(DspTest::peakFrequency(out, 48000.0) / 480.0),
                    0.01);
    }
}

TEST(WaveTableOsc, PhaseShiftOffsetsEveryLookup)
{
    SineOsc a, b;
    a.setFrequency(1000.0f);
    b.setFrequency(1000.0f);
    b.setShiftPhase(0.25f);
    a.restart(0.25f);
    std::vector<float> ya(256), yb(256);
    a.process(ya.data(), 256, 48000.0f);
    b.process(yb.data(), 256, 48000.0f);
    for (int i = 0; i < 256; ++i)
        EXPECT_NEAR(ya[i], yb[i], 1e-5);
    EXPECT_FLOAT_EQ(b.shiftPhase(), 0.25f);
}

TEST(WaveTableOsc, BadInputsGiveFiniteBoundedOutput)
{
    Lumora::DSP::ScopedFlushDenormals guard;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (int wave = 0; wave < 4; ++wave) {
        auto osc = make(wave);
        std::vector<float> out(64), pm(64, nan);
        struct Setting {
            float f, sync, shift, sr;
        };
        for (const Setting& s : {Setting{nan, 0, 0, 48000}, Setting{inf, 0, 0, 48000}, Setting{440, nan, 0, 48000},
                                 Setting{440, inf, 0, 48000}, Setting{440, 1e-30f, 0, 48000},
                                 Setting{440, 0, nan, 48000}, Setting{440, 0, 1e30f, 48000}, Setting{440, 0, 0, 0},
                                 Setting{440, 0, 0, nan}, Setting{440, 300, 0, 0}, Setting{1e30f, 1e30f, 0, 48000},
                                 Setting{-1e30f, 300, 0, 48000}}) {
            osc->setFrequency(s.f);
            osc->setSyncFrequency(s.sync);
            osc->setShiftPhase(s.shift);
            osc->process(out.data(), 64, s.sr);
            EXPECT_TRUE(DspTest::allClean(out)) << kWaveNames[wave] << " " << s.f << " " << s.sync << " " << s.sr;
            EXPECT_LE(DspTest::peak(out), 1.2);
            osc->process(out.data(), pm.data(), 64, s.sr);
            EXPECT_TRUE(DspTest::allClean(out));
            EXPECT_TRUE(std::isfinite(osc->phase()));
        }
        // Back to normal settings, the oscillator plays its note again.
        osc->setFrequency(440.0f);
        osc->setSyncFrequency(0.0f);
        osc->setShiftPhase(0.0f);
        const auto out2 = render(*osc, 48000.0, 8192);
        EXPECT_NEAR(DspTest::peakFrequency(out2, 48000.0), 440.0, 0.5);
    }
}

TEST(WaveTableOsc, BlockSizeDoesNotChangeTheSound)
{
    // No clicks at block boundaries: rendering in odd-sized blocks gives the one-block signal.
    for (int wave = 0; wave < 4; ++wave)
        for (float sync : {0.0f, 311.0f}) {
            auto whole = make(wave), split = make(wave);
            for (auto* o : {whole.get(), split.get()}) {
                o->setFrequency(523.25f);
                o->setSyncFrequency(sync);
            }
            const auto a = render(*whole, 44100.0, 4096, 4096);
            const auto b = render(*split, 44100.0, 4096, 37);
            double err = 0.0;
            for (std::size_t i = 0; i < a.size(); ++i)
                err = std::max(err, double(std::fabs(a[i] - b[i])));
            EXPECT_LT(err, 2e-3) << kWaveNames[wave] << " sync " << sync;
        }
}
