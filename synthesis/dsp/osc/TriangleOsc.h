#pragma once

#include "synthesis/dsp/osc/WaveTableOsc.h"

namespace Lumora::DSP::OSC {

// A band-limited triangle of peak about 7 pi / 24, rising first: table k holds the odd harmonics
// 1 to 2k + 1, the last one 1 to 513.
class TriangleOsc : public iAliasFreeOsc {
public:
    static constexpr unsigned kTableCount = 128;

    TriangleOsc();
    ~TriangleOsc() override = default;

    const float* waveTable(float sampleRate, float frequency) const override;
    static unsigned tableIndex(float sampleRate, float frequency);

    static void initializeWaveform();
    static const float* table(unsigned index);

private:
    static float wave_[kTableCount * kGuardedTableLength];
};

} // namespace Lumora::DSP::OSC
