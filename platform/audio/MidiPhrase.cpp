#include "platform/audio/MidiPhrase.h"

#include <algorithm>

namespace Platform {

void MidiPhrase::add(uint64_t sampleTime, uint8_t status, uint8_t data1, uint8_t data2) {
    // upper_bound keeps events of equal time in the order they were added.
    const auto at = std::upper_bound(
        events_.begin(), events_.end(), sampleTime,
        [](uint64_t t, const MidiEvent& e) { return t < e.sampleTime; });
    events_.insert(at, MidiEvent{sampleTime, status, data1, data2});
}

std::span<const MidiEvent> MidiPhrase::eventsIn(uint64_t start, unsigned frames) const {
    const auto byTime = [](const MidiEvent& e, uint64_t t) { return e.sampleTime < t; };
    const auto first = std::lower_bound(events_.begin(), events_.end(), start, byTime);
    const auto last = std::lower_bound(first, events_.end(), start + frames, byTime);
    return {first, last};
}

} // namespace Platform
