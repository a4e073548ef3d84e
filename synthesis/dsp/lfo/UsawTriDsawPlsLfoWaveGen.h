#pragma once

#include "synthesis/dsp/lfo/WaveGenelator.h"

namespace Lumora::DSP {

// Rising saw, triangle, falling saw (shape 0 .. 0.5), then a falling saw into a pulse
// (0.5 .. 0.75), then a pulse narrowing from 0.9 to 0.1 of the cycle.
class UsawTriDsawPlsLfoWaveGen : public LFO::WaveGenelator {
public:
    UsawTriDsawPlsLfoWaveGen();
    float waveValue(float cycle, float phase, float shape) override;

    // The saw-triangle morph of shape in [0, 0.5).
    static float sawTriangle(float phase, float shape);
    // The falling saw into a pulse of the given width, shape in [0.5, 0.75).
    static float sawIntoPulse(float phase, float shape, float width);

protected:
    UsawTriDsawPlsLfoWaveGen(LFO::WAVEFORM_TYPE type);
};

} // namespace Lumora::DSP
