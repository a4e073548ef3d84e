#include "engine/voice/VoicePool.h"

namespace Lumora {

VoicePool::VoicePool(size_t capacity) : ring_(capacity, nullptr) {}

void VoicePool::reserve(size_t capacity) {
    if (capacity <= ring_.size()) {
        return;
    }
    std::vector<iVoice*> ring(capacity, nullptr);
    for (size_t i = 0; i < size_; ++i) {
        ring[i] = at(i);
    }
    ring_.swap(ring);
    head_ = 0;
}

bool VoicePool::pushBack(iVoice* voice) {
    if (size_ == ring_.size()) {
        return false;
    }
    ring_[(head_ + size_) % ring_.size()] = voice;
    ++size_;
    return true;
}

iVoice* VoicePool::popFront() {
    if (size_ == 0) {
        return nullptr;
    }
    iVoice* voice = ring_[head_];
    head_ = (head_ + 1) % ring_.size();
    --size_;
    return voice;
}

iVoice* VoicePool::removeAt(size_t i) {
    if (i >= size_) {
        return nullptr;
    }
    iVoice* voice = at(i);
    // Close the gap by moving the later voices one place towards the front.
    for (size_t k = i; k + 1 < size_; ++k) {
        ring_[(head_ + k) % ring_.size()] = at(k + 1);
    }
    --size_;
    return voice;
}

bool VoicePool::remove(const iVoice* voice) {
    for (size_t i = 0; i < size_; ++i) {
        if (at(i) == voice) {
            removeAt(i);
            return true;
        }
    }
    return false;
}

} // namespace Lumora
