#include <gtest/gtest.h>

#include <vector>

#include "engine/voice/VoiceAllocator.h"
#include "engine/voice/iVoice.h"
#include "engine/support/TestVoice.h"

namespace Lumora {
namespace {

using Testing::TestInstrument;
using Testing::TestSetup;
using Testing::TestVoice;

// An allocator driven directly, with a DC voice of level 1 and a release long enough that
// released voices keep sounding unless a test says otherwise.
struct Rig {
    explicit Rig(unsigned capacity = 24, unsigned polyphony = 8, unsigned releaseFrames = 1u << 20)
        : instrument(TestSetup{.capacity = capacity, .releaseFrames = releaseFrames}),
          allocator(nullptr, &instrument, capacity) {
        allocator.setMaxPolyphony(polyphony);
        allocator.createVoices();
    }

    void on(int note, int velocity = 100) { allocator.noteOn(&instrument, note, velocity, 0); }
    void off(int note) { allocator.noteOff(&instrument, note, 0, 0); }
    void pedal(bool down) { allocator.holdPedal(&instrument, down); }
    void block(unsigned frames = 64) {
        allocator.process(&instrument, {}, frames, TestInstrument::kSampleRate, clock, {});
    }
    const std::vector<float>& sum() const { return allocator.sumBuffers()[0]; }

    static std::vector<int> notes(const VoicePool& pool) {
        std::vector<int> result;
        for (size_t i = 0; i < pool.size(); ++i) {
            result.push_back(pool.at(i)->note());
        }
        return result;
    }
    static TestVoice& voice(const iVoice* v) { return TestInstrument::voice(v); }

    TestInstrument instrument;
    VoiceAllocator allocator;
    Clock clock;
};

TEST(VoiceAllocator, CreatesTwiceTheCapacityAllFree) {
    Rig rig(24, 8);
    EXPECT_EQ(rig.allocator.voiceCount(), 48u);
    EXPECT_EQ(rig.allocator.freeVoices().size(), 48u);
    EXPECT_EQ(rig.allocator.lastNote(), 64);
    EXPECT_EQ(rig.allocator.lastVelocity(), 64);

    Rig empty(0, 0);
    EXPECT_EQ(empty.allocator.voiceCount(), 1u) << "at least one voice even for no capacity";
}

// Each channel of the sum adds the voices one after another in the order they rendered (held,
// then released): sines of different pitches make the order show in the last bits, for odd and
// even numbers of voices.
TEST(VoiceAllocator, SumsTheRenderedVoicesInTheOrderTheyRendered) {
    for (int count = 1; count <= 5; ++count) {
        TestInstrument instrument(TestSetup{.voiceOutputs = 2, .shape = TestVoice::Shape::Sine});
        VoiceAllocator allocator(nullptr, &instrument, 24);
        allocator.setMaxPolyphony(8);
        allocator.createVoices();
        for (int k = 0; k < count; ++k) {
            allocator.noteOn(&instrument, 60 + 7 * k, 100, 0);
        }
        Clock clock;
        for (bool released : {false, true}) {
            if (released) {
                allocator.noteOff(&instrument, 60, 0, 0);
            }
            allocator.process(&instrument, {}, 37, TestInstrument::kSampleRate, clock, {});
            std::vector<const iVoice*> order;
            for (const VoicePool* pool : {&allocator.activeVoices(), &allocator.releasedVoices()}) {
                for (size_t i = 0; i < pool->size(); ++i) {
                    order.push_back(pool->at(i));
                }
            }
            ASSERT_EQ(order.size(), static_cast<size_t>(count));
            for (unsigned c = 0; c < 2; ++c) {
                std::vector<float> expected(order[0]->channel(c).begin(), order[0]->channel(c).begin() + 37);
                for (size_t v = 1; v < order.size(); ++v) {
                    for (unsigned i = 0; i < 37; ++i) {
                        expected[i] = expected[i] + order[v]->channel(c)[i];
                    }
                }
                const std::vector<float>& sum = allocator.sumBuffers()[c];
                for (unsigned i = 0; i < 37; ++i) {
                    ASSERT_EQ(sum[i], expected[i]) << count << " voices, channel " << c << ", sample " << i
                                                   << (released ? ", one released" : "");
                }
            }
        }
    }
}

TEST(VoiceAllocator, NinthNoteFadesTheOldestOverOneBlock) {
    Rig rig(24, 8);
    for (int n = 60; n < 68; ++n) {
        rig.on(n);
    }
    rig.block();
    ASSERT_EQ(rig.allocator.freeVoices().size(), 40u);
    const iVoice* oldest = rig.allocator.activeVoices().front();

    rig.on(68);
    EXPECT_EQ(Rig::notes(rig.allocator.activeVoices()), (std::vector<int>{61, 62, 63, 64, 65, 66, 67, 68}));
    ASSERT_EQ(rig.allocator.fadingVoices().size(), 1u);
    EXPECT_EQ(rig.allocator.fadingVoices().front(), oldest);
    EXPECT_EQ(rig.allocator.freeVoices().size(), 39u);

    // Eight steady voices plus the stolen one falling from 1 to 1/64 across the block.
    rig.block(64);
    EXPECT_FLOAT_EQ(rig.sum()[0], 9.0f);
    EXPECT_FLOAT_EQ(rig.sum()[32], 8.5f);
    EXPECT_FLOAT_EQ(rig.sum()[63], 8.0f + 1.0f / 64.0f);
    EXPECT_EQ(rig.allocator.freeVoices().size(), 40u);
    EXPECT_EQ(oldest->note(), -1);
    EXPECT_EQ(Rig::voice(oldest).kills, 1);

    rig.block(64);
    EXPECT_FLOAT_EQ(rig.sum()[0], 8.0f);
    EXPECT_FLOAT_EQ(rig.sum()[63], 8.0f);
    EXPECT_EQ(rig.allocator.freeVoices().size(), 40u);
    EXPECT_EQ(rig.allocator.numOfSoundingVoices(), 8u);
}

TEST(VoiceAllocator, ReleasedVoicesAreStolenBeforeHeldOnes) {
    Rig rig(24, 8);
    for (int n = 60; n < 68; ++n) {
        rig.on(n);
    }
    rig.off(62);
    rig.off(61);
    EXPECT_EQ(Rig::notes(rig.allocator.releasedVoices()), (std::vector<int>{62, 61}));

    rig.on(70);
    rig.on(71);
    EXPECT_EQ(Rig::notes(rig.allocator.fadingVoices()), (std::vector<int>{62, 61}))
        << "released voices go first, oldest release first";
    rig.on(72);
    EXPECT_EQ(Rig::notes(rig.allocator.fadingVoices()), (std::vector<int>{62, 61, 60}));
    EXPECT_EQ(Rig::notes(rig.allocator.activeVoices()), (std::vector<int>{63, 64, 65, 66, 67, 70, 71, 72}));
}

TEST(VoiceAllocator, WithoutFreeVoicesTheOldestIsReusedAtOnce) {
    Rig rig(2, 2); // four voices
    rig.on(60);
    rig.on(61);
    rig.on(62); // 60 fades
    rig.on(63); // 61 fades, nothing left free
    ASSERT_TRUE(rig.allocator.freeVoices().empty());
    iVoice* reused = rig.allocator.activeVoices().front();
    ASSERT_EQ(reused->note(), 62);

    rig.on(64);
    EXPECT_EQ(Rig::notes(rig.allocator.activeVoices()), (std::vector<int>{63, 64}));
    EXPECT_EQ(rig.allocator.activeVoices().at(1), reused) << "killed and reused without a fade";
    EXPECT_EQ(Rig::voice(reused).kills, 1);
    EXPECT_EQ(rig.allocator.fadingVoices().size(), 2u);

    // Below the limit with nothing free, a fading voice is taken over.
    rig.allocator.setMonoMode(VoiceAllocator::MonoMode::Mono);
    rig.on(65); // the mono voice keeps 63's voice; 64's voice fades as well
    rig.allocator.setMonoMode(VoiceAllocator::MonoMode::Poly);
    ASSERT_EQ(rig.allocator.fadingVoices().size(), 3u);
    const iVoice* firstFading = rig.allocator.fadingVoices().front();
    rig.on(66);
    EXPECT_EQ(rig.allocator.activeVoices().at(1), firstFading);
    EXPECT_EQ(rig.allocator.fadingVoices().size(), 2u);

    rig.block();
    EXPECT_EQ(rig.allocator.freeVoices().size(), 2u);
    EXPECT_EQ(rig.allocator.activeVoices().size(), 2u);
}

TEST(VoiceAllocator, SameNoteTwiceSoundsTwiceAndOneNoteOffReleasesBoth) {
    Rig rig;
    rig.on(60);
    rig.on(60);
    EXPECT_EQ(rig.allocator.activeVoices().size(), 2u);
    rig.block();
    EXPECT_FLOAT_EQ(rig.sum()[10], 2.0f);
    rig.off(60);
    EXPECT_TRUE(rig.allocator.activeVoices().empty());
    EXPECT_EQ(Rig::notes(rig.allocator.releasedVoices()), (std::vector<int>{60, 60}));
}

TEST(VoiceAllocator, PedalHoldsReleasedKeys) {
    Rig rig(24, 8, 32);
    rig.pedal(true);
    rig.on(60);
    rig.off(60);
    iVoice* first = rig.allocator.activeVoices().front();
    EXPECT_EQ(rig.allocator.activeVoices().size(), 1u) << "held by the pedal";
    EXPECT_TRUE(first->isReleasePending());
    EXPECT_EQ(Rig::voice(first).noteOffs, 0);

    rig.on(60); // the same key again while the pedal holds it
    EXPECT_EQ(rig.allocator.activeVoices().size(), 2u);

    rig.block();
    rig.pedal(false);
    EXPECT_EQ(Rig::voice(first).noteOffs, 1);
    EXPECT_EQ(first->state(), iVoice::StateNoteOff);
    EXPECT_EQ(rig.allocator.activeVoices().size(), 2u) << "let go by the pedal, still in the active pool";

    // The first voice's 32-frame release ends inside the block, so it is freed after it.
    rig.block(64);
    EXPECT_EQ(rig.allocator.activeVoices().size(), 1u);
    EXPECT_EQ(rig.allocator.activeVoices().front()->note(), 60);
    EXPECT_EQ(first->note(), -1);
}

TEST(VoiceAllocator, VoiceReusedAfterAKillIsHeldByThePedalToo) {
    Rig rig(2, 2);
    rig.pedal(true);
    rig.on(60);
    rig.on(61);
    rig.on(62); // 60's voice fades and is freed by the block
    rig.block();
    rig.on(63);
    rig.on(64); // takes the voice that was killed
    iVoice* voice = rig.allocator.activeVoices().at(1);
    ASSERT_EQ(voice->note(), 64);
    ASSERT_EQ(Rig::voice(voice).kills, 1);

    rig.off(64);
    EXPECT_EQ(Rig::voice(voice).noteOffs, 0);
    EXPECT_EQ(rig.allocator.activeVoices().size(), 2u);
    rig.pedal(false);
    EXPECT_EQ(Rig::voice(voice).noteOffs, 1);
}

TEST(VoiceAllocator, PolyphonyChangedWhileNotesSound) {
    Rig rig(24, 8);
    for (int n = 60; n < 68; ++n) {
        rig.on(n);
    }
    rig.block();

    // Lowering the limit cuts nothing; each new note then steals one voice, the oldest.
    rig.allocator.setMaxPolyphony(4);
    rig.block();
    EXPECT_EQ(rig.allocator.activeVoices().size(), 8u);
    rig.on(70);
    EXPECT_EQ(Rig::notes(rig.allocator.fadingVoices()), (std::vector<int>{60}));
    EXPECT_EQ(rig.allocator.activeVoices().size(), 8u);
    rig.block();

    // Raising it lets new notes sound without stealing.
    rig.allocator.setMaxPolyphony(12);
    rig.on(71);
    rig.on(72);
    EXPECT_TRUE(rig.allocator.fadingVoices().empty());
    EXPECT_EQ(rig.allocator.activeVoices().size(), 10u);
}

TEST(VoiceAllocator, ZeroPolyphonyPlaysNothingWhileNothingSounds) {
    Rig rig(24, 0);
    rig.on(60);
    EXPECT_TRUE(rig.allocator.activeVoices().empty());
    EXPECT_EQ(rig.allocator.lastNote(), 60) << "recorded even when no voice plays";
    EXPECT_TRUE(rig.allocator.heldKeys().contains(60));
}

TEST(VoiceAllocator, NothingSoundingGivesSilentSums) {
    Rig rig(24, 8, 16);
    rig.on(60);
    rig.block(64);
    ASSERT_FLOAT_EQ(rig.sum()[5], 1.0f);
    rig.off(60);
    rig.block(64); // the release ends in this block
    rig.block(128);
    ASSERT_GE(rig.sum().size(), 128u);
    for (unsigned i = 0; i < 128; ++i) {
        ASSERT_EQ(rig.sum()[i], 0.0f) << i;
    }
    EXPECT_EQ(rig.allocator.freeVoices().size(), 48u);
}

TEST(VoiceAllocator, AllNoteOffReleasesEveryHeldVoiceAndForgetsTheKeys) {
    Rig rig;
    rig.pedal(true);
    rig.on(60);
    rig.on(64);
    rig.allocator.allNoteOff(&rig.instrument);
    EXPECT_TRUE(rig.allocator.activeVoices().empty());
    EXPECT_EQ(Rig::notes(rig.allocator.releasedVoices()), (std::vector<int>{60, 64}));
    EXPECT_TRUE(rig.allocator.heldKeys().empty());
    EXPECT_EQ(rig.allocator.lastNote(), 64);
    for (size_t i = 0; i < rig.allocator.releasedVoices().size(); ++i) {
        EXPECT_FALSE(rig.allocator.releasedVoices().at(i)->isPedalDown());
    }
}

TEST(VoiceAllocator, KillAllVoicesFreesEverything) {
    Rig rig(2, 2);
    rig.on(60);
    rig.on(61);
    rig.off(60);
    rig.on(62);
    rig.allocator.killAllVoices();
    EXPECT_EQ(rig.allocator.freeVoices().size(), 4u);
    EXPECT_EQ(rig.allocator.numOfSoundingVoices(), 0u);
    for (const auto& voice : rig.allocator.allVoices()) {
        EXPECT_EQ(voice->note(), -1);
        EXPECT_EQ(voice->state(), iVoice::StateOff);
    }
}

// ---- mono modes ----

struct MonoRig : Rig {
    // The voices ask their instrument for the mode, so the rig sets it on both.
    explicit MonoRig(VoiceAllocator::MonoMode mode) : Rig(24, 8) {
        allocator.setMonoMode(mode);
        instrument.setMonoMode(mode);
    }
    TestVoice& monoVoice() { return voice(allocator.activeVoices().front()); }
};

TEST(VoiceAllocatorMono, ReleasingTheSoundingKeyReturnsToTheLowestHeld) {
    MonoRig rig(VoiceAllocator::MonoMode::Mono);
    rig.on(60, 90);
    rig.on(64, 110);
    ASSERT_EQ(rig.allocator.activeVoices().size(), 1u);
    TestVoice& voice = rig.monoVoice();
    EXPECT_EQ(voice.note(), 64);
    EXPECT_EQ(voice.lastVoicing, VoicingType::Retrigger);

    rig.off(64);
    EXPECT_EQ(voice.note(), 60);
    EXPECT_EQ(voice.velocity(), 110) << "the last velocity";
    EXPECT_EQ(voice.lastVoicing, VoicingType::Retrigger);
    EXPECT_EQ(voice.lastFromNote, 64);
    EXPECT_EQ(voice.noteOns, 3);

    rig.off(60);
    EXPECT_TRUE(rig.allocator.activeVoices().empty());
    EXPECT_EQ(Rig::notes(rig.allocator.releasedVoices()), (std::vector<int>{60}));
}

TEST(VoiceAllocatorMono, ReleasingAnotherKeyChangesNothing) {
    {
        MonoRig rig(VoiceAllocator::MonoMode::Mono);
        rig.on(64);
        rig.on(60);
        TestVoice& voice = rig.monoVoice();
        rig.off(64);
        EXPECT_EQ(voice.note(), 60);
        EXPECT_EQ(voice.noteOns, 2);
        EXPECT_EQ(voice.noteOffs, 0);
    }
    {
        MonoRig rig(VoiceAllocator::MonoMode::Mono);
        rig.on(60);
        rig.on(64);
        TestVoice& voice = rig.monoVoice();
        rig.off(60);
        EXPECT_EQ(voice.note(), 64);
        EXPECT_EQ(voice.noteOns, 2);
        EXPECT_EQ(rig.allocator.activeVoices().size(), 1u);
    }
}

TEST(VoiceAllocatorMono, LegatoForOverlappingKeysRetriggerAfterAPause) {
    MonoRig rig(VoiceAllocator::MonoMode::MonoLegato);
    rig.on(60);
    TestVoice& voice = rig.monoVoice();
    EXPECT_EQ(voice.lastVoicing, VoicingType::Retrigger) << "nothing overlapped";
    rig.on(67);
    EXPECT_EQ(voice.lastVoicing, VoicingType::Legato);
    EXPECT_EQ(voice.lastFromNote, 60);
    rig.on(64);
    rig.off(64);
    EXPECT_EQ(voice.note(), 60) << "back to the lowest held key";
    EXPECT_EQ(voice.lastVoicing, VoicingType::Legato);
    rig.off(60);
    rig.off(67);
    rig.block();

    rig.on(72);
    EXPECT_EQ(rig.monoVoice().lastVoicing, VoicingType::Retrigger);
    EXPECT_EQ(rig.monoVoice().lastFromNote, 67);
}

TEST(VoiceAllocatorMono, OneVoiceSoundsAndTheOthersFade) {
    MonoRig rig(VoiceAllocator::MonoMode::Mono);
    rig.on(60);
    rig.off(60);
    const iVoice* releasing = rig.allocator.releasedVoices().front();
    rig.on(62); // a fresh voice; the releasing one makes way
    EXPECT_EQ(rig.allocator.activeVoices().size(), 1u);
    EXPECT_TRUE(rig.allocator.releasedVoices().empty());
    EXPECT_EQ(rig.allocator.fadingVoices().front(), releasing);
    EXPECT_NE(rig.allocator.activeVoices().front(), releasing);
}

TEST(VoiceAllocatorMono, PolyphonyOfOneActsAsMono) {
    Rig rig(24, 1);
    rig.on(60);
    rig.on(64);
    EXPECT_EQ(rig.allocator.activeVoices().size(), 1u);
    TestVoice& voice = Rig::voice(rig.allocator.activeVoices().front());
    EXPECT_EQ(voice.lastVoicing, VoicingType::Retrigger);
    rig.off(64);
    EXPECT_EQ(voice.note(), 60);
}

TEST(VoiceAllocatorMono, PolyphonicModeOnlyStartsNewNotes) {
    Rig rig(4, 4);
    const int sequence[][2] = {{60, 1}, {64, 1}, {67, 1}, {64, 0}, {72, 1}, {74, 1}, {76, 1},
                               {60, 0}, {60, 1}, {79, 1}, {67, 0}, {72, 0}, {81, 1}};
    for (const auto& [note, down] : sequence) {
        if (down) {
            rig.on(note);
        } else {
            rig.off(note);
        }
        for (const auto& v : rig.allocator.allVoices()) {
            const TestVoice& voice = Rig::voice(v.get());
            if (voice.noteOns > 0) {
                ASSERT_EQ(voice.lastVoicing, VoicingType::NewNote) << "after note " << note;
            }
        }
    }
}

} // namespace
} // namespace Lumora
