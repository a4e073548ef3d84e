#pragma once

#include <atomic>
#include <cstdint>

#include "platform/audio/MidiPhrase.h"

namespace Platform {

// Requests to release every sounding note, asked for by any thread (a MIDI source that left with
// keys down) and sent by the render thread as All Notes Off on all 16 channels. The render thread
// compares the request count with the count it has sent, so requests made between two periods go
// out once, and nothing is allocated or locked.
class NoteReleaseRequests {
public:
    static constexpr unsigned kEvents = 16;

    void request() { requested_.fetch_add(1, std::memory_order_release); }

    // Render thread: writes the releases into events (room for kEvents) at sampleTime, as from
    // port, when a request came since the last call; answers how many it wrote.
    unsigned take(MidiEvent* events, uint64_t sampleTime, uint8_t port);

private:
    std::atomic<uint32_t> requested_{0};
    uint32_t sent_ = 0;   // render thread
};

} // namespace Platform
