#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/midi/MidiEndpoint.h"

namespace Platform {

// A port of another program, seen as a source of the MIDI system, whose messages never pass
// through send(): while an input port is connected to it and it is enabled, a sound server routes
// the port into Corvane's sources input (a JACK connection, an ALSA subscription). Disabling it
// (an unused port) takes that route away. The back-end says only how a route is made and undone.
//
// Whether the source counts as routed also decides what its leaving costs: once routed it stays
// counted so until it is deliberately unrouted, even when its dying program's port can no longer
// be routed, so that a source that leaves with keys down has its notes released (its note-offs
// will never come).
//
// Threads: the controlling (main) thread only.
class RoutedMidiSource : public MidiSource {
public:
    const std::string& portName() const { return portName_; }
    void setEnabled(bool enabled);
    bool isEnabled() const { return enabled_; }
    // Routes or unroutes the port as the connections and the enabled flag want it (also again
    // after a server came back, when every route was lost).
    void route();
    bool isRouted() const { return routed_; }
    // Whether this source leaving now must release all notes: it may have left some on.
    bool leavingReleasesNotes() const { return routed_; }

protected:
    RoutedMidiSource(std::string portName, int32_t uniqueId);
    // A positive 31-bit id from a key (0 means "none" to the MIDI system), the same in every run.
    static int32_t stableIdFor(std::string_view key);

    // Whether the back-end has anywhere to route to at all (a JACK driver without a client has not).
    virtual bool canRoute() const { return true; }
    // Makes the route (true also when it already exists), or takes it away.
    virtual bool connectRoute() = 0;
    virtual void disconnectRoute() = 0;

    void connectionsChanged(std::size_t connections) override;

private:
    const std::string portName_;
    bool wanted_ = false;   // an input port listens
    bool enabled_ = true;
    bool routed_ = false;
};

} // namespace Platform
