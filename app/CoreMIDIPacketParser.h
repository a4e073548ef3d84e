#pragma once

#include <cstdint>
#include <span>

namespace Lumora::CoreMIDI {

class Observer;

// Splits the bytes of one packet into channel and real-time messages and hands each to the
// observer at once with the given kind. Packets are parsed on their own: no status runs on
// from one packet (or one message) to the next, data bytes without a status of their own are
// skipped, system-exclusive data is skipped, and only clock, start, continue and stop of the
// system messages pass. A channel message cut short by the packet's end is delivered with 0 for
// the missing byte (a note-on so cut becomes a note-off).
void parsePacket(std::span<const uint8_t> data, int kind, Observer& observer);

} // namespace Lumora::CoreMIDI
