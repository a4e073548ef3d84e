#include "plugin/lv2/Lv2RenderEvents.h"

#include <algorithm>

namespace Lumora::Lv2 {

void Lv2RenderEvents::reserve(std::size_t capacity) {
    events_.assign(capacity, Platform::RenderEvent{});
    frames_.assign(capacity, 0);
    clear();
}

Platform::RenderEvent* Lv2RenderEvents::next() {
    if (used_ >= events_.size()) {
        ++dropped_;
        return nullptr;
    }
    Platform::RenderEvent* e = &events_[used_];
    *e = Platform::RenderEvent{};
    return e;
}

bool Lv2RenderEvents::addMidi(std::uint32_t frame, std::uint8_t const* bytes, std::uint32_t length) {
    // The unit takes messages of up to three bytes; system exclusive is not for it.
    if (length == 0 || length > 3 || bytes[0] == 0xF0)
        return false;
    Platform::RenderEvent* e = next();
    if (e == nullptr)
        return false;
    e->eventType = Platform::RenderEventType::MIDI;
    e->length = static_cast<std::uint16_t>(length);
    std::copy(bytes, bytes + length, e->data.begin());
    frames_[used_++] = frame;
    return true;
}

bool Lv2RenderEvents::addParameter(std::uint32_t frame, std::uint64_t address, float normalizedValue) {
    Platform::RenderEvent* e = next();
    if (e == nullptr)
        return false;
    e->eventType = Platform::RenderEventType::Parameter;
    e->parameterAddress = address;
    e->value = normalizedValue;
    frames_[used_++] = frame;
    return true;
}

Platform::RenderEvent const* Lv2RenderEvents::link(std::uint32_t from, std::uint32_t to, std::int64_t sampleTime) {
    Platform::RenderEvent* head = nullptr;
    Platform::RenderEvent* tail = nullptr;
    while (taken_ < used_ && frames_[taken_] < to) {
        Platform::RenderEvent* e = &events_[taken_];
        // An event added behind the chunk already rendered (out of order) goes to this chunk's start.
        e->eventSampleTime = sampleTime + std::max(frames_[taken_], from);
        e->next = nullptr;
        if (tail != nullptr)
            tail->next = e;
        else
            head = e;
        tail = e;
        ++taken_;
    }
    return head;
}

} // namespace Lumora::Lv2
