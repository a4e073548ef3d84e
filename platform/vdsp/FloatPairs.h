#pragma once

// Neighbouring floats read as one 64-bit load, for table reads that want each sample and the next
// at once. A table's pairs lie at a float's alignment only, so the loads go through memcpy, which
// the compiler turns into plain unaligned moves.

#include <cstdint>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

namespace Platform::Vdsp {

// (a[0], a[1]) in the low half, (b[0], b[1]) in the high half.
inline __m128d loadFloatPairs(const float* a, const float* b)
{
    std::int64_t low;
    std::int64_t high;
    std::memcpy(&low, a, sizeof low);
    std::memcpy(&high, b, sizeof high);
    return _mm_castsi128_pd(_mm_set_epi64x(high, low));
}

} // namespace Platform::Vdsp
#endif
