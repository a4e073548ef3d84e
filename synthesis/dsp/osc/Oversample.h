#pragma once

#include <cstdint>
#include <vector>

namespace Lumora {

// Oversampling of the FM path: 0 none, 1 two times, any other value four times.
enum oversample_t : std::uint32_t {
    OVERSAMPLE_NONE = 0,
    OVERSAMPLE_2X = 1,
    OVERSAMPLE_4X = 2,
};

} // namespace Lumora

namespace Lumora::DSP::OSC {

// Grows a work buffer to at least n samples. Owners call the templates' reserve() with the largest
// block length when render resources are allocated, so this allocates only for a longer block.
inline float* growBuffer(std::vector<float>& buffer, std::size_t n)
{
    if (buffer.size() < n)
        buffer.resize(n);
    return buffer.data();
}

// Forwards reserve(maxFrames) to oscillators that have work buffers.
template <class T>
void reserveFrames(T& osc, unsigned maxFrames)
{
    if constexpr (requires { osc.reserve(maxFrames); })
        osc.reserve(maxFrames);
}

} // namespace Lumora::DSP::OSC
