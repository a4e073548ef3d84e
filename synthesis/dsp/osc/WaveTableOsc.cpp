#include "synthesis/dsp/osc/WaveTableOsc.h"

#include "platform/vdsp/Vdsp.h"
#include "platform/vdsp/FloatPairs.h"
#include "synthesis/dsp/osc/WaveTableCache.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace Lumora::DSP::OSC {

namespace {

// A phase in [0, 1): floor-based, so negative phases wrap the right way; NaN and infinity become 0.
// The floor goes through an integer conversion, which (unlike std::floor on baseline x86-64) needs no
// library call in the per-sample loop.
inline float wrapPhase(float p)
{
    if (!(p > -1.0e9f && p < 1.0e9f)) {
        p = std::fmod(p, 1.0f); // NaN for NaN and infinity
        if (!(p == p))
            return 0.0f;
    }
    int k = static_cast<int>(p);
    k -= (static_cast<float>(k) > p) ? 1 : 0;
    p -= static_cast<float>(k);
    return (p >= 0.0f && p < 1.0f) ? p : 0.0f;
}

// Positions are read in chunks: a first loop computes every position's table index and fraction with
// no branch and no table access, so that it runs four lanes wide; a second loop does the table reads.
constexpr unsigned kChunk = 64;

struct ChunkPositions {
    int index[kChunk];
    float fraction[kChunk];
};

// wrapPhase(q) * 1024 split into integer and fraction, for |q| < 1e9, where wrapPhase's floor is exact
// as the integer conversion cannot overflow; `outside` gets all bits set for any other q (large or
// non-finite), whose result is then a placeholder. The floating-point comparisons of wrapPhase are
// made on the bit patterns instead: integer compares let the compiler turn the selects into masks,
// which it does not for float compares that may raise exceptions. The arithmetic is wrapPhase's, so
// the results are identical to the bit.
[[gnu::always_inline]] inline void wrapPosition(float q, std::uint32_t& outside, int& index, float& fraction)
{
    constexpr std::uint32_t kAbs = 0x7fffffffu, kMinusZero = 0x80000000u, kOne = 0x3f800000u;
    constexpr std::uint32_t kBillion = std::bit_cast<std::uint32_t>(1.0e9f);
    const std::uint32_t qb = std::bit_cast<std::uint32_t>(q);
    const std::uint32_t inside = 0u - std::uint32_t((qb & kAbs) < kBillion); // also false for NaN
    outside |= ~inside;
    const float safe = std::bit_cast<float>(qb & inside);
    // The truncated fraction is exact; it is below 0 (not -0) where the floor lies one under the
    // truncation, and then safe - (k - 1) rounds the same exact value as d + 1.
    const float k = float(int(safe));
    const float d = safe - k;
    const std::uint32_t db = std::bit_cast<std::uint32_t>(d);
    const std::uint32_t below = 0u - std::uint32_t(db > kMinusZero);
    const std::uint32_t wb = (std::bit_cast<std::uint32_t>(d + 1.0f) & below) | (db & ~below);
    // w in [0, 1), -0 included; d + 1 may round up to 1.
    const std::uint32_t valid = 0u - std::uint32_t((wb < kOne) | (wb == kMinusZero));
    const float x = std::bit_cast<float>(wb & valid) * float(WaveTableOsc::kTableLength);
    const int j = int(x); // x in [0, 1024)
    index = j;
    fraction = x - float(j);
}

// The positions of samples first .. first + count - 1 of a segment (count <= kChunk).
template <bool kModulated>
[[gnu::always_inline]] inline void wrapPositions(ChunkPositions& __restrict c, const float* __restrict pm, unsigned count, unsigned first,
                   float start, float increment)
{
    auto position = [&](unsigned i) {
        float q = start + increment * float(int(first + i));
        if constexpr (kModulated)
            q += pm[i];
        return q;
    };
    std::uint32_t outside = 0;
    // A whole number of vectors, which the compiler then needs no scalar epilogue for.
    const unsigned wide = count & ~3u;
    for (unsigned i = 0; i < wide; ++i)
        wrapPosition(position(i), outside, c.index[i], c.fraction[i]);
    for (unsigned i = wide; i < count; ++i)
        wrapPosition(position(i), outside, c.index[i], c.fraction[i]);
    if (outside == 0)
        return;
    for (unsigned i = 0; i < count; ++i) {
        const float q = position(i);
        if (!(q > -1.0e9f && q < 1.0e9f)) {
            const float x = wrapPhase(q) * float(WaveTableOsc::kTableLength);
            const int j = int(x);
            c.index[i] = j;
            c.fraction[i] = x - float(j);
        }
    }
}

// An owner's scale pass taken into a read (kGains 2 or 3; 0 for none): each sample times gains[0],
// then gains[1], then gains[2], rounding after each product as the separate pass would.
template <int kGains>
[[gnu::always_inline]] inline float applyGains(float y, const float* gains)
{
    if constexpr (kGains > 0) {
        y = y * gains[0];
        y = y * gains[1];
        if constexpr (kGains > 2)
            y = y * gains[2];
    }
    return y;
}

template <int kGains>
[[gnu::always_inline]] inline void applyGains(float* o, unsigned n, const float* gains)
{
    if constexpr (kGains > 0)
        for (unsigned i = 0; i < n; ++i)
            o[i] = applyGains<kGains>(o[i], gains);
}

#if defined(__x86_64__) && defined(__GNUC__)
// (1 - f) t[j] + f t[j + 1] for eight positions at a time, through gathers; the tail one by one.
[[gnu::target("avx2")]] void interpolateWide(float* o, const float* table,
                                             const ChunkPositions& c, unsigned n)
{
    constexpr int kMask = int(WaveTableOsc::kTableLength) - 1;
    const __m256i mask = _mm256_set1_epi32(kMask);
    const __m256i one = _mm256_set1_epi32(1);
    const __m256 unit = _mm256_set1_ps(1.0f);
    unsigned i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256i j = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(c.index + i));
        const __m256 f = _mm256_loadu_ps(c.fraction + i);
        const __m256 a = _mm256_i32gather_ps(table, _mm256_and_si256(j, mask), 4);
        const __m256 b = _mm256_i32gather_ps(table, _mm256_and_si256(_mm256_add_epi32(j, one), mask), 4);
        const __m256 y = _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(unit, f), a), _mm256_mul_ps(f, b));
        _mm256_storeu_ps(o + i, y);
    }
    for (; i < n; ++i) {
        const int j = c.index[i];
        const float f = c.fraction[i];
        o[i] = (1.0f - f) * table[j & kMask] + f * table[(j + 1) & kMask];
    }
}

// The same for a guarded table, whose pairs t[j], t[j + 1] are read as one 64-bit load each: on some
// processors (AMD's among them) a gather costs more than the eight plain loads it stands for, and
// this needs eight instead of sixteen. Indices lie in [0, kTableLength), so j + 1 is the guard at
// most, where the masked read would find t[0], the same value.
template <int kGains>
[[gnu::target("avx2")]] void interpolatePairsWide(float* o, const float* table, const ChunkPositions& c, unsigned n,
                                                  const float* gains)
{
    const __m256 unit = _mm256_set1_ps(1.0f);
    auto pairs = [&](unsigned i, unsigned k) {
        // (t[j_k], t[j_k + 1]) in the low half and (t[j_k+1], t[j_k+1 + 1]) in the high half.
        return Platform::Vdsp::loadFloatPairs(table + c.index[i + k], table + c.index[i + k + 1]);
    };
    unsigned i = 0;
    for (; i + 8 <= n; i += 8) {
        // Lanes of q01: pairs of samples 0, 1 | 4, 5; of q23: 2, 3 | 6, 7. The even floats of the
        // two, taken alternately, are the t[j] in sample order, the odd ones the t[j + 1].
        const __m256 q01 = _mm256_castpd_ps(_mm256_set_m128d(pairs(i, 4), pairs(i, 0)));
        const __m256 q23 = _mm256_castpd_ps(_mm256_set_m128d(pairs(i, 6), pairs(i, 2)));
        const __m256 a = _mm256_shuffle_ps(q01, q23, 0x88);
        const __m256 b = _mm256_shuffle_ps(q01, q23, 0xdd);
        const __m256 f = _mm256_loadu_ps(c.fraction + i);
        __m256 y = _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(unit, f), a), _mm256_mul_ps(f, b));
        if constexpr (kGains > 0) {
            y = _mm256_mul_ps(y, _mm256_set1_ps(gains[0]));
            y = _mm256_mul_ps(y, _mm256_set1_ps(gains[1]));
            if constexpr (kGains > 2)
                y = _mm256_mul_ps(y, _mm256_set1_ps(gains[2]));
        }
        _mm256_storeu_ps(o + i, y);
    }
    for (; i < n; ++i) {
        const int j = c.index[i];
        const float f = c.fraction[i];
        o[i] = applyGains<kGains>((1.0f - f) * table[j] + f * table[j + 1], gains);
    }
}
#endif

#if defined(__x86_64__) && defined(__GNUC__)
// The usual read of a guarded table without phase modulation over whole vectors of eight, its
// positions and reads in one pass and in registers: short blocks so skip the position arrays and the
// scalar tails that readTableBody sets up. wrapPosition's operations lane by lane, so the samples are
// identical. Answers false, having written nothing worth keeping, where a position lies outside
// +-1e9 (or is not finite); readTableBody then reads the block with wrapPhase's care. A function
// of its own, apart from readTableAvx2, whose position arrays want the stack realigned: this one
// needs none.
template <int kGains>
[[gnu::target("avx2")]] bool readPairsInRegisters(float* out, const float* table, unsigned count, float start,
                                                  float increment, const float* gains)
{
    // Read before the first store, which could otherwise be taken to change them.
    const __m256 gain0 = _mm256_set1_ps(kGains > 0 ? gains[0] : 1.0f);
    const __m256 gain1 = _mm256_set1_ps(kGains > 0 ? gains[1] : 1.0f);
    const __m256 gain2 = _mm256_set1_ps(kGains > 2 ? gains[2] : 1.0f);
    const __m256i abs = _mm256_set1_epi32(0x7fffffff);
    const __m256i billion = _mm256_set1_epi32(std::bit_cast<std::int32_t>(1.0e9f));
    const __m256i sign = _mm256_set1_epi32(std::int32_t(0x80000000u));
    // An unsigned comparison as a signed one: both sides with the sign bit flipped.
    const __m256i oneFlipped = _mm256_set1_epi32(std::int32_t(0x3f800000u ^ 0x80000000u));
    const __m256 unit = _mm256_set1_ps(1.0f);
    const __m256 length = _mm256_set1_ps(float(WaveTableOsc::kTableLength));
    const __m256 first = _mm256_set1_ps(start);
    const __m256 step = _mm256_set1_ps(increment);
    __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    for (unsigned i = 0; i < count; i += 8) {
        const __m256 q = _mm256_add_ps(first, _mm256_mul_ps(step, _mm256_cvtepi32_ps(lane)));
        lane = _mm256_add_epi32(lane, _mm256_set1_epi32(8));
        const __m256i qb = _mm256_castps_si256(q);
        if (_mm256_movemask_ps(_mm256_castsi256_ps(_mm256_cmpgt_epi32(billion, _mm256_and_si256(qb, abs)))) != 0xff)
            return false;
        const __m256 d = _mm256_sub_ps(q, _mm256_cvtepi32_ps(_mm256_cvttps_epi32(q)));
        const __m256i db = _mm256_castps_si256(d);
        const __m256i below = _mm256_cmpgt_epi32(_mm256_xor_si256(db, sign), _mm256_setzero_si256());
        const __m256i wb = _mm256_blendv_epi8(db, _mm256_castps_si256(_mm256_add_ps(d, unit)), below);
        const __m256i valid = _mm256_or_si256(_mm256_cmpgt_epi32(oneFlipped, _mm256_xor_si256(wb, sign)),
                                              _mm256_cmpeq_epi32(wb, sign));
        const __m256 x = _mm256_mul_ps(_mm256_castsi256_ps(_mm256_and_si256(wb, valid)), length);
        const __m256i j = _mm256_cvttps_epi32(x);
        const __m256 f = _mm256_sub_ps(x, _mm256_cvtepi32_ps(j));
        std::int32_t at[8];
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(at), j);
        const auto pairs = [&](int k) { return Platform::Vdsp::loadFloatPairs(table + at[k], table + at[k + 1]); };
        const __m256 q01 = _mm256_castpd_ps(_mm256_set_m128d(pairs(4), pairs(0)));
        const __m256 q23 = _mm256_castpd_ps(_mm256_set_m128d(pairs(6), pairs(2)));
        const __m256 a = _mm256_shuffle_ps(q01, q23, 0x88);
        const __m256 b = _mm256_shuffle_ps(q01, q23, 0xdd);
        __m256 y = _mm256_add_ps(_mm256_mul_ps(_mm256_sub_ps(unit, f), a), _mm256_mul_ps(f, b));
        if constexpr (kGains > 0) {
            y = _mm256_mul_ps(y, gain0);
            y = _mm256_mul_ps(y, gain1);
            if constexpr (kGains > 2)
                y = _mm256_mul_ps(y, gain2);
        }
        _mm256_storeu_ps(out + i, y);
    }
    return true;
}
#endif

// Reads count samples of one table at positions start + increment * i (+ pm[i]) in cycles, scaled
// by kGains gains (see applyGains).
template <bool kModulated, bool kInterpolate, bool kWide, int kGains>
[[gnu::always_inline]] inline void readTableBody(float* out, const float* table, bool guarded, const float* pm,
                                                 unsigned count, float start, float increment, const float* gains)
{
    constexpr int kMask = int(WaveTableOsc::kTableLength) - 1;
    ChunkPositions c;
    for (unsigned first = 0; first < count; first += kChunk) {
        const unsigned n = count - first < kChunk ? count - first : kChunk;
        wrapPositions<kModulated>(c, kModulated ? pm + first : nullptr, n, first, start, increment);
        float* o = out + first;
        if constexpr (kInterpolate) {
#if defined(__x86_64__) && defined(__GNUC__)
            if constexpr (kWide) {
                if (guarded) {
                    interpolatePairsWide<kGains>(o, table, c, n, gains);
                } else {
                    interpolateWide(o, table, c, n);
                    applyGains<kGains>(o, n, gains);
                }
                continue;
            }
#endif
            for (unsigned i = 0; i < n; ++i) {
                const int j = c.index[i];
                const float f = c.fraction[i];
                o[i] = (1.0f - f) * table[j & kMask] + f * table[(j + 1) & kMask];
            }
        } else {
            for (unsigned i = 0; i < n; ++i)
                o[i] = table[c.index[i] & kMask];
        }
        applyGains<kGains>(o, n, gains);
    }
}

// The same reads compiled twice: for any x86-64 and for processors with AVX2, whose eight lanes
// and gathers take the positions and table reads twice as wide. Both do the same single-precision
// operations in the same order (no contraction into fused multiply-adds), so their outputs are
// identical to the bit; which runs is decided once per process.
template <bool kModulated, bool kInterpolate, int kGains>
void readTableBaseline(float* out, const float* table, bool guarded, const float* pm, unsigned count, float start,
                       float increment, const float* gains)
{
    readTableBody<kModulated, kInterpolate, false, kGains>(out, table, guarded, pm, count, start, increment, gains);
}

#if defined(__x86_64__) && defined(__GNUC__)
// Flattened: the interpolation goes inline too, which spares short blocks a call for every chunk.
template <bool kModulated, bool kInterpolate, int kGains>
[[gnu::target("avx2"), gnu::flatten]] void readTableAvx2(float* out, const float* table, bool guarded,
                                                         const float* pm, unsigned count, float start,
                                                         float increment, const float* gains)
{
    readTableBody<kModulated, kInterpolate, true, kGains>(out, table, guarded, pm, count, start, increment, gains);
}

#endif

bool wideReads = Platform::Vdsp::processorHasAvx2();

template <bool kModulated, bool kInterpolate, int kGains = 0>
void readTable(float* out, const float* table, bool guarded, const float* pm, unsigned count, float start,
               float increment, const float* gains = nullptr)
{
#if defined(__x86_64__) && defined(__GNUC__)
    if (wideReads) {
        if constexpr (!kModulated && kInterpolate)
            if (guarded && count % 8 == 0 && readPairsInRegisters<kGains>(out, table, count, start, increment, gains))
                return;
        readTableAvx2<kModulated, kInterpolate, kGains>(out, table, guarded, pm, count, start, increment, gains);
        return;
    }
#endif
    readTableBaseline<kModulated, kInterpolate, kGains>(out, table, guarded, pm, count, start, increment, gains);
}

inline float finiteOrZero(float v)
{
    return std::isfinite(v) ? v : 0.0f;
}

} // namespace

WaveTableOsc::WaveTableOsc(bool interpolate, bool guarded) : interpolate_(interpolate), guarded_(guarded) {}

void iAliasFreeOsc::guardTables(float* tables, unsigned count)
{
    // From the last table down, so that no table is overwritten before it has moved.
    for (unsigned k = count; k-- > 0;) {
        float* to = tables + std::size_t(k) * kGuardedTableLength;
        std::memmove(to, tables + std::size_t(k) * kTableLength, kTableLength * sizeof(float));
        to[kTableLength] = to[0];
    }
}

bool WaveTableOsc::allowWideReads(bool allowed)
{
    wideReads = allowed && Platform::Vdsp::processorHasAvx2();
    return wideReads;
}

void WaveTableOsc::restart(float phase)
{
    phase_ = wrapPhase(phase);
}

unsigned WaveTableOsc::harmonicsBelowNyquist(float sampleRate, float frequency, unsigned limit)
{
    if (!(frequency > 0.0f))
        return limit;
    const float m = sampleRate * 0.5f / frequency;
    if (!(m < float(limit))) // also infinity and NaN
        return limit;
    return m > 0.0f ? static_cast<unsigned>(m) : 0u;
}

std::string WaveTableOsc::wavetablePath(const char* name, unsigned length, unsigned count)
{
    char buffer[1024];
    std::snprintf(buffer, sizeof buffer, "%s/%s_%04d_%04d.wavtbl", WaveTableCache::temporaryDirectory().c_str(), name,
                  int(length), int(count));
    return buffer;
}

void WaveTableOsc::process(float* out, unsigned n, float sampleRate)
{
    process(out, nullptr, n, sampleRate);
}

// A block at plain_'s pitch: one segment, the sync phase running alongside; kGains > 0 scales it
// (unmodulated and interpolated only, see processScaled). Inline in process(), whose usual block it is.
template <int kGains>
[[gnu::always_inline]] inline void WaveTableOsc::renderPlain(float* out, const float* pm, unsigned n,
                                                             const float* gains)
{
    if (!std::isfinite(syncPhase_))
        syncPhase_ = 0.0f;
    const float increment = plain_.increment;
    const float start = phase_ + finiteOrZero(phaseShift_);
    if constexpr (kGains > 0)
        readTable<false, true, kGains>(out, plain_.table, guarded_, nullptr, n, start, increment, gains);
    else if (pm)
        interpolate_ ? readTable<true, true>(out, plain_.table, guarded_, pm, n, start, increment)
                     : readTable<true, false>(out, plain_.table, guarded_, pm, n, start, increment);
    else
        interpolate_ ? readTable<false, true>(out, plain_.table, guarded_, pm, n, start, increment)
                     : readTable<false, false>(out, plain_.table, guarded_, pm, n, start, increment);
    phase_ = wrapPhase(phase_ + increment * float(n));
    syncPhase_ += float(n) * increment;
    if (!std::isfinite(syncPhase_))
        syncPhase_ = 0.0f;
}

void WaveTableOsc::process(float* out, const float* pm, unsigned n, float sampleRate)
{
    if (n == 0)
        return;
    if (!isPlainPitch(sampleRate) && !learnPlainPitch(sampleRate)) {
        processSynced(out, pm, n, sampleRate);
        return;
    }
    renderPlain<0>(out, pm, n, nullptr);
}

void WaveTableOsc::processScaled(float* out, unsigned n, float sampleRate, float first, float second)
{
    const float gains[3] = {first, second, 1.0f};
    processScaledBy<2>(out, n, sampleRate, gains);
}

void WaveTableOsc::processScaled(float* out, unsigned n, float sampleRate, float first, float second, float third)
{
    const float gains[3] = {first, second, third};
    processScaledBy<3>(out, n, sampleRate, gains);
}

// The scale goes into the reads of a plain, interpolated block; any other block is scaled after.
template <int kGains>
void WaveTableOsc::processScaledBy(float* out, unsigned n, float sampleRate, const float* gains)
{
    if (n == 0)
        return;
    if (interpolate_ && (isPlainPitch(sampleRate) || learnPlainPitch(sampleRate))) {
        renderPlain<kGains>(out, nullptr, n, gains);
        return;
    }
    process(out, nullptr, n, sampleRate);
    if constexpr (kGains > 2)
        Platform::Vdsp::scaleThriceWide(out, gains[0], gains[1], gains[2], out, n);
    else
        Platform::Vdsp::scaleTwiceWide(out, gains[0], gains[1], out, n);
}

// Everything a block without hard sync works out before its reads depends on the sample rate,
// frequency and sync frequency alone, and is kept for them.
bool WaveTableOsc::learnPlainPitch(float sampleRate)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        return false;
    const float frequency = finiteOrZero(frequency_);
    const float sync = finiteOrZero(syncFrequency_);
    if (sync > 0.0f && sync != frequency)
        return false;
    plain_.sampleRate = std::bit_cast<std::uint32_t>(sampleRate);
    plain_.frequency = std::bit_cast<std::uint32_t>(frequency_);
    plain_.sync = std::bit_cast<std::uint32_t>(syncFrequency_);
    plain_.increment = frequency / sampleRate;
    plain_.table = tableFor(sampleRate, frequency);
    plainKnown_ = true;
    return true;
}

// A block with hard sync, or at a sample rate that renders silence.
void WaveTableOsc::processSynced(float* out, const float* pm, unsigned n, float sampleRate)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate)) {
        Platform::Vdsp::clear(out, n);
        return;
    }
    const float sync = finiteOrZero(syncFrequency_);
    if (!std::isfinite(syncPhase_))
        syncPhase_ = 0.0f;

    // Hard sync: the wave restarts at phase 0 every sampleRate / sync samples.
    const float period = sampleRate / sync;
    const float syncIncrement = sync / sampleRate;
    unsigned done = 0;
    while (done < n) {
        const unsigned left = n - done;
        const float length = (1.0f - syncPhase_) * period + 0.4f;
        const unsigned segment =
            !(length >= 1.0f) ? 1u : (length >= float(left) + 1.0f ? left + 1 : unsigned(length));
        const float* segmentPm = pm ? pm + done : nullptr;
        if (left < segment) {
            renderSegment(out + done, segmentPm, left, sampleRate);
            syncPhase_ += float(left) * syncIncrement;
            done = n;
        } else {
            renderSegment(out + done, segmentPm, segment, sampleRate);
            phase_ = 0.0f;
            syncPhase_ = 0.0f;
            done += segment;
        }
    }
}

const float* WaveTableOsc::tableFor(float sampleRate, float frequency)
{
    if (!(sampleRate == tableSampleRate_ && frequency == tableFrequency_)) {
        table_ = waveTable(sampleRate, frequency);
        tableSampleRate_ = sampleRate;
        tableFrequency_ = frequency;
    }
    return table_;
}

void WaveTableOsc::renderSegment(float* out, const float* pm, unsigned count, float sampleRate)
{
    const float frequency = finiteOrZero(frequency_);
    const float* table = tableFor(sampleRate, frequency);
    const float increment = frequency / sampleRate;
    const float start = phase_ + finiteOrZero(phaseShift_);

    if (pm)
        interpolate_ ? readTable<true, true>(out, table, guarded_, pm, count, start, increment)
                     : readTable<true, false>(out, table, guarded_, pm, count, start, increment);
    else
        interpolate_ ? readTable<false, true>(out, table, guarded_, pm, count, start, increment)
                     : readTable<false, false>(out, table, guarded_, pm, count, start, increment);
    phase_ = wrapPhase(phase_ + increment * float(count));
}

} // namespace Lumora::DSP::OSC
