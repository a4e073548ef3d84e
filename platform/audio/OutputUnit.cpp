#include "platform/audio/OutputUnit.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Platform {

bool OutputUnit::setSampleRate(double rate) {
    if (initialized_ || !std::isfinite(rate) || rate <= 0.0) {
        return false;
    }
    sampleRate_ = rate;
    return true;
}

bool OutputUnit::setMaximumFramesPerSlice(unsigned frames) {
    if (initialized_ || frames == 0) {
        return false;
    }
    maximumFrames_ = frames;
    return true;
}

bool OutputUnit::setRenderCallback(RenderCallback callback) {
    if (isRunning()) {
        return false;
    }
    callback_ = std::move(callback);
    return true;
}

bool OutputUnit::initialize() {
    if (initialized_) {
        return true;
    }
    for (auto& buffer : buffers_) {
        buffer.assign(maximumFrames_, 0.0f);
    }
    sampleTime_ = 0;
    initialized_ = true;
    return true;
}

void OutputUnit::uninitialize() {
    stop();
    initialized_ = false;
}

bool OutputUnit::start() {
    if (!initialized_) {
        return false;
    }
    running_.store(true, std::memory_order_release);
    return true;
}

void OutputUnit::stop() {
    running_.store(false, std::memory_order_release);
}

OutputUnit::Status OutputUnit::render(unsigned frames, std::span<const MidiEvent> midi) {
    if (!initialized_) {
        return Status::NotInitialized;
    }
    if (frames == 0 || frames > maximumFrames_) {
        return Status::TooManyFrames;
    }
    RenderCall call;
    call.sampleTime = sampleTime_;
    call.frames = frames;
    call.midi = midi;
    for (unsigned c = 0; c < kChannelCount; ++c) {
        std::fill_n(buffers_[c].begin(), frames, 0.0f);
        call.channels[c] = buffers_[c].data();
    }
    sampleTime_ += frames;

    if (!callback_) {
        return Status::NoCallback;
    }
    if (!callback_(call)) {
        for (auto& buffer : buffers_) {
            std::fill_n(buffer.begin(), frames, 0.0f);
        }
        return Status::CallbackFailed;
    }
    return Status::Ok;
}

} // namespace Platform
