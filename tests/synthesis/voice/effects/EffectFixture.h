#pragma once

// What the effect tests share: a parameter table, a clock whose tempo and sample count the test
// sets, block-wise rendering and measurements on top of the DSP tests' signal analysis.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/clock/Clock.h"
#include "engine/parameter/ParameterManager.h"
#include "synthesis/dsp/common/SignalAnalysis.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace EffectTest {

using namespace Lumora;
using Corvane::Parameters;

constexpr float kRate = 48000.0f;

struct Table {
    ParameterManager manager{"EffectTest", 2, nullptr};
    Corvane::Parameters params{&manager};
};

inline void set(Parameter& p, float normalized)
{
    p.setNormalizedValue(normalized, ParameterObserver::Token::Document, AutomationEventType::None);
}

// An integer parameter's value k (normalized k / 127).
inline void setChoice(Parameter& p, int k)
{
    set(p, static_cast<float>(k) / 127.0f);
}

// A clock at a fixed tempo whose running sample count the renderer advances.
class TestClock : public Clock {
public:
    explicit TestClock(double tempo = 120.0) : tempo_(tempo) {}
    double bpm() const override { return tempo_; }
    uint64_t sampleTime() const override { return samples_; }
    void setTempo(double tempo) { tempo_ = tempo; }
    void advance(unsigned frames) { samples_ += frames; }

private:
    double tempo_;
    uint64_t samples_ = 0;
};

struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
};

// Runs a stereo effect in place over an input padded with silence to `frames`, in blocks of
// `block` frames (the last one shorter), advancing the clock after each; process(l, r, n) renders
// one block.
template <class Process>
Stereo renderInBlocks(const std::vector<float>& inL, const std::vector<float>& inR, unsigned frames, unsigned block,
                      TestClock& clock, Process&& process)
{
    Stereo out{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
    std::copy_n(inL.begin(), std::min<std::size_t>(inL.size(), frames), out.left.begin());
    std::copy_n(inR.begin(), std::min<std::size_t>(inR.size(), frames), out.right.begin());
    for (unsigned at = 0; at < frames; at += block) {
        const unsigned n = std::min(block, frames - at);
        process(out.left.data() + at, out.right.data() + at, n);
        clock.advance(n);
    }
    return out;
}

inline std::vector<float> sine(unsigned n, float amplitude, float hz, float rate = kRate)
{
    std::vector<float> x(n);
    for (unsigned i = 0; i < n; ++i)
        x[i] = amplitude * static_cast<float>(std::sin(2.0 * DspTest::kPi * hz * i / rate));
    return x;
}

// Deterministic white noise in [-amplitude, amplitude].
inline std::vector<float> noise(unsigned n, float amplitude, uint32_t seed = 12345)
{
    std::vector<float> x(n);
    for (float& v : x) {
        seed = seed * 1664525u + 1013904223u;
        v = amplitude * (static_cast<float>(seed >> 8) / 8388608.0f - 1.0f);
    }
    return x;
}

inline std::vector<float> impulse(unsigned n, float amplitude = 1.0f)
{
    std::vector<float> x(n, 0.0f);
    if (n > 0)
        x[0] = amplitude;
    return x;
}

// Largest second difference |x[i] - 2x[i-1] + x[i-2]| over [from, to): a step or a kink in an
// otherwise smooth signal shows up here as a spike.
inline double maxCurvature(const std::vector<float>& x, std::size_t from, std::size_t to)
{
    double m = 0.0;
    for (std::size_t i = std::max<std::size_t>(from, 2); i < std::min(to, x.size()); ++i)
        m = std::max(m, std::fabs(double(x[i]) - 2.0 * x[i - 1] + x[i - 2]));
    return m;
}

// Normalized correlation of two equally long signals at lag 0.
inline double correlation(const float* a, const float* b, std::size_t n)
{
    double ab = 0.0, aa = 0.0, bb = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return (aa > 0.0 && bb > 0.0) ? ab / std::sqrt(aa * bb) : 0.0;
}

// Reverberation time by Schroeder backward integration: the slope of the energy decay curve
// between -5 dB and -25 dB, extrapolated to 60 dB. 0 when the curve never reaches -25 dB.
inline double rt60(const std::vector<float>& x, float rate = kRate)
{
    std::vector<double> edc(x.size() + 1, 0.0);
    for (std::size_t i = x.size(); i-- > 0;)
        edc[i] = edc[i + 1] + double(x[i]) * x[i];
    if (edc[0] <= 0.0)
        return 0.0;
    std::size_t start = 0, end = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double db = 10.0 * std::log10(edc[i] / edc[0] + 1e-300);
        if (start == 0 && db <= -5.0)
            start = i;
        if (db <= -25.0) {
            end = i;
            break;
        }
    }
    if (end == 0 || end <= start)
        return 0.0;
    return 3.0 * double(end - start) / rate;
}

inline bool clean(const Stereo& s)
{
    return DspTest::allClean(s.left) && DspTest::allClean(s.right);
}

} // namespace EffectTest
