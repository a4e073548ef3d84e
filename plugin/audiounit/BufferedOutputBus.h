#pragma once

#include <cstring>

#include "plugin/audiounit/BufferedAudioBus.h"

namespace Lumora::Apple::AudioUnit {

// The output bus: lends its buffer to host buffers that come without data.
class BufferedOutputBus : public BufferedAudioBus {
public:
    // Sets every host buffer's channel count and byte size for frameCount frames, points a
    // buffer without data at the bus's own channel, and clears the frames when asked. The host's
    // list must have as many buffers as the bus has channels and frameCount must not exceed the
    // maximum (the caller checks both). Inline: every render call runs it.
    void prepareOutputBufferList(Platform::AudioBufferList& outputList, std::uint32_t frameCount, bool zeroFill) {
        std::uint32_t const byteSize = frameCount * sizeof(float);
        for (std::uint32_t i = 0; i < outputList.numberBuffers; ++i) {
            Platform::AudioBuffer& buffer = outputList.buffers[i];
            buffer.numberChannels = originalList_->buffers[i].numberChannels;
            buffer.dataByteSize = byteSize;
            if (buffer.data == nullptr)
                buffer.data = originalList_->buffers[i].data;
            if (zeroFill)
                std::memset(buffer.data, 0, byteSize);
        }
    }
};

} // namespace Lumora::Apple::AudioUnit
