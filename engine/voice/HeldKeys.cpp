#include "engine/voice/HeldKeys.h"

namespace Lumora {

void HeldKeys::insert(int note) {
    if (inRange(note)) {
        keys_.set(static_cast<size_t>(note));
    }
}

void HeldKeys::erase(int note) {
    if (inRange(note)) {
        keys_.reset(static_cast<size_t>(note));
    }
}

bool HeldKeys::contains(int note) const {
    return inRange(note) && keys_.test(static_cast<size_t>(note));
}

int HeldKeys::lowest() const {
    for (int note = 0; note < kNoteCount; ++note) {
        if (keys_.test(static_cast<size_t>(note))) {
            return note;
        }
    }
    return -1;
}

} // namespace Lumora
