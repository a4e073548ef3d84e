#pragma once

#include "plugin/audiounit/BufferedAudioBus.h"

namespace Lumora::Apple::AudioUnit {

// The input bus: pulls the host's input for a render call into its buffer list.
class BufferedInputBus : public BufferedAudioBus {
public:
    // NoConnection without a pull block or without a buffer; otherwise the pull's status.
    Platform::AudioStatus pullInput(Platform::RenderActionFlags& flags, Platform::AudioTimeStamp const& timestamp,
                                    std::uint32_t frameCount, std::int64_t inputBusNumber,
                                    Platform::RenderPullInputBlock const* pullInputBlock);
    // Points the mutable list back at the buffer's own channels for the whole capacity.
    void prepareInputBufferList();

    Platform::AudioBufferList* mutableAudioBufferList() const { return mutableList_; }
};

} // namespace Lumora::Apple::AudioUnit
