#include "engine/audio/iAudioEngineObservers.h"

namespace Lumora {

void iAudioEngine::MidiObserver::push(const std::deque<MidiMessage>& midi) {
    std::lock_guard lock(mutex);
    queue.insert(queue.end(), midi.begin(), midi.end());
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
