#include "platform/audio/MidiEventQueue.h"

#include <algorithm>
#include <chrono>

namespace Platform {

MidiEventQueue::MidiEventQueue(std::size_t capacity) : slots_(std::max<std::size_t>(capacity, 1) + 1) {}

bool MidiEventQueue::push(const Entry& entry) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    const std::size_t after = next(tail);
    if (after == head_.load(std::memory_order_acquire)) {
        dropped_.fetch_add(1, std::memory_order_relaxed);
        return false;
    }
    slots_[tail] = entry;
    tail_.store(after, std::memory_order_release);
    return true;
}

bool MidiEventQueue::popArrivedBefore(uint64_t hostTime, Entry& out) {
    const std::size_t head = head_.load(std::memory_order_relaxed);
    if (head == tail_.load(std::memory_order_acquire)) return false;
    if (slots_[head].hostTime >= hostTime) return false;
    out = slots_[head];
    head_.store(next(head), std::memory_order_release);
    return true;
}

uint64_t midiHostTimeNow() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

} // namespace Platform
