#pragma once

#include <cstdint>

namespace Platform {

// The result of a MIDI service call: 0 for success, a negative code otherwise. The codes are this
// stand-in's own; callers only log them.
using MidiStatus = int32_t;

namespace MidiErr {
constexpr MidiStatus None = 0;
constexpr MidiStatus InvalidClient = -41001;      // the client was disposed
constexpr MidiStatus InvalidPort = -41002;        // the port was disposed
constexpr MidiStatus WrongEndpointType = -41003;  // a destination given where a source is needed
constexpr MidiStatus NoConnection = -41004;       // disconnecting what is not connected
constexpr MidiStatus UnknownEndpoint = -41005;    // the endpoint is not (or no longer) published
constexpr MidiStatus AlreadyConnected = -41006;
constexpr MidiStatus InvalidArgument = -41007;
} // namespace MidiErr

// The service calls whose failure a test can inject (MidiSystem::failNextCall).
enum class MidiCall : int {
    ClientCreate,
    InputPortCreate,
    OutputPortCreate,
    DestinationCreate,
    PortConnectSource,
    Count
};

} // namespace Platform
