#pragma once

#include <memory>
#include <string>

#include "platform/midi/RoutedMidiSource.h"

namespace Platform {

class JackDriver;

// A MIDI output port of another JACK client, seen as a source of the MIDI system: routed by
// connecting the JACK port to the driver's sources input, whose events the driver's process
// callback hands to the output unit with their frames.
//
// Threads: the controlling (main) thread only.
class JackMidiSource : public RoutedMidiSource {
public:
    // The unique id is derived from the port's name, so that a port keeps its id (and the user's
    // settings for it) from one run to the next.
    static std::shared_ptr<JackMidiSource> create(JackDriver& driver, const std::string& portName);
    static int32_t idForPortName(const std::string& portName);

protected:
    bool canRoute() const override;
    bool connectRoute() override;
    void disconnectRoute() override;

private:
    JackMidiSource(JackDriver& driver, const std::string& portName);
    std::string driverInput() const;

    JackDriver& driver_;
};

} // namespace Platform
