#include "platform/midi/AlsaMidiSource.h"

namespace Platform {

std::shared_ptr<AlsaMidiSource> AlsaMidiSource::create(AlsaSequencer& sequencer,
                                                       const AlsaSequencer::SourcePort& port) {
    return std::shared_ptr<AlsaMidiSource>(new AlsaMidiSource(sequencer, port));
}

AlsaMidiSource::AlsaMidiSource(AlsaSequencer& sequencer, const AlsaSequencer::SourcePort& port)
    : MidiSource(port.name, idForPortName(port.name)), sequencer_(sequencer), address_(port.address),
      portName_(port.name) {}

int32_t AlsaMidiSource::idForPortName(const std::string& portName) {
    // FNV-1a over a prefix and the name, folded to a positive 31-bit id (0 means "none" to the
    // MIDI system); the prefix keeps it apart from a JACK port of the same name.
    uint32_t hash = 2166136261u;
    for (unsigned char c : "alsa:" + portName) {
        hash ^= c;
        hash *= 16777619u;
    }
    const auto id = static_cast<int32_t>(hash & 0x7FFFFFFF);
    return id == 0 ? 1 : id;
}

void AlsaMidiSource::setEnabled(bool enabled) {
    enabled_ = enabled;
    route();
}

void AlsaMidiSource::connectionsChanged(std::size_t connections) {
    wanted_ = connections > 0;
    route();
}

void AlsaMidiSource::route() {
    if (wanted_ && enabled_) {
        routed_ = sequencer_.connect(address_);
    } else {
        if (routed_) sequencer_.disconnect(address_);
        routed_ = false;
    }
}

} // namespace Platform
