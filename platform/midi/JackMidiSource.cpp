#include "platform/midi/JackMidiSource.h"

#include "platform/audio/JackDriver.h"

namespace Platform {

std::shared_ptr<JackMidiSource> JackMidiSource::create(JackDriver& driver, const std::string& portName) {
    return std::shared_ptr<JackMidiSource>(new JackMidiSource(driver, portName));
}

JackMidiSource::JackMidiSource(JackDriver& driver, const std::string& portName)
    : RoutedMidiSource(portName, idForPortName(portName)), driver_(driver) {}

int32_t JackMidiSource::idForPortName(const std::string& portName) { return stableIdFor(portName); }

std::string JackMidiSource::driverInput() const { return driver_.midiInputPortName(JackDriver::kSourcesPort); }

bool JackMidiSource::canRoute() const { return !driverInput().empty(); }

bool JackMidiSource::connectRoute() { return driver_.connect(portName(), driverInput()); }

void JackMidiSource::disconnectRoute() { driver_.disconnect(portName(), driverInput()); }

} // namespace Platform
