#include "model/core/MidiObserverForCore.h"

#include <mutex>

#include "model/core/Lumora_Core.h"

void MidiObserverForCore::handleMidiMessage(Lumora::MidiMessage const& message) {
    core_.receiveMidi(&message);
}

void MidiObserverForCore::deliver() {
    {
        std::lock_guard lock(mutex);
        delivering_.swap(queue);
    }
    // Emptied even when a handler throws, so no message is delivered twice.
    struct Clear {
        std::deque<Lumora::MidiMessage>& queue;
        ~Clear() { queue.clear(); }
    } clear{delivering_};
    for (Lumora::MidiMessage const& message : delivering_)
        handleMidiMessage(message);
}
