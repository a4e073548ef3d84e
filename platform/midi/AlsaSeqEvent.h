#pragma once

#include <cstdint>
#include <optional>

#include <alsa/asoundlib.h>

namespace Platform {

// One channel or real-time message as its bytes (data bytes 0 where the message has fewer).
struct MidiBytes {
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    bool operator==(const MidiBytes&) const = default;
};

// The MIDI message an ALSA sequencer event stands for: notes, key and channel pressure,
// controllers, program changes, pitch bend, and clock, start, continue and stop. Everything else
// the sequencer sends (system exclusive, announcements, 14-bit and registered-parameter
// controllers, song position, ...) answers nothing. Out-of-range values are clamped to 0..127.
std::optional<MidiBytes> midiBytesOf(const snd_seq_event_t& event);

} // namespace Platform
