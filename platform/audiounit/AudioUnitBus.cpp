#include "platform/audiounit/AudioUnitBus.h"

#include <cmath>

namespace Platform {

bool AudioFormat::isValid() const {
    return std::isfinite(sampleRate) && sampleRate > 0.0 && channelCount >= 1 && channelCount <= kMaximumChannels;
}

std::shared_ptr<AudioUnitBus> AudioUnitBus::make(AudioFormat const& format) {
    if (!format.isValid())
        return nullptr;
    return std::make_shared<AudioUnitBus>(format);
}

bool AudioUnitBus::setFormat(AudioFormat const& format) {
    if (formatLocked_ || !format.isValid())
        return false;
    format_ = format;
    return true;
}

std::shared_ptr<PCMBuffer> PCMBuffer::make(AudioFormat const& format, unsigned frameCapacity) {
    if (!format.isValid() || frameCapacity == 0)
        return nullptr;
    return std::make_shared<PCMBuffer>(format, frameCapacity);
}

PCMBuffer::PCMBuffer(AudioFormat const& format, unsigned frameCapacity)
    : format_(format), frameCapacity_(frameCapacity), storage_(format.channelCount, std::vector<float>(frameCapacity)) {
    readOnly_.numberBuffers = format.channelCount;
    for (unsigned c = 0; c < format.channelCount; ++c) {
        readOnly_.buffers[c].numberChannels = 1;
        readOnly_.buffers[c].dataByteSize = static_cast<std::uint32_t>(frameCapacity * sizeof(float));
        readOnly_.buffers[c].data = storage_[c].data();
    }
    mutable_ = readOnly_;
}

} // namespace Platform
