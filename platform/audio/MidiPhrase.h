#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace Platform {

// One MIDI channel or system message at a sample time of an output unit's timeline.
struct MidiEvent {
    uint64_t sampleTime = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
    uint8_t port = 0;   // which of a driver's MIDI inputs it came through (0 for a phrase)
};

// A fixed sequence of MIDI events at sample times, played against an output unit's clock. Events
// are kept sorted by time; events at the same time keep the order in which they were added, so
// that a note-off written before a note-on of the same key stays before it.
class MidiPhrase {
public:
    void add(uint64_t sampleTime, uint8_t status, uint8_t data1, uint8_t data2);
    void clear() { events_.clear(); }

    // The events with a sample time in [start, start + frames), in order. No allocation: a view
    // into the phrase, valid until the phrase changes.
    std::span<const MidiEvent> eventsIn(uint64_t start, unsigned frames) const;

    const std::vector<MidiEvent>& events() const { return events_; }
    bool empty() const { return events_.empty(); }
    // The sample time just after the last event (0 for an empty phrase).
    uint64_t endTime() const { return events_.empty() ? 0 : events_.back().sampleTime + 1; }

private:
    std::vector<MidiEvent> events_;
};

} // namespace Platform
