#include "engine/midi/MidiMessageRing.h"

#include <algorithm>

namespace Lumora {

MidiMessageRing::MidiMessageRing(std::size_t capacity) : slots_(std::max<std::size_t>(capacity, 1)) {}

bool MidiMessageRing::push_back(const MidiMessage& message) {
    if (count_ == slots_.size()) {
        return false;
    }
    slots_[slotOf(count_)] = message;
    ++count_;
    return true;
}

void MidiMessageRing::pop_front() {
    if (count_ == 0) {
        return;
    }
    head_ = slotOf(1);
    --count_;
}

void MidiMessageRing::clear() {
    head_ = 0;
    count_ = 0;
}

} // namespace Lumora
