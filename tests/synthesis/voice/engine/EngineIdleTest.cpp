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
    // Every full call skips the chain once; a shorter one (the last of each second) may be
    // gathered and rendered with the next call, in one skipped block with the calls before it.
    const auto skipped = instrument(rig).skippedEffectBlocks() - skippedBefore;
    EXPECT_GE(skipped, 2 * kSecond / kBlock);
    EXPECT_LE(skipped, 2 * kSecond / kBlock + 2);
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

// Once everything has ended, an engine called with short blocks renders them gathered into spans of
// 256 frames of the running sample count. It sleeps as an engine called with such spans would, bit
// for bit, and a note that then comes in the middle of a gathered span starts on its own frame with
// the sound of that engine (both render the note in short calls).
TEST(CorvaneEngineIdle, ShortBlocksWhileAsleepRenderAsSpansAndANoteStartsOnItsFrame) {
    constexpr unsigned kSpan = Lumora::Corvane::Instrument::kSleepSpan;
    constexpr unsigned kShort = 32;
    struct Run {
        Stereo idle;
        Stereo note;
        uint64_t noteAt = 0;
        uint64_t framesBehind = 0; // frames handed to the engine that its clock has not counted
    };
    const auto run = [](unsigned idleBlock) {
        EngineRig rig(1024);
        switchEffectsOn(rig);
        rig.render(kSecond / 2, kBlock, {noteOn(rig.now(), 64), noteOff(rig.now() + kSecond / 8, 64)});
        renderUntilResting(rig);
        EXPECT_TRUE(instrument(rig).effectChainResting());
        // On a span boundary, so that the spans of both engines start together.
        rig.render((kSpan - rig.now() % kSpan) % kSpan, kBlock);
        Run r;
        r.idle = rig.render(172 * kSpan, idleBlock);
        rig.render(2 * kShort, kShort);
        // A message starts its note with the call that brings it: the second call from here, 96
        // frames into a span (the 96 frames before it are rendered first).
        r.noteAt = rig.now() + kShort;
        Lumora::DSP::sharedGenerator.store(Lumora::DSP::XorAddGenerator());
        r.note = rig.render(kSecond / 4, kShort, {noteOn(r.noteAt, 60), noteOff(r.noteAt + kSecond / 8, 60)});
        // The rig's first call of 64 frames is not in its count.
        r.framesBehind = rig.now() + 64 - rig.engine().clock().sampleTime();
        return r;
    };
    const Run gathered = run(kShort);
    const Run spans = run(kSpan);
    EXPECT_TRUE(allZero(gathered.idle.left) && allZero(gathered.idle.right));
    ASSERT_EQ(gathered.noteAt, spans.noteAt);
    EXPECT_EQ(gathered.framesBehind, 0u);
    EXPECT_EQ(gathered.note.left, spans.note.left);
    EXPECT_EQ(gathered.note.right, spans.note.right);
    // Silence up to the note's frame, sound right after it.
    const size_t onset = kShort;
    EXPECT_TRUE(std::all_of(gathered.note.left.begin(), gathered.note.left.begin() + onset,
                            [](float s) { return s == 0.0f; }));
    EXPECT_GT(peak(gathered.note.left, onset, onset + 64), 1e-4);
    EXPECT_TRUE(allClean(gathered.note.left) && allClean(gathered.note.right));
}

// A note played on the screen reaches a sleeping engine at short blocks with the next call.
TEST(CorvaneEngineIdle, ScreenNoteWakesAnEngineAsleepAtShortBlocks) {
    constexpr unsigned kShort = 32;
    EngineRig rig(kShort);
    rig.render((1u << 18) + kSecond / 10, kShort);
    ASSERT_TRUE(instrument(rig).effectChainResting());
    rig.engine().sendMidi(Lumora::MidiMessage(0x90, 60, 100));
    const Stereo next = rig.render(kShort, kShort);
    EXPECT_GT(peak(next.left), 1e-4);
}

// While short calls are gathered, whatever another thread does to end the sleep ends the gathering
// with the next call, as it did when every call asked the whole engine: the frames gathered render
// and the call renders in full, so the clock has counted every frame handed over.
TEST(CorvaneEngineIdle, WhatEndsTheSleepBetweenGatheredCallsRendersTheNextCallAtOnce) {
    enum : int { KeyboardHold = 2001, Arpeggiator = 3000 };
    constexpr unsigned kShort = 32;
    struct Case {
        const char* name;
        void (*interrupt)(EngineRig&);
        void (*undo)(EngineRig&);
    };
    const Case cases[] = {
        {"keyboard hold on", [](EngineRig& r) { r.set(KeyboardHold, 1.0f); }, [](EngineRig& r) { r.set(KeyboardHold, 0.0f); }},
        {"arpeggiator on", [](EngineRig& r) { r.set(Arpeggiator, 1.0f); }, [](EngineRig& r) { r.set(Arpeggiator, 0.0f); }},
        {"sound load holding the voices", [](EngineRig& r) { r.engine().instrument().voiceFade().hold(); },
         [](EngineRig& r) { r.engine().instrument().voiceFade().release(); }},
        {"reset", [](EngineRig& r) { r.engine().reset(); }, [](EngineRig&) {}},
        {"render resources released", [](EngineRig& r) { r.engine().deallocateRenderResources(); },
         [](EngineRig& r) { r.engine().allocateRenderResources(EngineRig::kRate); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EngineRig rig(kShort);
        // The rig's first call is not in its count.
        const uint64_t first = rig.engine().clock().sampleTime();
        const auto behind = [&rig, first] { return rig.now() + first - rig.engine().clock().sampleTime(); };
        rig.render((1u << 18) + kSecond / 10, kShort);
        ASSERT_TRUE(instrument(rig).effectChainResting());
        // Into a span: the last calls wait in the gathering.
        while (behind() == 0) {
            rig.render(kShort, kShort);
        }
        c.interrupt(rig);
        rig.render(kShort, kShort);
        EXPECT_EQ(behind(), 0u);
        c.undo(rig);
    }
}
