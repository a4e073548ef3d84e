#pragma once

#include "platform/audio/InterAppAudio.h"

namespace Platform {
class JackDriver;
}

namespace AppShell {

// The JACK server's transport answering as the host that host sync follows: playing while the
// transport rolls, its tempo, beat and bar from the bar-beat position of the timebase master. The
// procedures run on the render thread and read only the driver's atomics.
Platform::InterAppAudio::HostCallbackInfo jackHostCallbacks(Platform::JackDriver& driver);

} // namespace AppShell
