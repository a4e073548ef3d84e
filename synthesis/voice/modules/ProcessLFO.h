#pragma once

#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}
namespace Lumora::DSP {
class LFO;
}

namespace Lumora::Corvane::Module {

// The wavelength in seconds of a rate parameter's normalized value x: 0.02 + 10 (1 - x)^3, from
// 10.02 s at 0 through 1.27 s at 0.5 to 0.02 s (50 Hz) at 1.
float lfoWavelength(float rate);

// Runs one of the instrument's shared LFOs over a block, without an output buffer, in spans of
// 128 samples that follow the clock's running sample count; writes the level at the end of the
// block to the group's read-back parameter (as the engine's read-back) and returns it.
float processLFO(unsigned frames, float sampleRate, const Clock& clock, DSP::LFO& lfo, Parameters::LFO& params);

} // namespace Lumora::Corvane::Module
