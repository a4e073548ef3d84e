#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <utility>

#include "engine/audio/iAudioEngine.h"

namespace Lumora {

// Receives the processed MIDI of every render cycle. The render thread only queues; the main
// thread's timer calls dispatch.
//
// The queue keeps its slots: the first `pending` entries wait for dispatch, the rest are
// spare storage that later pushes overwrite. A deque frees its nodes as it shrinks, so a
// queue emptied by clear() would make the render thread allocate again in the next busy tick.
class iAudioEngine::MidiObserver {
public:
    using Queue = std::deque<MidiMessage>;
    // Slots every queue holds once the main thread has had it: more than a busy tick brings.
    static constexpr std::size_t kKeptSlots = 256;

    MidiObserver();
    virtual ~MidiObserver() = default;
    virtual void handleMidiMessage(const MidiMessage& message) = 0;

    // Appends every message, in order.
    void push(const std::deque<MidiMessage>& midi);
    // Hands every queued message to handleMidiMessage, then empties the queue. A handler that
    // throws leaves the queue filled.
    void dispatch();

protected:
    // Main thread: like dispatch, but the handlers run without the lock, so they never hold up
    // the render thread and the MIDI they cause waits for the next call. spare (whose entries
    // all count as free; sized here to kKeptSlots) takes the queue's place and keeps the old
    // queue's storage; a handler that throws leaves nothing to be handed on twice.
    void dispatchWithoutLock(Queue& spare);

    Queue queue;
    std::size_t pending = 0;
    std::recursive_mutex mutex;
};

// Receives the engine's notifications (id and parameter), queued the same way.
class iAudioEngine::NotificationObserver {
public:
    using Queue = std::deque<std::pair<int32_t, int32_t>>;
    static constexpr std::size_t kKeptSlots = 256;

    NotificationObserver();
    virtual ~NotificationObserver() = default;
    virtual void handleNotification(int id, int param) = 0;
    virtual void push(int id, int param);
    void dispatch();

protected:
    // As MidiObserver::dispatchWithoutLock.
    void dispatchWithoutLock(Queue& spare);

    Queue queue;
    std::size_t pending = 0;
    std::recursive_mutex mutex;
};

} // namespace Lumora
