#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace MidiTest {

// Builds Standard MIDI File bytes in a test. Bytes given to raw() go into the track unchanged,
// so tests can write running status and malformed events.
class SmfBuilder {
public:
    class Track {
    public:
        // A delta time followed by the event's bytes as given.
        Track& event(uint32_t delta, std::initializer_list<uint8_t> bytes);
        Track& tempo(uint32_t delta, uint32_t microsecondsPerQuarter);
        Track& end(uint32_t delta = 0);
        Track& raw(std::initializer_list<uint8_t> bytes);
        std::vector<uint8_t> data;
    };

    SmfBuilder(uint16_t format, uint16_t division) : format_(format), division_(division) {}
    Track& track();
    // The whole file; declaredTracks < 0 declares as many as were added.
    std::vector<uint8_t> bytes(int declaredTracks = -1) const;

    static void putVlq(std::vector<uint8_t>& out, uint32_t value);

private:
    uint16_t format_;
    uint16_t division_;
    std::vector<Track> tracks_;
};

} // namespace MidiTest
