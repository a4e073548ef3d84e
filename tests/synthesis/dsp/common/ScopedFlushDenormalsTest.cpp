#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

using Lumora::DSP::ScopedFlushDenormals;

namespace {
// Kept out of reach of constant folding so that the multiplication happens at run time.
volatile float gSmallest = FLT_MIN;
volatile float gHalf = 0.5f;
} // namespace

TEST(ScopedFlushDenormals, FlushesInsideAndRestoresOutside)
{
    ASSERT_FALSE(ScopedFlushDenormals::isActive());
    EXPECT_EQ(std::fpclassify(gSmallest * gHalf), FP_SUBNORMAL);
    {
        ScopedFlushDenormals guard;
        EXPECT_TRUE(ScopedFlushDenormals::isActive());
        EXPECT_EQ(gSmallest * gHalf, 0.0f);
        {
            ScopedFlushDenormals nested;
            EXPECT_TRUE(ScopedFlushDenormals::isActive());
        }
        // The inner guard found the mode already on and leaves it on.
        EXPECT_TRUE(ScopedFlushDenormals::isActive());
    }
    EXPECT_FALSE(ScopedFlushDenormals::isActive());
    EXPECT_EQ(std::fpclassify(gSmallest * gHalf), FP_SUBNORMAL);
}
