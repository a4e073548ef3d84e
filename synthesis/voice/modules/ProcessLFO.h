#pragma once

#include "synthesis/voice/effects/ReadbackSlot.h"
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
// 128 samples that follow the clock's running sample count; stores the level at the end of the
// block in the read-back slot and returns it. An empty block stores nothing and returns the
// slot's last value.
//
// The render thread never writes the read-back parameter itself (its lock and observers may be
// held by a screen): the owner of the slot calls publishLFOReadback from the main thread.
//
// levelsRead false: no voice reads the LFO's levels in this block, so only the phase and the level
// at the block's end (the read-back) are worked out; both come out exactly as when it is true.
float processLFO(unsigned frames, float sampleRate, const Clock& clock, DSP::LFO& lfo, const Parameters::LFO& params,
                 ReadbackSlot& output, bool levelsRead = true);

// Main thread: moves a level stored since the last call into the group's read-back parameter as
// the engine's read-back. Answers whether there was one.
bool publishLFOReadback(ReadbackSlot& output, Parameters::LFO& params);

} // namespace Lumora::Corvane::Module
