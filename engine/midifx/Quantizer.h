#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/midifx/MidiQueue.h"

namespace Lumora {
class Clock;
}

namespace Lumora::MIDI {

// Schedules notes onto the musical clock: a scheduled note starts in the block where its
// grid triggers (or at once for rate 0) and ends once its length in beats has passed.
// Render thread only; storage is fixed, so no call allocates.
class Quantizer {
public:
    Quantizer();
    virtual ~Quantizer();

    Quantizer(Quantizer const&) = delete;
    Quantizer& operator=(Quantizer const&) = delete;

    // Rate 1..4 starts the note on the next quarter, eighth, sixteenth or thirty-second grid
    // point; any other rate at the next process(). A second request for a key that is already
    // scheduled is dropped. A request for a key that still sounds restarts that note: its
    // note-off and the new note-on come in the same block, in that order.
    void schedule(int channel, int note, int velocity, int rate, double lengthInBeats);

    MidiQueue const& process(Clock const& clock);
    // Drops what is scheduled and ends every sounding note.
    MidiQueue const& dispose();
    // Drops what is scheduled; the next process() or dispose() ends every sounding note.
    void allNotesOff();

    std::size_t scheduledCount() const;
    std::size_t soundingCount() const;

    class Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace Lumora::MIDI
