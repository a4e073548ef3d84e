#pragma once

#include "app/HostTransport.h"

namespace Platform {
class JackDriver;
}

namespace AppShell {

// The JACK server's transport as the transport panel's host: playing while it rolls, its frame
// as the play time; play/pause starts or stops it and rewind locates it to frame 0, through the
// driver, so every JACK client follows. JACK's transport cannot record: the record command does
// nothing and the record button stays disabled.
//
// Threads: the main thread (the driver's controlling thread).
class JackTransportHost : public HostTransport {
public:
    explicit JackTransportHost(Platform::JackDriver& driver) : driver_(driver) {}

    bool available() const override;
    State state() const override;
    bool canRecord() const override { return false; }
    void handleRemoteControlEvent(std::uint32_t event) override;

private:
    Platform::JackDriver& driver_;
};

} // namespace AppShell
