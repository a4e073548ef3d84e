#include "platform/midi/AlsaSeqEvent.h"

#include <algorithm>

namespace Platform {

namespace {

uint8_t byteOf(long value) { return static_cast<uint8_t>(std::clamp<long>(value, 0, 127)); }

MidiBytes channelMessage(uint8_t kind, unsigned channel, long data1, long data2) {
    return {static_cast<uint8_t>(kind | (channel & 0x0F)), byteOf(data1), byteOf(data2)};
}

} // namespace

std::optional<MidiBytes> midiBytesOf(const snd_seq_event_t& event) {
    const snd_seq_ev_note_t& note = event.data.note;
    const snd_seq_ev_ctrl_t& control = event.data.control;
    switch (event.type) {
    case SND_SEQ_EVENT_NOTEON:
        return channelMessage(0x90, note.channel, note.note, note.velocity);
    case SND_SEQ_EVENT_NOTEOFF:
        return channelMessage(0x80, note.channel, note.note, note.velocity);
    case SND_SEQ_EVENT_KEYPRESS:
        return channelMessage(0xA0, note.channel, note.note, note.velocity);
    case SND_SEQ_EVENT_CONTROLLER:
        return channelMessage(0xB0, control.channel, control.param, control.value);
    case SND_SEQ_EVENT_PGMCHANGE:
        return channelMessage(0xC0, control.channel, control.value, 0);
    case SND_SEQ_EVENT_CHANPRESS:
        return channelMessage(0xD0, control.channel, control.value, 0);
    case SND_SEQ_EVENT_PITCHBEND: {
        // The sequencer's bend is centred on 0 (-8192..8191); the message's on 8192.
        const long value = std::clamp<long>(control.value + 8192, 0, 16383);
        return channelMessage(0xE0, control.channel, value & 0x7F, value >> 7);
    }
    case SND_SEQ_EVENT_CLOCK:
        return MidiBytes{0xF8, 0, 0};
    case SND_SEQ_EVENT_START:
        return MidiBytes{0xFA, 0, 0};
    case SND_SEQ_EVENT_CONTINUE:
        return MidiBytes{0xFB, 0, 0};
    case SND_SEQ_EVENT_STOP:
        return MidiBytes{0xFC, 0, 0};
    default:
        return std::nullopt;
    }
}

} // namespace Platform
