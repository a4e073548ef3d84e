#include "synthesis/dsp/shaper/WaveShaper.h"

#include "platform/vdsp/Vdsp.h"

namespace Lumora::DSP {

WaveShaper::WaveShaper(unsigned N) : table_(N < 2 ? 2 : N)
{
    const unsigned size = length();
    for (unsigned i = 0; i < size; ++i)
        table_[i] = float(i) * (2.0f / float(size)) - 1.0f;
}

void WaveShaper::process(float* out, const float* in, unsigned n)
{
    // position = (N/2) x + N/2, limited to the table by the lookup (NaN reads the first entry).
    const float half = float(length()) * 0.5f;
    Platform::Vdsp::tableLookup(in, half, half, table_.data(), table_.size(), out, n);
}

void WaveShaper::processAdding(float* out, const float* in, unsigned n)
{
    const float half = float(length()) * 0.5f;
    Platform::Vdsp::tableLookupAdd(in, half, half, table_.data(), table_.size(), out, out, n);
}

} // namespace Lumora::DSP
