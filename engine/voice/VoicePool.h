#pragma once

#include <cstddef>
#include <vector>

namespace Lumora {

class iVoice;

// One pool of voices in order of arrival (oldest at the front), held in a ring of fixed
// capacity: moving voices between pools on the render thread never allocates. The pools do
// not own their voices; the allocator's list of all voices does.
class VoicePool {
public:
    explicit VoicePool(size_t capacity = 0);

    // Sets the capacity; only before use, never on the render thread.
    void reserve(size_t capacity);

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return ring_.size(); }

    iVoice* front() const { return size_ == 0 ? nullptr : ring_[head_]; }
    // The i-th voice from the front.
    iVoice* at(size_t i) const { return ring_[(head_ + i) % ring_.size()]; }

    // False when the pool is full (cannot happen while every voice is in exactly one pool).
    bool pushBack(iVoice* voice);
    iVoice* popFront();
    // Removes the i-th voice from the front, keeping the order of the others.
    iVoice* removeAt(size_t i);
    // Removes the voice if present; true when it was.
    bool remove(const iVoice* voice);
    void clear() { head_ = 0; size_ = 0; }

private:
    std::vector<iVoice*> ring_;
    size_t head_ = 0;
    size_t size_ = 0;
};

} // namespace Lumora
