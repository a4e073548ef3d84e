#pragma once

#include "synthesis/dsp/osc/WaveTableOsc.h"

namespace Lumora::DSP::OSC {

// A sine from one table.
class SineOsc : public iAliasFreeOsc {
public:
    static constexpr unsigned kTableCount = 1;

    SineOsc();
    ~SineOsc() override = default;

    const float* waveTable(float sampleRate, float frequency) const override;

    // Builds (or reads from the cache) the table once per process; safe to call from several threads.
    static void initializeWaveform();
    static const float* table(unsigned index);

private:
    static float waveTable_[kTableCount * kGuardedTableLength];
};

} // namespace Lumora::DSP::OSC
