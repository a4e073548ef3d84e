// Once their buffers are reserved for the largest block, the effects allocate nothing while
// they render, at any block size up to it and in every mode.
#include <vector>

#include <gtest/gtest.h>

#include "common/CountingAllocator.h"
#include "synthesis/voice/effects/Chorus.h"
#include "synthesis/voice/effects/Delay.h"
#include "synthesis/voice/effects/Reverb.h"
#include "EffectFixture.h"

namespace {

using namespace EffectTest;
using namespace Lumora::Corvane::Module;

TEST(EffectAllocation, RenderingAllocatesNothingOnceReserved)
{
    counting = true;
    auto* probe = new std::vector<int>(8);
    counting = false;
    delete probe;
    ASSERT_GE(allocations.exchange(0), 1);

    for (unsigned maxFrames : {512u, 8192u}) {
        Table table;
        auto& params = table.params;
        set(params.chorus.wet, 0.5f);
        set(params.delay.send, 0.8f);
        set(params.delay.filter.wet, 0.7f);
        set(params.delay.filter.drive, 0.6f);
        set(params.reverb.send, 0.8f);
        TestClock clock;
        Chorus chorus;
        Delay delay;
        Reverb reverb;
        chorus.reserve(maxFrames, kRate);
        delay.reserve(maxFrames, kRate);
        reverb.reserve(maxFrames, kRate);
        std::vector<float> in = noise(maxFrames, 0.5f), left(maxFrames), right(maxFrames);

        counting = true;
        for (int type : {0, 1}) {
            setChoice(params.reverb.type, type);
            for (unsigned frames : {64u, 128u, 512u, maxFrames}) {
                chorus.process(left.data(), right.data(), in.data(), frames, kRate, clock, params.chorus, 2,
                               AudioQuality::Normal);
                delay.process(left.data(), right.data(), left.data(), right.data(), frames, kRate, clock,
                              params.delay, 2, AudioQuality::Normal);
                reverb.process(left.data(), right.data(), left.data(), right.data(), frames, kRate, clock,
                               params.reverb, 2, AudioQuality::Normal);
                clock.advance(frames);
            }
        }
        counting = false;
        EXPECT_EQ(allocations.exchange(0), 0) << "largest block " << maxFrames;
    }
}

} // namespace
