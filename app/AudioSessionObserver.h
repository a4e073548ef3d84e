#pragma once

#include <atomic>

#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Object.h"

namespace Lumora {

class AudioIO_for_iOS_App_Impl;

// Turns the audio session's notifications into calls on the app's audio I/O: interruptions (from
// any sender) and route changes (from the shared session). It holds the implementation object
// without owning it; once dealloc has run, or close has released it, nothing reaches the object.
class AudioSessionObserver : public Platform::Object {
public:
    AudioSessionObserver() = default;
    ~AudioSessionObserver() override;

    bool initWithEngineImpl(AudioIO_for_iOS_App_Impl* impl);
    // Stops delivering: clears the pointer and leaves the notification centre.
    void dealloc();

    void audioSession_didInterruption(const Platform::Notification& notification);
    void audioSession_routeChanged(const Platform::Notification& notification);

private:
    std::atomic<AudioIO_for_iOS_App_Impl*> impl_{nullptr};
    Platform::NotificationCenter::ObserverToken interruptionToken_ = 0;
    Platform::NotificationCenter::ObserverToken routeToken_ = 0;
};

} // namespace Lumora
