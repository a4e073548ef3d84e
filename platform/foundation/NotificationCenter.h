#pragma once

#include "platform/foundation/PropertyList.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// One posted notification: its name, the object that posted it (compared by identity only, never
// dereferenced by the centre) and optional details.
struct Notification {
    std::string name;
    void const* object = nullptr;
    Dictionary userInfo;
};

// Named notifications delivered synchronously, on the posting thread, to every observer that
// matches, in the order the observers were added. An observer given an empty name hears every
// name; one given no object hears every poster.
//
// Handlers run without any lock of the centre held, so they may post, add and remove observers.
// After removeObserver returns the handler is not called again, but a delivery that already
// started on another thread may still be running: handlers that reach objects which can go away
// hold them through weak references.
class NotificationCenter {
public:
    using Handler = std::function<void(Notification const&)>;
    using ObserverToken = std::uint64_t;   // 0 is never a token

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(NotificationCenter const&) = delete;
    NotificationCenter& operator=(NotificationCenter const&) = delete;

    ObserverToken addObserver(std::string name, void const* object, Handler handler);
    void removeObserver(ObserverToken token);

    void post(Notification const& notification);
    void post(std::string name, void const* object = nullptr, Dictionary userInfo = {});

private:
    struct Observation;

    std::mutex lock_;
    std::vector<std::shared_ptr<Observation>> observations_;
    ObserverToken nextToken_ = 1;
};

} // namespace Platform
