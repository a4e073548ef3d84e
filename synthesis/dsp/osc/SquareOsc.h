#pragma once

#include "synthesis/dsp/osc/WaveTableOsc.h"

namespace Lumora::DSP::OSC {

// A band-limited square of peak about pi/4: table k holds the odd harmonics up to k + 1, the last
// one up to 257.
class SquareOsc : public iAliasFreeOsc {
public:
    static constexpr unsigned kTableCount = 128;

    SquareOsc();
    ~SquareOsc() override = default;

    const float* waveTable(float sampleRate, float frequency) const override;
    static unsigned tableIndex(float sampleRate, float frequency);

    static void initializeWaveform();
    static const float* table(unsigned index);

private:
    static float wave_[kTableCount * kGuardedTableLength];
};

} // namespace Lumora::DSP::OSC
