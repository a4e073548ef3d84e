#pragma once

#include <deque>
#include <mutex>
#include <utility>

#include "engine/audio/iAudioEngine.h"

namespace Lumora {

// Receives the processed MIDI of every render cycle. The render thread only queues; the main
// thread's timer calls dispatch.
class iAudioEngine::MidiObserver {
public:
    virtual ~MidiObserver() = default;
    virtual void handleMidiMessage(const MidiMessage& message) = 0;

    // Appends every message, in order.
    void push(const std::deque<MidiMessage>& midi);
    // Hands every queued message to handleMidiMessage, then empties the queue. A handler that
    // throws leaves the queue filled.
    void dispatch();

protected:
    std::deque<MidiMessage> queue;
    std::recursive_mutex mutex;
};

// Receives the engine's notifications (id and parameter), queued the same way.
class iAudioEngine::NotificationObserver {
public:
    virtual ~NotificationObserver() = default;
    virtual void handleNotification(int id, int param) = 0;
    virtual void push(int id, int param);
    void dispatch();

protected:
    std::deque<std::pair<int32_t, int32_t>> queue;
    std::recursive_mutex mutex;
};

} // namespace Lumora
