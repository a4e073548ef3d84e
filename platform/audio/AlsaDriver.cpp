#include "platform/audio/AlsaDriver.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

#include <alsa/asoundlib.h>

namespace Platform {

namespace {
constexpr unsigned kLatencyMicroseconds = 20000;

// alsa-lib explains a failed open in several lines of its own; the driver answers with one.
void quiet(const char*, int, const char*, int, const char*, ...) {}
} // namespace

AlsaDriver::~AlsaDriver() { close(); }

bool AlsaDriver::open(const std::string& device, std::string* error) {
    close();
    snd_lib_error_set_handler(quiet);
    auto fail = [&](const std::string& what, int code) {
        if (error) *error = "ALSA " + what + " " + device + ": " + snd_strerror(code);
        if (pcm_) snd_pcm_close(pcm_);
        pcm_ = nullptr;
        return false;
    };
    // Non-blocking for the open only: a device held by another program answers at once.
    int code = snd_pcm_open(&pcm_, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (code < 0) return fail("could not open", code);
    if ((code = snd_pcm_nonblock(pcm_, 0)) < 0) return fail("could not block on", code);
    const auto rate = static_cast<unsigned>(std::lround(unit_.sampleRate()));
    code = snd_pcm_set_params(pcm_, SND_PCM_FORMAT_FLOAT, SND_PCM_ACCESS_RW_INTERLEAVED, OutputUnit::kChannelCount,
                              rate, 1, kLatencyMicroseconds);
    if (code < 0) return fail("refused the format of", code);
    snd_pcm_uframes_t buffer = 0, period = 0;
    if ((code = snd_pcm_get_params(pcm_, &buffer, &period)) < 0) return fail("has no period on", code);
    period_ = static_cast<unsigned>(std::max<snd_pcm_uframes_t>(period, 1));
    interleaved_.assign(static_cast<std::size_t>(period_) * OutputUnit::kChannelCount, 0.0f);
    previousPeriodStart_ = 0;
    running_.store(true);
    thread_ = std::thread([this] { run(); });
    return true;
}

void AlsaDriver::close() {
    running_.store(false);
    if (thread_.joinable()) thread_.join();
    if (pcm_) {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
        pcm_ = nullptr;
    }
}

void AlsaDriver::run() {
    while (running_.load(std::memory_order_acquire)) {
        if (!renderPeriod()) break;
    }
}

void AlsaDriver::releaseAllNotes() { releases_.request(); }

unsigned AlsaDriver::gatherMidi(uint64_t periodStart, uint64_t base) {
    // The releases lead at the period's first frame, before any of the queue's messages. A unit
    // that does not run would lose them: they wait for it.
    unsigned count = unit_.isRunning() ? releases_.take(events_.data(), base, kSourcesPort) : 0;
    if (midiInput_ == nullptr) return count;
    const double framesPerNano = unit_.sampleRate() / 1e9;
    MidiEventQueue::Entry entry;
    while (count < events_.size() && midiInput_->popArrivedBefore(periodStart, entry)) {
        // Where in the previous period it arrived; the first period (no previous) and anything
        // older play at the start, anything later at the last frame.
        uint64_t offset = 0;
        if (previousPeriodStart_ != 0 && entry.hostTime > previousPeriodStart_) {
            offset = static_cast<uint64_t>(static_cast<double>(entry.hostTime - previousPeriodStart_) * framesPerNano);
        }
        MidiEvent& e = events_[count++];
        e.sampleTime = base + std::min<uint64_t>(offset, period_ - 1);
        e.status = entry.status;
        e.data1 = entry.data1;
        e.data2 = entry.data2;
        e.port = entry.port;
    }
    return count;
}

bool AlsaDriver::renderPeriod() {
    std::fill(interleaved_.begin(), interleaved_.end(), 0.0f);
    const uint64_t periodStart = midiHostTimeNow();
    const uint64_t base = unit_.sampleTime();
    // Taken also while the unit does not run, so that nothing stale waits for it.
    const unsigned eventCount = gatherMidi(periodStart, base);
    previousPeriodStart_ = periodStart;
    if (unit_.isRunning()) {
        const unsigned slice = std::max(1u, unit_.maximumFramesPerSlice());
        unsigned next = 0;
        for (unsigned done = 0; done < period_;) {
            const unsigned n = std::min(slice, period_ - done);
            const unsigned first = next;
            // Arrival order is time order: one queue, one reader.
            while (next < eventCount && events_[next].sampleTime < base + done + n) ++next;
            const auto status = unit_.render(n, std::span<const MidiEvent>(events_.data() + first, next - first));
            if (status != OutputUnit::Status::NotInitialized && status != OutputUnit::Status::TooManyFrames) {
                for (unsigned c = 0; c < OutputUnit::kChannelCount; ++c) {
                    const float* channel = unit_.channel(c);
                    for (unsigned i = 0; i < n; ++i) interleaved_[(done + i) * OutputUnit::kChannelCount + c] = channel[i];
                }
            }
            done += n;
        }
    }
    return write(interleaved_.data(), period_);
}

bool AlsaDriver::write(const float* interleaved, unsigned frames) {
    while (frames > 0 && running_.load(std::memory_order_relaxed)) {
        const snd_pcm_sframes_t n = snd_pcm_writei(pcm_, interleaved, frames);
        if (n >= 0) {
            written_.fetch_add(static_cast<uint64_t>(n), std::memory_order_relaxed);
            interleaved += static_cast<std::size_t>(n) * OutputUnit::kChannelCount;
            frames -= static_cast<unsigned>(n);
            continue;
        }
        if (n == -EPIPE) xruns_.fetch_add(1, std::memory_order_relaxed);
        // An underrun or a suspended device is prepared again; anything else ends playing.
        if (snd_pcm_recover(pcm_, static_cast<int>(n), 1) < 0) {
            lastError_.store(static_cast<int>(n), std::memory_order_relaxed);
            return false;
        }
    }
    return true;
}

} // namespace Platform
