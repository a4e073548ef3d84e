#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/audio/MidiPhrase.h"
#include "platform/audio/OutputUnit.h"

namespace Platform {

// Drives an output unit without a sound device: pulls its blocks one after another, as fast as
// the callback renders them, on a render thread of its own, and hands each block to a sink
// (by default a WAV file). A MIDI phrase, when set, is split into each block's events.
class OfflineDriver {
public:
    struct Result {
        bool ok = false;
        uint64_t frames = 0;   // frames pulled
        float peak = 0.0f;     // largest absolute sample of all channels
        double rms = 0.0;      // over all samples of all channels
        bool finite = true;    // no NaN or infinity was rendered
        std::string error;
    };
    // Receives every pulled block on the render thread; false stops the run.
    using BlockSink = std::function<bool(const float* const* channels, unsigned frames)>;

    explicit OfflineDriver(OutputUnit& unit) : unit_(unit) {}

    // Frames per pull; 0 (the default) pulls the unit's maximum frames per call.
    void setBlockFrames(unsigned frames) { blockFrames_ = frames; }
    void setMidi(const MidiPhrase* phrase) { phrase_ = phrase; }

    // Initializes and starts the unit, pulls totalFrames (the last block may be shorter), then
    // stops it. Fails when the unit cannot start, a pull fails or the sink refuses a block.
    Result run(uint64_t totalFrames, const BlockSink& sink);
    // run into a stereo 32-bit float WAV file at the unit's sample rate.
    Result renderToWav(const std::string& path, uint64_t totalFrames);

private:
    Result pull(uint64_t totalFrames, const BlockSink& sink);

    OutputUnit& unit_;
    unsigned blockFrames_ = 0;
    const MidiPhrase* phrase_ = nullptr;
};

} // namespace Platform
