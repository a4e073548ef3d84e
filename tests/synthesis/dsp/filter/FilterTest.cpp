#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/filter/BiquadFilter.h"
#include "synthesis/dsp/filter/DCBlockingFilter.h"
#include "synthesis/dsp/filter/FilterFrequency.h"
#include "synthesis/dsp/filter/OnePoleHighPass.h"
#include "synthesis/dsp/filter/OnePoleLowPass.h"
#include "synthesis/dsp/common/SignalAnalysis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

using namespace Lumora::DSP;
using namespace Lumora::DSP::Filter;

namespace {

std::vector<float> sine(double hz, double sampleRate, std::size_t n)
{
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = float(std::sin(2.0 * DspTest::kPi * hz * double(i) / sampleRate));
    return x;
}

// Steady-state gain of a filter for a sine, measured by Goertzel over the second half of the run.
double gainAt(iFilter& filter, double hz, double sampleRate)
{
    filter.reset();
    const std::size_t n = 32768;
    auto x = sine(hz, sampleRate, n);
    std::vector<float> y(n);
    for (std::size_t i = 0; i < n; i += 128)
        filter.process(y.data() + i, x.data() + i, 128);
    return DspTest::amplitudeAt(y.data() + n / 2, n / 2, hz, sampleRate);
}

double db(double g) { return 20.0 * std::log10(g); }

std::vector<float> noise(std::size_t n, float level)
{
    std::vector<float> x(n);
    std::uint32_t s = 12345;
    for (auto& v : x) {
        s = s * 1664525u + 1013904223u;
        v = level * (float(s >> 8) / float(1u << 24) * 2.0f - 1.0f);
    }
    return x;
}

} // namespace

TEST(FilterFrequency, NormalizesToNyquist)
{
    EXPECT_FLOAT_EQ(hz2paramFreq(11025.0f, 44100.0f), 0.5f);
    EXPECT_FLOAT_EQ(hz2paramFreq(24000.0f, 48000.0f), 1.0f);
    EXPECT_EQ(hz2paramFreq(1000.0f, 0.0f), 0.0f);
    EXPECT_EQ(hz2paramFreq(1000.0f, std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

TEST(BiquadFilter, NewFilterPassesInputUnchanged)
{
    BiquadFilter f;
    auto x = noise(300, 1.0f);
    std::vector<float> y(300);
    f.process(y.data(), x.data(), 300);
    EXPECT_EQ(x, y);
}

TEST(BiquadFilter, LowPassHasQGainAtDesignFrequencyAndTwelveDbPerOctave)
{
    const double sr = 48000.0;
    BiquadFilter f;
    // Normalized 1/24 designs at 0.99 * 1000 Hz.
    f.setLpfParam(1.0f / 24.0f, 0.0f);
    EXPECT_NEAR(gainAt(f, 990.0, sr), 0.7, 0.01); // the cookbook low pass has gain Q at its corner
    EXPECT_NEAR(gainAt(f, 50.0, sr), 1.0, 0.01);
    const double slope = db(gainAt(f, 4000.0, sr)) - db(gainAt(f, 2000.0, sr));
    EXPECT_NEAR(slope, -12.0, 1.0);

    // Full resonance: Q = 20.7 at the corner.
    f.setLpfParam(1.0f / 24.0f, 1.0f);
    EXPECT_NEAR(gainAt(f, 990.0, sr), 20.7, 0.5);
}

TEST(BiquadFilter, DesignStaysBelowNyquist)
{
    // 1/4 at 176.4 kHz: 0.99 * 22050 Hz with Q 0.7.
    BiquadFilter f;
    f.setLpfParam(0.25f, 0.0f);
    EXPECT_NEAR(gainAt(f, 0.99 * 22050.0, 176400.0), 0.7, 0.01);
    // Frequency 2 with q 0.5: designed at 0.99 pi with Q 5.7.
    BiquadFilter g;
    g.setLpfParam(2.0f, 0.5f);
    BiquadFilter h;
    h.setLpfParam(1.0f, 0.5f);
    EXPECT_FLOAT_EQ(g.coefficients().a1, h.coefficients().a1);
    EXPECT_FLOAT_EQ(g.coefficients().b0, h.coefficients().b0);
    const float w = 0.99f * 3.14159265f;
    const float alpha = std::sin(w) / (2.0f * 5.7f);
    EXPECT_NEAR(g.coefficients().a2, (1.0f - alpha) / (1.0f + alpha), 1e-6);
}

TEST(BiquadFilter, BandPassHasUnitGainAtCentre)
{
    const double sr = 48000.0;
    for (float q : {0.0f, 0.5f, 1.0f}) {
        BiquadFilter f;
        f.setBpfParam(0.25f, q); // centre 0.99 * 6000 Hz
        EXPECT_NEAR(gainAt(f, 5940.0, sr), 1.0, 0.01) << q;
        EXPECT_LT(gainAt(f, 1485.0, sr), 0.5) << q;
    }
}

TEST(OnePoleFilters, CoefficientAndResponse)
{
    OnePoleLowPass lp;
    EXPECT_NEAR(lp.coefficient(), std::exp(-3.14159265), 1e-7);
    lp.setParam(0.0f, 0.0f);
    EXPECT_EQ(lp.coefficient(), 1.0f);
    lp.setParam(3.0f, 0.0f);
    EXPECT_NEAR(lp.coefficient(), std::exp(-3.14159265), 1e-7);

    // a = exp(-pi f) puts the -3 dB point near f * Nyquist for small f, with 6 dB per octave above.
    const double sr = 48000.0;
    lp.setFrequency(0.02f); // 480 Hz
    EXPECT_NEAR(gainAt(lp, 480.0, sr), std::sqrt(0.5), 0.03);
    EXPECT_NEAR(db(gainAt(lp, 4000.0, sr)) - db(gainAt(lp, 2000.0, sr)), -6.0, 0.8);

    OnePoleHighPass hp;
    hp.setFrequency(0.02f);
    EXPECT_NEAR(gainAt(hp, 480.0, sr), std::sqrt(0.5), 0.03);
    EXPECT_NEAR(gainAt(hp, 12000.0, sr), 1.0, 0.05);
    EXPECT_LT(gainAt(hp, 30.0, sr), 0.1);
}

TEST(OnePoleLowPass, FrequencyZeroHoldsTheOutput)
{
    OnePoleLowPass lp;
    std::vector<float> ones(64, 1.0f), y(64);
    lp.process(y.data(), ones.data(), 64);
    const float held = y.back();
    lp.setParam(0.0f, 0.0f);
    std::vector<float> zeros(64, 0.0f);
    lp.process(y.data(), zeros.data(), 64);
    for (float v : y)
        EXPECT_EQ(v, held);
}

TEST(DCBlockingFilter, CoefficientAndDecay)
{
    EXPECT_NEAR(DCBlockingFilter::coefficient(48000.0f, 20.0f), 0.997382, 1e-6);
    DCBlockingFilter f;
    std::vector<float> ones(1000, 1.0f), y(1000);
    f.process(y.data(), ones.data(), 1000, 48000.0f, 20.0f);
    const double R = DCBlockingFilter::coefficient(48000.0f, 20.0f);
    for (int k : {0, 1, 10, 500, 999})
        EXPECT_NEAR(y[k], std::pow(R, k), 1e-4) << k;
    // An empty block changes nothing.
    std::vector<float> more(1, 1.0f), z(1);
    f.process(nullptr, nullptr, 0, 48000.0f, 20.0f);
    f.process(z.data(), more.data(), 1, 48000.0f, 20.0f);
    EXPECT_NEAR(z[0], std::pow(R, 1000), 1e-4);
    // Unknown sample rates and absurd cutoffs keep the pole within [0, 1].
    EXPECT_EQ(DCBlockingFilter::coefficient(0.0f, 20.0f), 1.0f);
    EXPECT_EQ(DCBlockingFilter::coefficient(48000.0f, 1e9f), 0.0f);
    EXPECT_EQ(DCBlockingFilter::coefficient(48000.0f, std::numeric_limits<float>::quiet_NaN()), 0.0f);
}

// Four samples as lanes give the bits of the four written-out sums: calls of every remainder of
// four, in place or not, new cutoffs, a signed zero (which an added zero would turn positive: at a
// pole of 0 after a falling step, -0 - 0 + 0 * y1 is -0) and a NaN that clears the state.
TEST(DCBlockingFilter, WideStepsGiveTheNarrowStepsBits)
{
    if (!DCBlockingFilter::allowWideSteps(true))
        GTEST_SKIP() << "no AVX2 on this processor";
    // The call of 64 starts at sample 87 and runs at a pole of 0; its second group starts at 91.
    const unsigned lengths[] = {1, 2, 3, 4, 5, 7, 32, 33, 64, 130, 8, 8};
    auto x = noise(512, 1.0f);
    x[89] = 0.5f;
    x[90] = 0.0f;
    for (std::size_t i = 91; i < 95; ++i)
        x[i] = -0.0f;
    x[250] = std::numeric_limits<float>::quiet_NaN();
    for (const bool inPlace : {false, true}) {
        std::vector<float> outputs[2];
        for (const bool wide : {false, true}) {
            DCBlockingFilter::allowWideSteps(wide);
            DCBlockingFilter f;
            unsigned at = 0;
            for (const unsigned n : lengths) {
                std::vector<float> in(x.begin() + at, x.begin() + at + n), out(n, -1.0f);
                at += n;
                const float cutoff = n == 64 ? 1.0e9f : (at < 200 ? 20.0f : 900.0f);
                f.process(inPlace ? in.data() : out.data(), in.data(), n, 48000.0f, cutoff);
                const std::vector<float>& y = inPlace ? in : out;
                outputs[wide].insert(outputs[wide].end(), y.begin(), y.end());
            }
        }
        DCBlockingFilter::allowWideSteps(true);
        ASSERT_EQ(outputs[0].size(), outputs[1].size());
        EXPECT_EQ(0, std::memcmp(outputs[0].data(), outputs[1].data(), outputs[0].size() * sizeof(float)))
            << (inPlace ? "in place" : "apart");
    }
}

TEST(Filters, InPlaceEqualsSeparateBuffers)
{
    const auto x = noise(777, 0.8f);
    auto check = [&](auto makeAndRun) {
        std::vector<float> separate(x.size()), inPlace = x;
        makeAndRun(separate.data(), x.data());
        makeAndRun(inPlace.data(), inPlace.data());
        EXPECT_EQ(separate, inPlace);
    };
    check([](float* out, const float* in) {
        BiquadFilter f;
        f.setLpfParam(0.1f, 0.7f);
        f.process(out, in, 500);
        f.process(out + 500, in + 500, 277);
    });
    check([](float* out, const float* in) {
        BiquadFilter f;
        f.setBpfParam(0.3f, 0.2f);
        f.process(out, in, 777);
    });
    check([](float* out, const float* in) {
        OnePoleLowPass f;
        f.setFrequency(0.1f);
        f.process(out, in, 777);
    });
    check([](float* out, const float* in) {
        OnePoleHighPass f;
        f.setFrequency(0.1f);
        f.process(out, in, 777);
    });
    check([](float* out, const float* in) {
        DCBlockingFilter f;
        f.process(out, in, 777, 44100.0f, 20.0f);
    });
}

TEST(Filters, NaNInputDoesNotPoisonLaterBlocks)
{
    std::unique_ptr<iFilter> filters[] = {std::make_unique<BiquadFilter>(), std::make_unique<OnePoleLowPass>(),
                                          std::make_unique<OnePoleHighPass>()};
    static_cast<BiquadFilter&>(*filters[0]).setLpfParam(0.2f, 1.0f);
    std::vector<float> bad(64, 0.5f), good = noise(64, 0.5f), y(64);
    bad[10] = std::numeric_limits<float>::quiet_NaN();
    bad[20] = std::numeric_limits<float>::infinity();
    for (auto& f : filters) {
        f->process(y.data(), bad.data(), 64);
        EXPECT_TRUE(DspTest::allClean(y));
        f->process(y.data(), good.data(), 64);
        EXPECT_TRUE(DspTest::allClean(y));
        EXPECT_GT(DspTest::rms(y), 0.0);
    }
    DCBlockingFilter dc;
    dc.process(y.data(), bad.data(), 64, 48000.0f, 20.0f);
    EXPECT_TRUE(DspTest::allClean(y));
    dc.process(y.data(), good.data(), 64, 48000.0f, 20.0f);
    EXPECT_TRUE(DspTest::allClean(y));
}

TEST(BiquadFilter, ExtremeSettingsStayBounded)
{
    ScopedFlushDenormals guard;
    const auto x = noise(512, 1.0f);
    std::vector<float> y(512);
    for (auto design : {&BiquadFilter::setLpfParam, &BiquadFilter::setBpfParam}) {
        BiquadFilter f;
        double worst = 0.0;
        // Full resonance swept across and beyond the range, down to 0 and NaN, block after block.
        const float sweep[] = {1.0f, 0.5f, 0.01f, 0.0f, -1.0f, 2.0f, 1e9f, std::numeric_limits<float>::quiet_NaN(),
                               0.001f, 0.0f, 0.0f, 0.0f};
        for (int round = 0; round < 40; ++round)
            for (float freq : sweep) {
                (f.*design)(freq, 1.0f);
                f.process(y.data(), x.data(), 512);
                ASSERT_TRUE(DspTest::allClean(y));
                worst = std::max(worst, DspTest::peak(y));
            }
        EXPECT_LT(worst, 1000.0);
        // Cutoff held at 0 after a loud block: the output decays instead of running away.
        (f.*design)(0.3f, 1.0f);
        f.process(y.data(), x.data(), 512);
        (f.*design)(0.0f, 1.0f);
        std::vector<float> silence(512, 0.0f);
        for (int i = 0; i < 2000; ++i)
            f.process(y.data(), silence.data(), 512);
        EXPECT_LT(DspTest::peak(y), 100.0);
        EXPECT_TRUE(DspTest::allClean(y));
    }
}

TEST(Filters, DecayingTailsFlushToZeroUnderTheGuard)
{
    ScopedFlushDenormals guard;
    BiquadFilter bq;
    bq.setLpfParam(0.05f, 0.3f);
    OnePoleLowPass lp;
    lp.setFrequency(0.001f);
    DCBlockingFilter dc;
    std::vector<float> y(256), x(256, 0.0f);
    x[0] = 1.0f;
    bq.process(y.data(), x.data(), 256);
    lp.process(y.data(), x.data(), 256);
    dc.process(y.data(), x.data(), 256, 48000.0f, 20.0f);
    std::fill(x.begin(), x.end(), 0.0f);
    for (int block = 0; block < 4000; ++block) {
        bq.process(y.data(), x.data(), 256);
        ASSERT_TRUE(DspTest::allClean(y));
        lp.process(y.data(), x.data(), 256);
        ASSERT_TRUE(DspTest::allClean(y));
        dc.process(y.data(), x.data(), 256, 48000.0f, 20.0f);
        ASSERT_TRUE(DspTest::allClean(y));
    }
}

TEST(BiquadFilter, DesignsMatchTheirCookbookDirectForm)
{
    const auto x = noise(2048, 1.0f);
    for (float freq : {0.01f, 0.1f, 0.5f, 0.95f, 1.5f})
        for (float q : {0.0f, 0.6f, 1.0f})
            for (bool lowPass : {true, false}) {
                BiquadFilter design, direct;
                if (lowPass)
                    design.setLpfParam(freq, q);
                else
                    design.setBpfParam(freq, q);
                const auto& c = design.coefficients();
                direct.setBiquadParam(c.b0, c.b1, c.b2, 1.0f, c.a1, c.a2);
                std::vector<float> a(x.size()), b(x.size());
                design.process(a.data(), x.data(), unsigned(x.size()));
                direct.process(b.data(), x.data(), unsigned(x.size()));
                double err = 0.0;
                for (std::size_t i = 0; i < a.size(); ++i)
                    err = std::max(err, double(std::fabs(a[i] - b[i])));
                EXPECT_LT(err, 2e-3 * std::max(1.0, DspTest::peak(b))) << freq << " " << q << " " << lowPass;
            }
}

// Long calls run four samples per step, short remainders one at a time: however the input is cut
// into calls, the two paths give the same signal.
template <class Process>
double splitDifference(const std::vector<float>& x, Process&& whole, Process&& pieces)
{
    std::vector<float> a(x.size()), b(x.size());
    whole(a.data(), x.data(), unsigned(x.size()));
    const unsigned cuts[] = {1, 3, 5, 2, 7, 4, 9, 6};
    for (std::size_t i = 0, c = 0; i < x.size(); ++c) {
        const unsigned n = std::min<unsigned>(cuts[c % 8], unsigned(x.size() - i));
        pieces(b.data() + i, x.data() + i, n);
        i += n;
    }
    double err = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        err = std::max(err, double(std::fabs(a[i] - b[i])));
    return err / std::max(1.0, DspTest::peak(a));
}

TEST(Filters, SameOutputHoweverTheInputIsSplit)
{
    const auto x = noise(1024, 1.0f);
    for (float freq : {0.0005f, 0.05f, 0.6f, 0.99f})
        for (float q : {0.0f, 1.0f})
            for (bool lowPass : {true, false}) {
                BiquadFilter whole, pieces;
                for (BiquadFilter* f : {&whole, &pieces})
                    lowPass ? f->setLpfParam(freq, q) : f->setBpfParam(freq, q);
                auto run = [](BiquadFilter& f) {
                    return std::function<void(float*, const float*, unsigned)>(
                        [&f](float* out, const float* in, unsigned n) { f.process(out, in, n); });
                };
                EXPECT_LT(splitDifference(x, run(whole), run(pieces)), 1e-4) << freq << " " << q << " " << lowPass;
            }
    for (float cutoff : {5.0f, 20.0f, 2000.0f}) {
        DCBlockingFilter whole, pieces;
        auto run = [cutoff](DCBlockingFilter& f) {
            return std::function<void(float*, const float*, unsigned)>(
                [&f, cutoff](float* out, const float* in, unsigned n) { f.process(out, in, n, 44100.0f, cutoff); });
        };
        EXPECT_LT(splitDifference(x, run(whole), run(pieces)), 1e-5) << cutoff;
    }
}

// Decimating keeps exactly the samples that filtering everything and taking every factor-th one
// would give, whatever the factor and length, for the designs and for free coefficients.
TEST(BiquadFilter, DecimatedEqualsEveryFactorThSample)
{
    const auto x = noise(1031, 1.0f);
    for (unsigned factor : {1u, 2u, 3u, 4u})
        for (int design = 0; design < 3; ++design) {
            BiquadFilter full, decimated;
            for (BiquadFilter* f : {&full, &decimated}) {
                if (design == 0)
                    f->setLpfParam(0.25f, 0.3f);
                else if (design == 1)
                    f->setBpfParam(0.1f, 0.8f);
                else
                    f->setBiquadParam(0.2f, 0.3f, 0.2f, 1.0f, -0.5f, 0.2f);
            }
            std::vector<float> all(x.size());
            std::vector<float> kept(x.size());
            for (unsigned done = 0, b = 0; done < x.size(); ++b) {
                // Calls of several lengths, each a multiple of the factor as the oversampler makes them.
                const unsigned n = std::min<unsigned>(factor * (b % 2 ? 33u : 64u), unsigned(x.size()) - done);
                full.process(all.data() + done, x.data() + done, n);
                decimated.processDecimated(kept.data() + (done + factor - 1) / factor, x.data() + done, n, factor);
                done += n;
            }
            for (std::size_t i = 0; i * factor < x.size(); ++i)
                ASSERT_NEAR(kept[i], all[i * factor], 1e-6f * std::max(1.0f, std::fabs(all[i * factor])))
                    << "factor " << factor << " design " << design << " at " << i;
        }
}

// Filters decimated together give each filter's own processDecimated to the bit, whatever mixes in a
// call: designs and free coefficients, factors, lengths that are not whole steps, and more than one
// interleaved run.
TEST(BiquadFilter, DecimatingTogetherMatchesDecimatingEachAlone)
{
    struct Job {
        int design;
        unsigned factor;
        unsigned n;
    };
    const std::vector<std::vector<Job>> calls = {
        {{0, 4, 1024}, {0, 4, 1024}, {0, 4, 1024}},
        {{0, 2, 514}, {1, 2, 514}},
        {{0, 4, 1024}, {2, 4, 1024}, {1, 4, 1024}, {0, 4, 1024}, {0, 4, 1024}, {1, 4, 1024}, {0, 4, 1024}},
        {{0, 4, 1023}, {0, 4, 1023}, {0, 2, 1023}, {1, 3, 999}},
        {{1, 4, 4}, {0, 4, 3}, {0, 4, 3}},
    };
    const auto x = noise(8 * 1024, 1.0f);
    for (std::size_t c = 0; c < calls.size(); ++c) {
        const auto& jobs = calls[c];
        std::vector<BiquadFilter> together(jobs.size()), alone(jobs.size());
        std::vector<std::vector<float>> gotOut(jobs.size()), wantOut(jobs.size());
        for (std::size_t k = 0; k < jobs.size(); ++k)
            for (auto* f : {&together[k], &alone[k]}) {
                if (jobs[k].design == 0)
                    f->setLpfParam(0.25f + 0.01f * float(k), 0.1f * float(k % 3));
                else if (jobs[k].design == 1)
                    f->setBpfParam(0.1f, 0.8f);
                else
                    f->setBiquadParam(0.2f, 0.3f, 0.2f, 1.0f, -0.5f, 0.2f);
            }
        // Three blocks, so that each filter's state carries across calls.
        for (unsigned block = 0; block < 3; ++block) {
            std::vector<BiquadFilter::DecimationJob> list;
            for (std::size_t k = 0; k < jobs.size(); ++k) {
                const Job& j = jobs[k];
                const float* in = x.data() + (k * 997 + block * 131) % 4096;
                gotOut[k].assign(j.n, -1.0f);
                wantOut[k].assign(j.n, -1.0f);
                list.push_back({&together[k], gotOut[k].data(), in, j.n, j.factor});
                alone[k].processDecimated(wantOut[k].data(), in, j.n, j.factor);
            }
            BiquadFilter::decimateTogether(list.data(), unsigned(list.size()));
            for (std::size_t k = 0; k < jobs.size(); ++k)
                ASSERT_EQ(0, std::memcmp(gotOut[k].data(), wantOut[k].data(), jobs[k].n * sizeof(float)))
                    << "call " << c << " job " << k << " block " << block;
        }
    }
}

// The eight-lane step gives the four-lane step's bits: both designs, in place or not, calls of
// every remainder of four samples, and a NaN that clears the state on the way.
TEST(BiquadFilter, WideStepsGiveTheNarrowStepsBits)
{
    if (!BiquadFilter::allowWideSteps(true))
        GTEST_SKIP() << "no AVX2 on this processor";
    struct Design {
        bool bandPass;
        float frequency, q;
    };
    const unsigned lengths[] = {1, 2, 3, 4, 5, 7, 32, 33, 64, 130};
    const auto x = noise(512, 1.0f);
    for (const Design d : {Design{false, 0.05f, 0.3f}, Design{false, 0.7f, 1.0f}, Design{true, 0.2f, 0.9f}}) {
        for (const bool inPlace : {false, true}) {
            std::vector<float> outputs[2];
            for (const bool wide : {false, true}) {
                BiquadFilter::allowWideSteps(wide);
                BiquadFilter f;
                if (d.bandPass)
                    f.setBpfParam(d.frequency, d.q);
                else
                    f.setLpfParam(d.frequency, d.q);
                unsigned at = 0;
                for (const unsigned n : lengths) {
                    std::vector<float> in(x.begin() + at, x.begin() + at + n), out(n, -1.0f);
                    at += n;
                    if (n == 33)
                        in[5] = std::numeric_limits<float>::quiet_NaN();
                    f.process(inPlace ? in.data() : out.data(), in.data(), n);
                    const std::vector<float>& y = inPlace ? in : out;
                    outputs[wide].insert(outputs[wide].end(), y.begin(), y.end());
                }
            }
            BiquadFilter::allowWideSteps(true);
            ASSERT_EQ(outputs[0].size(), outputs[1].size());
            EXPECT_EQ(0, std::memcmp(outputs[0].data(), outputs[1].data(), outputs[0].size() * sizeof(float)))
                << (d.bandPass ? "band pass" : "low pass") << " at " << d.frequency << (inPlace ? ", in place" : "");
        }
    }
}

// processScaled gives process() followed by a scaling, bit for bit, by either step: both designs
// and free coefficients, calls of whole steps and not, and a NaN whose cleared block a negative
// gain turns to -0.
TEST(BiquadFilter, ScaledProcessingIsProcessingThenScaling)
{
    const auto x = noise(256, 1.0f);
    for (const bool wide : {false, true}) {
        BiquadFilter::allowWideSteps(wide);
        for (const int design : {0, 1, 2}) {
            for (const float gain : {2.5f, -0.75f}) {
                BiquadFilter scaled, plain;
                for (auto* f : {&scaled, &plain}) {
                    if (design == 0)
                        f->setLpfParam(0.3f, 0.7f);
                    else if (design == 1)
                        f->setBpfParam(0.1f, 0.8f);
                    else
                        f->setBiquadParam(0.2f, 0.3f, 0.2f, 1.0f, -0.5f, 0.2f);
                }
                unsigned at = 0;
                for (const unsigned n : {33u, 32u, 7u, 64u}) {
                    std::vector<float> in(x.begin() + at, x.begin() + at + n), got(n, -1.0f), want(n, -1.0f);
                    at += n;
                    if (n == 7)
                        in[3] = std::numeric_limits<float>::quiet_NaN();
                    scaled.processScaled(got.data(), in.data(), n, gain);
                    plain.process(want.data(), in.data(), n);
                    Platform::Vdsp::scale(want.data(), gain, want.data(), n);
                    EXPECT_EQ(0, std::memcmp(got.data(), want.data(), n * sizeof(float)))
                        << (wide ? "wide" : "narrow") << " design " << design << " gain " << gain << " n " << n;
                }
            }
        }
    }
    BiquadFilter::allowWideSteps(true);
}

// processThen gives one filter's process() and then the other's over its output, bit for bit, by
// either step: designs of both kinds and free coefficients, in place or not, calls of whole steps
// and not, a NaN that clears the first filter's block (the second then takes zeros from where it
// stood) and an overflow at full resonance. Later blocks show that both states carry on alike.
TEST(BiquadFilter, ProcessThenIsOneFilterAfterTheOther)
{
    const auto x = noise(512, 1.0f);
    const auto design = [](BiquadFilter& f, int kind) {
        if (kind == 0)
            f.setLpfParam(0.3f, 0.7f);
        else if (kind == 1)
            f.setBpfParam(0.1f, 0.8f);
        else if (kind == 2)
            f.setLpfParam(0.02f, 1.0f);
        else
            f.setBiquadParam(0.2f, 0.3f, 0.2f, 1.0f, -0.5f, 0.2f);
    };
    const int pairs[][2] = {{0, 2}, {2, 1}, {1, 0}, {0, 3}, {3, 0}};
    for (const bool wide : {false, true}) {
        BiquadFilter::allowWideSteps(wide);
        for (const auto& pair : pairs) {
            for (const bool inPlace : {false, true}) {
                BiquadFilter chained[2], apart[2];
                for (int k = 0; k < 2; ++k) {
                    design(chained[k], pair[k]);
                    design(apart[k], pair[k]);
                }
                unsigned at = 0;
                for (const unsigned n : {33u, 32u, 7u, 64u, 3u, 0u, 36u, 41u}) {
                    std::vector<float> in(x.begin() + at, x.begin() + at + n), got(n, -1.0f), want(n, -1.0f);
                    at += n;
                    if (n == 7)
                        in[3] = std::numeric_limits<float>::quiet_NaN();
                    if (n == 36)
                        in[30] = 3.0e38f;
                    std::vector<float> again = in;
                    chained[0].processThen(chained[1], inPlace ? in.data() : got.data(), in.data(), n);
                    apart[0].process(inPlace ? again.data() : want.data(), again.data(), n);
                    apart[1].process(inPlace ? again.data() : want.data(), inPlace ? again.data() : want.data(), n);
                    const std::vector<float>& y = inPlace ? in : got;
                    const std::vector<float>& z = inPlace ? again : want;
                    // An empty block has no buffers to compare (their data may be null).
                    EXPECT_TRUE(n == 0 || std::memcmp(y.data(), z.data(), n * sizeof(float)) == 0)
                        << (wide ? "wide" : "narrow") << " designs " << pair[0] << ", " << pair[1]
                        << (inPlace ? " in place" : "") << " n " << n;
                }
            }
        }
    }
    BiquadFilter::allowWideSteps(true);
}

// A design set again with the same inputs is kept as it stands, but one that follows another
// mode (the other design, or free coefficients) is made anew, whatever it was before.
TEST(BiquadFilter, RepeatedDesignIsKeptAndAModeChangeRedesigns)
{
    const auto sameCoefficients = [](const BiquadFilter& a, const BiquadFilter& b) {
        const auto& x = a.coefficients();
        const auto& y = b.coefficients();
        return x.b0 == y.b0 && x.b1 == y.b1 && x.b2 == y.b2 && x.a1 == y.a1 && x.a2 == y.a2;
    };
    BiquadFilter reference;
    reference.setLpfParam(0.1f, 0.5f);
    const double referenceGain = gainAt(reference, 2205.0, 44100.0);

    BiquadFilter f;
    f.setLpfParam(0.1f, 0.5f);
    f.setLpfParam(0.1f, 0.5f);
    EXPECT_TRUE(sameCoefficients(f, reference));
    f.setBpfParam(0.1f, 0.5f);
    EXPECT_FALSE(sameCoefficients(f, reference));
    f.setLpfParam(0.1f, 0.5f);
    EXPECT_TRUE(sameCoefficients(f, reference));
    EXPECT_DOUBLE_EQ(gainAt(f, 2205.0, 44100.0), referenceGain);

    f.setBiquadParam(1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_NEAR(gainAt(f, 2205.0, 44100.0), 1.0, 1e-3);
    f.setLpfParam(0.1f, 0.5f);
    EXPECT_TRUE(sameCoefficients(f, reference));
    EXPECT_DOUBLE_EQ(gainAt(f, 2205.0, 44100.0), referenceGain);
    f.setLpfParam(0.1f, 0.6f);
    EXPECT_FALSE(sameCoefficients(f, reference));
}
