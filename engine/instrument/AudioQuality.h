#pragma once

#include <cstdint>

namespace Lumora {

// Rendering effort that the instrument hands to its voices and effects.
enum class AudioQuality : int32_t {
    Eco = 0,
    Normal = 1,
    High = 2,
};

} // namespace Lumora
