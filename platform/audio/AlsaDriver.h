#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/MidiEventQueue.h"
#include "platform/audio/NoteReleaseRequests.h"
#include "platform/audio/OutputUnit.h"

typedef struct _snd_pcm snd_pcm_t;

namespace Platform {

// Plays an output unit through an ALSA PCM (the fallback where no JACK server runs): a render
// thread of its own pulls the unit a period at a time, in slices of at most its maximum frames,
// interleaves the two channels and writes them to the PCM, which paces the thread. An underrun is
// counted and the PCM prepared again. The PCM runs at the unit's rate (ALSA's plug layer converts
// for devices that do not); "null" plays nowhere, for tests.
//
// MIDI comes from a MidiEventQueue that a reader thread fills (the ALSA sequencer's): each period
// takes what arrived before it began and places every message at the frame of the previous period
// at which it arrived, one period late but with the spacing it came with.
//
// Threads: open, close and setMidiInput on the controlling thread; the render thread allocates
// nothing once it runs.
class AlsaDriver {
public:
    static constexpr unsigned kMaximumEventsPerPeriod = 1024;
    static constexpr uint8_t kSourcesPort = 0;   // MidiEvent::port of the sequencer's subscribed sources

    explicit AlsaDriver(OutputUnit& unit) : unit_(unit) {}
    ~AlsaDriver();
    AlsaDriver(const AlsaDriver&) = delete;
    AlsaDriver& operator=(const AlsaDriver&) = delete;

    // Opens the PCM without waiting for a busy device and starts the render thread; false with a
    // one-line reason.
    bool open(const std::string& device, std::string* error = nullptr);
    void close();
    bool isOpen() const { return pcm_ != nullptr; }
    // The queue the render thread takes MIDI from (null: none). Set while closed; the queue must
    // outlive the driver's next close.
    void setMidiInput(MidiEventQueue* queue) { midiInput_ = queue; }

    // Any thread: the next period that renders hands the unit All Notes Off (control change 123)
    // on all 16 channels at its first frame, as if from the sources' port, ahead of that period's
    // own events. For a source that left with keys down: its note-offs will never come.
    void releaseAllNotes();

    unsigned periodFrames() const { return period_; }
    uint64_t xruns() const { return xruns_.load(std::memory_order_relaxed); }
    uint64_t framesWritten() const { return written_.load(std::memory_order_relaxed); }
    // The last write error the render thread could not recover from (0: none).
    int lastError() const { return lastError_.load(std::memory_order_relaxed); }

private:
    void run();
    bool renderPeriod();
    // The period's MIDI, at sample times from the unit's time base; answers the count.
    unsigned gatherMidi(uint64_t periodStart, uint64_t base);
    bool write(const float* interleaved, unsigned frames);

    OutputUnit& unit_;
    snd_pcm_t* pcm_ = nullptr;
    unsigned period_ = 0;
    std::vector<float> interleaved_;
    MidiEventQueue* midiInput_ = nullptr;
    std::array<MidiEvent, kMaximumEventsPerPeriod> events_{};
    uint64_t previousPeriodStart_ = 0;   // render thread: host time the last period began
    NoteReleaseRequests releases_;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<uint64_t> xruns_{0};
    std::atomic<uint64_t> written_{0};
    std::atomic<int> lastError_{0};
};

} // namespace Platform
