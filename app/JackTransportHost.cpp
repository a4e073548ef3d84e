#include "app/JackTransportHost.h"

#include "platform/audio/InterAppAudio.h"
#include "platform/audio/JackDriver.h"

namespace AppShell {

namespace IAA = Platform::InterAppAudio;

// A client whose server went away is still open until the driver's next poll closes it.
bool JackTransportHost::available() const { return driver_.isOpen() && !driver_.serverLost(); }

HostTransport::State JackTransportHost::state() const {
    State state;
    if (!available()) return state;
    const Platform::JackDriver::Transport transport = driver_.transport();
    state.playing = transport.rolling;
    state.sampleTime = static_cast<double>(transport.frame);
    return state;
}

void JackTransportHost::handleRemoteControlEvent(std::uint32_t event) {
    switch (event) {
    case IAA::TogglePlayPause:
        if (driver_.transportMoving()) {
            driver_.stopTransport();
        } else {
            driver_.startTransport();
        }
        break;
    case IAA::Rewind:
        driver_.locateTransport(0);
        break;
    default:
        break;
    }
}

} // namespace AppShell
