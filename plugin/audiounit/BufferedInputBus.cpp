#include "plugin/audiounit/BufferedInputBus.h"

namespace Lumora::Apple::AudioUnit {

Platform::AudioStatus BufferedInputBus::pullInput(Platform::RenderActionFlags& flags,
                                                  Platform::AudioTimeStamp const& timestamp, std::uint32_t frameCount,
                                                  std::int64_t inputBusNumber,
                                                  Platform::RenderPullInputBlock const* pullInputBlock) {
    if (pullInputBlock == nullptr || !*pullInputBlock || mutableList_ == nullptr)
        return Platform::AudioUnitStatus::NoConnection;
    prepareInputBufferList();
    return (*pullInputBlock)(flags, timestamp, frameCount, inputBusNumber, *mutableList_);
}

void BufferedInputBus::prepareInputBufferList() {
    std::uint32_t const byteSize = maxFrames_ * sizeof(float);
    mutableList_->numberBuffers = originalList_->numberBuffers;
    for (std::uint32_t i = 0; i < originalList_->numberBuffers; ++i) {
        mutableList_->buffers[i].numberChannels = originalList_->buffers[i].numberChannels;
        mutableList_->buffers[i].data = originalList_->buffers[i].data;
        mutableList_->buffers[i].dataByteSize = byteSize;
    }
}

} // namespace Lumora::Apple::AudioUnit
