#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Platform {

// MIDI messages on their way from one reader thread to one render thread, without a lock: a
// single-producer single-consumer ring whose storage is taken once, at construction. Each entry
// keeps the host time at which it arrived (steady clock nanoseconds), so the render thread can
// place it in its block. A full ring refuses the message and counts it.
class MidiEventQueue {
public:
    struct Entry {
        uint64_t hostTime = 0;
        uint8_t status = 0;
        uint8_t data1 = 0;
        uint8_t data2 = 0;
        uint8_t port = 0;   // which of the reader's inputs it came through
    };

    explicit MidiEventQueue(std::size_t capacity = 1024);
    MidiEventQueue(const MidiEventQueue&) = delete;
    MidiEventQueue& operator=(const MidiEventQueue&) = delete;

    // Producer thread. False, and counted as dropped, when full.
    bool push(const Entry& entry);
    // Consumer thread: the oldest entry into out, unless the queue is empty or it arrived at or
    // after the time given (it belongs to a later block).
    bool popArrivedBefore(uint64_t hostTime, Entry& out);

    std::size_t capacity() const { return slots_.size() - 1; }
    uint64_t dropped() const { return dropped_.load(std::memory_order_relaxed); }

private:
    std::size_t next(std::size_t index) const { return index + 1 == slots_.size() ? 0 : index + 1; }

    // One slot stays free, telling a full ring from an empty one.
    std::vector<Entry> slots_;
    alignas(64) std::atomic<std::size_t> head_{0};   // consumer's
    alignas(64) std::atomic<std::size_t> tail_{0};   // producer's
    std::atomic<uint64_t> dropped_{0};
};

// The host clock both sides of the queue use: steady clock nanoseconds.
uint64_t midiHostTimeNow();

} // namespace Platform
