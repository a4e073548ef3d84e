// An idle engine rests its effect chain once every tail has ended, without changing the sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "EngineFixture.h"
#include "HeavySound.h"

using namespace EngineTest;

namespace {

enum : int { ChorusWet = 11100, DelaySend = 11200, ReverbSend = 11400 };

constexpr unsigned kBlock = 512;
constexpr uint64_t kSecond = 44100;

void switchEffectsOn(EngineRig& rig, bool chorus = true) {
    rig.set(ChorusWet, chorus ? 0.5f : 0.0f);
    rig.set(DelaySend, 0.6f);
    rig.set(ReverbSend, 0.6f);
}

const Lumora::Corvane::Instrument& instrument(EngineRig& rig) { return rig.engine().instrument(); }

// Renders silence in one-second pieces until the chain rests (at most a minute).
void renderUntilResting(EngineRig& rig) {
    for (int s = 0; s < 60 && !instrument(rig).effectChainResting(); ++s) {
        rig.render(kSecond, kBlock);
    }
}

bool allZero(const std::vector<float>& x) {
    return std::all_of(x.begin(), x.end(), [](float s) { return s == 0.0f; });
}

} // namespace

TEST(CorvaneEngineIdle, RestsAfterTailsEndAndOutputsExactZeros) {
    EngineRig rig(kBlock);
    switchEffectsOn(rig);
    const Stereo played = rig.render(kSecond, kBlock, {noteOn(rig.now(), 60), noteOff(rig.now() + kSecond / 4, 60)});
    EXPECT_GT(rms(played.left), 1e-3);
    // Tails are still sounding right after the note: the chain keeps running.
    EXPECT_FALSE(instrument(rig).effectChainResting());
    EXPECT_EQ(instrument(rig).skippedEffectBlocks(), 0u);

    renderUntilResting(rig);
    ASSERT_TRUE(instrument(rig).effectChainResting());
    const auto skippedBefore = instrument(rig).skippedEffectBlocks();
    const Stereo idle = rig.render(2 * kSecond, kBlock);
    EXPECT_TRUE(allZero(idle.left) && allZero(idle.right));
    EXPECT_EQ(instrument(rig).skippedEffectBlocks() - skippedBefore, 2 * kSecond / kBlock + 1);
}

TEST(CorvaneEngineIdle, EchoesStillOnTheirWayAreNotCut) {
    // A block of silence between a note and its first echo must not end the chain's work.
    EngineRig rig(kBlock);
    rig.set(DelaySend, 1.0f);
    rig.render(kSecond / 10, kBlock, {noteOn(rig.now(), 72), noteOff(rig.now() + kBlock, 72)});
    rig.render(kSecond, kBlock);
    EXPECT_FALSE(instrument(rig).effectChainResting());
    EXPECT_EQ(instrument(rig).skippedEffectBlocks(), 0u);
}

// Both engines have been silent for the same time when the note comes, so the clock and every
// LFO agree; one of them played a note long before. The chorus LFO keeps its phase as a float
// stepped from block to block, so two histories of steps leave it a few millionths of a cycle
// apart: with the chorus on, the outputs differ by that rounding only.
TEST(CorvaneEngineIdle, NoteAfterRestRendersAsInAFreshEngine) {
    struct Case {
        bool chorus;
        double tolerance;
    };
    for (const Case c : {Case{false, 1e-6}, Case{true, 2e-3}}) {
        SCOPED_TRACE(c.chorus ? "chorus on" : "chorus off");
        EngineRig played(kBlock);
        switchEffectsOn(played, c.chorus);
        played.render(kSecond / 2, kBlock, {noteOn(played.now(), 64), noteOff(played.now() + kSecond / 8, 64)});
        renderUntilResting(played);
        ASSERT_TRUE(instrument(played).effectChainResting());
        const uint64_t silence = played.now();

        EngineRig fresh(kBlock);
        switchEffectsOn(fresh, c.chorus);
        fresh.render(silence - fresh.now(), kBlock);
        ASSERT_EQ(fresh.now(), played.now());

        const std::vector<Event> note = {noteOn(silence, 60), noteOff(silence + kSecond / 4, 60)};
        Lumora::DSP::sharedGenerator.store(Lumora::DSP::XorAddGenerator());
        const Stereo a = played.render(kSecond, kBlock, note);
        Lumora::DSP::sharedGenerator.store(Lumora::DSP::XorAddGenerator());
        const Stereo b = fresh.render(kSecond, kBlock, note);
        EXPECT_GT(rms(a.left), 1e-2);
        EXPECT_LT(maxDifference(a.left, b.left), c.tolerance);
        EXPECT_LT(maxDifference(a.right, b.right), c.tolerance);
        EXPECT_TRUE(allClean(a.left) && allClean(a.right));
    }
}

// A chain that has heard nothing since start rests from its first block, yet moves every setting
// as a running chain would: a first note, whenever it comes and whatever was changed in the
// silence before it, renders bit for bit what a chain that ran all along renders.
TEST(CorvaneEngineIdle, ChainRestsFromTheStartAndAFirstNoteSoundsAsIfItHadRun) {
    enum : int { ReverbPredelay = 11401, ReverbTime = 11402, ReverbType = 11405, DelayTimeL = 11201, NoiseLevel = 10303 };
    struct Case {
        bool heavy;
        int reverbType;
        unsigned block;
        uint64_t silence;     // frames after start before the note
        bool changeInSilence; // reverb, delay and chorus settings moved half-way through the silence
    };
    const Case cases[] = {
        {true, 1, 64, 64, false},       {true, 1, 256, kSecond / 3, true}, {true, 1, 32, kSecond / 10, false},
        {false, 0, 32, kSecond / 2, true}, {false, 1, 512, 2 * kSecond, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.heavy ? "heavy" : "default") << " sound, reverb type " << c.reverbType
                                        << ", blocks of " << c.block << ", note at " << c.silence
                                        << (c.changeInSilence ? ", settings changed in the silence" : ""));
        Stereo outputs[2];
        for (const bool restAllowed : {true, false}) {
            // Voices draw their starting states from the shared generator as they are made.
            Lumora::DSP::sharedGenerator.store(Lumora::DSP::XorAddGenerator());
            EngineRig rig(1024);
            rig.engine().instrument().allowEffectChainRest(restAllowed);
            if (c.heavy) {
                makeHeavySound(rig.engine());
                // Two heavy rigs of one process do not draw the same noise, rest or not; the
                // comparison is about the effect chain.
                rig.set(NoiseLevel, 0.0f);
            } else {
                switchEffectsOn(rig);
            }
            rig.setConcrete(ReverbType, static_cast<float>(c.reverbType));
            const Stereo before = rig.render(c.silence / 2, c.block);
            if (c.changeInSilence) {
                rig.set(ReverbTime, 0.8f);
                rig.set(ReverbPredelay, 0.05f);
                rig.set(DelayTimeL, 1.0f);
                rig.set(DelaySend, 0.9f);
                rig.set(ChorusWet, 0.2f);
            }
            const Stereo after = rig.render(c.silence - c.silence / 2, c.block);
            if (restAllowed) {
                EXPECT_TRUE(instrument(rig).effectChainResting());
                EXPECT_TRUE(allZero(before.left) && allZero(before.right) && allZero(after.left) &&
                            allZero(after.right));
            }
            outputs[restAllowed ? 0 : 1] = rig.render(
                kSecond, c.block, {noteOn(rig.now(), 60), noteOn(rig.now(), 67), noteOff(rig.now() + kSecond / 4, 60)});
            EXPECT_FALSE(instrument(rig).effectChainResting());
        }
        EXPECT_GT(rms(outputs[0].left), 1e-2);
        EXPECT_EQ(maxDifference(outputs[0].left, outputs[1].left), 0.0);
        EXPECT_EQ(maxDifference(outputs[0].right, outputs[1].right), 0.0);
    }
}
