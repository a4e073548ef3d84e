#include "platform/audio/AudioSession.h"

#include <cmath>
#include <utility>

#include "platform/foundation/NotificationCenter.h"

namespace Platform {

namespace {

constexpr int kParameterError = -50;
constexpr int kRefusedError = -12986;

Value portsToValue(const std::vector<AudioSession::PortDescription>& ports) {
    Array array;
    for (const auto& port : ports) {
        array.push_back(Dictionary{{"type", port.portType}, {"name", port.portName}});
    }
    return array;
}

std::vector<AudioSession::PortDescription> portsFromValue(const Value* value) {
    std::vector<AudioSession::PortDescription> ports;
    if (value == nullptr || value->array() == nullptr) {
        return ports;
    }
    for (const Value& entry : *value->array()) {
        const Dictionary* dictionary = entry.dictionary();
        if (dictionary == nullptr) {
            continue;
        }
        AudioSession::PortDescription port;
        if (auto it = dictionary->find("type"); it != dictionary->end()) {
            port.portType = it->second.stringValue().value_or("");
        }
        if (auto it = dictionary->find("name"); it != dictionary->end()) {
            port.portName = it->second.stringValue().value_or("");
        }
        ports.push_back(std::move(port));
    }
    return ports;
}

bool usable(double value) { return std::isfinite(value) && value > 0.0; }

} // namespace

bool AudioSession::RouteDescription::hasOutput(const std::string& portType) const {
    for (const auto& port : outputs) {
        if (port.portType == portType) {
            return true;
        }
    }
    return false;
}

Value AudioSession::RouteDescription::toValue() const {
    return Dictionary{{"inputs", portsToValue(inputs)}, {"outputs", portsToValue(outputs)}};
}

AudioSession::RouteDescription AudioSession::RouteDescription::fromValue(const Value& value) {
    RouteDescription route;
    if (const Dictionary* dictionary = value.dictionary()) {
        auto find = [dictionary](const char* key) -> const Value* {
            auto it = dictionary->find(key);
            return it == dictionary->end() ? nullptr : &it->second;
        };
        route.inputs = portsFromValue(find("inputs"));
        route.outputs = portsFromValue(find("outputs"));
    }
    return route;
}

AudioSession& AudioSession::sharedInstance() {
    static AudioSession session;
    return session;
}

AudioSession::AudioSession() {
    reset();
}

bool AudioSession::takeFailure(Call call, Error* error) {
    std::string description;
    {
        std::lock_guard lock(lock_);
        description = std::exchange(failures_[static_cast<size_t>(call)], std::string());
    }
    if (description.empty()) {
        return false;
    }
    if (error != nullptr) {
        *error = Error(kErrorDomain, kRefusedError, description);
    }
    return true;
}

// A preference is a finite positive number; anything else is refused and leaves the one held.
bool AudioSession::setPreference(Call call, double value, double& preference, const char* refusal, Error* error) {
    if (takeFailure(call, error)) {
        return false;
    }
    if (!usable(value)) {
        if (error != nullptr) {
            *error = Error(kErrorDomain, kParameterError, refusal);
        }
        return false;
    }
    std::lock_guard lock(lock_);
    preference = value;
    return true;
}

bool AudioSession::setCategory(Category category, unsigned options, Error* error) {
    if (takeFailure(Call::SetCategory, error)) {
        return false;
    }
    std::lock_guard lock(lock_);
    category_ = category;
    options_ = options;
    return true;
}

AudioSession::Category AudioSession::category() const {
    std::lock_guard lock(lock_);
    return category_;
}

unsigned AudioSession::categoryOptions() const {
    std::lock_guard lock(lock_);
    return options_;
}

bool AudioSession::setPreferredSampleRate(double rate, Error* error) {
    return setPreference(Call::SetPreferredSampleRate, rate, preferredSampleRate_,
                         "The preferred sample rate is not usable.", error);
}

double AudioSession::preferredSampleRate() const {
    std::lock_guard lock(lock_);
    return preferredSampleRate_;
}

bool AudioSession::setPreferredIOBufferDuration(double seconds, Error* error) {
    return setPreference(Call::SetPreferredIOBufferDuration, seconds, preferredIOBufferDuration_,
                         "The preferred IO buffer duration is not usable.", error);
}

double AudioSession::preferredIOBufferDuration() const {
    std::lock_guard lock(lock_);
    return preferredIOBufferDuration_;
}

bool AudioSession::setActive(bool active, Error* error) {
    if (takeFailure(Call::SetActive, error)) {
        return false;
    }
    active_.store(active);
    return true;
}

AudioSession::RouteDescription AudioSession::currentRoute() const {
    std::lock_guard lock(lock_);
    return route_;
}

void AudioSession::changeRoute(const RouteDescription& route, RouteChangeReason reason) {
    RouteDescription previous;
    {
        std::lock_guard lock(lock_);
        previous = std::exchange(route_, route);
    }
    NotificationCenter::defaultCenter().post(
        kRouteChangeNotification, this,
        Dictionary{{kRouteChangeReasonKey, static_cast<int>(reason)},
                   {kRouteChangePreviousRouteKey, previous.toValue()}});
}

void AudioSession::postInterruption(InterruptionType type) {
    if (type == InterruptionBegan) {
        active_.store(false);
    }
    NotificationCenter::defaultCenter().post(kInterruptionNotification, this,
                                             Dictionary{{kInterruptionTypeKey, static_cast<int>(type)}});
}

void AudioSession::failNextCall(Call call, std::string description) {
    std::lock_guard lock(lock_);
    failures_[static_cast<size_t>(call)] = std::move(description);
}

void AudioSession::reset() {
    std::lock_guard lock(lock_);
    category_ = Category::SoloAmbient;
    options_ = 0;
    preferredSampleRate_ = 0.0;
    preferredIOBufferDuration_ = 0.0;
    active_.store(false);
    route_ = RouteDescription{};
    route_.outputs.push_back({kPortBuiltInSpeaker, "Speaker"});
    for (auto& failure : failures_) {
        failure.clear();
    }
}

} // namespace Platform
