#include "model/core/AudioEngineObserverForCore.h"

#include <mutex>

#include "model/core/Lumora_Core.h"

void AudioEngineObserverForCore::handleNotification(int id, int param) {
    core_.receiveAudioEngineNotificationWithID(id, param);
}

void AudioEngineObserverForCore::deliver() {
    {
        std::lock_guard lock(mutex);
        delivering_.swap(queue);
    }
    struct Clear {
        std::deque<std::pair<std::int32_t, std::int32_t>>& queue;
        ~Clear() { queue.clear(); }
    } clear{delivering_};
    for (auto const& [id, param] : delivering_)
        handleNotification(id, param);
}
