#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "engine/midi/MidiMessage.h"

namespace Lumora {

// A first-in first-out run of MIDI messages in storage taken once, at construction: appending to
// a full ring refuses the message instead of growing, so a render thread can use it without ever
// allocating or freeing. Not synchronized; an owner that shares it guards it.
class MidiMessageRing {
public:
    explicit MidiMessageRing(std::size_t capacity);

    // False when the ring is full: the message is not kept.
    bool push_back(const MidiMessage& message);
    void pop_front();
    const MidiMessage& front() const { return slots_[head_]; }
    void clear();

    std::size_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    std::size_t capacity() const { return slots_.size(); }

    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = MidiMessage;
        using difference_type = std::ptrdiff_t;
        using pointer = const MidiMessage*;
        using reference = const MidiMessage&;

        const_iterator() = default;
        reference operator*() const { return ring_->slots_[ring_->slotOf(index_)]; }
        pointer operator->() const { return &**this; }
        const_iterator& operator++() {
            ++index_;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++index_;
            return before;
        }
        bool operator==(const const_iterator& o) const { return index_ == o.index_; }
        bool operator!=(const const_iterator& o) const { return index_ != o.index_; }

    private:
        friend class MidiMessageRing;
        const_iterator(const MidiMessageRing* ring, std::size_t index) : ring_(ring), index_(index) {}
        const MidiMessageRing* ring_ = nullptr;
        std::size_t index_ = 0;   // counted from the front
    };

    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, count_); }

private:
    std::size_t slotOf(std::size_t index) const {
        const std::size_t slot = head_ + index;
        return slot < slots_.size() ? slot : slot - slots_.size();
    }

    std::vector<MidiMessage> slots_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
};

} // namespace Lumora
