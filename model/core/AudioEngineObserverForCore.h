#pragma once

#include <cstdint>
#include <deque>
#include <utility>

#include "engine/audio/iAudioEngineObservers.h"

class Lumora_Core;

// Carries the engine's notifications from the render thread (and the main thread's document
// work) to the model's timer tick, oldest first; delivered like the MIDI bridge, without the
// queue's lock held while the screens run.
class AudioEngineObserverForCore : public Lumora::iAudioEngine::NotificationObserver {
public:
    // The model owns the bridge, so the reference outlives every call.
    explicit AudioEngineObserverForCore(Lumora_Core& core) : core_(core) {}

    // Sends the notification to the model.
    void handleNotification(int id, int param) override;

    // Main thread, once per tick.
    void deliver();

private:
    Lumora_Core& core_;
    // Main thread only; swapped with the base's queue like the MIDI bridge's.
    Queue delivering_;
};
