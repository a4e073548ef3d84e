#include "platform/vdsp/Vdsp.h"
#include "platform/vdsp/FloatPairs.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define PLATFORM_VDSP_WIDE_LOOKUP 1
#endif

// Every loop reads its inputs for sample i before it writes sample i, so an output that is
// also an input stays correct. The pointers are not declared __restrict for that reason; the
// compiler vectorises behind a run-time overlap check instead.
namespace Platform::Vdsp {

void fill(float value, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = value;
}

// +0.0f is the float whose bits are all zero, so memset writes it, in wider stores than the
// vectorised loop of fill. memset's pointer must be valid even for no bytes.
void clear(float* dst, size_t n)
{
    if (n == 0)
        return;
    std::memset(dst, 0, n * sizeof(float));
}

void copy(const float* src, float* dst, size_t n)
{
    // memmove's pointers must be valid even for no bytes, so an empty call never reaches it.
    if (n == 0 || src == dst)
        return;
    std::memmove(dst, src, n * sizeof(float));
}

void copyStrided(const float* src, ptrdiff_t srcStride, float* dst, ptrdiff_t dstStride, size_t n)
{
    for (size_t i = 0; i < n; ++i) {
        const auto k = static_cast<ptrdiff_t>(i);
        dst[k * dstStride] = src[k * srcStride];
    }
}

namespace {
void addNarrow(const float* a, const float* b, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] + b[i];
}

#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
const bool wideAdd = processorHasAvx2();

// Whether dst starts less than eight samples after src: eight samples read at once would then miss
// what the one-by-one loop writes before it reads them.
bool trailsWithinEight(const float* src, const float* dst)
{
    const std::uintptr_t gap = reinterpret_cast<std::uintptr_t>(dst) - reinterpret_cast<std::uintptr_t>(src);
    return gap - 1 < 8 * sizeof(float) - 1;
}

// Eight sums at a time: each sample the same single addition, so the same bits. Short blocks spend
// less in the loop than four at a time and its run-time overlap checks cost them.
[[gnu::target("avx2")]] void addWide(const float* a, const float* b, float* dst, size_t n)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        _mm256_storeu_ps(dst + i, _mm256_add_ps(_mm256_loadu_ps(a + i), _mm256_loadu_ps(b + i)));
    for (; i < n; ++i)
        dst[i] = a[i] + b[i];
}

// maxps(low, v) is low > v ? low : v and minps(high, v) is high < v ? high : v: for a NaN or
// equal operands both hand back v, as the comparisons of the one-by-one loop do.
[[gnu::target("avx2")]] void clipWide(const float* a, float low, float high, float* dst, size_t n)
{
    const __m256 lows = _mm256_set1_ps(low);
    const __m256 highs = _mm256_set1_ps(high);
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        _mm256_storeu_ps(dst + i, _mm256_min_ps(highs, _mm256_max_ps(lows, _mm256_loadu_ps(a + i))));
    for (; i < n; ++i) {
        float v = a[i];
        v = v < low ? low : v;
        v = v > high ? high : v;
        dst[i] = v;
    }
}
#endif
} // namespace

void add(const float* a, const float* b, float* dst, size_t n)
{
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideAdd && !trailsWithinEight(a, dst) && !trailsWithinEight(b, dst)) {
        addWide(a, b, dst, n);
        return;
    }
#endif
    addNarrow(a, b, dst, n);
}

void subtract(const float* a, const float* b, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] - b[i];
}

void multiply(const float* a, const float* b, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * b[i];
}

void divide(const float* a, const float* b, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] / b[i];
}

void scale(const float* a, float scalar, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * scalar;
}

void scaleTwice(const float* a, float first, float second, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * first * second;
}

void scaleThrice(const float* a, float first, float second, float third, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * first * second * third;
}

void addScalar(const float* a, float scalar, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] + scalar;
}

void scaleAdd(const float* a, float scalar, const float* b, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * scalar + b[i];
}

void multiplyAdd(const float* a, const float* b, const float* c, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * b[i] + c[i];
}

void square(const float* a, float* dst, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        dst[i] = a[i] * a[i];
}

namespace {

// Calls body(i, float(i)) for i in [0, n). The float of a 32-bit index converts in vector
// registers, that of a 64-bit one only sample by sample, so the first 2^31 indices (every real
// block) take the 32-bit path; both conversions round the same integer to the same float.
template <typename Body>
inline void forEachIndex(size_t n, Body body)
{
    const auto fast = static_cast<int32_t>(n < size_t{INT32_MAX} ? n : size_t{INT32_MAX});
    for (int32_t i = 0; i < fast; ++i)
        body(static_cast<size_t>(i), static_cast<float>(i));
    for (size_t i = static_cast<size_t>(fast); i < n; ++i)
        body(i, static_cast<float>(i));
}

} // namespace

// Each sample is computed from its index rather than by adding step repeatedly, so rounding
// does not build up along a long block: every sample is within one rounding of the exact line.
void ramp(float start, float step, float* dst, size_t n)
{
    forEachIndex(n, [&](size_t i, float fi) { dst[i] = start + fi * step; });
}

void rampInclusive(float start, float end, float* dst, size_t n)
{
    if (n == 0)
        return;
    if (n == 1) {
        dst[0] = start;
        return;
    }
    ramp(start, (end - start) / static_cast<float>(n - 1), dst, n);
}

void rampExclusive(float start, float end, float* dst, size_t n)
{
    if (n == 0)
        return;
    ramp(start, (end - start) / static_cast<float>(n), dst, n);
}

namespace {

template <bool kAdd>
[[gnu::always_inline]] inline void rampMultiplyBody(const float* src, float start, float step, float* dst, size_t n)
{
    if constexpr (kAdd)
        forEachIndex(n, [&](size_t i, float fi) { dst[i] += src[i] * (start + fi * step); });
    else
        forEachIndex(n, [&](size_t i, float fi) { dst[i] = src[i] * (start + fi * step); });
}

// The gain ramps are compiled twice: for any x86-64 and for processors with AVX2, eight lanes wide.
// Both make the same single-precision operations per sample, so their outputs are identical.
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
template <bool kAdd>
[[gnu::target("avx2")]] void rampMultiplyWide(const float* src, float start, float step, float* dst, size_t n)
{
    rampMultiplyBody<kAdd>(src, start, step, dst, n);
}

const bool wideRamps = processorHasAvx2();
#endif

template <bool kAdd>
void rampMultiplyAny(const float* src, float start, float step, float* dst, size_t n)
{
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideRamps) {
        rampMultiplyWide<kAdd>(src, start, step, dst, n);
        return;
    }
#endif
    rampMultiplyBody<kAdd>(src, start, step, dst, n);
}

// scaleTwice (kThree false, third unused) and scaleThrice eight samples at a time on AVX2: each
// lane makes the same products in the same order, so the outputs are identical to the bit.
// Vectors only where dst is a itself or lies apart from it, so that every sample is read before
// any output overwrites it; the rest one by one.
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
template <bool kThree>
[[gnu::target("avx2")]] void scaleAvx2(const float* a, float first, float second, float third, float* dst, size_t n)
{
    const auto from = reinterpret_cast<std::uintptr_t>(a);
    const auto to = reinterpret_cast<std::uintptr_t>(dst);
    const std::uintptr_t bytes = n * sizeof(float);
    size_t i = 0;
    if (to == from || to + bytes <= from || from + bytes <= to) {
        const __m256 x = _mm256_set1_ps(first);
        const __m256 y = _mm256_set1_ps(second);
        for (; i + 8 <= n; i += 8) {
            __m256 v = _mm256_mul_ps(_mm256_mul_ps(_mm256_loadu_ps(a + i), x), y);
            if constexpr (kThree)
                v = _mm256_mul_ps(v, _mm256_set1_ps(third));
            _mm256_storeu_ps(dst + i, v);
        }
    }
    for (; i < n; ++i) {
        float v = a[i] * first * second;
        if constexpr (kThree)
            v *= third;
        dst[i] = v;
    }
}
#endif

} // namespace

void scaleTwiceWide(const float* a, float first, float second, float* dst, size_t n)
{
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideRamps) {
        scaleAvx2<false>(a, first, second, 0.0f, dst, n);
        return;
    }
#endif
    scaleTwice(a, first, second, dst, n);
}

void scaleThriceWide(const float* a, float first, float second, float third, float* dst, size_t n)
{
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideRamps) {
        scaleAvx2<true>(a, first, second, third, dst, n);
        return;
    }
#endif
    scaleThrice(a, first, second, third, dst, n);
}

float rampMultiply(const float* src, float start, float step, float* dst, size_t n)
{
    rampMultiplyAny<false>(src, start, step, dst, n);
    return start + static_cast<float>(n) * step;
}

float rampMultiplyAdd(const float* src, float start, float step, float* dst, size_t n)
{
    rampMultiplyAny<true>(src, start, step, dst, n);
    return start + static_cast<float>(n) * step;
}

namespace {

// Linear interpolation at p in [0, last]; there truncation is the floor. Index is int32_t for
// tables of up to 2^24 entries (where a float still tells neighbouring entries apart, and the
// 32-bit conversions are cheaper) and size_t beyond. Comparing the integer index with `last`
// keeps every read inside the table even when the float of `last` rounds above it.
template <typename Index>
inline void lookupClamped(const float* positions, float scale, float offset, const float* table, size_t last,
                          float* dst, size_t n)
{
    const auto lastIndex = static_cast<Index>(last);
    const auto lastPosition = static_cast<float>(last);
    for (size_t i = 0; i < n; ++i) {
        float p = positions[i] * scale + offset;
        // Written so that NaN fails the first test and lands on entry 0.
        p = p >= 0.0f ? p : 0.0f;
        p = p <= lastPosition ? p : lastPosition;
        const auto k = static_cast<Index>(p);
        if (k >= lastIndex) {
            dst[i] = table[last];
        } else {
            const float f = p - static_cast<float>(k);
            dst[i] = table[k] + f * (table[k + 1] - table[k]);
        }
    }
}

// The same for tables of up to 2^24 entries, in chunks: a first loop, free of branches and table
// reads so that it runs four lanes wide, clamps every position and splits it into index and
// fraction; a second loop reads. The clamps compare bit patterns (which order like the values for
// floats of one sign) because integer selects vectorise where float ones do not. At the last entry
// the fraction is 0 and both reads are that entry, which gives table[last] as above.
void lookupClampedChunks(const float* positions, float scale, float offset, const float* table, size_t last,
                         float* dst, size_t n)
{
    constexpr size_t kChunk = 64;
    constexpr std::uint32_t kInfinity = 0x7f800000u, kMinusZero = 0x80000000u, kMagnitude = 0x7fffffffu;
    const std::uint32_t lastBits = std::bit_cast<std::uint32_t>(static_cast<float>(last));
    const auto lastIndex = static_cast<std::int32_t>(last);
    std::int32_t index[kChunk];
    float fraction[kChunk];
    for (size_t first = 0; first < n; first += kChunk) {
        const size_t count = n - first < kChunk ? n - first : kChunk;
        for (size_t i = 0; i < count; ++i) {
            const std::uint32_t b = std::bit_cast<std::uint32_t>(positions[first + i] * scale + offset);
            // p >= 0: positive up to infinity, or -0; NaN and negatives read entry 0.
            const std::uint32_t low = 0u - std::uint32_t((b <= kInfinity) | (b == kMinusZero));
            const std::uint32_t clamped = b & low;
            const std::uint32_t high = 0u - std::uint32_t((clamped & kMagnitude) <= lastBits);
            const float p = std::bit_cast<float>((clamped & high) | (lastBits & ~high));
            const auto k = static_cast<std::int32_t>(p);
            index[i] = k;
            fraction[i] = p - static_cast<float>(k);
        }
        float* out = dst + first;
        for (size_t i = 0; i < count; ++i) {
            const std::int32_t k = index[i] < lastIndex ? index[i] : lastIndex;
            const std::int32_t next = k < lastIndex ? k + 1 : k;
            out[i] = table[k] + fraction[i] * (table[next] - table[k]);
        }
    }
}

#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
// lookupClampedChunks eight lanes wide, the tail through it: the same clamps on the bit patterns
// (unsigned a <= b as max(a, b) == b), the same truncation, the same entries and the same three
// operations for the interpolation, so every sample is the one the narrow loops give. kAdd: each
// sample is added to addTo's before it is stored, as add() would add it.
template <bool kAdd>
[[gnu::target("avx2")]] void lookupClampedWide(const float* positions, float scale, float offset, const float* table,
                                               size_t last, const float* addTo, float* dst, size_t n)
{
    const __m256 scales = _mm256_set1_ps(scale);
    const __m256 offsets = _mm256_set1_ps(offset);
    const __m256i infinity = _mm256_set1_epi32(0x7f800000);
    const __m256i minusZero = _mm256_set1_epi32(static_cast<int>(0x80000000u));
    const __m256i magnitude = _mm256_set1_epi32(0x7fffffff);
    const __m256i lastBits = _mm256_set1_epi32(std::bit_cast<std::int32_t>(static_cast<float>(last)));
    const __m256i lastIndex = _mm256_set1_epi32(static_cast<std::int32_t>(last));
    const __m256i one = _mm256_set1_epi32(1);
    // Neighbours read as one 64-bit load each where the table has two entries or more: on some
    // processors (AMD's among them) a gather costs more than the plain loads it stands for.
    const bool pairs = last >= 1;
    const __m256i beforeLast = _mm256_set1_epi32(static_cast<std::int32_t>(last) - 1);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256 position = _mm256_add_ps(_mm256_mul_ps(_mm256_loadu_ps(positions + i), scales), offsets);
        const __m256i b = _mm256_castps_si256(position);
        const __m256i notAbove = _mm256_cmpeq_epi32(_mm256_max_epu32(b, infinity), infinity);
        const __m256i low = _mm256_or_si256(notAbove, _mm256_cmpeq_epi32(b, minusZero));
        const __m256i clamped = _mm256_and_si256(b, low);
        const __m256i m = _mm256_and_si256(clamped, magnitude);
        const __m256i high = _mm256_cmpeq_epi32(_mm256_max_epu32(m, lastBits), lastBits);
        const __m256 p = _mm256_castsi256_ps(
            _mm256_or_si256(_mm256_and_si256(clamped, high), _mm256_andnot_si256(high, lastBits)));
        const __m256i whole = _mm256_cvttps_epi32(p);
        const __m256 fraction = _mm256_sub_ps(p, _mm256_cvtepi32_ps(whole));
        const __m256i k = _mm256_min_epi32(whole, lastIndex);
        __m256 lower, upper;
        if (pairs) {
            // The pair (t[j], t[j + 1]) at j = min(k, last - 1): at k = last both reads are its t[last].
            alignas(32) std::int32_t j[8];
            _mm256_store_si256(reinterpret_cast<__m256i*>(j), _mm256_min_epi32(k, beforeLast));
            auto pair = [&](int a, int b) { return loadFloatPairs(table + j[a], table + j[b]); };
            const __m256 q0 = _mm256_castpd_ps(_mm256_set_m128d(pair(4, 5), pair(0, 1)));
            const __m256 q1 = _mm256_castpd_ps(_mm256_set_m128d(pair(6, 7), pair(2, 3)));
            upper = _mm256_shuffle_ps(q0, q1, 0xdd);
            const __m256 atLast = _mm256_castsi256_ps(_mm256_cmpeq_epi32(k, lastIndex));
            lower = _mm256_blendv_ps(_mm256_shuffle_ps(q0, q1, 0x88), upper, atLast);
        } else {
            const __m256i next = _mm256_min_epi32(_mm256_add_epi32(k, one), lastIndex);
            lower = _mm256_i32gather_ps(table, k, 4);
            upper = _mm256_i32gather_ps(table, next, 4);
        }
        const __m256 value = _mm256_add_ps(lower, _mm256_mul_ps(fraction, _mm256_sub_ps(upper, lower)));
        if constexpr (kAdd)
            _mm256_storeu_ps(dst + i, _mm256_add_ps(_mm256_loadu_ps(addTo + i), value));
        else
            _mm256_storeu_ps(dst + i, value);
    }
    if (i == n)
        return;
    if constexpr (kAdd) {
        float looked[8];
        lookupClampedChunks(positions + i, scale, offset, table, last, looked, n - i);
        for (size_t k = 0; i + k < n; ++k)
            dst[i + k] = addTo[i + k] + looked[k];
    } else {
        lookupClampedChunks(positions + i, scale, offset, table, last, dst + i, n - i);
    }
}

#endif

bool wideLookup = processorHasAvx2();

} // namespace

bool processorHasAvx2()
{
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
#else
    return false;
#endif
}

bool allowWideTableLookup(bool allowed)
{
    wideLookup = allowed && processorHasAvx2();
    return wideLookup;
}

void tableLookup(const float* positions, float scale, float offset, const float* table, size_t tableSize,
                 float* dst, size_t n)
{
    if (tableSize == 0) {
        clear(dst, n);
        return;
    }
    const size_t last = tableSize - 1;
    if (last >= (size_t{1} << 24)) {
        lookupClamped<size_t>(positions, scale, offset, table, last, dst, n);
        return;
    }
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideLookup) {
        lookupClampedWide<false>(positions, scale, offset, table, last, nullptr, dst, n);
        return;
    }
#endif
    lookupClampedChunks(positions, scale, offset, table, last, dst, n);
}

void tableLookupAdd(const float* positions, float scale, float offset, const float* table, size_t tableSize,
                    const float* addTo, float* dst, size_t n)
{
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideLookup && tableSize != 0 && tableSize - 1 < (size_t{1} << 24)) {
        lookupClampedWide<true>(positions, scale, offset, table, tableSize - 1, addTo, dst, n);
        return;
    }
#endif
    constexpr size_t kChunk = 64;
    float looked[kChunk];
    for (size_t first = 0; first < n; first += kChunk) {
        const size_t count = n - first < kChunk ? n - first : kChunk;
        tableLookup(positions + first, scale, offset, table, tableSize, looked, count);
        add(addTo + first, looked, dst + first, count);
    }
}

void clip(const float* a, float low, float high, float* dst, size_t n)
{
#if defined(PLATFORM_VDSP_WIDE_LOOKUP)
    if (wideAdd && !trailsWithinEight(a, dst)) {
        clipWide(a, low, high, dst, n);
        return;
    }
#endif
    for (size_t i = 0; i < n; ++i) {
        float v = a[i];
        v = v < low ? low : v;
        v = v > high ? high : v;
        dst[i] = v;
    }
}

float sum(const float* a, size_t n)
{
    float total = 0.0f;
    for (size_t i = 0; i < n; ++i)
        total += a[i];
    return total;
}

float maxMagnitude(const float* a, size_t n)
{
    float largest = 0.0f;
    for (size_t i = 0; i < n; ++i) {
        const float m = std::fabs(a[i]);
        largest = m > largest ? m : largest;
    }
    return largest;
}

void biquad(const BiquadCoefficients& c, BiquadHistory& h, const float* x, float* y, size_t n)
{
    float x1 = h.x1, x2 = h.x2, y1 = h.y1, y2 = h.y2;
    for (size_t i = 0; i < n; ++i) {
        // Read the input before the output is written: x and y may be one buffer.
        const float in = x[i];
        const float out = c.b0 * in + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
        x2 = x1;
        x1 = in;
        y2 = y1;
        y1 = out;
        y[i] = out;
    }
    h.x1 = x1;
    h.x2 = x2;
    h.y1 = y1;
    h.y2 = y2;
}

} // namespace Platform::Vdsp
