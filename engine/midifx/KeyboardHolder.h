#pragma once

#include <memory>

#include "engine/midifx/ChangedHeldNotes.h"
#include "engine/midifx/Effector.h"

namespace Lumora::MIDI {

// Keeps notes sounding after their keys are released. Latch mode (0): a new chord, started
// when no key was down, replaces the held notes. Toggle mode (any other value): each key
// press switches its note on or off. Notes whose held state changes are collected for the
// on-screen keyboard.
class KeyboardHolder : public Effector {
public:
    enum Mode : unsigned { Latch = 0, Toggle = 1 };

    KeyboardHolder();
    ~KeyboardHolder() override;

    void setMode(unsigned mode);
    unsigned mode() const;

    // Notes whose held state changed since the last drain.
    ChangedHeldNotes& changedHeldNotes();
    // Reports every changed pair in set order (1011 held, 1012 released) and empties the set.
    void drainChangedHeldNotes(HeldNoteObserver& observer);

    PressedNoteSet const& heldNotes() const;
    PressedNoteSet const& pressedKeys() const;

    class Impl;

protected:
    bool _prepareProcess(PressedNoteSet const& offlinePressedNotes) override;
    MidiQueue const& _process(MidiQueue const& in, Clock const& clock) override;
    MidiQueue const& _dispose() override;
    void _allNotesOff() override;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace Lumora::MIDI
