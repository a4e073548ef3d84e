#include "synthesis/dsp/osc/WaveTableOsc.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/osc/WaveTableCache.h"

#include <cmath>
#include <cstdio>

namespace Lumora::DSP::OSC {

namespace {

// A phase in [0, 1): floor-based, so negative phases wrap the right way; NaN and infinity become 0.
inline float wrapPhase(float p)
{
    p -= std::floor(p);
    return (p >= 0.0f && p < 1.0f) ? p : 0.0f;
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
    constexpr unsigned kMask = kTableLength - 1;
    const float frequency = finiteOrZero(frequency_);
    const float* table = waveTable(sampleRate, frequency);
    const float increment = frequency / sampleRate;
    const float start = phase_ + finiteOrZero(phaseShift_);

    for (unsigned i = 0; i < count; ++i) {
        float p = start + increment * float(i);
        if (pm)
            p += pm[i];
        const float x = wrapPhase(p) * float(kTableLength);
        const unsigned j = static_cast<unsigned>(x); // x in [0, 1024)
        if (interpolate_) {
            const float f = x - float(j);
            out[i] = (1.0f - f) * table[j & kMask] + f * table[(j + 1) & kMask];
        } else {
            out[i] = table[j & kMask];
        }
    }
    phase_ = wrapPhase(phase_ + increment * float(count));
}

} // namespace Lumora::DSP::OSC
