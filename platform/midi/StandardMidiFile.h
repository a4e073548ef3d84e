#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Platform {

// A Standard MIDI File of format 0 or 1, read into one time-ordered list of the MIDI events it
// plays (channel messages and system-exclusive data; meta events only shape the timing). Times
// are in seconds, following the file's tempo changes (or its SMPTE division).
//
// The reader never reads past the data it is given: a chunk or event that runs past its end, a
// data byte with no status to run on, or a status a file may not hold makes the whole file fail
// with a message instead of playing half-understood.
class StandardMidiFile {
public:
    struct Event {
        double seconds = 0;
        uint64_t tick = 0;
        uint16_t track = 0;
        uint32_t offset = 0;   // into the file's event byte store
        uint32_t length = 0;
    };
    struct TempoChange {
        uint64_t tick = 0;
        double seconds = 0;
        uint32_t microsecondsPerQuarter = 500000;
    };

    static std::optional<StandardMidiFile> parse(std::span<const uint8_t> data,
                                                 std::string* error = nullptr);
    static std::optional<StandardMidiFile> read(const std::string& path, std::string* error = nullptr);

    int format() const { return format_; }
    int numberOfTracks() const { return tracks_; }
    // Ticks per quarter note (positive) or the raw SMPTE word (negative).
    int16_t division() const { return division_; }

    // In time order; events at the same tick keep track order, then file order.
    const std::vector<Event>& events() const { return events_; }
    std::span<const uint8_t> bytes(const Event& event) const {
        return std::span<const uint8_t>(bytes_).subspan(event.offset, event.length);
    }
    const std::vector<TempoChange>& tempoChanges() const { return tempos_; }
    // The time of the latest event or end of track.
    double durationSeconds() const { return duration_; }
    // The longest event, for senders that size their buffers up front.
    std::size_t longestEvent() const { return longest_; }

    // The time of a tick under this file's tempo map.
    double secondsAt(uint64_t tick) const;

private:
    class Reader;
    StandardMidiFile() = default;

    int format_ = 0;
    int tracks_ = 0;
    int16_t division_ = 96;
    std::vector<Event> events_;
    std::vector<uint8_t> bytes_;
    std::vector<TempoChange> tempos_;
    double duration_ = 0;
    std::size_t longest_ = 0;
};

} // namespace Platform
