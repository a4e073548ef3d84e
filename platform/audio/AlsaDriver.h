#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/OutputUnit.h"

typedef struct _snd_pcm snd_pcm_t;

namespace Platform {

// Plays an output unit through an ALSA PCM (the fallback where no JACK server runs): a render
// thread of its own pulls the unit a period at a time, in slices of at most its maximum frames,
// interleaves the two channels and writes them to the PCM, which paces the thread. An underrun is
// counted and the PCM prepared again. The PCM runs at the unit's rate (ALSA's plug layer converts
// for devices that do not); "null" plays nowhere, for tests.
//
// Threads: open and close on the controlling thread; the render thread allocates nothing once
// it runs.
class AlsaDriver {
public:
    explicit AlsaDriver(OutputUnit& unit) : unit_(unit) {}
    ~AlsaDriver();
    AlsaDriver(const AlsaDriver&) = delete;
    AlsaDriver& operator=(const AlsaDriver&) = delete;

    // Opens the PCM without waiting for a busy device and starts the render thread; false with a
    // one-line reason.
    bool open(const std::string& device, std::string* error = nullptr);
    void close();
    bool isOpen() const { return pcm_ != nullptr; }

    unsigned periodFrames() const { return period_; }
    uint64_t xruns() const { return xruns_.load(std::memory_order_relaxed); }
    uint64_t framesWritten() const { return written_.load(std::memory_order_relaxed); }
    // The last write error the render thread could not recover from (0: none).
    int lastError() const { return lastError_.load(std::memory_order_relaxed); }

private:
    void run();
    bool renderPeriod();
    bool write(const float* interleaved, unsigned frames);

    OutputUnit& unit_;
    snd_pcm_t* pcm_ = nullptr;
    unsigned period_ = 0;
    std::vector<float> interleaved_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<uint64_t> xruns_{0};
    std::atomic<uint64_t> written_{0};
    std::atomic<int> lastError_{0};
};

} // namespace Platform
