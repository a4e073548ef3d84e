#pragma once

#include <cstddef>
#include <vector>

#include "engine/midi/MidiMessage.h"

namespace Lumora {

// The MIDI of one block, in order. Every queue on the render path is reserved once for
// kMidiQueueCapacity messages and only cleared between blocks: clear() keeps the capacity,
// so a block allocates nothing unless it carries more messages than any block before it.
using MidiQueue = std::vector<MidiMessage>;

inline constexpr std::size_t kMidiQueueCapacity = 1024;

inline MidiQueue makeMidiQueue() {
    MidiQueue queue;
    queue.reserve(kMidiQueueCapacity);
    return queue;
}

} // namespace Lumora
