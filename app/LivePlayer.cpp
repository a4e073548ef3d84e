#include "app/LivePlayer.h"

#include <cstdio>

#include "app/AudioIO_for_iOS_App.h"
#include "app/AudioIO_for_iOS_App_Impl.h"
#include "app/HostTransport.h"
#include "app/JackHostTransport.h"
#include "app/JackTransportHost.h"
#include "platform/audio/AlsaDriver.h"
#include "platform/audio/JackDriver.h"
#include "platform/audio/OutputUnit.h"
#include "platform/foundation/Log.h"
#include "platform/midi/AlsaMidiSources.h"
#include "platform/midi/AlsaSequencer.h"
#include "platform/midi/JackMidiSources.h"

namespace AppShell {

LivePlayer::LivePlayer(Lumora::AudioIO_for_iOS_App& io) : io_(io) {}

LivePlayer::~LivePlayer() { stop(); }

LivePlayer::Backend LivePlayer::start(const Options& options, std::string& message) {
    stop();
    if (io_.audioUnit() == nullptr) {
        message = "the app's audio output is not open";
        return backend_;
    }
    std::string jackReason;
    if (startJack(options, jackReason)) {
        backend_ = Backend::Jack;
        message = "playing through " + describe();
        return backend_;
    }
    std::string alsaReason;
    if (options.allowAlsa && startAlsa(options, alsaReason)) {
        backend_ = Backend::Alsa;
        message = "playing through " + describe() + " (" + jackReason + "; " + midiLine_ + ")";
        return backend_;
    }
    message = "not playing live: " + jackReason + (alsaReason.empty() ? "" : "; " + alsaReason);
    return backend_;
}

bool LivePlayer::startJack(const Options& options, std::string& message) {
    auto driver = std::make_unique<Platform::JackDriver>(*io_.audioUnit());
    activeRate_ = io_.sampleRate();
    driver->setWillActivateHandler([this, raw = driver.get()](double rate) {
        io_.impl().setHostCallbacks(jackHostCallbacks(*raw));
        willActivate(rate);
    });
    if (!driver->open({options.clientName, options.jackServer, options.connectOutputs}, &message)) {
        return false;
    }
    jack_ = std::move(driver);
    sources_ = std::make_unique<Platform::JackMidiSources>(*jack_);
    // The transport panel shows the server's transport and its buttons move it.
    HostTransport::setCurrent(std::make_shared<JackTransportHost>(*jack_));
    return true;
}

void LivePlayer::willActivate(double sampleRate) {
    // The unit already told the app the server's rate; a restart makes the render resources for
    // it while nothing renders.
    if (sampleRate != activeRate_) {
        io_.stop();
        io_.start();
        activeRate_ = sampleRate;
    }
}

bool LivePlayer::startAlsa(const Options& options, std::string& message) {
    // The sequencer first, so that the driver has its queue from its first period.
    auto sequencer = std::make_unique<Platform::AlsaSequencer>();
    std::string midiReason;
    const bool sequenced = sequencer->open(options.clientName, &midiReason);
    auto driver = std::make_unique<Platform::AlsaDriver>(*io_.audioUnit());
    if (sequenced) driver->setMidiInput(&sequencer->queue());
    if (!driver->open(options.alsaDevice, &message)) return false;
    alsa_ = std::move(driver);
    if (!sequenced) {
        midiLine_ = "no MIDI input: " + midiReason;
        return true;
    }
    sequencer_ = std::move(sequencer);
    alsaSources_ = std::make_unique<Platform::AlsaMidiSources>(*sequencer_, *alsa_);
    midiLine_ = "MIDI through the ALSA sequencer as client " + std::to_string(sequencer_->clientId());
    return true;
}

void LivePlayer::stop() {
    sources_.reset();
    if (jack_) {
        HostTransport::setCurrent(nullptr);
        jack_->close();
        io_.impl().setHostCallbacks({});
    }
    jack_.reset();
    alsaSources_.reset();
    // The driver reads the sequencer's queue until it is closed.
    alsa_.reset();
    sequencer_.reset();
    reportedSequencerDrops_ = 0;
    backend_ = Backend::None;
}

void LivePlayer::reportDroppedMidi() {
    io_.impl().reportDroppedMidi();
    if (!sequencer_) return;
    const uint64_t dropped = sequencer_->queue().dropped();
    if (dropped != reportedSequencerDrops_) {
        Platform::log("MIDI: " + std::to_string(dropped - reportedSequencerDrops_) +
                      " sequencer messages dropped, more than the ALSA driver took in time");
        reportedSequencerDrops_ = dropped;
    }
}

std::string LivePlayer::poll() {
    reportDroppedMidi();
    if (!jack_) return {};
    switch (jack_->poll()) {
    case Platform::JackDriver::PollResult::Lost:
        return "the JACK server went away; Corvane plays again as soon as a server runs";
    case Platform::JackDriver::PollResult::Reconnected:
        return "the JACK server is back: playing through " + describe();
    default:
        return {};
    }
}

std::string LivePlayer::describe() const {
    char line[160];
    if (jack_ && jack_->isOpen()) {
        std::snprintf(line, sizeof line, "JACK as \"%s\", %.0f Hz, %u frames, %llu xruns", jack_->clientName().c_str(),
                      jack_->sampleRate(), jack_->bufferSize(), static_cast<unsigned long long>(jack_->xruns()));
        return line;
    }
    if (jack_) return "JACK (waiting for a server)";
    if (alsa_) {
        std::snprintf(line, sizeof line, "ALSA, %.0f Hz, %u frames, %llu xruns", io_.audioUnit()->sampleRate(),
                      alsa_->periodFrames(), static_cast<unsigned long long>(alsa_->xruns()));
        return line;
    }
    return "nothing";
}

} // namespace AppShell
