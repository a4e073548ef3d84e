#include "platform/midi/AlsaMidiSource.h"

namespace Platform {

std::shared_ptr<AlsaMidiSource> AlsaMidiSource::create(AlsaSequencer& sequencer,
                                                       const AlsaSequencer::SourcePort& port) {
    return std::shared_ptr<AlsaMidiSource>(new AlsaMidiSource(sequencer, port));
}

AlsaMidiSource::AlsaMidiSource(AlsaSequencer& sequencer, const AlsaSequencer::SourcePort& port)
    : RoutedMidiSource(port.name, idForPortName(port.name)), sequencer_(sequencer), address_(port.address) {}

int32_t AlsaMidiSource::idForPortName(const std::string& portName) {
    // The prefix keeps it apart from a JACK port of the same name.
    return stableIdFor("alsa:" + portName);
}

bool AlsaMidiSource::connectRoute() { return sequencer_.connect(address_); }

void AlsaMidiSource::disconnectRoute() {
    // Only a subscription of our own is ended.
    if (isRouted()) sequencer_.disconnect(address_);
}

} // namespace Platform
