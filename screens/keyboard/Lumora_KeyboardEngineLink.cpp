#include "screens/keyboard/Lumora_KeyboardEngineLink.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/midi/MidiMessage.h"
#include "model/core/Lumora_Core.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"

#include <algorithm>

namespace {

constexpr int kNoteOff = 0x80;
constexpr int kNoteOn = 0x90;

} // namespace

Lumora_KeyboardEngineLink::Lumora_KeyboardEngineLink(Lumora_Core& core, Lumora_KeyboardScrollView* keyboard)
    : core_(core), keyboard_(keyboard)
{
    if (keyboard)
        keyboard->setKeybordDelegate(this);
    core_.addMidiObserver(this);
    core_.addAudioEngineObserver(this);
}

Lumora_KeyboardEngineLink::~Lumora_KeyboardEngineLink()
{
    core_.removeMidiObserver(this);
    core_.removeAudioEngineObserver(this);
    if (auto* keyboard = keyboard_.get(); keyboard && keyboard->keybordDelegate() == this)
        keyboard->setKeybordDelegate(nullptr);
}

void Lumora_KeyboardEngineLink::send(int status, std::int32_t note, std::int32_t velocity)
{
    // A key of a keyboard reaching beyond the MIDI range has no note to play.
    if (note < 0 || note > 127)
        return;
    Lumora::iAudioEngine* engine = core_.audioEngine();
    if (!engine)
        return;
    engine->sendMidi(Lumora::MidiMessage(status, engine->safeMidiChannel(), note, velocity));
}

void Lumora_KeyboardEngineLink::keyDown(std::int32_t note, std::int32_t velocity)
{
    // A note-on of velocity 0 would be a note-off: a touch at the very top of a key still plays.
    send(kNoteOn, note, std::clamp(velocity, 1, 127));
}

void Lumora_KeyboardEngineLink::keyUp(std::int32_t note, std::int32_t velocity)
{
    send(kNoteOff, note, std::clamp(velocity, 0, 127));
}

void Lumora_KeyboardEngineLink::receiveMidi(Lumora::MidiMessage const* message)
{
    auto* keyboard = keyboard_.get();
    if (!keyboard || !message)
        return;
    int const type = message->kind();
    if (type == kNoteOff)
        keyboard->noteOff(message->data1(), message->data2());
    else if (type == kNoteOn)
        keyboard->noteOn(message->data1(), message->data2());
    else if (Lumora_KeyboardScrollView::isAllNotesOff(*message))
        keyboard->allNotesOff();
}

void Lumora_KeyboardEngineLink::receiveAudioEngineNotificationWithID(int id, int param)
{
    auto* keyboard = keyboard_.get();
    if (!keyboard)
        return;
    if (id == Lumora::iAudioEngine::NoteHeld)
        keyboard->hold(param, true);
    else if (id == Lumora::iAudioEngine::NoteReleased)
        keyboard->hold(param, false);
}
