#include "engine/midi/MidiMessage.h"

#include <algorithm>
#include <array>

namespace Lumora {

namespace {

int clampByte(int v) { return std::clamp(v, 0, 255); }

// A note-on with velocity 0 is a note-off on the same channel.
int noteOffIfSilent(int status, int data2) {
    if ((status & 0xF0) == 0x90 && status < 0xF0 && data2 == 0) {
        return 0x80 | (status & 0x0F);
    }
    return status;
}

// 256 entries from note 0 (8.1758 Hz), each the previous one times the semitone ratio,
// one multiplication per step in double precision.
const std::array<double, 256>& noteTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        t[0] = 8.175798915636872;
        for (size_t i = 1; i < t.size(); ++i) {
            t[i] = t[i - 1] * 1.059463094359;
        }
        return t;
    }();
    return table;
}

// Fill the table before any code runs, so that the render thread never takes the guard's lock.
[[maybe_unused]] const auto& kNoteTableInit = noteTable();

} // namespace

MidiMessage::MidiMessage(int status, int data1, int data2)
    : status_(clampByte(status)), data1_(clampByte(data1)), data2_(clampByte(data2)) {
    status_ = noteOffIfSilent(status_, data2_);
}

MidiMessage::MidiMessage(int status, int channel, int data1, int data2)
    : status_((status & 0xF0) | std::clamp(channel, 0, 15)),
      data1_(clampByte(data1)),
      data2_(clampByte(data2)) {
    status_ = noteOffIfSilent(status_, data2_);
}

float MidiMessage::toPitchBend() const {
    if (kind() != 0xE0) {
        return 0.0f;
    }
    return static_cast<float>(data1_ + data2_ * 128 - 8192) / 8192.0f;
}

float NoteNumberToHz(int note) {
    return static_cast<float>(noteTable()[static_cast<size_t>(std::clamp(note, 0, 255))]);
}

} // namespace Lumora
