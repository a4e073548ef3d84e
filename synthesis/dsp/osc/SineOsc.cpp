#include "synthesis/dsp/osc/SineOsc.h"

#include "synthesis/dsp/osc/WaveTableCache.h"

#include <cmath>
#include <mutex>

namespace Lumora::DSP::OSC {

float SineOsc::waveTable_[SineOsc::kTableCount * SineOsc::kGuardedTableLength];

namespace {
std::once_flag sineOnce;

void computeSine(float* t)
{
    for (unsigned i = 0; i < WaveTableOsc::kTableLength; ++i) {
        const double theta = 2.0 * M_PI * double(i) * (1.0 / WaveTableOsc::kTableLength);
        t[i] = static_cast<float>(std::sin(theta));
    }
}
} // namespace

SineOsc::SineOsc()
{
    initializeWaveform();
}

void SineOsc::initializeWaveform()
{
    std::call_once(sineOnce, [] {
        WaveTableCache::load(wavetablePath("sine", kTableLength, kTableCount), waveTable_, kTableCount * kTableLength,
                             computeSine);
        guardTables(waveTable_, kTableCount);
    });
}

const float* SineOsc::table(unsigned)
{
    return waveTable_;
}

const float* SineOsc::waveTable(float, float) const
{
    return waveTable_;
}

} // namespace Lumora::DSP::OSC
