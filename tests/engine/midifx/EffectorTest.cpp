#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "MidiFxTestSupport.h"
#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/Effector.h"
#include "engine/midifx/KeyboardHolder.h"

using namespace MidiFxTest;
using Lumora::MIDI::Arpeggiator;
using Lumora::MIDI::Effector;
using Lumora::MIDI::KeyboardHolder;
using Lumora::MIDI::PressedNoteSet;

namespace {

// An effector that answers with fixed messages, to watch the base's state changes.
class ProbeEffector : public Effector {
public:
    bool takesOver = false;
    std::vector<std::pair<int, int>> adopted;  // (channel, note) handed to _prepareProcess

protected:
    bool _prepareProcess(PressedNoteSet const& offline) override {
        for (auto const note : offline) {
            adopted.emplace_back(note.channel, note.note);
        }
        return !takesOver;
    }
    MidiQueue const& _process(MidiQueue const&, Lumora::Clock const&) override {
        out_ = queue({cc(20, 1)});
        return out_;
    }
    MidiQueue const& _dispose() override {
        out_ = queue({cc(21, 1), on(70)});
        return out_;
    }
    void _allNotesOff() override {}

private:
    MidiQueue out_;
};

} // namespace

TEST(EffectorTest, SwitchingOnEndsTheNotesThatSoundedWhileOff) {
    ProbeEffector probe;
    Lumora::Clock clock;
    probe.activate(false);
    EXPECT_EQ(probe.state(), Effector::Deactivating);
    // Switching off: the disposed messages, then the block's own.
    EXPECT_EQ(probe.process(queue({on(40)}), clock), queue({cc(21, 1), on(70), on(40)}));
    EXPECT_EQ(probe.state(), Effector::Inactive);
    // While off: pass-through, tracking what sounds (70 from the dispose, 40, then 62).
    MidiQueue const passing = queue({on(62, 90), off(40), on(62, 10)});
    EXPECT_EQ(probe.process(passing, clock), passing);

    probe.activate(true);
    EXPECT_EQ(probe.state(), Effector::Activating);
    // The notes that sounded end with their recorded velocities before the first block.
    EXPECT_EQ(probe.process(queue({}), clock), queue({off(62, 90), off(70, 100), cc(20, 1)}));
    EXPECT_EQ(probe.adopted, (std::vector<std::pair<int, int>>{{0, 62}, {0, 70}}));
    EXPECT_EQ(probe.state(), Effector::Active);
    EXPECT_TRUE(probe.offlinePressedNotes().empty());
}

TEST(EffectorTest, ASubclassThatTakesTheNotesOverEndsNothing) {
    ProbeEffector probe;
    probe.takesOver = true;
    Lumora::Clock clock;
    probe.activate(false);
    probe.process(queue({}), clock);
    probe.process(queue({on(50)}), clock);
    probe.activate(true);
    EXPECT_EQ(probe.process(queue({}), clock), queue({cc(20, 1)}));
    EXPECT_TRUE(probe.offlinePressedNotes().empty());
}

TEST(EffectorTest, AllNotesOffForgetsNotesRecordedWhileOff) {
    ProbeEffector probe;
    Lumora::Clock clock;
    probe.activate(false);
    probe.process(queue({}), clock);
    probe.process(queue({on(50), on(52)}), clock);
    probe.allNotesOff();
    probe.activate(true);
    EXPECT_EQ(probe.process(queue({}), clock), queue({cc(20, 1)}));
}

// The engine's chain, key holder then arpeggiator, with keys played and both effects
// switched at random: whatever happens, once every key is up and both effects are off,
// nothing sounds, and no note ever started twice without ending in between.
class EffectChainTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(EffectChainTest, SwitchingEffectsOnAndOffNeverLeavesAHangingNote) {
    std::mt19937 random(GetParam());
    KeyboardHolder holder;
    Arpeggiator arp(16);
    arp.setDuration(0.9f);
    ClockRun clocks(256);
    SoundingNotes sounding;
    std::set<int> down;

    auto block = [&](MidiQueue const& keys) {
        Lumora::Clock const& groove = clocks.begin();
        MidiQueue const& held = holder.process(keys, clocks.clock());
        holder.changedHeldNotes().clear();
        sounding.apply(arp.process(held, groove));
        clocks.end();
    };

    for (int i = 0; i < 3000; ++i) {
        MidiQueue keys;
        int const note = 60 + static_cast<int>(random() % 8);
        if (random() % 3 == 0) {
            if (down.count(note) != 0) {
                keys.push_back(off(note));
                down.erase(note);
            } else {
                keys.push_back(on(note, 1 + static_cast<int>(random() % 127)));
                down.insert(note);
            }
        }
        switch (random() % 40) {
        case 0: holder.activate(random() % 2 == 0); break;
        case 1: arp.activate(random() % 2 == 0); break;
        case 2: holder.setMode(random() % 2); break;
        case 3: arp.setStyle(static_cast<Arpeggiator::ARPEGGIO_STYLE>(1 + random() % 6)); break;
        case 4:
            arp.setSyncToKeyOn(random() % 2 == 0);
            arp.setOctaveRange(random() % 3);
            break;
        default: break;
        }
        block(keys);
    }

    MidiQueue releases;
    for (int const note : down) {
        releases.push_back(off(note));
    }
    block(releases);
    holder.activate(false);
    arp.activate(false);
    for (int i = 0; i < 50; ++i) {
        block({});
    }
    EXPECT_TRUE(sounding.keys.empty()) << sounding.keys.size() << " notes hang";
    EXPECT_EQ(sounding.doubleStarts, 0);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EffectChainTest, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u));

TEST(EffectChainTest, AllNotesOffSilencesHeldAndArpeggiatedNotes) {
    KeyboardHolder holder;
    holder.setMode(KeyboardHolder::Latch);
    Arpeggiator arp(16);
    arp.setDuration(1.0f);
    ClockRun clocks(512);
    SoundingNotes sounding;
    int noteOnsAfterPanic = 0;
    bool panicked = false;

    auto block = [&](MidiQueue const& keys) {
        Lumora::Clock const& groove = clocks.begin();
        MidiQueue const& out = arp.process(holder.process(keys, clocks.clock()), groove);
        sounding.apply(out);
        if (panicked) {
            noteOnsAfterPanic += static_cast<int>(noteOnNumbers(out).size());
        }
        clocks.end();
    };

    block(queue({on(60), on(64), on(67)}));
    block(queue({off(60), off(64), off(67)}));  // latched: the arpeggio goes on
    for (int i = 0; i < 20; ++i) {
        block({});
    }
    ASSERT_FALSE(sounding.keys.empty());

    // The engine's all-notes-off runs before the block that carries controller 123.
    holder.allNotesOff();
    arp.allNotesOff();
    panicked = true;
    block(queue({cc(123, 0)}));
    for (int i = 0; i < 200; ++i) {
        block({});
    }
    EXPECT_TRUE(sounding.keys.empty());
    EXPECT_EQ(noteOnsAfterPanic, 0);
}
