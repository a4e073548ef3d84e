#include "platform/audio/NoteReleaseRequests.h"

namespace Platform {

unsigned NoteReleaseRequests::take(MidiEvent* events, uint64_t sampleTime, uint8_t port) {
    const uint32_t requested = requested_.load(std::memory_order_acquire);
    if (requested == sent_) return 0;
    sent_ = requested;
    constexpr uint8_t kControlChange = 0xB0;
    constexpr uint8_t kAllNotesOff = 123;
    for (unsigned channel = 0; channel < kEvents; ++channel) {
        events[channel] = MidiEvent{sampleTime, static_cast<uint8_t>(kControlChange | channel), kAllNotesOff, 0, port};
    }
    return kEvents;
}

} // namespace Platform
