#include "platform/vdsp/Vdsp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace Vdsp = Platform::Vdsp;

namespace {

const std::vector<size_t> kSizes{0, 1, 3, 7, 64, 513};

// Deterministic, varied test data, away from zero so that division stays finite.
std::vector<float> signal(size_t n, uint32_t seed)
{
    std::vector<float> v(n);
    uint32_t s = seed * 2654435761u + 1u;
    for (auto& x : v) {
        s = s * 1664525u + 1013904223u;
        const float r = static_cast<float>(s >> 8) / static_cast<float>(1u << 24); // [0, 1)
        x = (r - 0.5f) * 8.0f;
        x += x < 0.0f ? -0.25f : 0.25f;
    }
    return v;
}

// Exact equality: the loops and the references are the same IEEE operations in the same order
// (the build forbids contraction into fused multiply-add), so vectorising must not change a bit.
void expectSame(const std::vector<float>& expected, const std::vector<float>& actual, const std::string& what)
{
    ASSERT_EQ(expected.size(), actual.size()) << what;
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(expected[i], actual[i]) << what << " at " << i;
}

// Operations of the form dst = f(a, b), dst = f(a) and dst = f(a, b, c) against per-sample references.
struct BinaryCase {
    const char* name;
    std::function<void(const float*, const float*, float*, size_t)> run;
    std::function<float(float, float)> reference;
};

struct UnaryCase {
    const char* name;
    std::function<void(const float*, float*, size_t)> run;
    std::function<float(float)> reference;
};

struct TernaryCase {
    const char* name;
    std::function<void(const float*, const float*, const float*, float*, size_t)> run;
    std::function<float(float, float, float)> reference;
};

const std::vector<BinaryCase> kBinaryCases{
    {"add", Vdsp::add, [](float a, float b) { return a + b; }},
    {"subtract", Vdsp::subtract, [](float a, float b) { return a - b; }},
    {"multiply", Vdsp::multiply, [](float a, float b) { return a * b; }},
    {"divide", Vdsp::divide, [](float a, float b) { return a / b; }},
};

const std::vector<UnaryCase> kUnaryCases{
    {"scale", [](const float* a, float* d, size_t n) { Vdsp::scale(a, -0.3f, d, n); },
     [](float a) { return a * -0.3f; }},
    {"scaleTwice", [](const float* a, float* d, size_t n) { Vdsp::scaleTwice(a, 0.8f, 0.3f, d, n); },
     [](float a) {
         float x = a * 0.8f;
         return x * 0.3f;
     }},
    {"scaleThrice", [](const float* a, float* d, size_t n) { Vdsp::scaleThrice(a, 0.8f, 0.3f, 1.1f, d, n); },
     [](float a) {
         float x = a * 0.8f;
         x = x * 0.3f;
         return x * 1.1f;
     }},
    {"scaleTwiceWide", [](const float* a, float* d, size_t n) { Vdsp::scaleTwiceWide(a, 0.8f, 0.3f, d, n); },
     [](float a) {
         float x = a * 0.8f;
         return x * 0.3f;
     }},
    {"scaleThriceWide",
     [](const float* a, float* d, size_t n) { Vdsp::scaleThriceWide(a, 0.8f, 0.3f, 1.1f, d, n); },
     [](float a) {
         float x = a * 0.8f;
         x = x * 0.3f;
         return x * 1.1f;
     }},
    {"addScalar", [](const float* a, float* d, size_t n) { Vdsp::addScalar(a, 1.7f, d, n); },
     [](float a) { return a + 1.7f; }},
    {"square", Vdsp::square, [](float a) { return a * a; }},
    {"clip", [](const float* a, float* d, size_t n) { Vdsp::clip(a, -1.5f, 2.0f, d, n); },
     [](float a) { return a < -1.5f ? -1.5f : (a > 2.0f ? 2.0f : a); }},
};

const std::vector<TernaryCase> kTernaryCases{
    {"scaleAdd", [](const float* a, const float* b, const float*, float* d, size_t n) { Vdsp::scaleAdd(a, 0.7f, b, d, n); },
     [](float a, float b, float) { return a * 0.7f + b; }},
    {"multiplyAdd", Vdsp::multiplyAdd, [](float a, float b, float c) { return a * b + c; }},
};

} // namespace

TEST(VdspArithmetic, BinaryOperationsMatchReferenceInAndOutOfPlace)
{
    for (const auto& op : kBinaryCases) {
        for (size_t n : kSizes) {
            const std::string what = std::string(op.name) + " n=" + std::to_string(n);
            const auto a = signal(n, 1), b = signal(n, 2);
            std::vector<float> expected(n);
            for (size_t i = 0; i < n; ++i)
                expected[i] = op.reference(a[i], b[i]);

            std::vector<float> out(n, 99.0f);
            op.run(a.data(), b.data(), out.data(), n);
            expectSame(expected, out, what + " out of place");

            auto intoA = a;
            op.run(intoA.data(), b.data(), intoA.data(), n);
            expectSame(expected, intoA, what + " in place on a");

            auto intoB = b;
            op.run(a.data(), intoB.data(), intoB.data(), n);
            expectSame(expected, intoB, what + " in place on b");
        }
    }
}

// An output that starts a few samples after an input reads, at each sample, what the one-by-one
// loop has already written there: the sums then run through one another like a recursion.
TEST(VdspArithmetic, AddIntoAShiftedInputMatchesTheOneByOneLoop)
{
    const size_t n = 37;
    for (const bool shiftA : {true, false}) {
        for (size_t shift = 1; shift <= 9; ++shift) {
            auto got = signal(n + shift, 1);
            auto want = got;
            const auto other = signal(n, 2);
            for (size_t i = 0; i < n; ++i)
                want[shift + i] = shiftA ? want[i] + other[i] : other[i] + want[i];
            if (shiftA)
                Vdsp::add(got.data(), other.data(), got.data() + shift, n);
            else
                Vdsp::add(other.data(), got.data(), got.data() + shift, n);
            expectSame(want, got, (shiftA ? "after a by " : "after b by ") + std::to_string(shift));
        }
    }
}

TEST(VdspArithmetic, UnaryOperationsMatchReferenceInAndOutOfPlace)
{
    for (const auto& op : kUnaryCases) {
        for (size_t n : kSizes) {
            const std::string what = std::string(op.name) + " n=" + std::to_string(n);
            const auto a = signal(n, 3);
            std::vector<float> expected(n);
            for (size_t i = 0; i < n; ++i)
                expected[i] = op.reference(a[i]);

            std::vector<float> out(n, 99.0f);
            op.run(a.data(), out.data(), n);
            expectSame(expected, out, what + " out of place");

            auto inPlace = a;
            op.run(inPlace.data(), inPlace.data(), n);
            expectSame(expected, inPlace, what + " in place");
        }
    }
}

// The chained scales stand for separate scale passes: each product rounds (and overflows or
// underflows) on its own, where a single product by the folded factor would not.
TEST(VdspArithmetic, ChainedScalesEqualSeparatePassesAtTheEdges)
{
    const float big = std::numeric_limits<float>::max();
    const float tiny = std::numeric_limits<float>::denorm_min();
    const float inf = std::numeric_limits<float>::infinity();
    const std::vector<float> a{big, -big, tiny, 3.0f * tiny, -0.0f, 0.0f, inf, -inf, 1.0f / 3.0f, 0.1f};
    const struct {
        float first, second, third;
    } factors[] = {{2.0f, 0.5f, 1.0f}, {0.5f, 2.0f, 3.0f}, {0.8f, 0.3f, 1.1f}, {0.0f, inf, 1.0f}, {-1.0f, 0.0f, 2.0f}};
    for (const auto& f : factors) {
        std::vector<float> twice(a.size()), thrice(a.size()), twiceWide(a.size()), thriceWide(a.size());
        Vdsp::scaleTwice(a.data(), f.first, f.second, twice.data(), a.size());
        Vdsp::scaleThrice(a.data(), f.first, f.second, f.third, thrice.data(), a.size());
        Vdsp::scaleTwiceWide(a.data(), f.first, f.second, twiceWide.data(), a.size());
        Vdsp::scaleThriceWide(a.data(), f.first, f.second, f.third, thriceWide.data(), a.size());
        auto separate = a;
        Vdsp::scale(separate.data(), f.first, separate.data(), separate.size());
        Vdsp::scale(separate.data(), f.second, separate.data(), separate.size());
        for (size_t i = 0; i < a.size(); ++i) {
            // Bit patterns, so that a NaN, the sign of a zero and a flushed denormal all count.
            EXPECT_EQ(std::bit_cast<uint32_t>(separate[i]), std::bit_cast<uint32_t>(twice[i])) << i;
            EXPECT_EQ(std::bit_cast<uint32_t>(separate[i]), std::bit_cast<uint32_t>(twiceWide[i])) << i;
        }
        Vdsp::scale(separate.data(), f.third, separate.data(), separate.size());
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(std::bit_cast<uint32_t>(separate[i]), std::bit_cast<uint32_t>(thrice[i])) << i;
            EXPECT_EQ(std::bit_cast<uint32_t>(separate[i]), std::bit_cast<uint32_t>(thriceWide[i])) << i;
        }
    }
}

TEST(VdspArithmetic, ThreeInputOperationsMatchReferenceInPlaceOnEveryInput)
{
    for (const auto& op : kTernaryCases) {
        for (size_t n : kSizes) {
            const std::string what = std::string(op.name) + " n=" + std::to_string(n);
            const auto a = signal(n, 4), b = signal(n, 5), c = signal(n, 6);
            std::vector<float> expected(n);
            for (size_t i = 0; i < n; ++i)
                expected[i] = op.reference(a[i], b[i], c[i]);

            std::vector<float> out(n, 99.0f);
            op.run(a.data(), b.data(), c.data(), out.data(), n);
            expectSame(expected, out, what + " out of place");

            for (int which = 0; which < 3; ++which) {
                auto a2 = a, b2 = b, c2 = c;
                float* dst = which == 0 ? a2.data() : which == 1 ? b2.data() : c2.data();
                op.run(a2.data(), b2.data(), c2.data(), dst, n);
                expectSame(expected, which == 0 ? a2 : which == 1 ? b2 : c2,
                           what + " in place on input " + std::to_string(which));
            }
        }
    }
}

TEST(VdspArithmetic, ZeroLengthCallsTouchNothing)
{
    // Null pointers prove that nothing is dereferenced (the sanitizers also reject a memmove from null).
    Vdsp::fill(1.0f, nullptr, 0);
    Vdsp::clear(nullptr, 0);
    Vdsp::copy(nullptr, nullptr, 0);
    Vdsp::copyStrided(nullptr, 1, nullptr, -1, 0);
    for (const auto& op : kBinaryCases)
        op.run(nullptr, nullptr, nullptr, 0);
    for (const auto& op : kUnaryCases)
        op.run(nullptr, nullptr, 0);
    for (const auto& op : kTernaryCases)
        op.run(nullptr, nullptr, nullptr, nullptr, 0);
    Vdsp::ramp(0.0f, 1.0f, nullptr, 0);
    Vdsp::rampInclusive(0.0f, 1.0f, nullptr, 0);
    Vdsp::rampExclusive(0.0f, 1.0f, nullptr, 0);
    EXPECT_EQ(0.5f, Vdsp::rampMultiply(nullptr, 0.5f, 0.1f, nullptr, 0));
    EXPECT_EQ(0.5f, Vdsp::rampMultiplyAdd(nullptr, 0.5f, 0.1f, nullptr, 0));
    Vdsp::tableLookup(nullptr, 1.0f, 0.0f, nullptr, 0, nullptr, 0);
    EXPECT_EQ(0.0f, Vdsp::sum(nullptr, 0));
    EXPECT_EQ(0.0f, Vdsp::maxMagnitude(nullptr, 0));
    Vdsp::BiquadHistory h{1.0f, 2.0f, 3.0f, 4.0f};
    Vdsp::biquad(Vdsp::BiquadCoefficients{0.5f, 0.1f, 0.1f, 0.2f, 0.1f}, h, nullptr, nullptr, 0);
    EXPECT_EQ(1.0f, h.x1);
    EXPECT_EQ(2.0f, h.x2);
    EXPECT_EQ(3.0f, h.y1);
    EXPECT_EQ(4.0f, h.y2);
}

TEST(VdspMemory, FillAndClearWriteExactlyNSamples)
{
    for (size_t n : kSizes) {
        std::vector<float> buffer(n + 1, 7.0f);
        Vdsp::fill(-2.5f, buffer.data(), n);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(-2.5f, buffer[i]);
        EXPECT_EQ(7.0f, buffer[n]);
        Vdsp::clear(buffer.data(), n);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(0.0f, buffer[i]);
        EXPECT_EQ(7.0f, buffer[n]);
    }
}

TEST(VdspMemory, CopyHandlesOverlapInBothDirections)
{
    const size_t n = 513;
    const auto original = signal(n + 5, 7);

    std::vector<float> plain(n);
    Vdsp::copy(original.data(), plain.data(), n);
    expectSame(std::vector<float>(original.begin(), original.begin() + n), plain, "plain copy");

    // Shift right by 5 within one buffer: a forward loop would smear the first samples.
    auto right = original;
    Vdsp::copy(right.data(), right.data() + 5, n);
    for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(original[i], right[i + 5]) << i;

    auto left = original;
    Vdsp::copy(left.data() + 5, left.data(), n);
    for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(original[i + 5], left[i]) << i;

    auto same = original;
    Vdsp::copy(same.data(), same.data(), n);
    expectSame(original, same, "copy onto itself");
}

TEST(VdspMemory, CopyStridedGathersScattersAndReverses)
{
    const std::vector<float> interleaved{0, 10, 1, 11, 2, 12, 3, 13};
    std::vector<float> right(4);
    Vdsp::copyStrided(interleaved.data() + 1, 2, right.data(), 1, 4);
    EXPECT_EQ((std::vector<float>{10, 11, 12, 13}), right);

    std::vector<float> out(8, 0.0f);
    Vdsp::copyStrided(right.data(), 1, out.data(), 2, 4);
    EXPECT_EQ((std::vector<float>{10, 0, 11, 0, 12, 0, 13, 0}), out);

    // A negative stride walks backwards from the pointer given.
    std::vector<float> reversed(4);
    Vdsp::copyStrided(right.data() + 3, -1, reversed.data(), 1, 4);
    EXPECT_EQ((std::vector<float>{13, 12, 11, 10}), reversed);
}

TEST(VdspReduction, SumAndMaxMagnitude)
{
    for (size_t n : kSizes) {
        const auto a = signal(n, 8);
        float total = 0.0f, largest = 0.0f;
        for (float x : a) {
            total += x;
            largest = std::max(largest, std::fabs(x));
        }
        EXPECT_FLOAT_EQ(total, Vdsp::sum(a.data(), n)) << n;
        EXPECT_EQ(largest, Vdsp::maxMagnitude(a.data(), n)) << n;
    }
    const std::vector<float> negativePeak{0.5f, -3.0f, 2.0f};
    EXPECT_EQ(3.0f, Vdsp::maxMagnitude(negativePeak.data(), negativePeak.size()));
}

TEST(VdspRamp, EverySampleIsStartPlusIndexTimesStepOverLongBlocks)
{
    // Accumulating the step would drift by many ulps over this length; indexing must not.
    const size_t n = 100000;
    const float start = 0.1f, step = 1.0e-5f;
    std::vector<float> out(n);
    Vdsp::ramp(start, step, out.data(), n);
    for (size_t i = 0; i < n; ++i)
        ASSERT_EQ(start + static_cast<float>(i) * step, out[i]) << i;
}

TEST(VdspRamp, InclusiveAndExclusiveEnds)
{
    struct Case {
        size_t n;
        float start, end;
    };
    for (const Case& c : {Case{1, 2.0f, 5.0f}, Case{2, 2.0f, 5.0f}, Case{5, 0.0f, 1.0f}, Case{513, 1.0f, -3.0f},
                          Case{4097, 0.25f, 0.75f}}) {
        std::vector<float> inclusive(c.n), exclusive(c.n);
        Vdsp::rampInclusive(c.start, c.end, inclusive.data(), c.n);
        Vdsp::rampExclusive(c.start, c.end, exclusive.data(), c.n);
        const float inclusiveStep = c.n > 1 ? (c.end - c.start) / static_cast<float>(c.n - 1) : 0.0f;
        const float exclusiveStep = (c.end - c.start) / static_cast<float>(c.n);
        for (size_t i = 0; i < c.n; ++i) {
            ASSERT_EQ(c.start + static_cast<float>(i) * inclusiveStep, inclusive[i]) << c.n << " " << i;
            ASSERT_EQ(c.start + static_cast<float>(i) * exclusiveStep, exclusive[i]) << c.n << " " << i;
            ASSERT_TRUE(std::isfinite(inclusive[i]));
        }
        EXPECT_EQ(c.start, inclusive.front());
        if (c.n > 1) {
            EXPECT_NEAR(c.end, inclusive.back(), 1e-5f * std::fabs(c.end - c.start)) << c.n;
        }
        // The exclusive ramp's next sample, one beyond the block, would be the end.
        EXPECT_NEAR(c.end, exclusive.back() + exclusiveStep, 1e-5f * std::fabs(c.end - c.start)) << c.n;
    }
}

TEST(VdspRamp, RampMultiplyAndAddMatchReferenceAndReturnNextGain)
{
    const float start = 0.8f, step = -0.0015f;
    for (size_t n : kSizes) {
        const std::string what = "n=" + std::to_string(n);
        const auto src = signal(n, 9), base = signal(n, 10);
        std::vector<float> product(n), accumulated(n);
        for (size_t i = 0; i < n; ++i) {
            const float g = start + static_cast<float>(i) * step;
            product[i] = src[i] * g;
            accumulated[i] = base[i] + src[i] * g;
        }
        const float next = start + static_cast<float>(n) * step;

        std::vector<float> out(n);
        EXPECT_EQ(next, Vdsp::rampMultiply(src.data(), start, step, out.data(), n)) << what;
        expectSame(product, out, what + " rampMultiply");

        auto inPlace = src;
        Vdsp::rampMultiply(inPlace.data(), start, step, inPlace.data(), n);
        expectSame(product, inPlace, what + " rampMultiply in place");

        auto sumInto = base;
        EXPECT_EQ(next, Vdsp::rampMultiplyAdd(src.data(), start, step, sumInto.data(), n)) << what;
        expectSame(accumulated, sumInto, what + " rampMultiplyAdd");

        // Source and destination one buffer: dst[i] += dst[i] * gain.
        auto selfAdd = src;
        Vdsp::rampMultiplyAdd(selfAdd.data(), start, step, selfAdd.data(), n);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(src[i] + src[i] * (start + static_cast<float>(i) * step), selfAdd[i]) << what << " " << i;
    }
}

TEST(VdspTableLookup, EdgePositions)
{
    // An exactly sized table: the sanitizer reports any read past the last entry.
    const std::vector<float> table{0.0f, 10.0f, 20.0f, 40.0f};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    struct Case {
        float position, expected;
    };
    const std::vector<Case> cases{
        {0.0f, 0.0f},    {0.25f, 2.5f},  {1.0f, 10.0f},   {1.5f, 15.0f}, {2.75f, 35.0f},
        {3.0f, 40.0f},   {3.5f, 40.0f},  {100.0f, 40.0f}, {inf, 40.0f},  {-1.0f, 0.0f},
        {-0.5f, 0.0f},   {-0.99f, 0.0f}, {-inf, 0.0f},    {nan, 0.0f},
    };
    // Eight rounds of the cases, so that each is read in every lane of an eight-wide step; then the
    // cases alone, which leaves a tail after the wide steps.
    for (size_t rounds : {size_t{8}, size_t{1}}) {
        for (bool wide : {true, false}) {
            Vdsp::allowWideTableLookup(wide);
            std::vector<float> positions, out(rounds * cases.size(), 99.0f);
            for (size_t r = 0; r < rounds; ++r)
                for (const auto& c : cases)
                    positions.push_back(c.position);
            Vdsp::tableLookup(positions.data(), 1.0f, 0.0f, table.data(), table.size(), out.data(), out.size());
            for (size_t i = 0; i < out.size(); ++i)
                EXPECT_EQ(cases[i % cases.size()].expected, out[i])
                    << "position " << cases[i % cases.size()].position << " at " << i << (wide ? " wide" : "");
        }
    }
    Vdsp::allowWideTableLookup(true);

    // Scale and offset apply before the clamp: (x + 1) * 1.5 maps -1..1 onto 0..3.
    const std::vector<float> x{-2.0f, -1.0f, 0.0f, 1.0f / 3.0f, 1.0f, 2.0f};
    std::vector<float> mapped(x.size());
    Vdsp::tableLookup(x.data(), 1.5f, 1.5f, table.data(), table.size(), mapped.data(), mapped.size());
    EXPECT_EQ((std::vector<float>{0.0f, 0.0f, 15.0f, 20.0f, 40.0f, 40.0f}), mapped);
}

TEST(VdspTableLookup, SingleEntryAndEmptyTables)
{
    const std::vector<float> one{3.0f};
    const std::vector<float> positions{-1.0f, 0.0f, 0.5f, 7.0f};
    std::vector<float> out(positions.size());
    Vdsp::tableLookup(positions.data(), 1.0f, 0.0f, one.data(), one.size(), out.data(), out.size());
    EXPECT_EQ((std::vector<float>{3.0f, 3.0f, 3.0f, 3.0f}), out);

    // Enough positions for the wide steps, on one entry and on two (where the last pair is the table).
    const std::vector<float> many{-1.0f, 0.0f, 0.5f, 7.0f, 1.0f, 0.25f, 0.75f, 2.0f, 0.5f};
    const std::vector<float> two{2.0f, 6.0f};
    for (bool wide : {true, false}) {
        Vdsp::allowWideTableLookup(wide);
        std::vector<float> fromOne(many.size()), fromTwo(many.size());
        Vdsp::tableLookup(many.data(), 1.0f, 0.0f, one.data(), one.size(), fromOne.data(), many.size());
        Vdsp::tableLookup(many.data(), 1.0f, 0.0f, two.data(), two.size(), fromTwo.data(), many.size());
        EXPECT_EQ(std::vector<float>(many.size(), 3.0f), fromOne) << (wide ? "wide" : "");
        EXPECT_EQ((std::vector<float>{2.0f, 2.0f, 4.0f, 6.0f, 6.0f, 3.0f, 5.0f, 6.0f, 4.0f}), fromTwo)
            << (wide ? "wide" : "");
    }
    Vdsp::allowWideTableLookup(true);

    // No table to read: silence rather than a read through a null pointer.
    Vdsp::tableLookup(positions.data(), 1.0f, 0.0f, nullptr, 0, out.data(), out.size());
    EXPECT_EQ((std::vector<float>{0.0f, 0.0f, 0.0f, 0.0f}), out);
}

TEST(VdspTableLookup, MatchesReferenceOverBlocksInAndOutOfPlace)
{
    const size_t tableSize = 257;
    std::vector<float> table(tableSize);
    for (size_t i = 0; i < tableSize; ++i)
        table[i] = std::sin(static_cast<float>(i) * 0.05f);
    const float scale = 40.0f, offset = 128.0f; // inputs of about +-4.25 reach past both ends
    for (size_t n : kSizes) {
        const auto positions = signal(n, 11);
        std::vector<float> expected(n);
        for (size_t i = 0; i < n; ++i) {
            float p = positions[i] * scale + offset;
            p = std::min(std::max(p, 0.0f), static_cast<float>(tableSize - 1));
            const float k = std::floor(p);
            const auto index = static_cast<size_t>(k);
            expected[i] = index + 1 < tableSize ? table[index] + (p - k) * (table[index + 1] - table[index])
                                                : table[index];
        }
        for (bool wide : {true, false}) {
            Vdsp::allowWideTableLookup(wide);
            const std::string how = std::string(wide ? " wide" : "") + " n=" + std::to_string(n);
            std::vector<float> out(n);
            Vdsp::tableLookup(positions.data(), scale, offset, table.data(), tableSize, out.data(), n);
            expectSame(expected, out, "out of place" + how);

            auto inPlace = positions;
            Vdsp::tableLookup(inPlace.data(), scale, offset, table.data(), tableSize, inPlace.data(), n);
            expectSame(expected, inPlace, "in place" + how);
        }
        Vdsp::allowWideTableLookup(true);
    }
}

// The looked-up samples added to another signal in one pass give tableLookup into a buffer and
// then add, bit for bit: wide and narrow, a table of one entry, and the output on either input.
TEST(VdspTableLookup, LookupAddedEqualsLookupThenAdd)
{
    const float scale = 40.0f, offset = 128.0f;
    for (const size_t tableSize : {size_t{257}, size_t{1}}) {
        std::vector<float> table(tableSize);
        for (size_t i = 0; i < tableSize; ++i)
            table[i] = std::sin(static_cast<float>(i) * 0.05f) + 0.5f;
        for (size_t n : kSizes) {
            const auto positions = signal(n, 11), addTo = signal(n, 12);
            for (bool wide : {true, false}) {
                Vdsp::allowWideTableLookup(wide);
                const std::string how = std::string(wide ? " wide" : "") + " table " + std::to_string(tableSize) +
                                        " n=" + std::to_string(n);
                std::vector<float> looked(n), expected(n);
                Vdsp::tableLookup(positions.data(), scale, offset, table.data(), tableSize, looked.data(), n);
                Vdsp::add(addTo.data(), looked.data(), expected.data(), n);

                std::vector<float> out(n, 99.0f);
                Vdsp::tableLookupAdd(positions.data(), scale, offset, table.data(), tableSize, addTo.data(),
                                     out.data(), n);
                expectSame(expected, out, "out of place" + how);

                auto onAddend = addTo;
                Vdsp::tableLookupAdd(positions.data(), scale, offset, table.data(), tableSize, onAddend.data(),
                                     onAddend.data(), n);
                expectSame(expected, onAddend, "onto the addend" + how);

                auto onPositions = positions;
                Vdsp::tableLookupAdd(onPositions.data(), scale, offset, table.data(), tableSize, addTo.data(),
                                     onPositions.data(), n);
                expectSame(expected, onPositions, "onto the positions" + how);
            }
            Vdsp::allowWideTableLookup(true);
        }
    }
}

namespace {

std::vector<float> referenceBiquad(const Vdsp::BiquadCoefficients& c, const std::vector<float>& x)
{
    std::vector<float> y(x.size());
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        y[i] = c.b0 * x[i] + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
        x2 = x1;
        x1 = x[i];
        y2 = y1;
        y1 = y[i];
    }
    return y;
}

// A resonant low-pass near a quarter of the sample rate (a0 normalised to 1).
const Vdsp::BiquadCoefficients kResonant{0.2066f, 0.4131f, 0.2066f, -0.3695f, 0.1958f};

} // namespace

TEST(VdspBiquad, TwoBlocksCarryHistoryAndMatchOneLongRun)
{
    for (size_t first : kSizes) {
        for (size_t second : {size_t{1}, size_t{64}, size_t{513}}) {
            const std::string what = "blocks " + std::to_string(first) + "+" + std::to_string(second);
            const auto x = signal(first + second, 12);
            const auto expected = referenceBiquad(kResonant, x);

            std::vector<float> y(x.size());
            Vdsp::BiquadHistory h;
            Vdsp::biquad(kResonant, h, x.data(), y.data(), first);
            Vdsp::biquad(kResonant, h, x.data() + first, y.data() + first, second);
            expectSame(expected, y, what + " out of place");

            auto inPlace = x;
            Vdsp::BiquadHistory h2;
            Vdsp::biquad(kResonant, h2, inPlace.data(), inPlace.data(), first);
            Vdsp::biquad(kResonant, h2, inPlace.data() + first, inPlace.data() + first, second);
            expectSame(expected, inPlace, what + " in place");

            const size_t n = x.size();
            EXPECT_EQ(x[n - 1], h.x1) << what;
            EXPECT_EQ(n >= 2 ? x[n - 2] : 0.0f, h.x2) << what;
            EXPECT_EQ(expected[n - 1], h.y1) << what;
            EXPECT_EQ(n >= 2 ? expected[n - 2] : 0.0f, h.y2) << what;
        }
    }
}

TEST(VdspBiquad, OnePoleImpulseResponseDecaysGeometricallyAcrossBlocks)
{
    // y[i] = (1 - p) x[i] + p y[i-1]: the impulse response is (1 - p) p^i.
    const float p = 0.9f;
    const Vdsp::BiquadCoefficients onePole{1.0f - p, 0.0f, 0.0f, -p, 0.0f};
    std::vector<float> x(200, 0.0f), y(200);
    x[0] = 1.0f;
    Vdsp::BiquadHistory h;
    Vdsp::biquad(onePole, h, x.data(), y.data(), 7);
    Vdsp::biquad(onePole, h, x.data() + 7, y.data() + 7, 193);
    double gainSum = 0.0;
    for (size_t i = 0; i < y.size(); ++i) {
        const double expected = (1.0 - p) * std::pow(static_cast<double>(p), static_cast<double>(i));
        ASSERT_NEAR(expected, y[i], 1e-6) << i;
        gainSum += y[i];
    }
    EXPECT_NEAR(1.0, gainSum, 1e-4); // unity gain at DC
}

TEST(VdspBiquad, FeedForwardDelaysAcrossTheBlockBoundaryAndDefaultPassesThrough)
{
    // b2 = 1 alone delays the input by two samples; the delay line must survive the block split.
    const Vdsp::BiquadCoefficients delayTwo{0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    const std::vector<float> x{1, 2, 3, 4, 5, 6};
    std::vector<float> y(x.size());
    Vdsp::BiquadHistory h;
    Vdsp::biquad(delayTwo, h, x.data(), y.data(), 1);
    Vdsp::biquad(delayTwo, h, x.data() + 1, y.data() + 1, 5);
    EXPECT_EQ((std::vector<float>{0, 0, 1, 2, 3, 4}), y);

    // Reset forgets the history.
    h.reset();
    std::vector<float> afterReset(2);
    Vdsp::biquad(delayTwo, h, x.data(), afterReset.data(), 2);
    EXPECT_EQ((std::vector<float>{0, 0}), afterReset);

    const auto a = signal(65, 13);
    std::vector<float> passed(a.size());
    Vdsp::BiquadHistory fresh;
    Vdsp::biquad(Vdsp::BiquadCoefficients{}, fresh, a.data(), passed.data(), a.size());
    expectSame(a, passed, "default coefficients");
}
