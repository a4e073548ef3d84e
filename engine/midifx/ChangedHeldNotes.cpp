#include "engine/midifx/ChangedHeldNotes.h"

namespace Lumora::MIDI {

namespace {
// A release sorts before a hold of the same note.
std::size_t pairIndex(int note, bool held) {
    return static_cast<std::size_t>(note) * 2 + (held ? 1 : 0);
}
bool isValidNote(int note) { return note >= 0 && note < ChangedHeldNotes::kNotes; }
} // namespace

void ChangedHeldNotes::add(int note, bool held) {
    if (isValidNote(note)) {
        std::size_t const index = pairIndex(note, held);
        bits_[index / 64] |= uint64_t{1} << (index % 64);
    }
}

bool ChangedHeldNotes::contains(int note, bool held) const {
    if (!isValidNote(note)) {
        return false;
    }
    std::size_t const index = pairIndex(note, held);
    return (bits_[index / 64] >> (index % 64)) & 1u;
}

bool ChangedHeldNotes::empty() const {
    for (uint64_t const word : bits_) {
        if (word != 0) {
            return false;
        }
    }
    return true;
}

} // namespace Lumora::MIDI
