#include "engine/midifx/KeyboardHolder.h"

namespace Lumora::MIDI {

class KeyboardHolder::Impl {
public:
    Impl() : output(makeMidiQueue()) {}
    virtual ~Impl() = default;

    void prepareProcess(PressedNoteSet const& offlinePressedNotes);
    MidiQueue const& process(MidiQueue const& in);
    MidiQueue const& dispose();
    void allNotesOff();

    unsigned mode = KeyboardHolder::Toggle;
    PressedNoteSet pressed;
    PressedNoteSet held;
    MidiQueue output;
    ChangedHeldNotes changed;
    // Notes dropped by an all-notes-off whose note-offs the next block still has to send.
    PressedNoteSet ended;
    // Keys down whose press ended their held note in toggle mode: the note already got its
    // note-off, so the key's own note-off is swallowed.
    PressedNoteSet toggledOff;
    // Latch: the keys pressed in this block since the last moment no key was down.
    PressedNoteSet chordKeys;

private:
    void beginBlock();
    void processLatch(MidiQueue const& in);
    void processToggle(MidiQueue const& in);
    void hold(MidiMessage const& noteOn);
    void release(PressedNote const& note);
};

void KeyboardHolder::Impl::prepareProcess(PressedNoteSet const& offlinePressedNotes) {
    for (PressedNote const note : offlinePressedNotes) {
        pressed.insert(note);
        held.insert(note);
        changed.add(note.note, true);
    }
}

void KeyboardHolder::Impl::beginBlock() {
    output.clear();
    for (PressedNote const note : ended) {
        output.emplace_back(0x80, note.channel, note.note, 0);
    }
    ended.clear();
}

MidiQueue const& KeyboardHolder::Impl::process(MidiQueue const& in) {
    beginBlock();
    if (mode == KeyboardHolder::Latch) {
        processLatch(in);
    } else {
        processToggle(in);
    }
    return output;
}

void KeyboardHolder::Impl::hold(MidiMessage const& noteOn) {
    held.insert(PressedNote{noteOn.channel(), noteOn.data1(), noteOn.data2()});
    output.push_back(noteOn);
    changed.add(noteOn.data1(), true);
}

void KeyboardHolder::Impl::release(PressedNote const& note) {
    output.emplace_back(0x80, note.channel, note.note, 0);
    changed.add(note.note, false);
    held.erase(note.channel, note.note);
}

void KeyboardHolder::Impl::processLatch(MidiQueue const& in) {
    // A note-on that finds no key down starts a new chord, also when keys were let go and
    // pressed again within this block; a chord tapped shorter than a block still replaces
    // the held one and stays held itself.
    bool chordStarted = false;
    chordKeys.clear();
    for (MidiMessage const& message : in) {
        int const channel = message.channel();
        int const note = message.data1();
        if (message.kind() == 0x80) {
            pressed.erase(channel, note);
            toggledOff.erase(channel, note);
            if (!held.contains(channel, note)) {
                output.push_back(message);
            }
        } else if (message.kind() == 0x90) {
            if (pressed.empty()) {
                chordStarted = true;
                chordKeys.clear();
            }
            PressedNote const key{channel, note, message.data2()};
            pressed.insert(key);
            if (chordStarted) {
                chordKeys.insert(key);
            }
            toggledOff.erase(channel, note);
            if (!held.contains(channel, note)) {
                hold(message);
            }
        } else {
            output.push_back(message);
        }
    }
    // The new chord's note-ons are already out, so the old chord ends after the new one starts.
    if (chordStarted) {
        for (PressedNote const note : held) {
            if (!pressed.contains(note.channel, note.note) && !chordKeys.contains(note.channel, note.note)) {
                release(note);
            }
        }
    }
}

void KeyboardHolder::Impl::processToggle(MidiQueue const& in) {
    for (MidiMessage const& message : in) {
        int const channel = message.channel();
        int const note = message.data1();
        if (message.kind() == 0x80) {
            pressed.erase(channel, note);
            bool const alreadyEnded = toggledOff.erase(channel, note);
            if (!alreadyEnded && !held.contains(channel, note)) {
                output.push_back(message);
            }
        } else if (message.kind() == 0x90) {
            pressed.insert(PressedNote{channel, note, message.data2()});
            toggledOff.erase(channel, note);
            if (held.contains(channel, note)) {
                release(held.find(channel, note));
                toggledOff.insert(PressedNote{channel, note, 0});
            } else {
                hold(message);
            }
        } else {
            output.push_back(message);
        }
    }
}

MidiQueue const& KeyboardHolder::Impl::dispose() {
    beginBlock();
    // Keys still physically down keep sounding; their own note-offs pass through later.
    for (PressedNote const note : held) {
        if (!pressed.contains(note.channel, note.note)) {
            output.emplace_back(0x80, note.channel, note.note, 0);
        }
        changed.add(note.note, false);
    }
    pressed.clear();
    held.clear();
    toggledOff.clear();
    return output;
}

void KeyboardHolder::Impl::allNotesOff() {
    for (PressedNote const note : held) {
        ended.insert(note);
        changed.add(note.note, false);
    }
    pressed.clear();
    held.clear();
    toggledOff.clear();
}

KeyboardHolder::KeyboardHolder() : impl_(std::make_unique<Impl>()) {}

KeyboardHolder::~KeyboardHolder() = default;

void KeyboardHolder::setMode(unsigned mode) { impl_->mode = mode; }

unsigned KeyboardHolder::mode() const { return impl_->mode; }

ChangedHeldNotes& KeyboardHolder::changedHeldNotes() { return impl_->changed; }

void KeyboardHolder::drainChangedHeldNotes(HeldNoteObserver& observer) {
    impl_->changed.forEach([&observer](int note, bool held) {
        observer.heldNoteChanged(held ? kNoteHeldNotification : kNoteReleasedNotification, note);
    });
    impl_->changed.clear();
}

PressedNoteSet const& KeyboardHolder::heldNotes() const { return impl_->held; }

PressedNoteSet const& KeyboardHolder::pressedKeys() const { return impl_->pressed; }

bool KeyboardHolder::_prepareProcess(PressedNoteSet const& offlinePressedNotes) {
    impl_->prepareProcess(offlinePressedNotes);
    return false;
}

MidiQueue const& KeyboardHolder::_process(MidiQueue const& in, Clock const&) {
    return impl_->process(in);
}

MidiQueue const& KeyboardHolder::_dispose() { return impl_->dispose(); }

void KeyboardHolder::_allNotesOff() { impl_->allNotesOff(); }

} // namespace Lumora::MIDI
