#pragma once

#include <cstdint>
#include <vector>

#include "platform/audiounit/AudioUnitTypes.h"

namespace Lumora::Lv2 {

// The render events of one LV2 cycle in a list sized once, so that `run` never allocates. Events
// are added in frame order; a chunk of the cycle takes those inside it as a linked list at the
// host's sample times, the way the audio unit's render block expects them. Beyond the capacity
// further events are dropped (and counted).
class Lv2RenderEvents {
public:
    void reserve(std::size_t capacity);
    void clear() {
        used_ = 0;
        taken_ = 0;
    }

    bool addMidi(std::uint32_t frame, std::uint8_t const* bytes, std::uint32_t length);
    bool addParameter(std::uint32_t frame, std::uint64_t address, float normalizedValue);

    // Links the events with from <= frame < to (taken in order, from the first not yet taken)
    // at sampleTime + frame; nothing when there are none.
    Platform::RenderEvent const* take(std::uint32_t from, std::uint32_t to, std::int64_t sampleTime) {
        return taken_ < used_ ? link(from, to, sampleTime) : nullptr;
    }

    std::size_t size() const { return used_; }
    std::uint64_t dropped() const { return dropped_; }

private:
    Platform::RenderEvent* next();
    Platform::RenderEvent const* link(std::uint32_t from, std::uint32_t to, std::int64_t sampleTime);

    std::vector<Platform::RenderEvent> events_;
    std::vector<std::uint32_t> frames_;
    std::size_t used_ = 0;
    std::size_t taken_ = 0;
    std::uint64_t dropped_ = 0;
};

} // namespace Lumora::Lv2
