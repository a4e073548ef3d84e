#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SineOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "synthesis/dsp/osc/tDetunedOsc.h"
#include "synthesis/dsp/osc/tFmOsc.h"
#include "synthesis/dsp/osc/tMixOsc.h"
#include "synthesis/dsp/osc/tOverSampledOsc.h"
#include "synthesis/dsp/common/SignalAnalysis.h"
#include "synthesis/dsp/osc/OscTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

using namespace Lumora::DSP::OSC;

namespace {

const std::string& gCache = DspTest::tableCacheDirectory();

// The voice's oscillator stack, with a band-limited sine as the FM modulator.
template <class Wave>
using VoiceOsc = tDetunedOsc<tMixOsc<Wave, tOverSampledOsc<tFmOsc<Wave, SineOsc, 4>>>>;

template <class Osc>
std::vector<float> render(Osc& osc, double sampleRate, std::size_t n, unsigned block = 128)
{
    std::vector<float> out(n);
    for (std::size_t i = 0; i < n; i += block)
        osc.process(out.data() + i, unsigned(std::min<std::size_t>(block, n - i)), float(sampleRate));
    return out;
}

// The largest jump between neighbouring samples.
double largestStep(const std::vector<float>& x)
{
    double largest = 0.0;
    for (std::size_t i = 1; i < x.size(); ++i)
        largest = std::max(largest, double(std::fabs(x[i] - x[i - 1])));
    return largest;
}

} // namespace

TEST(FmOsc, IndexZeroIsThePlainCarrier)
{
    tFmOsc<SawOsc, SineOsc, 4> fm;
    SawOsc plain;
    fm.index = 0.0f;
    fm.previousIndex = 0.0f;
    fm.setFrequency(330.0f);
    plain.setFrequency(330.0f);
    EXPECT_EQ(render(fm, 48000.0, 1000), render(plain, 48000.0, 1000));
    EXPECT_EQ(fm.modulator.frequency(), 330.0f);
}

TEST(FmOsc, PhaseDeviationIsNTimesIndexSquared)
{
    // Phase modulation by N index^2 cycles: the carrier and first sidebands have the amplitudes
    // J0(beta) and J1(beta) with beta = 2 pi N index^2 radians.
    const double sr = 48000.0, fc = 1000.0, ratio = 0.3;
    for (float index : {0.1f, 0.2f, 0.25f}) {
        tFmOsc<SineOsc, SineOsc, 4> fm;
        fm.index = fm.previousIndex = index;
        fm.ratio = float(ratio);
        fm.setFrequency(float(fc));
        const auto out = render(fm, sr, 32768);
        const double beta = 2.0 * DspTest::kPi * 4.0 * index * index;
        const double fmHz = fc * ratio;
        EXPECT_NEAR(DspTest::amplitudeAt(out, fc, sr), std::fabs(std::cyl_bessel_j(0.0, beta)), 0.01) << index;
        EXPECT_NEAR(DspTest::amplitudeAt(out, fc + fmHz, sr), std::fabs(std::cyl_bessel_j(1.0, beta)), 0.01) << index;
        EXPECT_NEAR(DspTest::amplitudeAt(out, fc - fmHz, sr), std::fabs(std::cyl_bessel_j(1.0, beta)), 0.01) << index;
        EXPECT_NEAR(DspTest::amplitudeAt(out, fc + 2 * fmHz, sr), std::fabs(std::cyl_bessel_j(2.0, beta)), 0.01) << index;
    }
}

TEST(FmOsc, DepthGlidesFromTheLastBlocksIndex)
{
    // Block one ramps the depth from 0 toward 4 cycles; block two holds 4 cycles.
    tFmOsc<SineOsc, SineOsc, 4> gliding, steady;
    gliding.index = 1.0f;
    gliding.previousIndex = 0.0f;
    steady.index = steady.previousIndex = 1.0f;
    gliding.setFrequency(500.0f);
    steady.setFrequency(500.0f);
    std::vector<float> a(256), b(256);
    gliding.process(a.data(), 256, 48000.0f);
    steady.process(b.data(), 256, 48000.0f);
    EXPECT_NEAR(a[0], b[0], 1e-6); // the modulator starts at phase 0, so depth does not matter yet
    EXPECT_GT(std::fabs(a[100] - b[100]) + std::fabs(a[150] - b[150]) + std::fabs(a[200] - b[200]), 0.1);
    EXPECT_EQ(gliding.previousIndex, 1.0f);
    gliding.process(a.data(), 256, 48000.0f);
    steady.process(b.data(), 256, 48000.0f);
    for (int i = 0; i < 256; ++i)
        ASSERT_NEAR(a[i], b[i], 1e-5) << i;
}

TEST(FmOsc, RatioTakesEffectOnlyThroughSetFrequency)
{
    tFmOsc<SawOsc, SineOsc, 4> fm;
    fm.setFrequency(200.0f);
    fm.ratio = 2.0f;
    EXPECT_EQ(fm.modulator.frequency(), 200.0f);
    fm.setFrequency(fm.frequency());
    EXPECT_EQ(fm.modulator.frequency(), 400.0f);
    fm.setSyncFrequency(150.0f);
    EXPECT_EQ(fm.syncFrequency(), 150.0f);
    EXPECT_EQ(fm.modulator.syncFrequency(), 0.0f);
}

TEST(OverSampledOsc, DecimatesToTheRightPitchAndPhase)
{
    for (std::uint32_t mode : {0u, 1u, 2u, 7u}) {
        tOverSampledOsc<tFmOsc<SawOsc, SineOsc, 4>> os;
        os.mode = mode;
        os.inner.index = os.inner.previousIndex = 0.0f;
        os.setFrequency(440.0f);
        std::vector<float> out(64);
        os.process(out.data(), 64, 48000.0f);
        // 64 output samples advance the carrier by 64 periods of the output rate, whatever F is.
        EXPECT_NEAR(os.inner.carrier.phase(), std::fmod(64.0 * 440.0 / 48000.0, 1.0), 1e-5) << mode;
        const auto longer = render(os, 48000.0, 16384);
        EXPECT_NEAR(DspTest::peakFrequency(longer, 48000.0), 440.0, 0.5) << mode;
        EXPECT_NEAR(DspTest::rms(longer), 0.8 / std::sqrt(3.0), 0.05) << mode; // a saw of peak 0.8
    }
}

TEST(OverSampledOsc, TwoTimesKeepsEveryOtherFilteredSample)
{
    // Mode 1, 64 samples: 128 inner samples at twice the rate through the half-band low pass,
    // then samples 0, 2, ..., 126.
    tOverSampledOsc<tFmOsc<SquareOsc, SineOsc, 4>> os;
    tFmOsc<SquareOsc, SineOsc, 4> reference;
    Lumora::DSP::Filter::BiquadFilter lowPass;
    os.mode = 1;
    for (auto* fm : {&os.inner, &reference}) {
        fm->index = fm->previousIndex = 0.3f;
        fm->setFrequency(2500.0f);
    }
    std::vector<float> out(64), inner(128);
    for (int block = 0; block < 3; ++block) {
        os.process(out.data(), 64, 44100.0f);
        reference.process(inner.data(), 128, 88200.0f);
        lowPass.setLpfParam(0.5f, 0.0f);
        lowPass.process(inner.data(), inner.data(), 128);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(out[i], inner[2 * i]) << block << " " << i;
    }
}

TEST(OverSampledOsc, OversamplingLowersFmAliasing)
{
    // Strong FM of a high saw: with ratio 1 every product is a harmonic, so whatever lies between the
    // harmonics is aliasing.
    const double sr = 48000.0, f = 1234.5;
    double db[3];
    for (std::uint32_t mode : {0u, 1u, 2u}) {
        tOverSampledOsc<tFmOsc<SawOsc, SineOsc, 4>> os;
        os.mode = mode;
        os.inner.index = os.inner.previousIndex = 0.5f;
        os.setFrequency(float(f));
        db[mode] = DspTest::aliasedEnergyDb(render(os, sr, 32768), f, sr);
        RecordProperty("mode" + std::to_string(mode), std::to_string(db[mode]));
    }
    std::printf("FM aliasing by mode: %.1f %.1f %.1f dB\n", db[0], db[1], db[2]);
    // The single two-pole decimation low pass limits what four times can add over two times.
    EXPECT_LT(db[1], db[0] - 3.0);
    EXPECT_LT(db[2], db[0] - 5.0);
    EXPECT_LT(db[2], db[1] + 0.5);
}

TEST(MixOsc, WeightsAndSkippedPaths)
{
    using Mix = tMixOsc<SineOsc, tOverSampledOsc<tFmOsc<SineOsc, SineOsc, 4>>>;
    Mix mix;
    mix.fm.mode = 0;
    mix.fm.inner.index = mix.fm.inner.previousIndex = 0.0f; // both paths the same sine
    mix.setFrequency(1000.0f);
    mix.mix = 0.5f;
    const auto out = render(mix, 48000.0, 8192);
    // Both weighted sin(pi/4)^1.5 = 0.5946 and summed in phase.
    EXPECT_NEAR(DspTest::amplitudeAt(out, 1000.0, 48000.0), 2.0 * 0.59460356, 0.01);
    EXPECT_NEAR(mix.crossfader.lastWeightA(), 0.59460356f, 1e-5);

    // mix 0: only the plain wave runs and the FM path keeps its phase; mix 1 the other way round,
    // once the plain wave has faded out over one block.
    Mix m2;
    m2.fm.mode = 0;
    m2.setFrequency(1000.0f);
    m2.mix = 0.0f;
    render(m2, 48000.0, 100);
    EXPECT_EQ(m2.fm.inner.carrier.phase(), 0.0f);
    EXPECT_NE(m2.plain.phase(), 0.0f);
    m2.mix = 1.0f;
    render(m2, 48000.0, 100);
    const float plainPhase = m2.plain.phase();
    render(m2, 48000.0, 100);
    EXPECT_EQ(m2.plain.phase(), plainPhase);
    EXPECT_NE(m2.fm.inner.carrier.phase(), 0.0f);
    m2.restart(0.0f);
    EXPECT_EQ(m2.plain.phase(), 0.0f);
    EXPECT_EQ(m2.fm.inner.carrier.phase(), 0.0f);
    EXPECT_EQ(m2.fm.inner.modulator.phase(), 0.0f);
    EXPECT_LT(m2.crossfader.lastWeightA(), 0.0f);
}

// A sine of 100 Hz at 48 kHz moves by at most 0.013 of its amplitude per sample; a path that
// switches on or off at once steps by up to its whole level.
TEST(MixOsc, MixJumpingToAnEndFadesTheOtherPathOut)
{
    using Mix = tMixOsc<SineOsc, tOverSampledOsc<tFmOsc<SineOsc, SineOsc, 4>>>;
    for (float end : {0.0f, 1.0f}) {
        Mix mix;
        mix.fm.mode = 0;
        mix.fm.inner.index = mix.fm.inner.previousIndex = 0.0f;
        mix.setFrequency(100.0f);
        mix.restart(0.0f);
        mix.fm.restart(0.5f); // the FM path in antiphase: at mix 0.5 the two cancel
        mix.mix = 0.5f;
        std::vector<float> out = render(mix, 48000.0, 1280);
        EXPECT_LT(DspTest::peak(out), 1e-3);
        mix.mix = end;
        const auto after = render(mix, 48000.0, 1280);
        out.insert(out.end(), after.begin(), after.end());
        EXPECT_LT(largestStep(out), 0.03) << end;
        EXPECT_NEAR(DspTest::peak(after.data() + 640, 640), 1.0, 0.01) << end;
        // Faded out, the other path stands still again.
        const float plainPhase = mix.plain.phase(), fmPhase = mix.fm.inner.carrier.phase();
        render(mix, 48000.0, 256);
        EXPECT_EQ(end == 0.0f ? fmPhase : plainPhase,
                  end == 0.0f ? mix.fm.inner.carrier.phase() : mix.plain.phase()) << end;
    }

    // From a restart played at one end, the first crossfade glides away from that end.
    Mix mix;
    mix.fm.mode = 0;
    mix.fm.inner.index = mix.fm.inner.previousIndex = 0.0f;
    mix.setFrequency(100.0f);
    mix.restart(0.0f);
    mix.mix = 0.0f;
    std::vector<float> out = render(mix, 48000.0, 1280);
    mix.mix = 0.5f;
    const auto after = render(mix, 48000.0, 1280);
    out.insert(out.end(), after.begin(), after.end());
    EXPECT_LT(largestStep(out), 0.03);
}

TEST(DetunedOsc, DetuneLeavingOrReachingZeroFadesTheOuterVoices)
{
    tDetunedOsc<SineOsc> d;
    d.restart(0.0f);
    auto play = [&](float detune, std::size_t n) {
        d.shapingValues[0] = detune;
        d.setFrequency(100.0f);
        return render(d, 48000.0, n);
    };
    std::vector<float> out = play(0.0f, 1280);
    const auto on = play(0.5f, 1280);
    const auto off = play(0.0f, 1280);
    out.insert(out.end(), on.begin(), on.end());
    out.insert(out.end(), off.begin(), off.end());
    EXPECT_TRUE(DspTest::allClean(out));
    EXPECT_LT(largestStep(out), 0.03);

    // After the fade the three voices sound at half level each, and voice 0 alone once it is over.
    play(0.5f, 1280);
    std::vector<float> block = play(0.5f, 128);
    for (unsigned i = 0; i < 128; ++i)
        ASSERT_EQ(block[i], ((d.buffers[0][i] + d.buffers[1][i]) + d.buffers[2][i]) * 0.5f) << i;
    play(0.0f, 1280);
    const float outerPhase = d.voices[1].phase();
    play(0.0f, 128);
    EXPECT_EQ(d.voices[1].phase(), outerPhase);
}

// The fade lasts 10 ms, so a detune switched on and off sounds the same in blocks of 16 as in
// blocks of 1024 (a fade over one block would end 16 or 1024 samples after the switch).
TEST(DetunedOsc, TheFadeTakesTheSameSamplesAtEveryBlockSize)
{
    auto play = [](unsigned block) {
        tDetunedOsc<SineOsc> d;
        d.restart(0.0f);
        std::vector<float> out;
        for (float detune : {0.0f, 0.5f, 0.0f}) {
            d.shapingValues[0] = detune;
            d.setFrequency(100.0f);
            const auto part = render(d, 48000.0, 2048, block);
            out.insert(out.end(), part.begin(), part.end());
        }
        return out;
    };
    const auto small = play(16);
    const auto large = play(1024);
    ASSERT_EQ(small.size(), large.size());
    for (std::size_t i = 0; i < small.size(); ++i)
        ASSERT_NEAR(small[i], large[i], 1e-4) << i;
}

TEST(DetunedOsc, VoiceFrequenciesAndLevel)
{
    tDetunedOsc<SineOsc> d;
    d.shapingValues[0] = 1.0f;
    d.setFrequency(440.0f);
    EXPECT_FLOAT_EQ(d.voices[0].frequency(), 440.0f);
    EXPECT_NEAR(d.voices[1].frequency(), 452.893, 0.01);
    EXPECT_NEAR(d.voices[2].frequency(), 427.474, 0.01);
    EXPECT_EQ(d.frequency(), 440.0f);
    const auto out = render(d, 48000.0, 65536);
    for (double f : {440.0, 452.893, 427.474})
        EXPECT_NEAR(DspTest::amplitudeAt(out, f, 48000.0), 0.5, 0.02) << f;
    EXPECT_LT(DspTest::amplitudeAt(out, 446.4, 48000.0), 0.05);

    // A new detune at the same frequency retunes the outer voices; a return to an earlier one too.
    for (const auto& [detune, up] : {std::pair{2.0f, 466.164f}, std::pair{0.0f, 440.0f}, std::pair{1.0f, 452.893f}}) {
        d.shapingValues[0] = detune;
        d.setFrequency(440.0f);
        EXPECT_NEAR(d.voices[1].frequency(), up, 0.01) << detune;
        EXPECT_NEAR(d.voices[1].frequency() * d.voices[2].frequency(), 440.0f * 440.0f, 1.0f) << detune;
    }

    // Without detune only voice 0 runs.
    tDetunedOsc<SineOsc> plain;
    plain.setFrequency(440.0f);
    const auto single = render(plain, 48000.0, 8192);
    EXPECT_NEAR(DspTest::amplitudeAt(single, 440.0, 48000.0), 1.0, 0.01);
    EXPECT_EQ(plain.voices[1].phase(), 0.0f);
}

// The group renders its voices in two stages and runs their decimators together; each voice must
// still sound exactly as the same voice rendered on its own, through every path of the mix (plain
// only, FM only, crossfaded, moving between them) and every oversampling, mixed across the voices.
TEST(DetunedOsc, VoicesDecimatedTogetherSoundAsEachAlone)
{
    using Voice = tMixOsc<SawOsc, tOverSampledOsc<tFmOsc<SawOsc, SineOsc, 4>>>;
    struct Case {
        float mix[3];
        std::uint32_t mode[3];
    };
    const std::vector<Case> cases = {
        {{0.5f, 0.5f, 0.5f}, {Lumora::OVERSAMPLE_4X, Lumora::OVERSAMPLE_4X, Lumora::OVERSAMPLE_4X}},
        {{1.0f, 1.0f, 1.0f}, {Lumora::OVERSAMPLE_2X, Lumora::OVERSAMPLE_2X, Lumora::OVERSAMPLE_2X}},
        {{0.0f, 1.0f, 0.3f}, {Lumora::OVERSAMPLE_4X, Lumora::OVERSAMPLE_2X, Lumora::OVERSAMPLE_NONE}},
        {{0.7f, 0.2f, 1.0f}, {Lumora::OVERSAMPLE_4X, Lumora::OVERSAMPLE_4X, Lumora::OVERSAMPLE_2X}},
    };
    for (std::size_t c = 0; c < cases.size(); ++c) {
        VoiceOsc<SawOsc> group;
        Voice alone[3];
        group.reserve(512);
        group.shapingValues[0] = 0.4f;
        group.setFrequency(330.0f);
        for (int v = 0; v < 3; ++v) {
            for (Voice* osc : {&group.voices[v], &alone[v]}) {
                osc->reserve(512);
                osc->mix = cases[c].mix[v];
                osc->fm.mode = cases[c].mode[v];
                osc->fm.inner.index = 0.4f + 0.1f * float(v);
                osc->setFrequency(group.voices[v].frequency());
            }
        }
        std::vector<float> out(512), want(512);
        unsigned b = 0;
        for (unsigned n : {128u, 37u, 256u, 1u, 64u, 511u, 128u}) {
            if (b == 3) // the mix moves: the paths fade in and out over the next blocks
                for (int v = 0; v < 3; ++v)
                    group.voices[v].mix = alone[v].mix = 1.0f - cases[c].mix[v];
            group.process(out.data(), n, 48000.0f);
            for (int v = 0; v < 3; ++v) {
                alone[v].process(want.data(), n, 48000.0f);
                ASSERT_EQ(0, std::memcmp(group.buffers[v].data(), want.data(), n * sizeof(float)))
                    << "case " << c << " block " << b << " voice " << v;
            }
            ++b;
        }
    }
}

TEST(VoiceOscillators, EveryQualityPlaysTheNoteAndNoSettingGivesNaN)
{
    Lumora::DSP::ScopedFlushDenormals guard;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    VoiceOsc<SawOsc> saw;
    VoiceOsc<SquareOsc> square;
    VoiceOsc<TriangleOsc> triangle;
    saw.reserve(512);
    auto check = [&](auto& osc) {
        for (auto& v : osc.voices) {
            v.mix = 0.6f;
            v.fm.inner.index = 0.4f;
            v.fm.inner.ratio = 2.0f;
        }
        for (std::uint32_t mode : {0u, 1u, 2u}) {
            for (auto& v : osc.voices)
                v.fm.mode = mode;
            // With an integer ratio and no detune the sound is periodic at the note: all its energy
            // lies on the note's harmonics.
            osc.shapingValues[0] = 0.0f;
            osc.setFrequency(261.63f);
            auto out = render(osc, 44100.0, 16384, 128);
            EXPECT_TRUE(DspTest::allClean(out));
            EXPECT_LT(DspTest::aliasedEnergyDb(out, 261.63, 44100.0), -12.0) << mode;
            EXPECT_GT(DspTest::amplitudeAt(out, 261.63, 44100.0), 0.05) << mode;
            osc.shapingValues[0] = 0.2f;
            osc.setFrequency(261.63f);
            out = render(osc, 44100.0, 4096, 128);
            EXPECT_TRUE(DspTest::allClean(out));
            EXPECT_GT(DspTest::rms(out), 0.1);
        }
        for (auto& v : osc.voices) {
            v.mix = nan;
            v.fm.inner.index = nan;
            v.fm.inner.ratio = nan;
        }
        osc.shapingValues[0] = nan;
        osc.setFrequency(nan);
        auto out = render(osc, 44100.0, 512);
        EXPECT_TRUE(DspTest::allClean(out));
        for (auto& v : osc.voices)
            v.mix = 0.5f;
        osc.process(out.data(), 512, 0.0f);
        EXPECT_TRUE(DspTest::allClean(out));
    };
    check(saw);
    check(square);
    check(triangle);
}
