#pragma once

#include <cstdint>

namespace Lumora {

// A delay buffer's size as an exponent: the buffer holds 2 to this power samples, so that
// wrapping an index is a bitwise mask.
using SAMPLE_SIZE_TYPE = std::uint32_t;

constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_1024 = 10;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_2048 = 11;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_4096 = 12;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_8192 = 13;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_16384 = 14;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_32768 = 15;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_65536 = 16;
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_131072 = 17;

// The largest exponent a buffer may have (128 Mi samples); larger ones are limited to it.
constexpr SAMPLE_SIZE_TYPE SAMPLE_SIZE_MAX_EXPONENT = 27;

constexpr std::uint32_t sampleSizeOf(SAMPLE_SIZE_TYPE exponent)
{
    return 1u << (exponent < SAMPLE_SIZE_MAX_EXPONENT ? exponent : SAMPLE_SIZE_MAX_EXPONENT);
}

} // namespace Lumora
