#pragma once

#include <array>
#include <cstddef>
#include <cstring>

namespace Lumora::DSP {

// The inputs a set of values was last worked out from, compared bit for bit (a NaN matches
// itself, -0 does not match 0): a block whose inputs all match may keep the values, which are
// then exactly those it would work out. Settings and the sample rate rarely change between
// blocks, and a short block would otherwise pay the whole derivation again.
template <std::size_t N>
class SettingsKey {
public:
    // Takes this block's inputs; answers whether they differ from the last ones taken.
    bool changed(const std::array<float, N>& inputs)
    {
        if (taken_ && std::memcmp(inputs.data(), last_.data(), sizeof last_) == 0)
            return false;
        last_ = inputs;
        taken_ = true;
        return true;
    }
    // The next inputs count as changed, whatever they are.
    void forget() { taken_ = false; }

private:
    std::array<float, N> last_{};
    bool taken_ = false;
};

} // namespace Lumora::DSP
