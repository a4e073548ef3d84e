#include "platform/foundation/NotificationCenter.h"

#include <algorithm>
#include <atomic>

namespace Platform {

struct NotificationCenter::Observation {
    ObserverToken token;
    std::string name;
    void const* object;
    Handler handler;
    std::atomic<bool> removed{false};

    bool matches(Notification const& notification) const {
        return (name.empty() || name == notification.name) && (object == nullptr || object == notification.object);
    }
};

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

NotificationCenter::ObserverToken NotificationCenter::addObserver(std::string name, void const* object,
                                                                  Handler handler) {
    auto observation = std::make_shared<Observation>();
    observation->name = std::move(name);
    observation->object = object;
    observation->handler = std::move(handler);
    std::lock_guard<std::mutex> guard(lock_);
    observation->token = nextToken_++;
    observations_.push_back(observation);
    return observation->token;
}

void NotificationCenter::removeObserver(ObserverToken token) {
    std::lock_guard<std::mutex> guard(lock_);
    auto found = std::find_if(observations_.begin(), observations_.end(),
                              [token](auto const& observation) { return observation->token == token; });
    if (found == observations_.end())
        return;
    // A delivery in progress holds its own copy of the list; the flag stops it calling this one.
    (*found)->removed.store(true);
    observations_.erase(found);
}

void NotificationCenter::post(Notification const& notification) {
    std::vector<std::shared_ptr<Observation>> receivers;
    {
        std::lock_guard<std::mutex> guard(lock_);
        for (auto const& observation : observations_) {
            if (observation->matches(notification))
                receivers.push_back(observation);
        }
    }
    for (auto const& observation : receivers) {
        if (!observation->removed.load())
            observation->handler(notification);
    }
}

void NotificationCenter::post(std::string name, void const* object, Dictionary userInfo) {
    post(Notification{std::move(name), object, std::move(userInfo)});
}

} // namespace Platform
