#include "engine/midifx/Effector.h"

namespace Lumora::MIDI {

Effector::Effector() : output_(makeMidiQueue()) {}

Effector::~Effector() = default;

void Effector::activate(bool on) {
    if (on && (state_ == Deactivating || state_ == Inactive)) {
        state_ = Activating;
    } else if (!on && (state_ == Activating || state_ == Active)) {
        state_ = Deactivating;
    }
}

MidiQueue const& Effector::process(MidiQueue const& in, Clock const& clock) {
    switch (state_) {
    case Inactive:
        recordOfflinePressedNotes(in);
        return in;
    case Activating:
        state_ = Active;
        if (_prepareProcess(offlinePressedNotes_)) {
            output_.clear();
            for (PressedNote const note : offlinePressedNotes_) {
                output_.emplace_back(0x80, note.channel, note.note, note.velocity);
            }
            MidiQueue const& processed = _process(in, clock);
            output_.insert(output_.end(), processed.begin(), processed.end());
            offlinePressedNotes_.clear();
            return output_;
        }
        offlinePressedNotes_.clear();
        return _process(in, clock);
    case Deactivating: {
        state_ = Inactive;
        output_.clear();
        MidiQueue const& disposed = _dispose();
        output_.insert(output_.end(), disposed.begin(), disposed.end());
        output_.insert(output_.end(), in.begin(), in.end());
        recordOfflinePressedNotes(output_);
        return output_;
    }
    case Active:
    default:
        return _process(in, clock);
    }
}

void Effector::allNotesOff() {
    offlinePressedNotes_.clear();
    _allNotesOff();
}

void Effector::recordOfflinePressedNotes(MidiQueue const& midi) {
    for (MidiMessage const& message : midi) {
        if (message.kind() == 0x80) {
            offlinePressedNotes_.erase(message.channel(), message.data1());
        } else if (message.kind() == 0x90) {
            offlinePressedNotes_.insert(PressedNote{message.channel(), message.data1(), message.data2()});
        }
    }
}

} // namespace Lumora::MIDI
