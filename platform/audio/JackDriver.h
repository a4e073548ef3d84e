#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <jack/types.h>

#include "platform/audio/MidiPhrase.h"
#include "platform/audio/NoteReleaseRequests.h"
#include "platform/audio/OutputUnit.h"

namespace Platform {

// Plays an output unit through a JACK server: a client with two audio output ports, a MIDI input
// port for the system's MIDI sources and a second one, "Virtual Midi Input", that other programs
// connect to. The process callback reads both MIDI inputs, pulls the unit in pieces of at most its
// maximum frames per call (so any server buffer size plays without re-allocating anything) with
// each piece's events at their sample times, and copies the unit's channels to the output ports.
//
// The driver never starts a server. When the server goes away the client is closed on the next
// poll and opened again, quietly, once a server answers; a server that comes back at another rate
// is reported to the unit (changeDeviceSampleRate) before the client is activated, so the owner
// re-allocates its render resources while nothing renders. Opening a driver first closes the lost
// clients of the process's other drivers (libjack would otherwise free them under their drivers when
// another client opens); their next poll still reports the loss.
//
// Threads: open, close, poll, connections and transport control on one controlling thread (the
// main thread); the process callback on JACK's process thread, where it allocates nothing, takes
// no lock and makes no system call; the other server callbacks on JACK's notification thread,
// where they only set atomics and run the ports-changed handler.
class JackDriver {
public:
    struct Options {
        std::string clientName = "Corvane";
        std::string serverName;         // empty: the default server ($JACK_DEFAULT_SERVER)
        bool connectOutputs = true;     // to the first two physical playback ports
    };

    // The event's origin (MidiEvent::port): the port that the MIDI sources connect to, or the
    // virtual input that other programs connect to themselves.
    static constexpr uint8_t kSourcesPort = 0;
    static constexpr uint8_t kVirtualInputPort = 1;
    static constexpr const char* kVirtualInputName = "Virtual Midi Input";
    static constexpr const char* kSourcesInputName = "midi_in";
    static constexpr std::size_t kMaximumEventsPerCycle = 1024;

    // The server's transport as the process callback last saw it.
    struct Transport {
        bool rolling = false;
        bool hasBarBeat = false;
        double tempo = 0.0;           // beats per minute
        double beat = 0.0;            // beats since the song's start, at the cycle's first frame
        double barStartBeat = 0.0;    // the beat at which the current bar began
        float beatsPerBar = 4.0f;
        uint32_t beatType = 4;
        uint32_t frame = 0;           // the transport's position at the cycle's first frame
    };

    explicit JackDriver(OutputUnit& unit);
    ~JackDriver();
    JackDriver(const JackDriver&) = delete;
    JackDriver& operator=(const JackDriver&) = delete;

    // Opens the client and activates it; false with a one-line reason when no server answers.
    bool open(const Options& options, std::string* error = nullptr);
    void close();
    bool isOpen() const { return client_ != nullptr; }

    // Controlling thread, now and then (the live program: a timer). After the server went away it
    // closes the client and tries to open it again; answers what happened.
    enum class PollResult { Running, Lost, StillLost, Reconnected, Closed };
    PollResult poll();
    bool serverLost() const { return serverLost_.load(std::memory_order_acquire); }

    double sampleRate() const { return sampleRate_.load(std::memory_order_acquire); }
    unsigned bufferSize() const { return bufferSize_.load(std::memory_order_acquire); }
    uint64_t xruns() const { return xruns_.load(std::memory_order_relaxed); }
    uint64_t cycles() const { return cycles_.load(std::memory_order_relaxed); }
    // The server's DSP load in percent (0 while closed).
    float dspLoad() const;
    // The longest process callback since the last reset, in nanoseconds.
    uint64_t worstCallbackNanos() const { return worstCallback_.load(std::memory_order_relaxed); }
    void resetWorstCallback() { worstCallback_.store(0, std::memory_order_relaxed); }
    // The last finished process callback, in nanoseconds: a tracer on the process thread reads the
    // previous cycle's whole time here, the driver's own work included.
    uint64_t lastCallbackNanos() const { return lastCallback_.load(std::memory_order_acquire); }
    // Whether the server runs its clients' process threads with realtime scheduling.
    bool realtime() const;

    // Full port names ("Corvane:out_1"); empty while closed.
    std::string clientName() const;
    std::string outputPortName(unsigned channel) const;
    std::string midiInputPortName(uint8_t port) const;

    // Ports of the server, by type ("audio", "midi") and direction flags (JackPortIsOutput...).
    std::vector<std::string> ports(bool midi, unsigned long flags) const;
    bool connect(const std::string& source, const std::string& destination);
    bool disconnect(const std::string& source, const std::string& destination);
    // Runs on JACK's notification thread whenever a port is registered or unregistered, and on
    // the controlling thread after a reconnection; it should only post to the main run loop.
    void setPortsChangedHandler(std::function<void()> handler);

    // Runs on the controlling thread inside open (also a reconnection), after the unit heard the
    // server's rate and before the client is activated: the one moment at which the owner may
    // re-allocate what the render callback uses.
    void setWillActivateHandler(std::function<void(double sampleRate)> handler) { willActivate_ = std::move(handler); }

    // Controlling thread: the next process cycle hands the unit All Notes Off (control change 123)
    // on all 16 channels at its first frame, as if from the sources' port, ahead of that cycle's
    // own events. For a source that left with keys down: its note-offs will never come.
    void releaseAllNotes();

    Transport transport() const;
    // Asks the server now (controlling thread): rolling or starting, rather than as the last cycle
    // saw it, so that a command given twice quickly is not taken for two starts.
    bool transportMoving() const;
    void startTransport();
    void stopTransport();
    void locateTransport(uint64_t frame);

private:
    static int processEntry(jack_nframes_t frames, void* self);
    static int bufferSizeEntry(jack_nframes_t frames, void* self);
    static int sampleRateEntry(jack_nframes_t rate, void* self);
    static int xrunEntry(void* self);
    static void shutdownEntry(jack_status_t code, const char* reason, void* self);
    static void portRegistrationEntry(jack_port_id_t port, int registered, void* self);

    int process(jack_nframes_t frames);
    unsigned gatherMidi(jack_nframes_t frames, uint64_t firstSampleTime);
    void readTransport();
    void renderInto(jack_nframes_t frames);
    bool registerPorts(std::string* error);
    void connectOutputs();
    void closeClient();
    void closeIfLost();
    static void closeLostClientsBesides(const JackDriver* opening);
    void portsChanged();
    // The client is open and its server has not gone away.
    bool answers() const;

    OutputUnit& unit_;
    Options options_;
    jack_client_t* client_ = nullptr;
    std::array<jack_port_t*, OutputUnit::kChannelCount> outputs_{};
    std::array<jack_port_t*, 2> midiInputs_{};
    std::array<MidiEvent, kMaximumEventsPerCycle> events_{};

    std::atomic<bool> serverLost_{false};
    std::atomic<double> sampleRate_{0.0};
    std::atomic<unsigned> bufferSize_{0};
    std::atomic<uint64_t> xruns_{0};
    std::atomic<uint64_t> cycles_{0};
    std::atomic<uint64_t> worstCallback_{0};
    std::atomic<uint64_t> lastCallback_{0};
    bool reconnecting_ = false;
    NoteReleaseRequests releases_;

    // Written by the process callback field by field, read by any thread: a reader may see two
    // neighbouring cycles mixed, which host sync tolerates (it reads once per block).
    std::atomic<bool> rolling_{false};
    std::atomic<bool> hasBarBeat_{false};
    std::atomic<double> tempo_{0.0};
    std::atomic<double> beat_{0.0};
    std::atomic<double> barStartBeat_{0.0};
    std::atomic<float> beatsPerBar_{4.0f};
    std::atomic<uint32_t> beatType_{4};
    std::atomic<uint32_t> frame_{0};

    std::function<void(double)> willActivate_;
    std::mutex handlerLock_;
    std::function<void()> portsChanged_;
};

} // namespace Platform
