#include "platform/midi/RoutedMidiSource.h"

namespace Platform {

RoutedMidiSource::RoutedMidiSource(std::string portName, int32_t uniqueId)
    : MidiSource(portName, uniqueId), portName_(std::move(portName)) {}

int32_t RoutedMidiSource::stableIdFor(std::string_view key) {
    // FNV-1a, folded to 31 bits.
    uint32_t hash = 2166136261u;
    for (unsigned char c : key) {
        hash ^= c;
        hash *= 16777619u;
    }
    const auto id = static_cast<int32_t>(hash & 0x7FFFFFFF);
    return id == 0 ? 1 : id;
}

void RoutedMidiSource::setEnabled(bool enabled) {
    enabled_ = enabled;
    route();
}

void RoutedMidiSource::connectionsChanged(std::size_t connections) {
    wanted_ = connections > 0;
    route();
}

void RoutedMidiSource::route() {
    if (!canRoute()) {
        routed_ = false;
        return;
    }
    if (wanted_ && enabled_) {
        // A port whose program is going away (killed, unplugged) can no longer be routed while
        // the server still lists it: a route it had stays counted.
        if (connectRoute()) routed_ = true;
    } else {
        disconnectRoute();
        routed_ = false;
    }
}

} // namespace Platform
