#pragma once

#include "plugin/audiounit/BufferedAudioBus.h"

namespace Lumora::Apple::AudioUnit {

// The output bus: lends its buffer to host buffers that come without data.
class BufferedOutputBus : public BufferedAudioBus {
public:
    // Sets every host buffer's channel count and byte size for frameCount frames, points a
    // buffer without data at the bus's own channel, and clears the frames when asked. The host's
    // list must have as many buffers as the bus has channels and frameCount must not exceed the
    // maximum (the caller checks both).
    void prepareOutputBufferList(Platform::AudioBufferList& outputList, std::uint32_t frameCount, bool zeroFill);
};

} // namespace Lumora::Apple::AudioUnit
