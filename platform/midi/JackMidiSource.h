#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/midi/MidiEndpoint.h"

namespace Platform {

class JackDriver;

// A MIDI output port of another JACK client, seen as a source of the MIDI system. Its messages
// never pass through send(): while an input port is connected to it and it is enabled, the JACK
// port is connected to the driver's sources input, whose events the driver's process callback
// hands to the output unit with their frames. Disabling it (an unused port) disconnects it there.
//
// Threads: the controlling (main) thread only.
class JackMidiSource : public MidiSource {
public:
    // The unique id is derived from the port's name, so that a port keeps its id (and the user's
    // settings for it) from one run to the next.
    static std::shared_ptr<JackMidiSource> create(JackDriver& driver, const std::string& portName);
    static int32_t idForPortName(const std::string& portName);

    const std::string& portName() const { return portName_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Connects or disconnects the JACK port as the connections and the enabled flag want it (also
    // again after the server came back, when every JACK connection was lost).
    void route();
    bool isRouted() const { return routed_; }

protected:
    void connectionsChanged(std::size_t connections) override;

private:
    JackMidiSource(JackDriver& driver, std::string portName);

    JackDriver& driver_;
    const std::string portName_;
    bool wanted_ = false;    // an input port listens
    bool enabled_ = true;
    bool routed_ = false;
};

} // namespace Platform
