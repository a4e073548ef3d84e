// The engine's own sound keeps chorus, delay and reverb switched off: they rest while notes play,
// and one whose send opens wakes alone.
#include <gtest/gtest.h>

#include "EngineFixture.h"

using namespace EngineTest;

namespace {

enum : int { DelaySend = 11200 };

constexpr unsigned kBlock = 256;
constexpr uint64_t kSecond = 44100;

} // namespace

TEST(CorvaneEngineEffectRest, DefaultSoundPlaysWithEveryEffectRestingUntilASendOpens) {
    EngineRig rig(kBlock);
    const auto& instrument = rig.engine().instrument();
    const Stereo played = rig.render(kSecond / 2, kBlock, {noteOn(rig.now(), 60), noteOn(rig.now(), 67)});
    EXPECT_GT(rms(played.left), 1e-2);
    EXPECT_TRUE(instrument.chorus().resting());
    EXPECT_TRUE(instrument.delay().resting());
    EXPECT_TRUE(instrument.reverb().resting());
    // The dry mono mix on both sides: nothing was added to either.
    EXPECT_EQ(maxDifference(played.left, played.right), 0.0);

    rig.set(DelaySend, 0.6f);
    const Stereo echoed = rig.render(kSecond, kBlock);
    EXPECT_FALSE(instrument.delay().resting());
    EXPECT_TRUE(instrument.chorus().resting());
    EXPECT_TRUE(instrument.reverb().resting());
    // The echoes come back at different times on the two sides.
    EXPECT_GT(maxDifference(echoed.left, echoed.right), 1e-3);
    EXPECT_TRUE(allClean(echoed.left) && allClean(echoed.right));
}
