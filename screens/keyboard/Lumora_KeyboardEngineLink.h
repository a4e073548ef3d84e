#pragma once

#include "model/core/Lumora_CoreObservers.h"
#include "platform/ui/WeakRef.h"
#include "screens/keyboard/Lumora_KeybordDelegate.h"

#include <cstdint>

class Lumora_Core;
class Lumora_KeyboardScrollView;

// Plays the engine from an on-screen keyboard and shows the engine's notes on it. Key presses
// and releases become note-on and note-off messages on the engine's MIDI input channel, queued
// with sendMidi; the MIDI the engine processed lights and unlights the keys, and the
// keyboard-hold notifications (1011 latched, 1012 released) mark the held keys. While linked it
// is the keyboard's delegate and a MIDI and engine observer of the model.
class Lumora_KeyboardEngineLink : public Lumora_KeybordDelegate,
                                  public Lumora_Midi_Observer,
                                  public Lumora_AudioEngine_Observer {
public:
    // The model must outlive the link; the keyboard is held unretained.
    Lumora_KeyboardEngineLink(Lumora_Core& core, Lumora_KeyboardScrollView* keyboard);
    ~Lumora_KeyboardEngineLink() override;
    Lumora_KeyboardEngineLink(Lumora_KeyboardEngineLink const&) = delete;
    Lumora_KeyboardEngineLink& operator=(Lumora_KeyboardEngineLink const&) = delete;

    void keyDown(std::int32_t note, std::int32_t velocity) override;
    void keyUp(std::int32_t note, std::int32_t velocity) override;
    void receiveMidi(Lumora::MidiMessage const* message) override;
    void receiveAudioEngineNotificationWithID(int id, int param) override;

private:
    void send(int status, std::int32_t note, std::int32_t velocity);

    Lumora_Core& core_;
    Platform::WeakRef<Lumora_KeyboardScrollView> keyboard_;
};
