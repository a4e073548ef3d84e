#pragma once

#include <cstdint>

namespace Lumora {

// One MIDI channel or system message. It carries no time stamp: everything handed to one
// engine call belongs to the start of that block.
class MidiMessage {
public:
    MidiMessage() = default;
    MidiMessage(int status, int data1, int data2);
    MidiMessage(int status, int channel, int data1, int data2);
    virtual ~MidiMessage() = default;

    MidiMessage(const MidiMessage&) = default;
    MidiMessage& operator=(const MidiMessage&) = default;

    int32_t status() const { return status_; }
    int32_t data1() const { return data1_; }
    int32_t data2() const { return data2_; }

    // The whole status byte for system messages, else the status without its channel bits.
    int32_t kind() const { return status_ >= 0xF0 ? status_ : (status_ & 0xF0); }
    int32_t channel() const { return status_ & 0x0F; }
    bool isSystem() const { return status_ >= 0xF0; }

    // For a pitch bend (data1 + data2 * 128 - 8192) / 8192, in [-1, 8191/8192]; 0 otherwise.
    float toPitchBend() const;

    bool operator==(const MidiMessage& o) const {
        return status_ == o.status_ && data1_ == o.data1_ && data2_ == o.data2_;
    }

private:
    int32_t status_ = 0;
    int32_t data1_ = 0;
    int32_t data2_ = 0;
};

// Equal-tempered frequency of a note number, clamped to 0..255 (note 69 is about 440 Hz).
float NoteNumberToHz(int note);

} // namespace Lumora
