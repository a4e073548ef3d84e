#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <vector>

#include "platform/audio/MidiPhrase.h"

namespace Platform {

// A pull-model stereo output unit. A driver (offline or a sound device) asks it for blocks of
// audio; each request runs the render callback that the engine's shell installed, which fills
// the unit's channel buffers. Like a device's output unit it has a sample rate and a maximum
// number of frames per render call, both fixed while it is initialized, and it keeps a sample
// timeline that advances with every rendered block.
//
// Threads: configuration, initialize/uninitialize and start/stop run on one controlling thread;
// render runs on the driver's render thread and allocates nothing.
class OutputUnit {
public:
    static constexpr unsigned kChannelCount = 2;
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr unsigned kDefaultMaximumFrames = 1024;

    // One render request as the callback sees it.
    struct RenderCall {
        uint64_t sampleTime = 0;        // the block's first frame on the unit's timeline
        uint64_t hostTime = 0;          // host clock ticks (steady clock nanoseconds) of the request
        unsigned frames = 0;            // at most maximumFramesPerSlice
        std::array<float*, kChannelCount> channels{}; // zeroed buffers of frames samples
        std::span<const MidiEvent> midi; // events inside the block, with absolute sample times
    };
    // Fills the call's channels; false reports a failure, after which the block is silence.
    using RenderCallback = std::function<bool(const RenderCall&)>;

    enum class Status {
        Ok,
        NotInitialized,  // render before initialize, or after uninitialize
        TooManyFrames,   // more frames than the maximum per call, or none
        NoCallback,      // nothing installed: the block is silence
        CallbackFailed,  // the callback answered false: the block is silence
    };

    // Properties whose changes listeners hear about: the stream format (a driver reports another
    // device rate), the inter-app connection (a host app connected or disconnected) and the
    // connected host's transport (it started, stopped, recorded or rewound).
    enum class Property { StreamFormat, IsInterAppConnected, HostTransportState };
    using PropertyListener = std::function<void(Property)>;

    OutputUnit() = default;
    OutputUnit(const OutputUnit&) = delete;
    OutputUnit& operator=(const OutputUnit&) = delete;

    // Refused (false) while initialized, and for a rate that is not finite and positive.
    bool setSampleRate(double rate);
    double sampleRate() const { return sampleRate_.load(std::memory_order_acquire); }
    // A driver reports that the device now runs at another rate: allowed while initialized
    // (between two of the driver's pulls); the stream-format listeners run on the calling thread.
    bool changeDeviceSampleRate(double rate);

    // The rate of the audio that the render callback produces (the client side of the stream).
    // Any thread, any time, also while rendering; 0 until set. The unit does not convert rates:
    // its owner keeps the client rate equal to the device rate.
    bool setClientSampleRate(double rate);
    double clientSampleRate() const { return clientSampleRate_.load(std::memory_order_acquire); }

    // Listeners run on the thread that reports the change, without the unit's listener lock.
    void addPropertyListener(Property property, PropertyListener listener);
    void removePropertyListeners();
    void notifyPropertyChanged(Property property);
    // Refused (false) while initialized, and for 0.
    bool setMaximumFramesPerSlice(unsigned frames);
    unsigned maximumFramesPerSlice() const { return maximumFrames_; }
    // Refused (false) while running.
    bool setRenderCallback(RenderCallback callback);

    // Sizes the channel buffers for the maximum frames per call and rewinds the timeline.
    bool initialize();
    void uninitialize();
    bool isInitialized() const { return initialized_; }

    // A started unit is being pulled by its driver. Start needs an initialized unit.
    bool start();
    void stop();
    bool isRunning() const { return running_.load(std::memory_order_acquire); }

    // One block: clears the channels, runs the callback with the block's MIDI and advances the
    // timeline by frames (also on failure, so a driver's clock never stalls).
    Status render(unsigned frames, std::span<const MidiEvent> midi = {});
    // The channel buffers of the last block.
    const float* channel(unsigned c) const { return buffers_[c].data(); }
    uint64_t sampleTime() const { return sampleTime_; }

private:
    std::atomic<double> sampleRate_{kDefaultSampleRate};
    std::atomic<double> clientSampleRate_{0.0};
    std::mutex listenerLock_;
    std::vector<std::pair<Property, PropertyListener>> listeners_;
    unsigned maximumFrames_ = kDefaultMaximumFrames;
    RenderCallback callback_;
    bool initialized_ = false;
    std::atomic<bool> running_{false};
    std::array<std::vector<float>, kChannelCount> buffers_;
    uint64_t sampleTime_ = 0;
};

} // namespace Platform
