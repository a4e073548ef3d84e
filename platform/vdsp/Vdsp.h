#pragma once

#include <cstddef>

// Vector arithmetic on blocks of single-precision samples. Plain loops that the compiler
// vectorises; every operation allows the output to be one of its inputs (in place).
// Element counts are in samples; strides are in elements and may be negative.
namespace Platform::Vdsp {

// dst[i] = value
void fill(float value, float* dst, size_t n);
// dst[i] = 0
void clear(float* dst, size_t n);
// dst[i] = src[i] (src and dst may overlap)
void copy(const float* src, float* dst, size_t n);
// dst[i * dstStride] = src[i * srcStride]
void copyStrided(const float* src, ptrdiff_t srcStride, float* dst, ptrdiff_t dstStride, size_t n);

// dst[i] = a[i] + b[i]
void add(const float* a, const float* b, float* dst, size_t n);
// dst[i] = a[i] - b[i]
void subtract(const float* a, const float* b, float* dst, size_t n);
// dst[i] = a[i] * b[i]
void multiply(const float* a, const float* b, float* dst, size_t n);
// dst[i] = a[i] / b[i]
void divide(const float* a, const float* b, float* dst, size_t n);
// dst[i] = a[i] * scalar
void scale(const float* a, float scalar, float* dst, size_t n);
// dst[i] = (a[i] * first) * second: two scale passes in one, rounding after each product
void scaleTwice(const float* a, float first, float second, float* dst, size_t n);
// dst[i] = ((a[i] * first) * second) * third
void scaleThrice(const float* a, float first, float second, float third, float* dst, size_t n);
// scaleTwice and scaleThrice eight samples at a time where the processor has AVX2: the same bits,
// in fewer instructions for blocks of a few dozen samples and more.
void scaleTwiceWide(const float* a, float first, float second, float* dst, size_t n);
void scaleThriceWide(const float* a, float first, float second, float third, float* dst, size_t n);
// dst[i] = a[i] + scalar
void addScalar(const float* a, float scalar, float* dst, size_t n);
// dst[i] = a[i] * scalar + b[i]
void scaleAdd(const float* a, float scalar, const float* b, float* dst, size_t n);
// dst[i] = a[i] * b[i] + c[i]
void multiplyAdd(const float* a, const float* b, const float* c, float* dst, size_t n);
// dst[i] = a[i] * a[i]
void square(const float* a, float* dst, size_t n);

// dst[i] = start + i * step
void ramp(float start, float step, float* dst, size_t n);
// From start to end, both included: dst[i] = start + i * (end - start) / (n - 1); one sample is start.
void rampInclusive(float start, float end, float* dst, size_t n);
// From start towards end, end excluded: dst[i] = start + i * (end - start) / n.
void rampExclusive(float start, float end, float* dst, size_t n);
// dst[i] = src[i] * (start + i * step); returns the gain the next sample would get, start + n * step.
float rampMultiply(const float* src, float start, float step, float* dst, size_t n);
// dst[i] += src[i] * (start + i * step); returns start + n * step.
float rampMultiplyAdd(const float* src, float start, float step, float* dst, size_t n);

// Linear interpolation in a table: position p = positions[i] * scale + offset is clamped to
// [0, tableSize - 1] (NaN reads entry 0), then dst[i] = table[k] + f * (table[k + 1] - table[k])
// with k = floor(p) and f = p - k.
void tableLookup(const float* positions, float scale, float offset, const float* table, size_t tableSize,
                 float* dst, size_t n);
// dst[i] = addTo[i] + the tableLookup sample of positions[i]: the same sums as tableLookup into a
// buffer followed by add(addTo, buffer, dst), in one pass. dst may be addTo or positions.
void tableLookupAdd(const float* positions, float scale, float offset, const float* table, size_t tableSize,
                    const float* addTo, float* dst, size_t n);
// Whether tableLookup may take eight samples at a time through AVX2 gathers (the same operations in
// the same order, so the same bits), where the processor has them; on by default. Answers whether
// the wide reads are now in use. For tests.
bool allowWideTableLookup(bool allowed);
// Whether this processor runs AVX2, asked once per process: the wide paths choose by it.
bool processorHasAvx2();

// dst[i] = min(max(a[i], low), high)
void clip(const float* a, float low, float high, float* dst, size_t n);

// Sum of a block.
float sum(const float* a, size_t n);
// Largest absolute value of a block (0 for an empty one).
float maxMagnitude(const float* a, size_t n);

// Second-order recursive filter in direct form I:
// y[i] = b0 x[i] + b1 x[i-1] + b2 x[i-2] - a1 y[i-1] - a2 y[i-2].
// The two input and two output history samples carry over from one block to the next.
struct BiquadCoefficients {
    float b0 = 1.0f, b1 = 0.0f, b2 = 0.0f, a1 = 0.0f, a2 = 0.0f;
};
struct BiquadHistory {
    float x1 = 0.0f, x2 = 0.0f, y1 = 0.0f, y2 = 0.0f;
    void reset() { *this = BiquadHistory{}; }
};
void biquad(const BiquadCoefficients& c, BiquadHistory& h, const float* x, float* y, size_t n);

} // namespace Platform::Vdsp
