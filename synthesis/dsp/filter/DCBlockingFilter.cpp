#include "synthesis/dsp/filter/DCBlockingFilter.h"

#include <cmath>
#include <cstddef>

#include "platform/vdsp/Vdsp.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define LUMORA_DC_WIDE_STEPS 1
#endif

namespace Lumora::DSP {

namespace {
bool wideSteps = Platform::Vdsp::processorHasAvx2();
}

bool DCBlockingFilter::allowWideSteps(bool allowed)
{
    wideSteps = allowed && Platform::Vdsp::processorHasAvx2();
    return wideSteps;
}

void DCBlockingFilter::reset()
{
    x1_ = 0.0f;
    y1_ = 0.0f;
}

float DCBlockingFilter::coefficient(float sampleRate, float cutoff)
{
    if (!(sampleRate > 0.0f) || !std::isfinite(sampleRate))
        return 1.0f;
    const float R = 1.0f + (-2.0f * 3.14159265358979f * cutoff) / sampleRate;
    // A cutoff above sampleRate / pi would put the pole below -1, and NaN anywhere: keep it in [0, 1].
    return R > 1.0f ? 1.0f : (R > 0.0f ? R : 0.0f);
}

void DCBlockingFilter::updatePowers(float sampleRate, float cutoff)
{
    const double r = coefficient(sampleRate, cutoff);
    powers_[0] = float(r);
    powers_[1] = float(r * r);
    powers_[2] = float(r * r * r);
    powers_[3] = float(r * r * r * r);
    powersSampleRate_ = sampleRate;
    powersCutoff_ = cutoff;
}

// The samples after the last whole group of four one by one, then the state, cleared (and the
// block with it) when it is no longer finite. Inline: every block ends here.
inline void DCBlockingFilter::finish(float* out, const float* in, unsigned i, unsigned n, float x1, float y1)
{
    const float R = powers_[0];
    for (; i < n; ++i) {
        const float x = in[i];
        const float y = (x - x1) + R * y1;
        x1 = x;
        y1 = y;
        out[i] = y;
    }
    if (!std::isfinite(y1) || !std::isfinite(x1)) {
        x1 = y1 = 0.0f;
        for (unsigned i = 0; i < n; ++i)
            out[i] = 0.0f;
    }
    x1_ = x1;
    y1_ = y1;
}

void DCBlockingFilter::process(float* out, const float* in, unsigned n, float sampleRate, float cutoff)
{
    if (n == 0)
        return;
    if (!(sampleRate == powersSampleRate_ && cutoff == powersCutoff_))
        updatePowers(sampleRate, cutoff);
#if defined(LUMORA_DC_WIDE_STEPS)
    if (wideSteps) {
        processWide(out, in, n);
        return;
    }
#endif
    // y[i] = d[i] + R y[i-1] with d[i] = x[i] - x[i-1], unrolled four samples at a time:
    // y[j] = R^(j+1) y[-1] + sum_{m<=j} R^(j-m) d[m]. Each group of four then waits on one product
    // of the last output instead of four in a row, and its four outputs are independent lanes.
    const float p[4] = {powers_[0], powers_[1], powers_[2], powers_[3]};
    float x1 = x1_;
    float y1 = y1_;
    unsigned i = 0;
    for (; i + 4 <= n; i += 4) {
        const float d[4] = {in[i] - x1, in[i + 1] - in[i], in[i + 2] - in[i + 1], in[i + 3] - in[i + 2]};
        x1 = in[i + 3];
        const float y[4] = {d[0] + p[0] * y1, d[1] + p[0] * d[0] + p[1] * y1,
                            d[2] + p[0] * d[1] + p[1] * d[0] + p[2] * y1,
                            d[3] + p[0] * d[2] + p[1] * d[1] + p[2] * d[0] + p[3] * y1};
        y1 = y[3];
        for (int j = 0; j < 4; ++j)
            out[i + j] = y[j];
    }
    finish(out, in, i, n, x1, y1);
}

#if defined(LUMORA_DC_WIDE_STEPS)
// The four sums of process() in four lanes, each in the order written there: lane j starts from
// d[j], takes p[0] d[j-1], p[1] d[j-2] and p[2] d[j-3] in turn where they exist (a lane without one
// keeps its sum as it was, rather than adding a zero that would turn -0 into 0), then p[j] y1.
[[gnu::target("avx2")]] void DCBlockingFilter::processWide(float* out, const float* in, unsigned n)
{
    const __m128 p0 = _mm_set1_ps(powers_[0]);
    const __m128 p1 = _mm_set1_ps(powers_[1]);
    const __m128 p2 = _mm_set1_ps(powers_[2]);
    const __m128 powers = _mm_loadu_ps(powers_);
    // The last input and output in lane 3.
    __m128 previous = _mm_set1_ps(x1_);
    __m128 y = _mm_set1_ps(y1_);
    // One count for the whole steps: the loop then keeps no other index.
    const std::size_t whole = n & ~3u;
    std::size_t i = 0;
    for (; i < whole; i += 4) {
        const __m128 x = _mm_loadu_ps(in + i);
        const __m128i xi = _mm_castps_si128(x);
        const __m128 before = _mm_castsi128_ps(_mm_alignr_epi8(xi, _mm_castps_si128(previous), 12));
        const __m128 d = _mm_sub_ps(x, before);
        const __m128i di = _mm_castps_si128(d);
        __m128 sum = _mm_blend_ps(_mm_add_ps(d, _mm_mul_ps(p0, _mm_castsi128_ps(_mm_slli_si128(di, 4)))), d, 0x1);
        sum = _mm_blend_ps(_mm_add_ps(sum, _mm_mul_ps(p1, _mm_castsi128_ps(_mm_slli_si128(di, 8)))), sum, 0x3);
        sum = _mm_blend_ps(_mm_add_ps(sum, _mm_mul_ps(p2, _mm_castsi128_ps(_mm_slli_si128(di, 12)))), sum, 0x7);
        y = _mm_add_ps(sum, _mm_mul_ps(powers, _mm_shuffle_ps(y, y, 0xff)));
        _mm_storeu_ps(out + i, y);
        previous = x;
    }
    finish(out, in, unsigned(i), n, _mm_cvtss_f32(_mm_shuffle_ps(previous, previous, 0xff)),
           _mm_cvtss_f32(_mm_shuffle_ps(y, y, 0xff)));
}
#endif

} // namespace Lumora::DSP
