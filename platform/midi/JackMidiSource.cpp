#include "platform/midi/JackMidiSource.h"

#include "platform/audio/JackDriver.h"

namespace Platform {

std::shared_ptr<JackMidiSource> JackMidiSource::create(JackDriver& driver, const std::string& portName) {
    return std::shared_ptr<JackMidiSource>(new JackMidiSource(driver, portName));
}

JackMidiSource::JackMidiSource(JackDriver& driver, std::string portName)
    : MidiSource(portName, idForPortName(portName)), driver_(driver), portName_(std::move(portName)) {}

int32_t JackMidiSource::idForPortName(const std::string& portName) {
    // FNV-1a, folded to a positive 31-bit id (0 means "none" to the MIDI system).
    uint32_t hash = 2166136261u;
    for (unsigned char c : portName) {
        hash ^= c;
        hash *= 16777619u;
    }
    const auto id = static_cast<int32_t>(hash & 0x7FFFFFFF);
    return id == 0 ? 1 : id;
}

void JackMidiSource::setEnabled(bool enabled) {
    enabled_ = enabled;
    route();
}

void JackMidiSource::connectionsChanged(std::size_t connections) {
    wanted_ = connections > 0;
    route();
}

void JackMidiSource::route() {
    const std::string input = driver_.midiInputPortName(JackDriver::kSourcesPort);
    if (input.empty()) {
        routed_ = false;
        return;
    }
    if (wanted_ && enabled_) {
        // A port whose client is going away (killed, unplugged) can no longer be connected while
        // the server still lists it; it stays counted as routed, so that its leaving releases
        // the notes it may have left on.
        if (driver_.connect(portName_, input))
            routed_ = true;
    } else {
        driver_.disconnect(portName_, input);
        routed_ = false;
    }
}

} // namespace Platform
