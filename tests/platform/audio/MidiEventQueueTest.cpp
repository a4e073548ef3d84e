#include "platform/audio/MidiEventQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

using Platform::MidiEventQueue;

namespace {
MidiEventQueue::Entry entry(uint64_t time, int n) {
    return {time, 0x90, static_cast<uint8_t>(n & 0x7F), static_cast<uint8_t>(n >> 7), 0};
}
} // namespace

// A full queue refuses and counts; the consumer takes only what arrived before the time it
// gives, oldest first, and the freed slots take messages again.
TEST(MidiEventQueue, HoldsItsCapacityAndHandsOverWhatArrivedBeforeTheGivenTime) {
    MidiEventQueue queue(3);
    EXPECT_EQ(queue.capacity(), 3u);
    for (int n = 0; n < 3; ++n) EXPECT_TRUE(queue.push(entry(100 + n, n)));
    EXPECT_FALSE(queue.push(entry(200, 9)));
    EXPECT_EQ(queue.dropped(), 1u);

    MidiEventQueue::Entry out;
    EXPECT_FALSE(queue.popArrivedBefore(100, out));   // the oldest arrived at 100: not before it
    ASSERT_TRUE(queue.popArrivedBefore(102, out));
    EXPECT_EQ(out.data1, 0);
    ASSERT_TRUE(queue.popArrivedBefore(102, out));
    EXPECT_EQ(out.data1, 1);
    EXPECT_FALSE(queue.popArrivedBefore(102, out));
    EXPECT_TRUE(queue.push(entry(103, 3)));
    EXPECT_TRUE(queue.push(entry(104, 4)));   // wraps past the end of the storage
    std::vector<int> rest;
    while (queue.popArrivedBefore(1000, out)) rest.push_back(out.data1);
    EXPECT_EQ(rest, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(queue.dropped(), 1u);
}

// One producer thread and one consumer thread: every message arrives once, in order, and what
// the producer could not place is exactly what was counted as dropped.
TEST(MidiEventQueue, AProducerAndAConsumerThreadLoseNothingUncounted) {
    MidiEventQueue queue(64);
    constexpr uint64_t kMessages = 200000;
    std::vector<uint64_t> received;
    received.reserve(kMessages);
    uint64_t refused = 0;
    std::thread producer([&] {
        // The arrival time numbers the message.
        for (uint64_t n = 0; n < kMessages; ++n)
            if (!queue.push({n, 0x90, 60, 100, 0})) ++refused;
    });
    MidiEventQueue::Entry out;
    while (received.size() + queue.dropped() < kMessages) {
        while (queue.popArrivedBefore(UINT64_MAX, out)) received.push_back(out.hostTime);
        std::this_thread::yield();
    }
    producer.join();
    while (queue.popArrivedBefore(UINT64_MAX, out)) received.push_back(out.hostTime);
    EXPECT_EQ(received.size() + refused, kMessages);
    EXPECT_EQ(queue.dropped(), refused);
    for (std::size_t i = 1; i < received.size(); ++i) ASSERT_LT(received[i - 1], received[i]);
}
