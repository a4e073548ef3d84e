#include "plugin/audiounit/BufferedAudioBus.h"

namespace Lumora::Apple::AudioUnit {

bool BufferedAudioBus::init(Platform::AudioFormat const& format) {
    bus_ = Platform::AudioUnitBus::make(format);
    return bus_ != nullptr;
}

bool BufferedAudioBus::allocateRenderResources(unsigned maximumFrames) {
    deallocateRenderResources();
    if (bus_ == nullptr)
        return false;
    buffer_ = Platform::PCMBuffer::make(bus_->format(), maximumFrames);
    if (buffer_ == nullptr)
        return false;
    maxFrames_ = maximumFrames;
    originalList_ = buffer_->audioBufferList();
    mutableList_ = buffer_->mutableAudioBufferList();
    return true;
}

void BufferedAudioBus::deallocateRenderResources() {
    maxFrames_ = 0;
    buffer_.reset();
    originalList_ = nullptr;
    mutableList_ = nullptr;
}

} // namespace Lumora::Apple::AudioUnit
