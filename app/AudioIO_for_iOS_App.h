#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "model/audio/iAudioIO_for_App.h"

struct ABLLink;

namespace Platform {
class OutputUnit;
}

namespace Lumora {

class AudioIO_for_iOS_App_Impl;

// The standalone app's audio I/O: plays the engine through the device's output unit, publishes
// the app as an inter-app audio node, follows one of four tempo sources (internal clock, MIDI
// clock, the inter-app audio host, a Link session) and gathers MIDI from the MIDI client and the
// inter-app audio host into one queue for the render thread. Every operation forwards to the
// implementation object.
//
// Threads: construction, open, close, start, stop and the settings operations on the main thread;
// audio-session notifications and unit property listeners may call start, stop and
// setAudioFormat on the threads they arrive on (the implementation serializes them).
class AudioIO_for_iOS_App : public iAudioIO_for_App {
public:
    // The app's audio component description.
    struct Config {
        std::string name;
        uint32_t type = 0;
        uint32_t subtype = 0;
        uint32_t manufacturer = 0;
        uint32_t version = 0;
    };

    // Attaches itself to the engine as its last step.
    AudioIO_for_iOS_App(iAudioEngine* engine, const Config& config);
    // The owner closes first: the output unit is not released here.
    ~AudioIO_for_iOS_App() override;

    // ---- iAudioIO
    void didChangeParam(const Parameter* param, Token token, AutomationEventType event) override;
    bool isPlugin() const override;
    SyncMethod syncMethod() const override;
    void setSyncMethod(SyncMethod method) override;
    bool canProposeBpm() const override;
    void proposeBpm(double bpm) override;

    // ---- iAudioIO_for_App
    bool open(unsigned bufferSize, float sampleRate) override;
    void close() override;
    bool start() override;
    bool stop() override;
    bool isOpen() const override;
    bool isRunning() const override;
    float sampleRate() const override;
    unsigned bufferSize() const override;
    bool setAudioFormat(unsigned bufferSize, float sampleRate) override;
    bool setSampleRate(float sampleRate) override;
    bool setBufferSize(unsigned bufferSize) override;
    MidiSources midiSources() const override;
    void enableMidiSource(std::int32_t uniqueID, bool enabled) override;

    // ---- the app's own
    // The device output unit; null while closed.
    Platform::OutputUnit* audioUnit() const;
    // While set, messages from external MIDI sources are dropped.
    void setCoreMidiDisabled(bool disabled);
    bool isInterAppAudioConnected() const;
    // The Link object; null while closed.
    ABLLink* link() const;
    // Link is the sync method, and the Link session is wanted and switched on by the user.
    bool isLinkActive() const;

    const Config& config() const { return config_; }
    AudioIO_for_iOS_App_Impl& impl() { return *impl_; }
    const AudioIO_for_iOS_App_Impl& impl() const { return *impl_; }

private:
    Config config_;
    std::unique_ptr<AudioIO_for_iOS_App_Impl> impl_;
};

} // namespace Lumora
