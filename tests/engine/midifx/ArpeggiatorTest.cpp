#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "MidiFxTestSupport.h"
#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/ArpeggiatorData.h"
#include "engine/midifx/Quantizer.h"

using namespace MidiFxTest;
using Lumora::ArpeggiatorData;
using Lumora::MIDI::Arpeggiator;
using Lumora::MIDI::Quantizer;

namespace {

// A note as the instrument hears it: where it starts and ends, in samples.
struct PlayedNote {
    int note = 0;
    int velocity = 0;
    uint64_t start = 0;
    uint64_t end = UINT64_MAX;
};

// Runs an arpeggiator block by block on the groove clock, recording every note it plays.
class ArpRun {
public:
    explicit ArpRun(Arpeggiator& arp, unsigned blockSize = 64, double swing = 0.0)
        : arp_(arp), clocks_(blockSize, 120.0, 48000.0f, swing) {}

    MidiQueue block(MidiQueue const& in = {}) {
        Lumora::Clock const& groove = clocks_.begin();
        MidiQueue out = arp_.process(in, groove);
        record(out);
        clocks_.end();
        return out;
    }
    void blocks(int count) {
        for (int i = 0; i < count; ++i) {
            block();
        }
    }
    // Runs blocks until the given sample time.
    void until(uint64_t sample) {
        while (clocks_.blockStartSample() < sample) {
            block();
        }
    }

    std::vector<int> notes() const {
        std::vector<int> n;
        for (PlayedNote const& p : played) {
            n.push_back(p.note);
        }
        return n;
    }

    std::vector<PlayedNote> played;
    SoundingNotes sounding;
    ClockRun& clocks() { return clocks_; }

private:
    void record(MidiQueue const& out) {
        sounding.apply(out);
        for (MidiMessage const& m : out) {
            if (m.kind() == 0x80) {
                for (PlayedNote& p : played) {
                    if (p.note == m.data1() && p.end == UINT64_MAX) {
                        p.end = clocks_.blockStartSample();
                    }
                }
            } else if (m.kind() == 0x90) {
                played.push_back(PlayedNote{m.data1(), m.data2(), clocks_.blockStartSample()});
            }
        }
    }

    Arpeggiator& arp_;
    ClockRun clocks_;
};

std::vector<int> firstN(std::vector<int> v, std::size_t n) {
    v.resize(std::min(v.size(), n));
    return v;
}

// 120 beats per minute at 48 kHz: a sixteenth note lasts 6000 samples.
constexpr uint64_t kSixteenth = 6000;

} // namespace

struct OrderCase {
    Arpeggiator::ARPEGGIO_STYLE style;
    unsigned patternLength;
    std::vector<int> expected;
};

class ArpeggiatorOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ArpeggiatorOrderTest, PlaysTheHeldKeysAndTheirOctavesInOrder) {
    OrderCase const& c = GetParam();
    Arpeggiator arp(16);
    arp.setSyncToKeyOn(true);
    arp.setStyle(c.style);
    arp.setPatternLength(c.patternLength);
    arp.setOctaveRange(1);
    // Programs used by the programmed order, one per step.
    int const programs[8] = {0, 3, -1, -4, 7, -9, 1, -2};
    for (unsigned i = 0; i < 8; ++i) {
        arp.step(i).setProgram(programs[i]);
    }
    ArpRun run(arp);
    run.block(queue({on(60), on(64)}));
    run.until(8 * kSixteenth);
    EXPECT_EQ(firstN(run.notes(), 8), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ArpeggiatorOrderTest,
    ::testing::Values(OrderCase{Arpeggiator::Up, UINT32_MAX, {60, 64, 72, 76, 60, 64, 72, 76}},
                      OrderCase{Arpeggiator::Up, 3, {60, 64, 72, 60, 64, 72, 60, 64}},
                      OrderCase{Arpeggiator::Down, UINT32_MAX, {76, 72, 64, 60, 76, 72, 64, 60}},
                      OrderCase{Arpeggiator::UpDown, UINT32_MAX, {60, 64, 72, 76, 76, 72, 64, 60}},
                      OrderCase{Arpeggiator::DownUp, UINT32_MAX, {76, 72, 64, 60, 60, 64, 72, 76}},
                      OrderCase{Arpeggiator::Programmed, UINT32_MAX, {60, 76, 76, 60, 76, 60, 64, 72}}));

TEST(ArpeggiatorTest, RandomOrderPlaysEveryCandidateAndNothingElse) {
    Arpeggiator arp(16);
    arp.setStyle(Arpeggiator::Random);
    arp.setOctaveRange(1);
    ArpRun run(arp);
    run.block(queue({on(60), on(64)}));
    run.until(64 * kSixteenth);
    std::vector<int> const notes = run.notes();
    std::set<int> const heard(notes.begin(), notes.end());
    EXPECT_EQ(heard, (std::set<int>{60, 64, 72, 76}));
    EXPECT_GE(run.played.size(), 60u);
}

TEST(ArpeggiatorTest, OctaveCopiesAbove127FallBackToTheKeyAndCollapse) {
    Arpeggiator arp(16);
    arp.setSyncToKeyOn(true);
    arp.setOctaveRange(2);
    ArpRun run(arp);
    run.block(queue({on(127)}));
    run.until(4 * kSixteenth);
    EXPECT_EQ(firstN(run.notes(), 4), (std::vector<int>{127, 127, 127, 127}));
}

TEST(ArpeggiatorTest, StyleSwitchForgetsThePatternLengthAndBadStylesAreIgnored) {
    Arpeggiator arp(16);
    arp.setPatternLength(5);
    arp.setStyle(static_cast<Arpeggiator::ARPEGGIO_STYLE>(9));
    EXPECT_EQ(arp.style(), Arpeggiator::Up);
    EXPECT_EQ(arp.patternLength(), 5u);
    arp.setStyle(Arpeggiator::Down);
    EXPECT_EQ(arp.patternLength(), UINT32_MAX);
    arp.setStyle(Arpeggiator::Random);
    arp.setPatternLength(5);
    EXPECT_EQ(arp.patternLength(), UINT32_MAX);
}

TEST(ArpeggiatorTest, SettersClampTheirValues) {
    Arpeggiator arp(16);
    arp.setOctaveRange(12);
    EXPECT_EQ(arp.octaveRange(), 8u);
    arp.setDuration(-1.0f);
    EXPECT_EQ(arp.duration(), 0.0f);
    arp.setStepLength(0);
    EXPECT_EQ(arp.stepLength(), 1u);
    arp.setStepLength(40);
    EXPECT_EQ(arp.stepLength(), 16u);
    arp.setStepLength(4);
    EXPECT_EQ(&arp.step(5), &arp.step(1));
    arp.step(0).setVelocity(-2.0f);
    arp.step(0).setDuration(-2.0f);
    EXPECT_EQ(arp.step(0).velocity(), 0.0f);
    EXPECT_EQ(arp.step(0).duration(), 0.0f);
}

// Each sixteenth step must sound, whatever the block size, also when the same note is
// still sounding from the step before (one key, gate 1).
class ArpeggiatorBlockSizeTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(ArpeggiatorBlockSizeTest, EveryStepSoundsWithOneKeyAndFullGate) {
    ArpeggiatorData data;
    data.gate = 1.0f;
    Arpeggiator arp(16);
    data.setupArpeggiator(arp);
    ArpRun run(arp, GetParam());

    // The first block is a grid point and plays the key at once.
    EXPECT_EQ(noteOnNumbers(run.block(queue({on(60)}))).size(), 1u);
    int steps = 0;
    while (run.clocks().blockStartSample() < 200 * kSixteenth) {
        Lumora::Clock const& groove = run.clocks().begin();
        steps += groove.isTriggered_16() ? 1 : 0;
        MidiQueue const out = arp.process({}, groove);
        run.sounding.apply(out);
        // A repeated note ends before it starts again, within the block.
        for (std::size_t i = 0; i + 1 < out.size(); ++i) {
            if (out[i].kind() == 0x90) {
                EXPECT_NE(out[i + 1].kind(), 0x80) << "a note-on followed by its own note-off";
            }
        }
        steps -= static_cast<int>(noteOnNumbers(out).size());
        run.clocks().end();
    }
    EXPECT_EQ(steps, 0) << "grid steps without a note";
    EXPECT_EQ(run.sounding.doubleStarts, 0);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, ArpeggiatorBlockSizeTest, ::testing::Values(64u, 512u, 1024u));

TEST(ArpeggiatorTest, GateAndDurationSetTheNoteLength) {
    struct Case {
        float duration;
        double beats;  // expected length in beats
    } const cases[] = {{0.99f, 0.25 * 0.99 * 0.5}, {2.99f, 0.5 + 0.25 * 0.99 * 0.5}, {0.0f, 0.0}};
    for (Case const& c : cases) {
        Arpeggiator arp(16);
        arp.setSyncToKeyOn(true);
        arp.setDuration(0.5f);
        arp.setStepLength(4);
        arp.step(0).setDuration(c.duration);
        for (unsigned i = 1; i < 4; ++i) {
            arp.step(i).setActive(false);
        }
        ArpRun run(arp, 64);
        run.block(queue({on(60)}));
        run.until(8 * kSixteenth);
        ASSERT_GE(run.played.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            PlayedNote const& p = run.played[i];
            double const lengthSamples = c.beats * 24000.0;
            // The note-off comes at the first block start at or after the note's end.
            EXPECT_GE(static_cast<double>(p.end - p.start), lengthSamples - 1.0) << c.duration;
            EXPECT_LE(static_cast<double>(p.end - p.start), std::max(lengthSamples, 1.0) + 64.0) << c.duration;
        }
        // One note per bar of four sixteenths.
        EXPECT_EQ(run.played[1].start - run.played[0].start, 4 * kSixteenth) << c.duration;
    }
}

TEST(ArpeggiatorTest, AccentsAndVelocityFactorsScaleTheKeyVelocity) {
    ArpeggiatorData data;
    data.accentAmount = 0.5f;
    data.steps[0].accent = true;
    data.syncToKeyOn = true;
    Arpeggiator arp(16);
    data.setupArpeggiator(arp);

    ArpRun run(arp);
    run.block(queue({on(60, 100)}));
    run.until(2 * kSixteenth);
    ASSERT_GE(run.played.size(), 2u);
    EXPECT_EQ(run.played[0].velocity, 100);  // accented step
    EXPECT_EQ(run.played[1].velocity, 50);   // 1 - accent amount

    // A factor of 0.5 on velocity 1 still plays, at velocity 1.
    Arpeggiator soft(16);
    soft.setSyncToKeyOn(true);
    soft.step(0).setVelocity(0.5f);
    ArpRun softRun(soft);
    softRun.block(queue({on(60, 1)}));
    ASSERT_FALSE(softRun.played.empty());
    EXPECT_EQ(softRun.played[0].velocity, 1);
}

TEST(ArpeggiatorTest, SwingFromTheGrooveClockDelaysTheOffBeatSixteenth) {
    for (double swing : {0.0, 1.0}) {
        Arpeggiator arp(16);
        ArpRun run(arp, 64, swing);
        run.block(queue({on(60)}));
        run.until(5 * kSixteenth);
        ASSERT_GE(run.played.size(), 3u);
        EXPECT_EQ(run.played[0].start, 0u);
        // Full swing moves the second sixteenth of each eighth from 1/4 to 1/3 beat.
        double const expected = swing == 0.0 ? 0.25 * 24000.0 : 24000.0 / 3.0;
        EXPECT_GE(static_cast<double>(run.played[1].start), expected) << swing;
        EXPECT_LT(static_cast<double>(run.played[1].start), expected + 64.0) << swing;
        EXPECT_GE(run.played[2].start, 2 * kSixteenth) << swing;
        EXPECT_LT(run.played[2].start, 2 * kSixteenth + 64) << swing;
    }
}

TEST(ArpeggiatorTest, KeyOnSyncPlaysAtOnceOnlyCloseAfterAGridPoint) {
    struct Case {
        uint64_t pressAt;  // samples
        uint64_t firstStep;
    } const cases[] = {{1024, 1024}, {4096, 6016}};  // a quarter step is 1500 samples; blocks of 64
    for (Case const& c : cases) {
        Arpeggiator arp(16);
        arp.setSyncToKeyOn(true);
        ArpRun run(arp, 64);
        run.until(c.pressAt);
        run.block(queue({on(60)}));
        run.until(c.firstStep + 64);
        ASSERT_FALSE(run.played.empty());
        EXPECT_EQ(run.played[0].start, c.firstStep) << c.pressAt;
        EXPECT_EQ(arp.currentStepNumber(), 1u);
    }
}

TEST(ArpeggiatorTest, ReleasingAllKeysStopsStepsAndTheLastNoteEndsByItsLength) {
    Arpeggiator arp(16);
    ArpRun run(arp, 64);
    run.block(queue({on(60), on(64)}));
    run.until(3 * kSixteenth);
    std::size_t const played = run.played.size();
    run.block(queue({off(60), off(64)}));  // absorbed: the arpeggiator held them
    run.until(10 * kSixteenth);
    EXPECT_EQ(run.played.size(), played);
    EXPECT_TRUE(run.sounding.keys.empty());
    EXPECT_EQ(arp.soundingNoteCount(), 0u);
}

TEST(ArpeggiatorTest, NoteOffsOfKeysNotHeldAndOtherMessagesPassThrough) {
    Arpeggiator arp(16);
    ArpRun run(arp, 64);
    MidiQueue const out = run.block(queue({cc(1, 3), off(50), on(60)}));
    ASSERT_GE(out.size(), 2u);
    EXPECT_EQ(out[0], cc(1, 3));
    EXPECT_EQ(out[1], off(50));
}

TEST(ArpeggiatorTest, RewindEndsEverySoundingNote) {
    Arpeggiator arp(16);
    arp.setDuration(1.0f);
    arp.step(0).setDuration(8.0f);  // long notes
    ArpRun run(arp, 64);
    run.block(queue({on(60)}));
    run.until(kSixteenth / 2);
    ASSERT_EQ(arp.soundingNoteCount(), 1u);
    Lumora::Clock const& groove = run.clocks().begin(true);
    MidiQueue const out = arp.process({}, groove);
    run.clocks().end();
    // The restart ends the note and, being a grid point, plays the first step again.
    ASSERT_GE(out.size(), 1u);
    EXPECT_EQ(out[0], off(60));
}

TEST(ArpeggiatorTest, SwitchingOnTakesOverKeysAndSwitchingOffHandsThemBack) {
    Arpeggiator arp(16);
    arp.activate(false);
    ArpRun run(arp, 64);
    run.block();
    // While off, keys pass through and sound as played.
    EXPECT_EQ(run.block(queue({on(60), on(64)})), queue({on(60), on(64)}));

    arp.activate(true);
    MidiQueue const taken = run.block();
    // The keys' own notes end first; then the arpeggiator plays them.
    ASSERT_GE(taken.size(), 2u);
    EXPECT_EQ(taken[0], off(60, 100));
    EXPECT_EQ(taken[1], off(64, 100));
    run.until(3 * kSixteenth + 128);
    EXPECT_FALSE(run.sounding.keys.empty());

    arp.activate(false);
    MidiQueue const handed = run.block();
    // Sounding arpeggio notes end, then the keys still down sound again.
    ASSERT_GE(handed.size(), 3u);
    EXPECT_EQ(handed[0].kind(), 0x80);
    EXPECT_EQ(handed[handed.size() - 2], on(60));
    EXPECT_EQ(handed[handed.size() - 1], on(64));
    EXPECT_EQ(run.sounding.keys, (std::set<std::pair<int, int>>{{0, 60}, {0, 64}}));

    run.block(queue({off(60), off(64)}));
    EXPECT_TRUE(run.sounding.keys.empty());
    EXPECT_EQ(run.sounding.doubleStarts, 0);
}

TEST(ArpeggiatorTest, AllNotesOffEndsSoundingNotesAndForgetsHeldKeys) {
    Arpeggiator arp(16);
    arp.setDuration(1.0f);
    arp.step(0).setDuration(4.0f);
    ArpRun run(arp, 64);
    run.block(queue({on(60), on(64)}));
    run.until(kSixteenth / 2);
    ASSERT_GT(arp.soundingNoteCount(), 0u);

    arp.allNotesOff();
    EXPECT_TRUE(arp.heldKeys().empty());
    MidiQueue const out = run.block(queue({cc(123, 0)}));
    EXPECT_EQ(out, queue({cc(123, 0), off(60)}));
    std::size_t const played = run.played.size();
    run.until(16 * kSixteenth);
    EXPECT_EQ(run.played.size(), played) << "notes played on after all notes off";
    EXPECT_TRUE(run.sounding.keys.empty());

    // The keys' later note-offs are not held any more and pass through.
    EXPECT_EQ(run.block(queue({off(60)})), queue({off(60)}));
}

TEST(ArpeggiatorTest, AllNotesOffWhileOffForgetsTheKeysItWouldTakeOver) {
    Arpeggiator arp(16);
    arp.activate(false);
    ArpRun run(arp, 64);
    run.block(queue({on(60)}));
    arp.allNotesOff();
    arp.activate(true);
    run.until(8 * kSixteenth);
    EXPECT_TRUE(run.played.size() == 1u && run.played[0].start == 0u) << "only the key's own note";
}

TEST(QuantizerTest, ARepeatedNoteEndsAndStartsAgainInTheSameBlock) {
    Quantizer quantizer;
    ClockRun clocks(64);
    quantizer.schedule(0, 60, 90, 0, 10.0);
    MidiQueue first = quantizer.process(clocks.begin());
    clocks.end();
    EXPECT_EQ(first, queue({on(60, 90)}));

    quantizer.schedule(0, 60, 70, 0, 10.0);
    quantizer.schedule(0, 60, 20, 0, 10.0);  // the first request of a block stays
    MidiQueue second = quantizer.process(clocks.begin());
    clocks.end();
    EXPECT_EQ(second, queue({off(60, 90), on(60, 70)}));
    EXPECT_EQ(quantizer.soundingCount(), 1u);

    EXPECT_EQ(quantizer.dispose(), queue({off(60)}));
    EXPECT_EQ(quantizer.soundingCount(), 0u);
}

TEST(QuantizerTest, GridRatesWaitForTheirGridPoint) {
    Quantizer quantizer;
    ClockRun clocks(64);
    clocks.begin();
    clocks.end();
    quantizer.schedule(0, 62, 100, 1, 0.5);  // next quarter note
    int blocks = 0;
    while (quantizer.soundingCount() == 0 && blocks < 1000) {
        quantizer.process(clocks.begin());
        clocks.end();
        ++blocks;
    }
    // The first block past beat 1 (24000 samples) starts it.
    EXPECT_EQ(clocks.blockStartSample(), 24000u + 64u);
}
