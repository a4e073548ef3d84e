#pragma once

namespace Lumora::DSP::Filter {

// A frequency in Hz as a normalized filter frequency (1 = the Nyquist frequency): 2 * hz / sampleRate.
// An unknown sample rate (0, negative or not finite) gives 0 instead of a division by zero.
float hz2paramFreq(float hz, float sampleRate);

} // namespace Lumora::DSP::Filter
