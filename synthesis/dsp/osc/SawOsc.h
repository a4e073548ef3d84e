#pragma once

#include "synthesis/dsp/osc/WaveTableOsc.h"

namespace Lumora::DSP::OSC {

// A band-limited falling saw of peak about 0.8: table k holds harmonics 1 to k + 1, the last one
// harmonics 1 to 513.
class SawOsc : public iAliasFreeOsc {
public:
    static constexpr unsigned kTableCount = 256;

    SawOsc();
    ~SawOsc() override = default;

    const float* waveTable(float sampleRate, float frequency) const override;
    // The index of the table read at this pitch.
    static unsigned tableIndex(float sampleRate, float frequency);

    static void initializeWaveform();
    static const float* table(unsigned index);

private:
    static float wave_[kTableCount * kGuardedTableLength];
};

} // namespace Lumora::DSP::OSC
