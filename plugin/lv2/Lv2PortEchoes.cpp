#include "plugin/lv2/Lv2PortEchoes.h"

#include <limits>

namespace Lumora::Lv2 {

namespace {

constexpr float kFree = std::numeric_limits<float>::quiet_NaN();

} // namespace

Lv2PortEchoes::Lv2PortEchoes(std::size_t ports)
    : marks_(ports, 0), written_(new std::atomic<float>[ports * kKept]),
      newest_(new std::atomic<std::uint32_t>[ports]), slots_(ports) {
    marked_.reserve(ports);
    for (std::size_t i = 0; i < ports * kKept; ++i)
        written_[i].store(kFree, std::memory_order_relaxed);
    for (std::size_t i = 0; i < ports; ++i)
        newest_[i].store(0, std::memory_order_relaxed);
}

void Lv2PortEchoes::mark(std::size_t slot, std::uint8_t change) {
    if (slot >= slots_)
        return;
    std::lock_guard<std::mutex> lock(marksLock_);
    if (marks_[slot] == 0)
        marked_.push_back(slot);
    marks_[slot] |= change;
}

void Lv2PortEchoes::noteWritten(std::size_t slot, float value) {
    if (slot >= slots_ || value != value)
        return;
    std::uint32_t const next = (newest_[slot].load(std::memory_order_relaxed) + 1) % kKept;
    written_[slot * kKept + next].store(value, std::memory_order_release);
    newest_[slot].store(next, std::memory_order_release);
}

bool Lv2PortEchoes::isEcho(std::size_t slot, float value) {
    if (slot >= slots_)
        return false;
    std::uint32_t const newest = newest_[slot].load(std::memory_order_acquire);
    if (written_[slot * kKept + newest].load(std::memory_order_acquire) == value) {
        forget(slot);
        return true;
    }
    for (std::uint32_t i = 0; i < kKept; ++i)
        if (written_[slot * kKept + i].load(std::memory_order_acquire) == value)
            return true;
    return false;
}

bool Lv2PortEchoes::lastWritten(std::size_t slot, float value) const {
    if (slot >= slots_)
        return false;
    return written_[slot * kKept + newest_[slot].load(std::memory_order_acquire)].load(std::memory_order_acquire) == value;
}

void Lv2PortEchoes::forget(std::size_t slot) {
    if (slot >= slots_)
        return;
    for (std::size_t i = 0; i < kKept; ++i)
        written_[slot * kKept + i].store(kFree, std::memory_order_relaxed);
}

} // namespace Lumora::Lv2
