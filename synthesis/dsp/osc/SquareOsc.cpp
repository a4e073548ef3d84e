#include "synthesis/dsp/osc/SquareOsc.h"

#include "synthesis/dsp/osc/WaveTableCache.h"

#include <cmath>
#include <mutex>

namespace Lumora::DSP::OSC {

float SquareOsc::wave_[SquareOsc::kTableCount * SquareOsc::kGuardedTableLength];

namespace {
std::once_flag squareOnce;
constexpr unsigned kLastTableTerms = 257;

// Table k holds terms 1 to k + 1 (the last table 1 to 257) of
// sum sin(n theta) (1 - (-1)^n) / (2n), which is sum over odd n of sin(n theta) / n: peak about pi/4.
void computeSquare(float* t)
{
    constexpr unsigned L = WaveTableOsc::kTableLength;
    for (unsigned i = 0; i < L; ++i) {
        const double theta = 2.0 * M_PI * double(i) * (1.0 / L);
        float sum = 0.0f;
        for (unsigned n = 1; n <= kLastTableTerms; ++n) {
            const double sign = (n % 2 == 0) ? 1.0 : -1.0; // (-1)^n
            sum += static_cast<float>(std::sin(theta * double(n)) * (1.0 - sign) / (2.0 * double(n)));
            if (n < SquareOsc::kTableCount)
                t[(n - 1) * L + i] = sum;
            else if (n == kLastTableTerms)
                t[(SquareOsc::kTableCount - 1) * L + i] = sum;
        }
    }
}
} // namespace

SquareOsc::SquareOsc()
{
    initializeWaveform();
}

void SquareOsc::initializeWaveform()
{
    std::call_once(squareOnce, [] {
        WaveTableCache::load(wavetablePath("square", kTableLength, kTableCount), wave_, kTableCount * kTableLength,
                             computeSquare);
        guardTables(wave_, kTableCount);
    });
}

const float* SquareOsc::table(unsigned index)
{
    return tableOf(wave_, kTableCount, index);
}

unsigned SquareOsc::tableIndex(float sampleRate, float frequency)
{
    return consecutiveTableIndex(sampleRate, frequency, kTableCount, kLastTableTerms);
}

const float* SquareOsc::waveTable(float sampleRate, float frequency) const
{
    return table(tableIndex(sampleRate, frequency));
}

} // namespace Lumora::DSP::OSC
