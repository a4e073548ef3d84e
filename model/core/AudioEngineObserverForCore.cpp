#include "model/core/AudioEngineObserverForCore.h"

#include <cstddef>

#include "model/core/Lumora_Core.h"

void AudioEngineObserverForCore::handleNotification(int id, int param) {
    core_.receiveAudioEngineNotificationWithID(id, param);
}

void AudioEngineObserverForCore::deliver() {
    std::size_t const count = takeQueue(delivering_);
    for (std::size_t i = 0; i < count; ++i)
        handleNotification(delivering_[i].first, delivering_[i].second);
}
