#include "platform/audio/OutputUnit.h"

#include <algorithm>
#include <chrono>
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

bool OutputUnit::changeDeviceSampleRate(double rate) {
    if (!std::isfinite(rate) || rate <= 0.0) {
        return false;
    }
    sampleRate_.store(rate, std::memory_order_release);
    notifyPropertyChanged(Property::StreamFormat);
    return true;
}

bool OutputUnit::setClientSampleRate(double rate) {
    if (!std::isfinite(rate) || rate <= 0.0) {
        return false;
    }
    clientSampleRate_.store(rate, std::memory_order_release);
    return true;
}

void OutputUnit::addPropertyListener(Property property, PropertyListener listener) {
    std::lock_guard lock(listenerLock_);
    listeners_.emplace_back(property, std::move(listener));
}

void OutputUnit::removePropertyListeners() {
    std::lock_guard lock(listenerLock_);
    listeners_.clear();
}

void OutputUnit::notifyPropertyChanged(Property property) {
    // A listener may reconfigure the unit (and so add or remove listeners): call copies.
    std::vector<PropertyListener> matching;
    {
        std::lock_guard lock(listenerLock_);
        for (const auto& [p, listener] : listeners_) {
            if (p == property) {
                matching.push_back(listener);
            }
        }
    }
    for (const auto& listener : matching) {
        listener(property);
    }
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
    call.hostTime = static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch()).count());
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
