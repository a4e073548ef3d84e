#include "plugin/audiounit/BufferedOutputBus.h"

#include <cstring>

namespace Lumora::Apple::AudioUnit {

void BufferedOutputBus::prepareOutputBufferList(Platform::AudioBufferList& outputList, std::uint32_t frameCount,
                                                bool zeroFill) {
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

} // namespace Lumora::Apple::AudioUnit
