#include "model/core/MidiObserverForCore.h"

#include "model/core/Lumora_Core.h"

void MidiObserverForCore::handleMidiMessage(Lumora::MidiMessage const& message) {
    core_.receiveMidi(&message);
}

void MidiObserverForCore::deliver() {
    dispatchWithoutLock(delivering_);
}
