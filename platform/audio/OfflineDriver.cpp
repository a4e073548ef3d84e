#include "platform/audio/OfflineDriver.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "platform/audio/WavFile.h"

namespace Platform {

namespace {

const char* describe(OutputUnit::Status status) {
    switch (status) {
    case OutputUnit::Status::Ok: return "ok";
    case OutputUnit::Status::NotInitialized: return "output unit not initialized";
    case OutputUnit::Status::TooManyFrames: return "block larger than the unit's maximum";
    case OutputUnit::Status::NoCallback: return "no render callback installed";
    case OutputUnit::Status::CallbackFailed: return "render callback failed";
    }
    return "unknown status";
}

} // namespace

OfflineDriver::Result OfflineDriver::run(uint64_t totalFrames, const BlockSink& sink) {
    if (!unit_.initialize() || !unit_.start()) {
        Result result;
        result.error = "cannot start the output unit";
        return result;
    }
    // The callback runs on a thread of its own, as it would under a sound device.
    Result result;
    std::thread renderThread([&] { result = pull(totalFrames, sink); });
    renderThread.join();
    unit_.stop();
    return result;
}

OfflineDriver::Result OfflineDriver::pull(uint64_t totalFrames, const BlockSink& sink) {
    Result result;
    const unsigned block = blockFrames_ == 0
                               ? unit_.maximumFramesPerSlice()
                               : std::min(blockFrames_, unit_.maximumFramesPerSlice());
    double sumOfSquares = 0.0;
    while (result.frames < totalFrames) {
        const auto frames = static_cast<unsigned>(std::min<uint64_t>(block, totalFrames - result.frames));
        const uint64_t start = unit_.sampleTime();
        const auto midi = phrase_ != nullptr ? phrase_->eventsIn(start, frames)
                                             : std::span<const MidiEvent>{};
        const OutputUnit::Status status = unit_.render(frames, midi);
        if (status != OutputUnit::Status::Ok) {
            result.error = describe(status);
            return result;
        }
        const float* channels[OutputUnit::kChannelCount];
        for (unsigned c = 0; c < OutputUnit::kChannelCount; ++c) {
            channels[c] = unit_.channel(c);
            for (unsigned i = 0; i < frames; ++i) {
                const float s = channels[c][i];
                if (!std::isfinite(s)) {
                    result.finite = false;
                    continue;
                }
                result.peak = std::max(result.peak, std::fabs(s));
                sumOfSquares += double{s} * s;
            }
        }
        result.frames += frames;
        if (sink && !sink(channels, frames)) {
            result.error = "the block's receiver failed";
            return result;
        }
    }
    const double samples = static_cast<double>(result.frames) * OutputUnit::kChannelCount;
    result.rms = samples > 0 ? std::sqrt(sumOfSquares / samples) : 0.0;
    result.ok = true;
    return result;
}

OfflineDriver::Result OfflineDriver::renderToWav(const std::string& path, uint64_t totalFrames) {
    WavWriter writer;
    const auto rate = static_cast<uint32_t>(std::lround(unit_.sampleRate()));
    if (!writer.open(path, rate, OutputUnit::kChannelCount)) {
        Result result;
        result.error = writer.error();
        return result;
    }
    Result result = run(totalFrames, [&writer](const float* const* channels, unsigned frames) {
        return writer.write(channels, frames);
    });
    if (!result.ok) {
        if (!writer.error().empty()) {
            result.error = writer.error();
        }
        writer.abandon();
        return result;
    }
    if (!writer.close()) {
        result.ok = false;
        result.error = writer.error();
    }
    return result;
}

} // namespace Platform
