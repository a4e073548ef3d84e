#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Lumora {
class AudioIO_for_iOS_App;
}
namespace Platform {
class AlsaDriver;
class AlsaMidiSources;
class AlsaSequencer;
class JackDriver;
class JackMidiSources;
} // namespace Platform

namespace AppShell {

// Plays the app's output unit live: through a JACK server when one answers (audio out, the MIDI
// inputs, JACK transport as the host that host sync follows and as the transport panel's host),
// else through ALSA's default PCM with MIDI from the ALSA sequencer where the machine has one,
// else not at all (the app still runs, and offline renders still work).
//
// Threads: everything on the main thread; poll is called by a timer of the main run loop.
class LivePlayer {
public:
    struct Options {
        std::string clientName = "Corvane";
        std::string jackServer;          // empty: the default server
        bool connectOutputs = true;      // to the system's playback ports
        bool allowAlsa = true;
        std::string alsaDevice = "default";
    };
    enum class Backend { None, Jack, Alsa };

    explicit LivePlayer(Lumora::AudioIO_for_iOS_App& io);
    ~LivePlayer();
    LivePlayer(const LivePlayer&) = delete;
    LivePlayer& operator=(const LivePlayer&) = delete;

    // The first back-end that plays; message is the one line to show either way.
    Backend start(const Options& options, std::string& message);
    void stop();
    Backend backend() const { return backend_; }

    // A lost JACK server and its return: the line to show, or nothing. Also logs MIDI dropped
    // since the last poll because a queue was full.
    std::string poll();
    // "JACK, 48000 Hz, 256 frames, 0 xruns".
    std::string describe() const;

    Platform::JackDriver* jack() const { return jack_.get(); }
    Platform::JackMidiSources* midiSources() const { return sources_.get(); }
    Platform::AlsaDriver* alsa() const { return alsa_.get(); }
    Platform::AlsaSequencer* sequencer() const { return sequencer_.get(); }
    Platform::AlsaMidiSources* alsaMidiSources() const { return alsaSources_.get(); }

private:
    bool startJack(const Options& options, std::string& message);
    bool startAlsa(const Options& options, std::string& message);
    void reportDroppedMidi();
    void willActivate(double sampleRate);

    Lumora::AudioIO_for_iOS_App& io_;
    Backend backend_ = Backend::None;
    std::unique_ptr<Platform::JackDriver> jack_;
    std::unique_ptr<Platform::JackMidiSources> sources_;
    std::unique_ptr<Platform::AlsaDriver> alsa_;
    std::unique_ptr<Platform::AlsaSequencer> sequencer_;
    std::unique_ptr<Platform::AlsaMidiSources> alsaSources_;
    uint64_t reportedSequencerDrops_ = 0;
    std::string midiLine_;   // how the ALSA fallback takes MIDI, for the start line
    double activeRate_ = 0.0;
};

} // namespace AppShell
