#pragma once

#include <cstdint>
#include <memory>

#include "platform/audiounit/AudioUnitBus.h"

namespace Lumora::Apple::AudioUnit {

// A bus of the plug-in's audio unit together with the sample buffer it renders into when the
// host gives no buffer of its own. The buffer exists between allocating and deallocating
// render resources, sized for the maximum frame count.
class BufferedAudioBus {
public:
    BufferedAudioBus() = default;
    BufferedAudioBus(BufferedAudioBus const&) = delete;
    BufferedAudioBus& operator=(BufferedAudioBus const&) = delete;
    virtual ~BufferedAudioBus() = default;

    // Makes the bus with the format; false when the format cannot be used.
    bool init(Platform::AudioFormat const& format);
    // A buffer of the bus's current format for maximumFrames frames; false when it cannot be made.
    bool allocateRenderResources(unsigned maximumFrames);
    void deallocateRenderResources();

    std::shared_ptr<Platform::AudioUnitBus> const& bus() const { return bus_; }
    unsigned maxFrames() const { return maxFrames_; }
    bool hasBuffer() const { return buffer_ != nullptr; }
    // The buffer's channel count (0 without a buffer).
    unsigned channelCount() const { return originalList_ != nullptr ? originalList_->numberBuffers : 0; }

protected:
    std::shared_ptr<Platform::AudioUnitBus> bus_;
    unsigned maxFrames_ = 0;
    std::shared_ptr<Platform::PCMBuffer> buffer_;
    Platform::AudioBufferList const* originalList_ = nullptr;
    Platform::AudioBufferList* mutableList_ = nullptr;
};

} // namespace Lumora::Apple::AudioUnit
