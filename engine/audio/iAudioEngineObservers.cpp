#include "engine/audio/iAudioEngineObservers.h"

namespace Lumora {

void iAudioEngine::MidiObserver::push(const std::deque<MidiMessage>& midi) {
    std::lock_guard lock(mutex);
    // One by one at the back: a range insert into an empty deque grows it at the front and
    // takes a new node each time, where push_back reuses the node that clear() kept.
    for (const MidiMessage& m : midi) {
        queue.push_back(m);
    }
}

void iAudioEngine::MidiObserver::dispatch() {
    std::lock_guard lock(mutex);
    for (const MidiMessage& m : queue) {
        handleMidiMessage(m);
    }
    queue.clear();
}

void iAudioEngine::NotificationObserver::push(int id, int param) {
    std::lock_guard lock(mutex);
    queue.emplace_back(id, param);
}

void iAudioEngine::NotificationObserver::dispatch() {
    std::lock_guard lock(mutex);
    for (const auto& [id, param] : queue) {
        handleNotification(id, param);
    }
    queue.clear();
}

} // namespace Lumora
