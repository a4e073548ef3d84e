#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <future>
#include <thread>

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

// The mode belongs to a thread: a guard held by one thread neither sets nor spares another's.
// The other thread starts before the guard (a new thread inherits the creator's mode).
TEST(ScopedFlushDenormals, EachThreadHoldsItsOwnMode)
{
    std::promise<void> guardTaken;
    bool activeBefore = true;
    bool activeInside = false;
    bool activeAfter = true;
    std::thread other([&, taken = guardTaken.get_future()] {
        taken.wait();
        activeBefore = ScopedFlushDenormals::isActive();
        {
            ScopedFlushDenormals own;
            activeInside = ScopedFlushDenormals::isActive();
        }
        activeAfter = ScopedFlushDenormals::isActive();
    });
    {
        ScopedFlushDenormals guard;
        guardTaken.set_value();
        other.join();
        EXPECT_TRUE(ScopedFlushDenormals::isActive());
    }
    EXPECT_FALSE(activeBefore);
    EXPECT_TRUE(activeInside);
    EXPECT_FALSE(activeAfter);
}
