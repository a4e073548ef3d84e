#include "synthesis/dsp/osc/WaveTableOsc.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/osc/WaveTableCache.h"

#include <cmath>
#include <cstdio>

namespace Lumora::DSP::OSC {

namespace {

// A phase in [0, 1): floor-based, so negative phases wrap the right way; NaN and infinity become 0.
// The floor goes through an integer conversion, which (unlike std::floor on baseline x86-64) needs no
// library call in the per-sample loop.
inline float wrapPhase(float p)
{
    if (!(p > -1.0e9f && p < 1.0e9f)) {
        p = std::fmod(p, 1.0f); // NaN for NaN and infinity
        if (!(p == p))
            return 0.0f;
    }
    int k = static_cast<int>(p);
    k -= (static_cast<float>(k) > p) ? 1 : 0;
    p -= static_cast<float>(k);
    return (p >= 0.0f && p < 1.0f) ? p : 0.0f;
}

// Reads count samples of one table at positions start + increment * i (+ pm[i]) in cycles.
template <bool kModulated, bool kInterpolate>
void readTable(float* out, const float* table, const float* pm, unsigned count, float start, float increment)
{
    constexpr unsigned L = WaveTableOsc::kTableLength;
    constexpr unsigned kMask = L - 1;
    for (unsigned i = 0; i < count; ++i) {
        float p = start + increment * float(i);
        if constexpr (kModulated)
            p += pm[i];
        const float x = wrapPhase(p) * float(L);
        const unsigned j = static_cast<unsigned>(x); // x in [0, 1024)
        if constexpr (kInterpolate) {
            const float f = x - float(j);
            out[i] = (1.0f - f) * table[j & kMask] + f * table[(j + 1) & kMask];
        } else {
            out[i] = table[j & kMask];
        }
    }
}

inline float finiteOrZero(float v)
{
    return std::isfinite(v) ? v : 0.0f;
}

} // namespace

WaveTableOsc::WaveTableOsc(bool interpolate) : interpolate_(interpolate) {}

void WaveTableOsc::restart(float phase)
{
    phase_ = wrapPhase(phase);
}

unsigned WaveTableOsc::harmonicsBelowNyquist(float sampleRate, float frequency, unsigned limit)
{
    if (!(frequency > 0.0f))
        return limit;
    const float m = sampleRate * 0.5f / frequency;
    if (!(m < float(limit))) // also infinity and NaN
        return limit;
    return m > 0.0f ? static_cast<unsigned>(m) : 0u;
}

std::string WaveTableOsc::wavetablePath(const char* name, unsigned length, unsigned count)
{
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%s/%s_%04d_%04d.wavtbl", WaveTableCache::temporaryDirectory().c_str(), name,
                  int(length), int(count));
    return buffer;
}

void WaveTableOsc::process(float* out, unsigned n, float sampleRate)
{
    process(out, nullptr, n, sampleRate);
}

void WaveTableOsc::process(float* out, const float* pm, unsigned n, float sampleRate)
{
    if (n == 0)
        return;
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate)) {
        Platform::Vdsp::clear(out, n);
        return;
    }
    const float frequency = finiteOrZero(frequency_);
    const float sync = finiteOrZero(syncFrequency_);
    if (!std::isfinite(syncPhase_))
        syncPhase_ = 0.0f;

    if (sync > 0.0f && sync != frequency) {
        // Hard sync: the wave restarts at phase 0 every sampleRate / sync samples.
        const float period = sampleRate / sync;
        const float syncIncrement = sync / sampleRate;
        unsigned done = 0;
        while (done < n) {
            const unsigned left = n - done;
            const float length = (1.0f - syncPhase_) * period + 0.4f;
            const unsigned segment =
                !(length >= 1.0f) ? 1u : (length >= float(left) + 1.0f ? left + 1 : unsigned(length));
            const float* segmentPm = pm ? pm + done : nullptr;
            if (left < segment) {
                renderSegment(out + done, segmentPm, left, sampleRate);
                syncPhase_ += float(left) * syncIncrement;
                done = n;
            } else {
                renderSegment(out + done, segmentPm, segment, sampleRate);
                phase_ = 0.0f;
                syncPhase_ = 0.0f;
                done += segment;
            }
        }
        return;
    }
    renderSegment(out, pm, n, sampleRate);
    syncPhase_ += float(n) * (frequency / sampleRate);
    if (!std::isfinite(syncPhase_))
        syncPhase_ = 0.0f;
}

void WaveTableOsc::renderSegment(float* out, const float* pm, unsigned count, float sampleRate)
{
    const float frequency = finiteOrZero(frequency_);
    const float* table = waveTable(sampleRate, frequency);
    const float increment = frequency / sampleRate;
    const float start = phase_ + finiteOrZero(phaseShift_);

    if (pm)
        interpolate_ ? readTable<true, true>(out, table, pm, count, start, increment)
                     : readTable<true, false>(out, table, pm, count, start, increment);
    else
        interpolate_ ? readTable<false, true>(out, table, pm, count, start, increment)
                     : readTable<false, false>(out, table, pm, count, start, increment);
    phase_ = wrapPhase(phase_ + increment * float(count));
}

} // namespace Lumora::DSP::OSC
