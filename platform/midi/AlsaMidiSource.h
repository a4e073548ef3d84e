#pragma once

#include <memory>
#include <string>

#include "platform/midi/AlsaSequencer.h"
#include "platform/midi/RoutedMidiSource.h"

namespace Platform {

// A readable port of another ALSA sequencer client, seen as a source of the MIDI system: routed
// by subscribing the sequencer port to Corvane's sources port, whose events the reader thread
// queues for the ALSA driver.
//
// Threads: the controlling (main) thread only.
class AlsaMidiSource : public RoutedMidiSource {
public:
    // The unique id comes from the port's name, so that a port keeps its id (and the user's
    // settings for it) from one run to the next, whatever client number it gets.
    static std::shared_ptr<AlsaMidiSource> create(AlsaSequencer& sequencer, const AlsaSequencer::SourcePort& port);
    static int32_t idForPortName(const std::string& portName);

    AlsaSequencer::Address address() const { return address_; }

protected:
    bool connectRoute() override;
    void disconnectRoute() override;

private:
    AlsaMidiSource(AlsaSequencer& sequencer, const AlsaSequencer::SourcePort& port);

    AlsaSequencer& sequencer_;
    const AlsaSequencer::Address address_;
};

} // namespace Platform
