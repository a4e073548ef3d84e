#pragma once

#include <cstdint>

#include "engine/midifx/MidiQueue.h"
#include "engine/midifx/PressedNoteSet.h"

namespace Lumora {
class Clock;
}

namespace Lumora::MIDI {

// A transformation of the block's MIDI in front of the instrument that can be switched on
// and off at any block without leaving notes hanging. While off it passes MIDI through and
// remembers which notes sound, so that switching on can take them over or end them; switching
// off lets the subclass release what it holds. Render thread only.
class Effector {
public:
    using PressedNote = MIDI::PressedNote;

    enum State : int { Activating = 0, Active = 1, Deactivating = 2, Inactive = 3 };

    Effector();
    virtual ~Effector();

    Effector(Effector const&) = delete;
    Effector& operator=(Effector const&) = delete;

    // on: from deactivating or inactive to activating; off: from activating or active to
    // deactivating. The next process() completes the change.
    void activate(bool on);
    int state() const { return state_; }

    // One block. The answer stays valid until the effector's next call.
    virtual MidiQueue const& process(MidiQueue const& in, Clock const& clock);

    // Ends everything the effector holds: the notes recorded while it passed MIDI through
    // are forgotten and the subclass drops its keys; the note-offs this takes come first in
    // the next process() output. Render thread, between blocks (the engine's all-notes-off).
    void allNotesOff();

    void recordOfflinePressedNotes(MidiQueue const& midi);
    PressedNoteSet const& offlinePressedNotes() const { return offlinePressedNotes_; }

protected:
    // Switching on with the notes that sounded while the effector was off. True: the base
    // ends those notes before the first processed block; false: the subclass took them over.
    virtual bool _prepareProcess(PressedNoteSet const& offlinePressedNotes) = 0;
    virtual MidiQueue const& _process(MidiQueue const& in, Clock const& clock) = 0;
    // Switching off: the note-offs (and note-ons) that hand the sounding notes back.
    virtual MidiQueue const& _dispose() = 0;
    virtual void _allNotesOff() = 0;

private:
    int state_ = Active;
    MidiQueue output_;
    PressedNoteSet offlinePressedNotes_;
};

} // namespace Lumora::MIDI
