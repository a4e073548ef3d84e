#include "synthesis/dsp/osc/TriangleOsc.h"

#include "synthesis/dsp/osc/WaveTableCache.h"

#include <cmath>
#include <mutex>

namespace Lumora::DSP::OSC {

float TriangleOsc::wave_[TriangleOsc::kTableCount * TriangleOsc::kGuardedTableLength];

namespace {
std::once_flag triangleOnce;
constexpr unsigned kLastTableTerms = 257;

// Table k holds the first k + 1 odd harmonics (the last table 257 of them, up to 513):
// triangle = -7/(3 pi) * sum cos(h (theta + pi/2)) / h^2, peak about 7 pi / 24, 0 at theta = 0, rising first.
void computeTriangle(float* t)
{
    constexpr unsigned L = WaveTableOsc::kTableLength;
    for (unsigned i = 0; i < L; ++i) {
        const double theta = 2.0 * M_PI * double(i) * (1.0 / L);
        float sum = 0.0f;
        for (unsigned m = 0; m < kLastTableTerms; ++m) {
            const double h = 2.0 * m + 1.0;
            sum += static_cast<float>(std::cos(h * (theta + M_PI / 2.0)) / (h * h));
            const float value = sum * (-7.0f) / 9.424778f;
            if (m + 1 < TriangleOsc::kTableCount)
                t[m * L + i] = value;
            else if (m + 1 == kLastTableTerms)
                t[(TriangleOsc::kTableCount - 1) * L + i] = value;
        }
    }
}
} // namespace

TriangleOsc::TriangleOsc()
{
    initializeWaveform();
}

void TriangleOsc::initializeWaveform()
{
    std::call_once(triangleOnce, [] {
        WaveTableCache::load(wavetablePath("triangle", kTableLength, kTableCount), wave_, kTableCount * kTableLength,
                             computeTriangle);
        guardTables(wave_, kTableCount);
    });
}

const float* TriangleOsc::table(unsigned index)
{
    return tableOf(wave_, kTableCount, index);
}

unsigned TriangleOsc::tableIndex(float sampleRate, float frequency)
{
    // Table k reaches harmonic 2k + 1 (the last one 513), so m harmonics below the Nyquist frequency
    // allow table (m - 1) / 2.
    const unsigned m = harmonicsBelowNyquist(sampleRate, frequency, 2 * kLastTableTerms - 1);
    if (m >= 2 * kLastTableTerms - 1)
        return kTableCount - 1;
    const unsigned k = m < 1 ? 0 : (m - 1) / 2;
    return k < kTableCount - 1 ? k : kTableCount - 2;
}

const float* TriangleOsc::waveTable(float sampleRate, float frequency) const
{
    return table(tableIndex(sampleRate, frequency));
}

} // namespace Lumora::DSP::OSC
