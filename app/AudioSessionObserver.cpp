#include "app/AudioSessionObserver.h"

#include <memory>

#include "app/AudioIO_for_iOS_App_Impl.h"
#include "platform/audio/AudioSession.h"

namespace Lumora {

namespace {

const Platform::Value* find(const Platform::Dictionary& dictionary, const char* key) {
    auto it = dictionary.find(key);
    return it == dictionary.end() ? nullptr : &it->second;
}

} // namespace

AudioSessionObserver::~AudioSessionObserver() { dealloc(); }

bool AudioSessionObserver::initWithEngineImpl(AudioIO_for_iOS_App_Impl* impl) {
    impl_.store(impl);
    auto& center = Platform::NotificationCenter::defaultCenter();
    // A delivery may run on another thread while this object goes away: the handlers hold it weakly.
    std::weak_ptr<AudioSessionObserver> weak = weakSelf<AudioSessionObserver>();
    interruptionToken_ = center.addObserver(Platform::AudioSession::kInterruptionNotification, nullptr,
                                            [weak](const Platform::Notification& notification) {
                                                if (auto self = weak.lock())
                                                    self->audioSession_didInterruption(notification);
                                            });
    routeToken_ = center.addObserver(Platform::AudioSession::kRouteChangeNotification,
                                      &Platform::AudioSession::sharedInstance(),
                                      [weak](const Platform::Notification& notification) {
                                          if (auto self = weak.lock())
                                              self->audioSession_routeChanged(notification);
                                      });
    return true;
}

void AudioSessionObserver::dealloc() {
    impl_.store(nullptr);
    auto& center = Platform::NotificationCenter::defaultCenter();
    if (interruptionToken_ != 0) {
        center.removeObserver(interruptionToken_);
        interruptionToken_ = 0;
    }
    if (routeToken_ != 0) {
        center.removeObserver(routeToken_);
        routeToken_ = 0;
    }
}

void AudioSessionObserver::audioSession_didInterruption(const Platform::Notification& notification) {
    AudioIO_for_iOS_App_Impl* impl = impl_.load();
    if (impl == nullptr) {
        return;
    }
    const Platform::Value* type = find(notification.userInfo, Platform::AudioSession::kInterruptionTypeKey);
    if (type == nullptr) {
        return;
    }
    impl->audioSessionInterruption(static_cast<int>(type->integerValue()));
}

void AudioSessionObserver::audioSession_routeChanged(const Platform::Notification& notification) {
    AudioIO_for_iOS_App_Impl* impl = impl_.load();
    if (impl == nullptr) {
        return;
    }
    const Platform::Value* previous =
        find(notification.userInfo, Platform::AudioSession::kRouteChangePreviousRouteKey);
    impl->audioSessionRouteChanged(previous == nullptr ? Platform::AudioSession::RouteDescription{}
                                                       : Platform::AudioSession::RouteDescription::fromValue(*previous));
}

} // namespace Lumora
