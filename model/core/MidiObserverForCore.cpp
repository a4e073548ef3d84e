#include "model/core/MidiObserverForCore.h"

#include <cstddef>

#include "model/core/Lumora_Core.h"

void MidiObserverForCore::handleMidiMessage(Lumora::MidiMessage const& message) {
    core_.receiveMidi(&message);
}

void MidiObserverForCore::deliver() {
    // The swapped-out queue's entries past count, and all of them once it is swapped back in,
    // are free slots: a handler that throws leaves nothing to be delivered twice.
    std::size_t const count = takeQueue(delivering_);
    for (std::size_t i = 0; i < count; ++i)
        handleMidiMessage(delivering_[i]);
}
