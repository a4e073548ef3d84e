#pragma once

#include <memory>
#include <string>

#include "platform/midi/AlsaSequencer.h"
#include "platform/midi/MidiEndpoint.h"

namespace Platform {

// A readable port of another ALSA sequencer client, seen as a source of the MIDI system. Its
// messages never pass through send(): while an input port is connected to it and it is enabled,
// the sequencer port is subscribed to Corvane's sources port, whose events the reader thread
// queues for the ALSA driver. Disabling it (an unused port) ends the subscription.
//
// Threads: the controlling (main) thread only.
class AlsaMidiSource : public MidiSource {
public:
    // The unique id comes from the port's name, so that a port keeps its id (and the user's
    // settings for it) from one run to the next, whatever client number it gets.
    static std::shared_ptr<AlsaMidiSource> create(AlsaSequencer& sequencer, const AlsaSequencer::SourcePort& port);
    static int32_t idForPortName(const std::string& portName);

    const std::string& portName() const { return portName_; }
    AlsaSequencer::Address address() const { return address_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Subscribes or unsubscribes as the connections and the enabled flag want it.
    void route();
    bool isRouted() const { return routed_; }

protected:
    void connectionsChanged(std::size_t connections) override;

private:
    AlsaMidiSource(AlsaSequencer& sequencer, const AlsaSequencer::SourcePort& port);

    AlsaSequencer& sequencer_;
    const AlsaSequencer::Address address_;
    const std::string portName_;
    bool wanted_ = false;   // an input port listens
    bool enabled_ = true;
    bool routed_ = false;
};

} // namespace Platform
