#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace Lumora::MIDI {

// Engine notifications for notes that the key holder starts or stops holding.
inline constexpr int kNoteHeldNotification = 1011;
inline constexpr int kNoteReleasedNotification = 1012;

// Receives the held-note changes of the key holder; the engine forwards each to its
// notification observers.
class HeldNoteObserver {
public:
    virtual ~HeldNoteObserver() = default;
    // id is kNoteHeldNotification or kNoteReleasedNotification.
    virtual void heldNoteChanged(int id, int note) = 0;
};

// The set of (note, held) pairs changed since the engine last drained it, ordered by note,
// then a release before a hold. Fixed storage: two bits per note 0..255.
class ChangedHeldNotes {
public:
    static constexpr int kNotes = 256;

    void add(int note, bool held);
    bool contains(int note, bool held) const;
    bool empty() const;
    void clear() { bits_.fill(0); }

    // Calls f(note, held) for every pair in set order.
    template <typename F>
    void forEach(F&& f) const {
        for (std::size_t w = 0; w < bits_.size(); ++w) {
            for (uint64_t word = bits_[w]; word != 0; word &= word - 1) {
                auto const index = w * 64 + static_cast<std::size_t>(std::countr_zero(word));
                f(static_cast<int>(index / 2), (index % 2) == 1);
            }
        }
    }

private:
    std::array<uint64_t, kNotes * 2 / 64> bits_{};
};

} // namespace Lumora::MIDI
