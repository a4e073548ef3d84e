#pragma once

#include <cstdint>
#include <memory>

namespace AppShell {

// The transport of the program that plays the app when that is not an inter-app audio host: on
// Linux the JACK server's. The transport panel shows it as it shows a connected inter-app host
// (the panel appears, its buttons show and move the transport), whoever plays the app live sets
// it as the current one, and the panel follows its changes by looking now and then.
//
// Threads: the main thread.
class HostTransport {
public:
    struct State {
        bool playing = false;
        bool recording = false;
        double sampleTime = 0.0;   // the transport's position in frames
    };

    virtual ~HostTransport() = default;
    // Whether the transport can be shown and moved now (a sound server may be gone for a while).
    virtual bool available() const = 0;
    virtual State state() const = 0;
    virtual bool canRecord() const = 0;
    // The panel's commands, numbered as the inter-app remote-control events: 1 toggles play and
    // pause, 2 toggles recording, 3 returns to the start.
    virtual void handleRemoteControlEvent(std::uint32_t event) = 0;

    // Posted (synchronously, on the main thread) whenever the current transport is set.
    static constexpr char const* didChangeNotification = "CorvaneHostTransportDidChangeNotification";
    // Null clears it; the object must stay usable until it is replaced.
    static void setCurrent(std::shared_ptr<HostTransport> transport);
    static std::shared_ptr<HostTransport> current();
};

} // namespace AppShell
