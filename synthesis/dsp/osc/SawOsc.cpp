#include "synthesis/dsp/osc/SawOsc.h"

#include "synthesis/dsp/osc/WaveTableCache.h"

#include <cmath>
#include <mutex>

namespace Lumora::DSP::OSC {

float SawOsc::wave_[SawOsc::kTableCount * SawOsc::kGuardedTableLength];

namespace {
std::once_flag sawOnce;
constexpr unsigned kLastTableHarmonics = 513;

// Table k holds harmonics 1 to k + 1 (the last table 1 to 513):
// saw = 2/pi * 0.8 * sum sin(h theta) / h, a falling ramp of peak about 0.8.
// The single-precision partial sums are those of the largest table taken after each harmonic, so
// every table is summed in the same order as if it were built on its own.
void computeSaw(float* t)
{
    constexpr unsigned L = WaveTableOsc::kTableLength;
    for (unsigned i = 0; i < L; ++i) {
        const double theta = 2.0 * M_PI * double(i) * (1.0 / L);
        float sum = 0.0f;
        for (unsigned h = 1; h <= kLastTableHarmonics; ++h) {
            sum += static_cast<float>(std::sin(theta * double(h)) / double(h));
            const float value = (sum + sum) / 3.1415927f * 0.8f;
            if (h < SawOsc::kTableCount)
                t[(h - 1) * L + i] = value;
            else if (h == kLastTableHarmonics)
                t[(SawOsc::kTableCount - 1) * L + i] = value;
        }
    }
}
} // namespace

SawOsc::SawOsc()
{
    initializeWaveform();
}

void SawOsc::initializeWaveform()
{
    std::call_once(sawOnce, [] {
        WaveTableCache::load(wavetablePath("saw", kTableLength, kTableCount), wave_, kTableCount * kTableLength,
                             computeSaw);
        guardTables(wave_, kTableCount);
    });
}

const float* SawOsc::table(unsigned index)
{
    return tableOf(wave_, kTableCount, index);
}

unsigned SawOsc::tableIndex(float sampleRate, float frequency)
{
    // The last table reaches harmonic 513: read anywhere else, a bass note would fold harmonics
    // 257..513 back into the audible band.
    return consecutiveTableIndex(sampleRate, frequency, kTableCount, kLastTableHarmonics);
}

const float* SawOsc::waveTable(float sampleRate, float frequency) const
{
    return table(tableIndex(sampleRate, frequency));
}

} // namespace Lumora::DSP::OSC
