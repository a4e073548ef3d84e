#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace Lumora::MIDI {

// One key that is down. Keys are identified and ordered by channel, then note; the
// velocity does not take part.
struct PressedNote {
    int channel = 0;
    int note = 0;
    int velocity = 0;

    bool sameKey(PressedNote const& o) const { return channel == o.channel && note == o.note; }
    bool operator<(PressedNote const& o) const {
        return channel != o.channel ? channel < o.channel : note < o.note;
    }
};

// An ordered set of keys (channel 0..15, note 0..255) with fixed storage: one bit per key
// plus its velocity, so inserting and removing on the render thread never allocates.
// Iteration runs by channel, then note.
class PressedNoteSet {
public:
    static constexpr int kChannels = 16;
    static constexpr int kNotes = 256;
    static constexpr std::size_t kKeys = kChannels * kNotes;

    class const_iterator {
    public:
        PressedNote operator*() const { return set_->at(index_); }
        const_iterator& operator++() {
            index_ = set_->nextFrom(index_ + 1);
            return *this;
        }
        bool operator==(const_iterator const& o) const { return index_ == o.index_; }
        bool operator!=(const_iterator const& o) const { return index_ != o.index_; }

    private:
        friend class PressedNoteSet;
        const_iterator(PressedNoteSet const* set, std::size_t index) : set_(set), index_(index) {}
        PressedNoteSet const* set_;
        std::size_t index_;
    };

    static bool isValidKey(int channel, int note) {
        return channel >= 0 && channel < kChannels && note >= 0 && note < kNotes;
    }

    // Adds the key unless it is already there (the first velocity stays). False when the key
    // was there already or lies outside the set's range.
    bool insert(PressedNote const& note);
    // True when the key was there.
    bool erase(int channel, int note);
    bool contains(int channel, int note) const;
    // The stored entry of a key that is in the set.
    PressedNote find(int channel, int note) const { return at(keyIndex(channel, note)); }

    void clear();
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }

    // The entry at position n (0-based) in set order; n must be below size().
    PressedNote nth(std::size_t n) const;

    const_iterator begin() const { return const_iterator(this, nextFrom(0)); }
    const_iterator end() const { return const_iterator(this, kKeys); }

private:
    static constexpr std::size_t kWords = kKeys / 64;

    static std::size_t keyIndex(int channel, int note) {
        return static_cast<std::size_t>(channel) * kNotes + static_cast<std::size_t>(note);
    }
    PressedNote at(std::size_t index) const {
        return PressedNote{static_cast<int>(index / kNotes), static_cast<int>(index % kNotes),
                           velocities_[index]};
    }
    // The first key at or after index that is in the set, or kKeys.
    std::size_t nextFrom(std::size_t index) const;

    std::array<uint64_t, kWords> bits_{};
    // Velocities are MIDI data bytes (0..255).
    std::array<uint8_t, kKeys> velocities_{};
    std::size_t count_ = 0;
};

} // namespace Lumora::MIDI
