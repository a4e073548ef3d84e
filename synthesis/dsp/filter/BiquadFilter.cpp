#include "synthesis/dsp/filter/BiquadFilter.h"

#include <cmath>
#include <cstddef>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define LUMORA_BIQUAD_WIDE_STEPS 1
#endif

namespace Lumora::DSP::Filter {

namespace {
constexpr float kPi = 3.14159265358979f;
// The design never reaches the Nyquist frequency: 0.99 pi at most.
constexpr float kMaxOmega = 3.1101768f;
// Below this normalized frequency the design is held: at f = 0 the cookbook formulas give a double
// pole at z = 1, which would hold any DC offset for good.
constexpr float kMinFrequency = 1.0e-4f;

bool wideSteps = Platform::Vdsp::processorHasAvx2();
} // namespace

bool BiquadFilter::allowWideSteps(bool allowed)
{
    wideSteps = allowed && Platform::Vdsp::processorHasAvx2();
    return wideSteps;
}

void BiquadFilter::reset()
{
    h_.reset();
    s1_ = s2_ = 0.0f;
}

void BiquadFilter::process(float* out, const float* in, unsigned n)
{
    if (n == 0)
        return;
    if (mode_ == Mode::Direct) {
        Platform::Vdsp::biquad(c_, h_, in, out, n);
        // A NaN or infinite input would otherwise ring in the history for good.
        if (!std::isfinite(h_.y1) || !std::isfinite(h_.y2) || !std::isfinite(h_.x1) || !std::isfinite(h_.x2)) {
            h_.reset();
            Platform::Vdsp::clear(out, n);
        }
        return;
    }
#if defined(LUMORA_BIQUAD_WIDE_STEPS)
    if (wideSteps) {
        processStateVariableWide<false>(out, in, n, 1.0f);
        return;
    }
#endif
    processStateVariable(out, in, n);
}

// Trapezoidal (zero-delay feedback) state-variable filter:
//   v3 = x - s2, v1 = a1 s1 + a2 v3, v2 = s2 + a2 s1 + a3 v3, s1 = 2 v1 - s1, s2 = 2 v2 - s2,
// with a1 = 1 / (1 + g (g + k)), a2 = g a1, a3 = g a2; v2 is the low pass, k v1 the unit-gain band pass.
// Substituting v1, v2 and v3 gives the state-space system
//   A = [2 a1 - 1, -2 a2; 2 a2, 1 - 2 a3], B = [2 a2; 2 a3],
//   low pass C = [a2, 1 - a3], D = a3; band pass C = [k a1, -k a2], D = k a2,
// whose powers (worked out in double precision) advance it four samples per step.
void BiquadFilter::updateStateSpace()
{
    const double g = g_, k = k_;
    const double a1 = 1.0 / (1.0 + g * (g + k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double A[2][2] = {{2.0 * a1 - 1.0, -2.0 * a2}, {2.0 * a2, 1.0 - 2.0 * a3}};
    const double B[2] = {2.0 * a2, 2.0 * a3};
    const bool lowPass = mode_ == Mode::LowPass;
    const double C[2] = {lowPass ? a2 : k * a1, lowPass ? 1.0 - a3 : -k * a2};
    const double D = lowPass ? a3 : k * a2;

    StateSpace& m = ss_;
    m.a11 = float(A[0][0]), m.a12 = float(A[0][1]), m.a21 = float(A[1][0]), m.a22 = float(A[1][1]);
    m.b1 = float(B[0]), m.b2 = float(B[1]), m.c1 = float(C[0]), m.c2 = float(C[1]), m.d = float(D);

    // P_j = C A^j; the impulse response h_0 = D, h_i = C A^(i-1) B; G_m = A^(3-m) B.
    double power[2][2] = {{1.0, 0.0}, {0.0, 1.0}}; // A^j
    double response[4] = {D, 0.0, 0.0, 0.0};
    double stepped[4][2]; // A^j B
    for (int j = 0; j < 4; ++j) {
        m.p1[j] = float(C[0] * power[0][0] + C[1] * power[1][0]);
        m.p2[j] = float(C[0] * power[0][1] + C[1] * power[1][1]);
        stepped[j][0] = power[0][0] * B[0] + power[0][1] * B[1];
        stepped[j][1] = power[1][0] * B[0] + power[1][1] * B[1];
        if (j < 3)
            response[j + 1] = C[0] * stepped[j][0] + C[1] * stepped[j][1];
        const double next[2][2] = {
            {A[0][0] * power[0][0] + A[0][1] * power[1][0], A[0][0] * power[0][1] + A[0][1] * power[1][1]},
            {A[1][0] * power[0][0] + A[1][1] * power[1][0], A[1][0] * power[0][1] + A[1][1] * power[1][1]}};
        power[0][0] = next[0][0], power[0][1] = next[0][1], power[1][0] = next[1][0], power[1][1] = next[1][1];
    }
    for (int mIn = 0; mIn < 4; ++mIn) {
        for (int j = 0; j < 4; ++j)
            m.h[mIn][j] = j >= mIn ? float(response[j - mIn]) : 0.0f;
        m.g1[mIn] = float(stepped[3 - mIn][0]);
        m.g2[mIn] = float(stepped[3 - mIn][1]);
    }
    m.q11 = float(power[0][0]), m.q12 = float(power[0][1]), m.q21 = float(power[1][0]), m.q22 = float(power[1][1]);

    output_.byState1 = Lanes{m.p1[0], m.p1[1], m.p1[2], m.p1[3]};
    output_.byState2 = Lanes{m.p2[0], m.p2[1], m.p2[2], m.p2[3]};
    next_.byState1 = Lanes{m.q11, m.q21, 0.0f, 0.0f};
    next_.byState2 = Lanes{m.q12, m.q22, 0.0f, 0.0f};
    for (int mIn = 0; mIn < 4; ++mIn) {
        output_.byInput[mIn] = Lanes{m.h[mIn][0], m.h[mIn][1], m.h[mIn][2], m.h[mIn][3]};
        next_.byInput[mIn] = Lanes{m.g1[mIn], m.g2[mIn], 0.0f, 0.0f};
    }
#if defined(LUMORA_BIQUAD_WIDE_STEPS)
    updateWideStep();
#endif
}

#if defined(LUMORA_BIQUAD_WIDE_STEPS)
void BiquadFilter::updateWideStep()
{
    const auto join = [](float (&to)[8], Lanes low, Lanes high) {
        __builtin_memcpy(to, &low, sizeof low);
        __builtin_memcpy(to + 4, &high, sizeof high);
    };
    join(wide_.byState1, output_.byState1, next_.byState1);
    join(wide_.byState2, output_.byState2, next_.byState2);
    for (int mIn = 0; mIn < 4; ++mIn)
        join(wide_.byInput[mIn], output_.byInput[mIn], next_.byInput[mIn]);
}
#endif

// A NaN or infinite input would otherwise ring in the state for good. Inline: every block of every
// filter ends here.
inline bool BiquadFilter::keepFinite(float& s1, float& s2, float* out, unsigned written)
{
    const bool cleared = !std::isfinite(s1) || !std::isfinite(s2);
    if (cleared) [[unlikely]] {
        s1 = s2 = 0.0f;
        Platform::Vdsp::clear(out, written);
    }
    s1_ = s1;
    s2_ = s2;
    return cleared;
}

inline float BiquadFilter::StateSpace::step(float& s1, float& s2, float x) const
{
    const float y = c1 * s1 + c2 * s2 + d * x;
    const float n1 = a11 * s1 + a12 * s2 + b1 * x;
    const float n2 = a21 * s1 + a22 * s2 + b2 * x;
    s1 = n1;
    s2 = n2;
    return y;
}

namespace {
// Lane `k` of four lanes in every lane. The state stays in a vector from step to step: taken out as
// two floats it went through memory, which lengthened the chain of dependent operations each step
// waits on.
template <int k, class FourLanes>
[[gnu::always_inline]] inline FourLanes spread(FourLanes v)
{
    return __builtin_shufflevector(v, v, k, k, k, k);
}
} // namespace

// Four samples per step as two lane products: the outputs, and the next state in lanes 0 and 1.
void BiquadFilter::processStateVariable(float* out, const float* in, unsigned n)
{
    // The steps' factors are read where they stand, as operands of the products: copied first they
    // did not all fit the vector registers, and the copy and its spills cost a short block more
    // than the loop's own reads.
    const LaneStep& o = output_;
    const LaneStep& s = next_;
    Lanes state = {s1_, s2_, 0.0f, 0.0f};
    unsigned i = 0;
    for (; i + 4 <= n; i += 4) {
        const float* x = in + i;
        const Lanes s1 = spread<0>(state), s2 = spread<1>(state);
        const Lanes y = (o.byState1 * s1 + o.byState2 * s2) +
                        (((o.byInput[0] * x[0] + o.byInput[1] * x[1]) + o.byInput[2] * x[2]) + o.byInput[3] * x[3]);
        state = (s.byState1 * s1 + s.byState2 * s2) +
                (((s.byInput[0] * x[0] + s.byInput[1] * x[1]) + s.byInput[2] * x[2]) + s.byInput[3] * x[3]);
        __builtin_memcpy(out + i, &y, sizeof y);
    }
    float s1 = state[0], s2 = state[1];
    for (; i < n; ++i)
        out[i] = ss_.step(s1, s2, in[i]);
    keepFinite(s1, s2, out, n);
}

#if defined(LUMORA_BIQUAD_WIDE_STEPS)
// processStateVariable()'s two products of four lanes as one of eight: the outputs in lanes 0 to 3,
// the next state in lanes 4 and 5, each lane summed in the same order. Half the products and sums,
// and each step's input read once for both.
template <bool kScaled>
[[gnu::target("avx2")]] void BiquadFilter::processStateVariableWide(float* out, const float* in, unsigned n,
                                                                   float gain)
{
    const __m128 gains = _mm_set1_ps(gain);
    const WideStep& w = wide_;
    const __m256 byState1 = _mm256_loadu_ps(w.byState1);
    const __m256 byState2 = _mm256_loadu_ps(w.byState2);
    const __m256 byInput0 = _mm256_loadu_ps(w.byInput[0]);
    const __m256 byInput1 = _mm256_loadu_ps(w.byInput[1]);
    const __m256 byInput2 = _mm256_loadu_ps(w.byInput[2]);
    const __m256 byInput3 = _mm256_loadu_ps(w.byInput[3]);
    const __m256i lane4 = _mm256_set1_epi32(4);
    const __m256i lane5 = _mm256_set1_epi32(5);
    // The state in every lane.
    __m256 s1 = _mm256_set1_ps(s1_);
    __m256 s2 = _mm256_set1_ps(s2_);
    // One count for the whole steps: the loop then keeps no other index.
    const std::size_t whole = n & ~3u;
    std::size_t i = 0;
    for (; i < whole; i += 4) {
        const float* x = in + i;
        const __m256 byState = _mm256_add_ps(_mm256_mul_ps(byState1, s1), _mm256_mul_ps(byState2, s2));
        const __m256 byInput = _mm256_add_ps(
            _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(byInput0, _mm256_broadcast_ss(x)),
                                        _mm256_mul_ps(byInput1, _mm256_broadcast_ss(x + 1))),
                          _mm256_mul_ps(byInput2, _mm256_broadcast_ss(x + 2))),
            _mm256_mul_ps(byInput3, _mm256_broadcast_ss(x + 3)));
        const __m256 step = _mm256_add_ps(byState, byInput);
        if constexpr (kScaled)
            _mm_storeu_ps(out + i, _mm_mul_ps(_mm256_castps256_ps128(step), gains));
        else
            _mm_storeu_ps(out + i, _mm256_castps256_ps128(step));
        s1 = _mm256_permutevar8x32_ps(step, lane4);
        s2 = _mm256_permutevar8x32_ps(step, lane5);
    }
    float t1 = _mm256_cvtss_f32(s1), t2 = _mm256_cvtss_f32(s2);
    for (; i < n; ++i) {
        const float y = ss_.step(t1, t2, in[i]);
        out[i] = kScaled ? y * gain : y;
    }
    // Cleared outputs are scaled as process() and a scaling after it leave them.
    if (keepFinite(t1, t2, out, n) && kScaled)
        Platform::Vdsp::scale(out, gain, out, n);
}
#endif

#if defined(LUMORA_BIQUAD_WIDE_STEPS)
namespace {
// processStateVariableWide()'s four-sample step from the state in every lane of t1 and t2.
[[gnu::target("avx2"), gnu::always_inline]] inline __m256 wideStep(const float* byState1, const float* byState2,
                                                                  const float (*byInputs)[8], __m256 t1, __m256 t2,
                                                                  const float* x)
{
    const __m256 byState =
        _mm256_add_ps(_mm256_mul_ps(_mm256_loadu_ps(byState1), t1), _mm256_mul_ps(_mm256_loadu_ps(byState2), t2));
    const __m256 byInput = _mm256_add_ps(
        _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(_mm256_loadu_ps(byInputs[0]), _mm256_broadcast_ss(x)),
                                    _mm256_mul_ps(_mm256_loadu_ps(byInputs[1]), _mm256_broadcast_ss(x + 1))),
                      _mm256_mul_ps(_mm256_loadu_ps(byInputs[2]), _mm256_broadcast_ss(x + 2))),
        _mm256_mul_ps(_mm256_loadu_ps(byInputs[3]), _mm256_broadcast_ss(x + 3)));
    return _mm256_add_ps(byState, byInput);
}
} // namespace

// Each filter's four-sample step is processStateVariableWide()'s, the second's reading the four
// outputs the first has just stored. Two chains of dependent products side by side, and one call's
// set-up instead of two.
[[gnu::target("avx2")]] void BiquadFilter::processStateVariableWideThen(BiquadFilter& next, float* out,
                                                                       const float* in, unsigned n)
{
    const WideStep& a = wide_;
    const WideStep& b = next.wide_;
    const __m256i lane4 = _mm256_set1_epi32(4);
    const __m256i lane5 = _mm256_set1_epi32(5);
    __m256 s1 = _mm256_set1_ps(s1_);
    __m256 s2 = _mm256_set1_ps(s2_);
    __m256 r1 = _mm256_set1_ps(next.s1_);
    __m256 r2 = _mm256_set1_ps(next.s2_);
    // One count for the whole steps: the loop then keeps no other index.
    const std::size_t whole = n & ~3u;
    std::size_t i = 0;
    for (; i < whole; i += 4) {
        const __m256 first = wideStep(a.byState1, a.byState2, a.byInput, s1, s2, in + i);
        _mm_storeu_ps(out + i, _mm256_castps256_ps128(first));
        s1 = _mm256_permutevar8x32_ps(first, lane4);
        s2 = _mm256_permutevar8x32_ps(first, lane5);
        const __m256 second = wideStep(b.byState1, b.byState2, b.byInput, r1, r2, out + i);
        _mm_storeu_ps(out + i, _mm256_castps256_ps128(second));
        r1 = _mm256_permutevar8x32_ps(second, lane4);
        r2 = _mm256_permutevar8x32_ps(second, lane5);
    }
    float t1 = _mm256_cvtss_f32(s1), t2 = _mm256_cvtss_f32(s2);
    for (std::size_t j = i; j < n; ++j)
        out[j] = ss_.step(t1, t2, in[j]);
    if (keepFinite(t1, t2, out, n)) [[unlikely]] {
        // The first filter's block is cleared: the second takes those zeros from where it started,
        // its state as yet untouched.
        next.processStateVariableWide<false>(out, out, n, 1.0f);
        return;
    }
    float u1 = _mm256_cvtss_f32(r1), u2 = _mm256_cvtss_f32(r2);
    for (std::size_t j = i; j < n; ++j)
        out[j] = next.ss_.step(u1, u2, out[j]);
    next.keepFinite(u1, u2, out, n);
}
#endif

void BiquadFilter::processThen(BiquadFilter& next, float* out, const float* in, unsigned n)
{
#if defined(LUMORA_BIQUAD_WIDE_STEPS)
    if (n != 0 && mode_ != Mode::Direct && next.mode_ != Mode::Direct && wideSteps) {
        processStateVariableWideThen(next, out, in, n);
        return;
    }
#endif
    process(out, in, n);
    next.process(out, out, n);
}

void BiquadFilter::processScaled(float* out, const float* in, unsigned n, float gain)
{
#if defined(LUMORA_BIQUAD_WIDE_STEPS)
    if (n != 0 && mode_ != Mode::Direct && wideSteps) {
        processStateVariableWide<true>(out, in, n, gain);
        return;
    }
#endif
    process(out, in, n);
    Platform::Vdsp::scale(out, gain, out, n);
}

void BiquadFilter::processDecimated(float* out, const float* in, unsigned n, unsigned factor)
{
    if (factor <= 1) {
        process(out, in, n);
        return;
    }
    if (mode_ == Mode::Direct || 4 % factor != 0) {
        processDecimatedInChunks(out, in, n, factor);
        return;
    }
    processStateVariableDecimated(out, in, n, factor);
}

// factor (2 or 4) divides 4, so every four-sample step keeps its own outputs 0 and, at 2, 2. One
// product of four lanes gives the new state and both outputs: lanes (s1', s2', y0, y2), each summed in
// the order of processStateVariable(), so the samples are those of process().
BiquadFilter::DecimatingStep BiquadFilter::decimatingStep() const
{
    const StateSpace& m = ss_;
    DecimatingStep d;
    d.byState1 = Lanes{m.q11, m.q21, m.p1[0], m.p1[2]};
    d.byState2 = Lanes{m.q12, m.q22, m.p2[0], m.p2[2]};
    for (int k = 0; k < 4; ++k)
        d.byInput[k] = Lanes{m.g1[k], m.g2[k], m.h[k][0], m.h[k][2]};
    return d;
}

struct BiquadFilter::DecimatingChain {
    explicit DecimatingChain(const DecimationJob& job)
        : filter(*job.filter), step(job.filter->decimatingStep()), state{job.filter->s1_, job.filter->s2_, 0.0f, 0.0f},
          out(job.out), o(job.out), in(job.in)
    {
    }

    template <bool kBoth>
    [[gnu::always_inline]] void advance(unsigned i)
    {
        const DecimatingStep& d = step;
        const float* x = in + i;
        state = (d.byState1 * spread<0>(state) + d.byState2 * spread<1>(state)) +
                (((d.byInput[0] * x[0] + d.byInput[1] * x[1]) + d.byInput[2] * x[2]) + d.byInput[3] * x[3]);
        *o++ = state[2];
        if constexpr (kBoth)
            *o++ = state[3];
    }

    // The samples from `from` on one by one, then the state back into the filter.
    void finish(unsigned from, unsigned n, unsigned factor)
    {
        float s1 = state[0], s2 = state[1];
        for (unsigned j = from; j < n; ++j) {
            const float y = filter.ss_.step(s1, s2, in[j]);
            if (j % factor == 0)
                *o++ = y;
        }
        filter.keepFinite(s1, s2, out, unsigned(o - out));
    }

    BiquadFilter& filter;
    const DecimatingStep step;
    // (s1, s2, y0, y2) of the last step; each chain a local of its own, so that it stays in a register.
    Lanes state;
    float* const out;
    float* o;
    const float* const in;
};

// Inlined where the chains are locals, so that their states and pointers live in registers.
template <class... Chain>
[[gnu::always_inline]] inline void BiquadFilter::stateVariableDecimatedTogether(const DecimationJob& job,
                                                                              Chain&... chains)
{
    const unsigned n = job.n;
    unsigned i = 0;
    if (job.factor == 2)
        for (; i + 4 <= n; i += 4)
            (chains.template advance<true>(i), ...);
    else
        for (; i + 4 <= n; i += 4)
            (chains.template advance<false>(i), ...);
    (chains.finish(i, n, job.factor), ...);
}

void BiquadFilter::processStateVariableDecimated(float* out, const float* in, unsigned n, unsigned factor)
{
    const DecimationJob job{this, out, in, n, factor};
    DecimatingChain chain(job);
    stateVariableDecimatedTogether(job, chain);
}

void BiquadFilter::decimateTogether(const DecimationJob* jobs, unsigned count)
{
    // Runs of up to three consecutive jobs that can step together: more would not fit the vector
    // registers.
    constexpr unsigned kMaxTogether = 3;
    auto steps = [](const DecimationJob& j) { return j.filter->decimatesInSteps(j.factor); };
    unsigned a = 0;
    while (a < count) {
        const DecimationJob& first = jobs[a];
        if (!steps(first)) {
            first.filter->processDecimated(first.out, first.in, first.n, first.factor);
            ++a;
            continue;
        }
        unsigned size = 1;
        while (size < kMaxTogether && a + size < count && steps(jobs[a + size]) && jobs[a + size].n == first.n &&
               jobs[a + size].factor == first.factor)
            ++size;
        if (size == 3) {
            DecimatingChain x(jobs[a]), y(jobs[a + 1]), z(jobs[a + 2]);
            stateVariableDecimatedTogether(first, x, y, z);
        } else if (size == 2) {
            DecimatingChain x(jobs[a]), y(jobs[a + 1]);
            stateVariableDecimatedTogether(first, x, y);
        } else {
            DecimatingChain x(first);
            stateVariableDecimatedTogether(first, x);
        }
        a += size;
    }
}

void BiquadFilter::processDecimatedInChunks(float* out, const float* in, unsigned n, unsigned factor)
{
    constexpr unsigned kChunk = 64;
    float chunk[kChunk];
    float* o = out;
    for (unsigned done = 0; done < n; done += kChunk) {
        const unsigned count = n - done < kChunk ? n - done : kChunk;
        process(chunk, in + done, count);
        for (unsigned j = 0; j < count; ++j)
            if ((done + j) % factor == 0)
                *o++ = chunk[j];
    }
}

void BiquadFilter::setParam(float frequency, float q)
{
    setLpfParam(frequency, q);
}

void BiquadFilter::setBiquadParam(float b0, float b1, float b2, float a0, float a1, float a2)
{
    if (a0 == 0.0f || !std::isfinite(a0))
        return;
    if (mode_ != Mode::Direct) {
        mode_ = Mode::Direct;
        h_.reset();
    }
    c_.b0 = b0 / a0;
    c_.b1 = b1 / a0;
    c_.b2 = b2 / a0;
    c_.a1 = a1 / a0;
    c_.a2 = a2 / a0;
}

BiquadFilter::Design BiquadFilter::design(float frequency, float q)
{
    const float f = frequency > kMinFrequency ? frequency : kMinFrequency; // NaN too
    const float w = f > 1.0f ? kMaxOmega : f * 0.99f * kPi;
    const float r = q > 1.0f ? 1.0f : (q > 0.0f ? q : 0.0f);
    const float Q = 20.0f * r * r + 0.7f;
    const float alpha = std::sin(w) / (2.0f * Q);
    return {w, std::cos(w), alpha, 1.0f + alpha, Q};
}

void BiquadFilter::setDesign(Mode mode, const Design& d)
{
    if (mode_ == Mode::Direct) {
        s1_ = s2_ = 0.0f;
    }
    const float g = std::tan(d.w * 0.5f);
    const float k = 1.0f / d.Q;
    // Decimators and fixed designs set the same design every block.
    if (mode == mode_ && g == g_ && k == k_)
        return;
    mode_ = mode;
    g_ = g;
    k_ = k;
    updateStateSpace();
}

void BiquadFilter::rememberDesign(float frequency, float q)
{
    designFrequency_ = frequency;
    designQ_ = q;
}

void BiquadFilter::setLpfParam(float frequency, float q)
{
    if (holdsDesign(Mode::LowPass, frequency, q))
        return;
    const Design d = design(frequency, q);
    const float oneMinusCos = 1.0f - d.cosw;
    c_.b0 = oneMinusCos * 0.5f / d.a0;
    c_.b1 = oneMinusCos / d.a0;
    c_.b2 = c_.b0;
    c_.a1 = -2.0f * d.cosw / d.a0;
    c_.a2 = (1.0f - d.alpha) / d.a0;
    setDesign(Mode::LowPass, d);
    rememberDesign(frequency, q);
}

void BiquadFilter::setBpfParam(float frequency, float q)
{
    if (holdsDesign(Mode::BandPass, frequency, q))
        return;
    const Design d = design(frequency, q);
    c_.b0 = d.alpha / d.a0;
    c_.b1 = 0.0f;
    c_.b2 = -d.alpha / d.a0;
    c_.a1 = -2.0f * d.cosw / d.a0;
    c_.a2 = (1.0f - d.alpha) / d.a0;
    setDesign(Mode::BandPass, d);
    rememberDesign(frequency, q);
}

} // namespace Lumora::DSP::Filter
