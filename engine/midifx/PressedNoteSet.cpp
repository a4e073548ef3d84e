#include "engine/midifx/PressedNoteSet.h"

#include <algorithm>

namespace Lumora::MIDI {

bool PressedNoteSet::insert(PressedNote const& note) {
    if (!isValidKey(note.channel, note.note) || contains(note.channel, note.note)) {
        return false;
    }
    std::size_t const index = keyIndex(note.channel, note.note);
    bits_[index / 64] |= uint64_t{1} << (index % 64);
    velocities_[index] = static_cast<uint8_t>(std::clamp(note.velocity, 0, 255));
    ++count_;
    return true;
}

bool PressedNoteSet::erase(int channel, int note) {
    if (!contains(channel, note)) {
        return false;
    }
    std::size_t const index = keyIndex(channel, note);
    bits_[index / 64] &= ~(uint64_t{1} << (index % 64));
    --count_;
    return true;
}

bool PressedNoteSet::contains(int channel, int note) const {
    if (!isValidKey(channel, note)) {
        return false;
    }
    std::size_t const index = keyIndex(channel, note);
    return (bits_[index / 64] >> (index % 64)) & 1u;
}

void PressedNoteSet::clear() {
    if (count_ != 0) {
        bits_.fill(0);
        count_ = 0;
    }
}

PressedNote PressedNoteSet::nth(std::size_t n) const {
    // Skip whole words by their population count, then clear the lowest bits of the word
    // that holds the n-th key until it is the lowest one left.
    for (std::size_t w = 0; w < kWords; ++w) {
        auto const inWord = static_cast<std::size_t>(std::popcount(bits_[w]));
        if (n < inWord) {
            uint64_t word = bits_[w];
            for (std::size_t i = 0; i < n; ++i) {
                word &= word - 1;
            }
            return at(w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
        }
        n -= inWord;
    }
    return PressedNote{};
}

std::size_t PressedNoteSet::nextFrom(std::size_t index) const {
    while (index < kKeys) {
        std::size_t const w = index / 64;
        uint64_t const word = bits_[w] >> (index % 64);
        if (word != 0) {
            return index + static_cast<std::size_t>(std::countr_zero(word));
        }
        index = (w + 1) * 64;
    }
    return kKeys;
}

} // namespace Lumora::MIDI
