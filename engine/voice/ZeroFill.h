#pragma once

#include <vector>

namespace Lumora::DSP {

// Grows the buffer to at least n samples (never shrinks it) and silences every sample.
void zeroFill(std::vector<float>& buffer, unsigned n);

} // namespace Lumora::DSP
