#pragma once

#include <deque>

#include "engine/audio/iAudioEngineObservers.h"

class Lumora_Core;

// Carries the MIDI the engine processed from the render thread to the model's timer tick. The
// render thread pushes into the base's queue; the tick swaps the queue out under its lock and
// hands the messages on without it, oldest first, so a screen's handler never holds up the
// render thread, and MIDI that a handler causes waits for the next tick.
class MidiObserverForCore : public Lumora::iAudioEngine::MidiObserver {
public:
    // The model owns the bridge, so the reference outlives every call.
    explicit MidiObserverForCore(Lumora_Core& core) : core_(core) {}

    // Sends the message to the model's MIDI observers.
    void handleMidiMessage(Lumora::MidiMessage const& message) override;

    // Main thread, once per tick.
    void deliver();

private:
    Lumora_Core& core_;
    // Main thread only. Swapped with the base's queue; both keep their slots, so the render
    // thread's pushes reuse storage.
    Queue delivering_;
};
