#pragma once

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/filter/iFilter.h"

namespace Lumora::DSP::Filter {

// Second-order recursive filter with the audio-EQ cookbook low-pass and band-pass designs or free
// coefficients. A new filter passes its input unchanged (b0 = 1). Designs may change every block;
// the signal state carries over so a moving cutoff stays smooth. Allocates nothing.
//
// Free coefficients run through the vector layer's direct-form recursion. The two designs run as a
// trapezoidal state-variable filter instead: for a fixed design its response is exactly the
// cookbook's (both are the bilinear transform of one analog prototype, prewarped at the design
// frequency), but its state is that of the prototype's two integrators, so a cutoff that jumps between
// extremes at full resonance cannot pump energy into it. A direct form switched that way every block
// grows without bound.
class BiquadFilter : public iFilter {
public:
    BiquadFilter() = default;
    ~BiquadFilter() override = default;

    // Clears both histories, keeps the coefficients.
    void reset() override;
    // y[i] = b0 x[i] + b1 x[i-1] + b2 x[i-2] - a1 y[i-1] - a2 y[i-2]; out may be in.
    void process(float* out, const float* in, unsigned n) override;
    // process() followed by next.process(out, out, n), the same samples, in one pass where it can.
    void processThen(BiquadFilter& next, float* out, const float* in, unsigned n);
    // process() followed by out[i] *= gain, the same products, in one pass where it can.
    void processScaled(float* out, const float* in, unsigned n, float gain);
    // Filters n samples and keeps every factor-th output, from the first on: out receives
    // ceil(n / factor) samples, the same as process() followed by taking every factor-th sample, but
    // the outputs that would be dropped are not computed.
    void processDecimated(float* out, const float* in, unsigned n, unsigned factor);
    // The low-pass design.
    void setParam(float frequency, float q) override;

    // One filter's share of decimateTogether: processDecimated(out, in, n, factor) on filter.
    struct DecimationJob {
        BiquadFilter* filter;
        float* out;
        const float* in;
        unsigned n;
        unsigned factor;
    };
    // Runs each job's processDecimated, with the same result, but interleaves the jobs whose filters run
    // a design at the same length and factor: each filter's samples wait on its own previous four, a
    // chain of dependent products, so independent filters stepped side by side fill the time one alone
    // leaves idle. The jobs' buffers must not overlap each other's filters.
    static void decimateTogether(const DecimationJob* jobs, unsigned count);

    // Stores b0/a0, b1/a0, b2/a0, a1/a0, a2/a0 (a0 of 0 or not finite leaves the coefficients alone).
    void setBiquadParam(float b0, float b1, float b2, float a0, float a1, float a2);
    // Low pass at the normalized frequency (designed at 0.99 of it, so never at the Nyquist frequency),
    // resonance q in [0, 1] giving Q = 20 q^2 + 0.7.
    void setLpfParam(float frequency, float q);
    // Band pass with unit gain at the centre.
    void setBpfParam(float frequency, float q);

    // Whether a design may step through AVX2, its four outputs and next state from one product of
    // eight lanes (the same operations in the same order, so the same bits), where the processor
    // has it; on by default. Answers whether the wide step is now in use. For tests.
    static bool allowWideSteps(bool allowed);

    // The coefficients in force, divided by a0 (for a design, those of its cookbook direct form).
    const Platform::Vdsp::BiquadCoefficients& coefficients() const { return c_; }

private:
    enum class Mode { Direct, LowPass, BandPass };
    struct Design {
        float w, cosw, alpha, a0, Q;
    };
    // The state-variable form as a linear state-space system s' = A s + B x, y = C s + D x, and the same
    // system advanced four samples at a time: y[j] = P_j s + sum_m H_jm x_m, s'''' = A^4 s + sum_m G_m x_m.
    // One step of the loop then waits on a single matrix product per four samples instead of a chain of
    // dependent operations per sample, and the four outputs are independent lanes.
    struct StateSpace {
        float a11, a12, a21, a22, b1, b2, c1, c2, d;
        float p1[4], p2[4];
        float h[4][4]; // h[m][j]: weight of input m on output j
        float q11, q12, q21, q22;
        float g1[4], g2[4];

        // One sample: returns its output and moves the state past it.
        float step(float& s1, float& s2, float x) const;
    };
    // Four float lanes (a compiler vector type of GCC and Clang, SSE on x86-64, NEON on ARM).
    using Lanes = float __attribute__((vector_size(16)));
    // The four-sample step as lane products, arranged once per design: (byState1 s1 + byState2 s2) +
    // (((byInput[0] x0 + byInput[1] x1) + byInput[2] x2) + byInput[3] x3), summed in that order in
    // every lane, gives the four outputs P_j s + sum_m H_jm x_m (output_) or the next state in lanes 0
    // and 1 (next_).
    struct LaneStep {
        Lanes byState1, byState2;
        Lanes byInput[4];
    };
    static Design design(float frequency, float q);
    void setDesign(Mode mode, const Design& d);
    // Whether the design in force is mode's at exactly this frequency and q (NaN never is).
    bool holdsDesign(Mode mode, float frequency, float q) const
    {
        return mode_ == mode && frequency == designFrequency_ && q == designQ_;
    }
    void rememberDesign(float frequency, float q);
    void updateStateSpace();
    void processStateVariable(float* out, const float* in, unsigned n);
#if defined(__x86_64__) && defined(__GNUC__)
    // processStateVariable() through AVX2; kScaled: each output times gain before it is stored.
    template <bool kScaled>
    [[gnu::target("avx2")]] void processStateVariableWide(float* out, const float* in, unsigned n, float gain);
    // processThen() through AVX2: both filters step by four samples in one loop.
    [[gnu::target("avx2")]] void processStateVariableWideThen(BiquadFilter& next, float* out, const float* in,
                                                              unsigned n);
#endif
    // The decimating four-sample step: lanes (s1', s2', y0, y2) from one product, summed in the order of
    // processStateVariable().
    struct DecimatingStep {
        Lanes byState1, byState2;
        Lanes byInput[4];
    };
    DecimatingStep decimatingStep() const;
    // Whether processDecimated at this factor runs the interleavable four-sample step.
    bool decimatesInSteps(unsigned factor) const { return factor > 1 && mode_ != Mode::Direct && 4 % factor == 0; }
    // One job's filter as it steps: its step, state and place in its buffers (defined with the loop).
    struct DecimatingChain;
    // processStateVariableDecimated for each chain at once, all with the job's n and factor.
    template <class... Chain>
    static void stateVariableDecimatedTogether(const DecimationJob& job, Chain&... chains);
    void processStateVariableDecimated(float* out, const float* in, unsigned n, unsigned factor);
    void processDecimatedInChunks(float* out, const float* in, unsigned n, unsigned factor);
    // Stores the state; a state that is no longer finite is cleared, and so are the outputs written.
    // Answers whether it cleared them.
    bool keepFinite(float& s1, float& s2, float* out, unsigned written);

    Mode mode_ = Mode::Direct;
    Platform::Vdsp::BiquadCoefficients c_;
    Platform::Vdsp::BiquadHistory h_;
    // State-variable form: g = tan(w / 2), k = 1 / Q, and the two integrator states.
    float g_ = 0.0f;
    float k_ = 1.0f;
    // The inputs of the design in force: a voice sets its design every block, mostly unchanged, and
    // the design's sine, cosine and tangent are the costliest part of a short block.
    float designFrequency_ = 0.0f;
    float designQ_ = 0.0f;
    float s1_ = 0.0f;
    float s2_ = 0.0f;
    StateSpace ss_{};
    LaneStep output_{};
    LaneStep next_{};
#if defined(__x86_64__) && defined(__GNUC__)
    // The wide step's eight-lane factors, output_'s four lanes below next_'s, laid out once per
    // design: joined at every call they cost a short block more than its loop.
    struct WideStep {
        float byState1[8], byState2[8];
        float byInput[4][8];
    };
    WideStep wide_{};
    void updateWideStep();
#endif
};

} // namespace Lumora::DSP::Filter
