#include "model/core/AudioEngineObserverForCore.h"

#include "model/core/Lumora_Core.h"

void AudioEngineObserverForCore::handleNotification(int id, int param) {
    core_.receiveAudioEngineNotificationWithID(id, param);
}

void AudioEngineObserverForCore::deliver() {
    dispatchWithoutLock(delivering_);
}
