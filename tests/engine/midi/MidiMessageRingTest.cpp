#include "engine/midi/MidiMessageRing.h"

#include <gtest/gtest.h>

#include <vector>

using Lumora::MidiMessage;
using Lumora::MidiMessageRing;

namespace {
std::vector<int> notesIn(const MidiMessageRing& ring) {
    std::vector<int> notes;
    for (const MidiMessage& m : ring) notes.push_back(m.data1());
    return notes;
}
MidiMessage note(int n) { return MidiMessage(0x90, n, 100); }
} // namespace

TEST(MidiMessageRing, KeepsOrderAcrossTheWrapAndRefusesWhatDoesNotFit) {
    MidiMessageRing ring(4);
    EXPECT_EQ(ring.capacity(), 4u);
    for (int n = 1; n <= 4; ++n) EXPECT_TRUE(ring.push_back(note(n)));
    EXPECT_FALSE(ring.push_back(note(5)));   // full: refused, nothing overwritten
    EXPECT_EQ(notesIn(ring), (std::vector<int>{1, 2, 3, 4}));

    // Take two from the front and add two: the stored run now wraps past the last slot.
    ring.pop_front();
    ring.pop_front();
    EXPECT_TRUE(ring.push_back(note(6)));
    EXPECT_TRUE(ring.push_back(note(7)));
    EXPECT_FALSE(ring.push_back(note(8)));
    EXPECT_EQ(notesIn(ring), (std::vector<int>{3, 4, 6, 7}));
    EXPECT_EQ(ring.front().data1(), 3);

    ring.clear();
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(ring.begin(), ring.end());
    ring.pop_front();   // on an empty ring: nothing
    EXPECT_TRUE(ring.push_back(note(9)));
    EXPECT_EQ(notesIn(ring), (std::vector<int>{9}));
}

TEST(MidiMessageRing, AZeroCapacityStillHoldsOneMessage) {
    MidiMessageRing ring(0);
    EXPECT_TRUE(ring.push_back(note(1)));
    EXPECT_FALSE(ring.push_back(note(2)));
    EXPECT_EQ(notesIn(ring), (std::vector<int>{1}));
}
