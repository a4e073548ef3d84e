#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "engine/math/Shaper1bp.h"

using Lumora::Math::Shaper1bp;

TEST(Shaper1bp, FormulaOnBothSegmentsAndDegenerateBreakpoints) {
    Shaper1bp const identity;
    EXPECT_FLOAT_EQ(identity.formula(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(identity.formula(0.25f), 0.25f);
    EXPECT_FLOAT_EQ(identity.formula(1.0f), 1.0f);

    Shaper1bp const valley(1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(valley.formula(0.25f), 0.5f);
    EXPECT_FLOAT_EQ(valley.formula(0.75f), 0.5f);

    Shaper1bp const breakAtZero(0.0f, 0.0f, 0.5f, 1.0f);
    EXPECT_FLOAT_EQ(breakAtZero.formula(0.0f), 0.5f);
    EXPECT_FLOAT_EQ(breakAtZero.formula(1.0f), 1.0f);

    Shaper1bp const breakAtOne(0.0f, 1.0f, 0.5f, 0.2f);
    EXPECT_FLOAT_EQ(breakAtOne.formula(0.5f), 0.25f);
    EXPECT_FLOAT_EQ(breakAtOne.formula(1.0f), 0.5f);
    for (float x = 0.0f; x <= 1.0f; x += 0.125f) {
        EXPECT_TRUE(std::isfinite(breakAtZero.formula(x)));
        EXPECT_TRUE(std::isfinite(breakAtOne.formula(x)));
    }
}

TEST(Shaper1bp, ValuesAreClampedAndNaNBecomesOne) {
    Shaper1bp curve(-1.0f, 2.0f, std::nanf(""), 0.5f);
    EXPECT_EQ(curve.yL(), 0.0f);
    EXPECT_EQ(curve.xC(), 1.0f);
    EXPECT_EQ(curve.yC(), 1.0f);
    EXPECT_EQ(curve.yR(), 0.5f);
    curve.setYL(3.0f);
    curve.setYR(-0.5f);
    EXPECT_EQ(curve.yL(), 1.0f);
    EXPECT_EQ(curve.yR(), 0.0f);
    EXPECT_EQ(curve.min(), 0.0f);
    EXPECT_EQ(curve.max(), 1.0f);
    Shaper1bp copy;
    copy.set(curve);
    EXPECT_TRUE(copy == curve);
}

TEST(Shaper1bp, MinMaxInRange) {
    struct Case {
        Shaper1bp curve;
        float a, b;
        float lo, hi;
    };
    Case const cases[] = {
        {{1.0f, 0.5f, 0.0f, 1.0f}, 0.25f, 0.75f, 0.0f, 0.5f},    // valley spanned
        {{0.0f, 0.5f, 1.0f, 0.0f}, 0.75f, 0.25f, 0.5f, 1.0f},    // peak spanned, reversed ends
        {{0.0f, 0.5f, 1.0f, 0.0f}, 0.1f, 0.9f, 0.2f, 1.0f},      // peak, unequal sides
        {{0.0f, 0.5f, 1.0f, 0.0f}, 0.1f, 0.3f, 0.2f, 0.6f},      // left of the peak
        {{0.0f, 0.5f, 1.0f, 0.0f}, 0.6f, 0.8f, 0.4f, 0.8f},      // right of the peak
        {{0.0f, 0.5f, 0.5f, 1.0f}, 0.2f, 0.6f, 0.2f, 0.6f},      // rising
        {{1.0f, 0.5f, 0.5f, 0.0f}, 0.2f, 0.6f, 0.4f, 0.8f},      // falling
        {{0.3f, 0.2f, 0.3f, 0.3f}, 0.0f, 1.0f, 0.3f, 0.3f},      // flat
        {{0.0f, 0.5f, 0.5f, 1.0f}, 0.4f, 0.4f, 0.4f, 0.4f},      // a single point
    };
    for (auto const& c : cases) {
        auto const [lo, hi] = c.curve.minmaxInRange(c.a, c.b);
        EXPECT_NEAR(lo, c.lo, 1e-6) << c.a << ".." << c.b;
        EXPECT_NEAR(hi, c.hi, 1e-6) << c.a << ".." << c.b;
    }
}
