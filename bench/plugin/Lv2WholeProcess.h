#pragma once

// The whole-process benchmark's plug-in row: Corvane's LV2 bundle from the build folder, loaded
// and run by a lilv host as the LV2 tests load it, with the sound the host restores.

#include <string>

#include "bench/synthesis/voice/WholeProcessResult.h"

namespace WholeProcess {

// Instantiates the plug-in at rate, restores stateText (the engine's whole-state text) as its
// saved state, renders half a second of silence, then seconds of audio in cycles of block frames
// with notes held from the first cycle (keys 36 + 7i mod 60, velocity 100). The worker's requests
// run right after the cycle that made them, on the same thread, so the CPU time holds everything
// the plug-in costs a host. timeBlocks reads the thread's CPU clock around every cycle. Exits the
// program with a message when the bundle cannot be loaded.
Result renderPlugin(std::string const& stateText, float rate, unsigned notes, double seconds, unsigned block,
                    bool timeBlocks);

} // namespace WholeProcess
