#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/midifx/KeyboardHolder.h"
#include "MidiFxTestSupport.h"

using namespace MidiFxTest;
using Lumora::MIDI::HeldNoteObserver;
using Lumora::MIDI::KeyboardHolder;

namespace {

constexpr int kHeld = 1011;
constexpr int kReleased = 1012;

struct Notifications : HeldNoteObserver {
    std::vector<std::pair<int, int>> got;
    void heldNoteChanged(int id, int note) override { got.emplace_back(id, note); }
};

class KeyboardHolderTest : public ::testing::Test {
protected:
    explicit KeyboardHolderTest(unsigned mode = KeyboardHolder::Latch) { holder.setMode(mode); }

    // One engine block: the holder's output, and its held-note notifications drained.
    MidiQueue block(MidiQueue const& in) {
        MidiQueue out = holder.process(in, clock);
        holder.drainChangedHeldNotes(notifications);
        return out;
    }
    std::vector<std::pair<int, int>> takeNotifications() { return std::exchange(notifications.got, {}); }

    KeyboardHolder holder;
    Lumora::Clock clock;
    Notifications notifications;
};

class ToggleHolderTest : public KeyboardHolderTest {
protected:
    ToggleHolderTest() : KeyboardHolderTest(KeyboardHolder::Toggle) {}
};

using Pairs = std::vector<std::pair<int, int>>;

} // namespace

TEST_F(KeyboardHolderTest, StartsActiveInToggleModeUntilTheEngineSetsTheMode) {
    KeyboardHolder fresh;
    EXPECT_EQ(fresh.state(), KeyboardHolder::Active);
    EXPECT_EQ(fresh.mode(), 1u);
}

TEST_F(KeyboardHolderTest, LatchSequenceSendsExactMidiAndNotifications) {
    // C-E-G starts the first chord.
    EXPECT_EQ(block(queue({on(60), on(64), on(67)})), queue({on(60), on(64), on(67)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kHeld, 60}, {kHeld, 64}, {kHeld, 67}}));

    // Releasing it sends nothing: the chord keeps sounding.
    EXPECT_TRUE(block(queue({off(60), off(64), off(67)})).empty());
    EXPECT_TRUE(takeNotifications().empty());

    // D-F-A replaces it: the new note-ons first, then the old chord's note-offs.
    EXPECT_EQ(block(queue({on(62), on(65), on(69)})),
              queue({on(62), on(65), on(69), off(60), off(64), off(67)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kReleased, 60},
                                          {kHeld, 62},
                                          {kReleased, 64},
                                          {kHeld, 65},
                                          {kReleased, 67},
                                          {kHeld, 69}}));

    // Releasing D while F is down, then pressing B, adds B without releasing anything.
    EXPECT_TRUE(block(queue({off(62)})).empty());
    EXPECT_EQ(block(queue({on(71)})), queue({on(71)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kHeld, 71}}));
    EXPECT_EQ(holder.heldNotes().size(), 4u);

    // A held note pressed and released again sends nothing and is not retriggered.
    EXPECT_TRUE(block(queue({on(65), off(65)})).empty());
    EXPECT_TRUE(takeNotifications().empty());
}

TEST_F(KeyboardHolderTest, LatchChordTappedWithinOneBlockReplacesTheHeldChordAndStaysHeld) {
    block(queue({on(60), on(64)}));
    block(queue({off(60), off(64)}));
    takeNotifications();

    // Pressed and let go inside one block: D replaces C-E and keeps sounding.
    EXPECT_EQ(block(queue({on(62), off(62)})), queue({on(62), off(60), off(64)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kReleased, 60}, {kHeld, 62}, {kReleased, 64}}));
    EXPECT_EQ(holder.heldNotes().size(), 1u);

    // F tapped while A stays down: both belong to the new chord, only D ends.
    EXPECT_EQ(block(queue({on(65), on(69), off(65)})), queue({on(65), on(69), off(62)}));
    EXPECT_TRUE(holder.heldNotes().contains(0, 65));
    EXPECT_TRUE(holder.heldNotes().contains(0, 69));
    EXPECT_EQ(holder.heldNotes().size(), 2u);

    // A let go and B pressed in one block: the key that was down is up again, so B starts anew.
    EXPECT_EQ(block(queue({off(69), on(71)})), queue({on(71), off(65), off(69)}));
    EXPECT_EQ(holder.heldNotes().size(), 1u);
}

TEST_F(KeyboardHolderTest, OtherMessagesKeepTheirPlaceAmongPassedNotes) {
    MidiQueue const in = queue({cc(1, 10), on(60), MidiMessage(0xE0, 0, 0, 64), on(60), cc(64, 127)});
    // The second note-on of the held note is swallowed; everything else keeps its order.
    EXPECT_EQ(block(in), queue({cc(1, 10), on(60), MidiMessage(0xE0, 0, 0, 64), cc(64, 127)}));
}

TEST_F(KeyboardHolderTest, WhileOffPassesMidiAndAdoptsTheChordDownWhenSwitchedOn) {
    holder.activate(false);
    block(queue({}));
    ASSERT_EQ(holder.state(), KeyboardHolder::Inactive);
    MidiQueue const chord = queue({on(60), on(64), cc(7, 100), off(64), on(67)});
    EXPECT_EQ(block(chord), chord);

    holder.activate(true);
    // Taking over sends nothing new: the keys already sound and are now held.
    EXPECT_TRUE(block(queue({})).empty());
    EXPECT_EQ(takeNotifications(), (Pairs{{kHeld, 60}, {kHeld, 67}}));
    EXPECT_EQ(holder.state(), KeyboardHolder::Active);

    // Releasing the adopted keys keeps them held.
    EXPECT_TRUE(block(queue({off(60), off(67)})).empty());
    EXPECT_EQ(holder.heldNotes().size(), 2u);
}

TEST_F(KeyboardHolderTest, SwitchingOffEndsOnlyNotesWhoseKeysAreUp) {
    block(queue({on(62), on(65)}));
    block(queue({off(65)}));  // F is held but released; D is still down
    takeNotifications();

    holder.activate(false);
    EXPECT_EQ(block(queue({cc(1, 5)})), queue({off(65), cc(1, 5)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kReleased, 62}, {kReleased, 65}}));
    EXPECT_TRUE(holder.heldNotes().empty());

    // D's own note-off passes through once its key comes up.
    EXPECT_EQ(block(queue({off(62)})), queue({off(62)}));
}

TEST_F(KeyboardHolderTest, SwitchOffAndOnBeforeABlockKeepsTheLastRequest) {
    holder.activate(false);
    holder.activate(true);
    EXPECT_EQ(holder.state(), KeyboardHolder::Activating);
    holder.activate(true);
    EXPECT_EQ(holder.state(), KeyboardHolder::Activating);
    block(queue({}));
    EXPECT_EQ(holder.state(), KeyboardHolder::Active);
}

TEST_F(KeyboardHolderTest, AllNotesOffEndsHeldNotesInTheNextBlock) {
    block(queue({on(60), on(64)}));
    block(queue({off(60)}));
    takeNotifications();

    holder.allNotesOff();
    EXPECT_TRUE(holder.heldNotes().empty());
    EXPECT_TRUE(holder.pressedKeys().empty());
    // The note-offs lead the next block, which still carries its own messages.
    EXPECT_EQ(block(queue({cc(123, 0)})), queue({off(60), off(64), cc(123, 0)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kReleased, 60}, {kReleased, 64}}));

    // E's key coming up later is not held any more and passes through.
    EXPECT_EQ(block(queue({off(64)})), queue({off(64)}));
}

TEST_F(ToggleHolderTest, EachPressSwitchesItsNote) {
    EXPECT_EQ(block(queue({on(60)})), queue({on(60)}));
    EXPECT_TRUE(block(queue({off(60)})).empty());
    EXPECT_EQ(block(queue({on(60, 90)})), queue({off(60)}));
    EXPECT_TRUE(block(queue({off(60)})).empty());
    EXPECT_EQ(takeNotifications(), (Pairs{{kHeld, 60}, {kReleased, 60}}));
}

TEST_F(ToggleHolderTest, AReleaseAndHoldInOneBlockAreReportedReleaseFirst) {
    block(queue({on(60), off(60)}));
    takeNotifications();
    EXPECT_EQ(block(queue({on(60), off(60), on(60, 80)})), queue({off(60), on(60, 80)}));
    EXPECT_EQ(takeNotifications(), (Pairs{{kReleased, 60}, {kHeld, 60}}));
}

TEST_F(ToggleHolderTest, KeysOnOtherChannelsAreSeparateKeys) {
    EXPECT_EQ(block(queue({on(60, 100, 0), on(60, 100, 3)})), queue({on(60, 100, 0), on(60, 100, 3)}));
    EXPECT_EQ(block(queue({off(60, 0, 3), on(60, 100, 3)})), queue({off(60, 0, 3)}));
    EXPECT_TRUE(holder.heldNotes().contains(0, 60));
    EXPECT_FALSE(holder.heldNotes().contains(3, 60));
}
