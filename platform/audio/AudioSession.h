#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Error.h"
#include "platform/foundation/PropertyList.h"

namespace Platform {

// The process's audio session: how the program wants to use the audio device (category and
// options, preferred sample rate and IO buffer duration, active or not), and the notifications
// the system posts about it: an interruption began or ended, the audio route changed.
// Notifications go to the default notification centre with the session as their object, on the
// thread that reports the change (a driver, or a test standing in for the system).
class AudioSession {
public:
    enum class Category { Ambient, SoloAmbient, Playback, Record, PlayAndRecord };
    enum CategoryOption : unsigned { MixWithOthers = 0x1, DuckOthers = 0x2, DefaultToSpeaker = 0x8 };

    // Interruption notification: user info kInterruptionTypeKey holds an InterruptionType.
    static constexpr const char* kInterruptionNotification = "AudioSessionInterruptionNotification";
    static constexpr const char* kInterruptionTypeKey = "AudioSessionInterruptionTypeKey";
    enum InterruptionType : int { InterruptionEnded = 0, InterruptionBegan = 1 };

    // Route-change notification: kRouteChangeReasonKey holds a RouteChangeReason and
    // kRouteChangePreviousRouteKey the route before the change (RouteDescription::toValue).
    static constexpr const char* kRouteChangeNotification = "AudioSessionRouteChangeNotification";
    static constexpr const char* kRouteChangeReasonKey = "AudioSessionRouteChangeReasonKey";
    static constexpr const char* kRouteChangePreviousRouteKey = "AudioSessionRouteChangePreviousRouteKey";
    enum RouteChangeReason : int { ReasonUnknown = 0, NewDeviceAvailable = 1, OldDeviceUnavailable = 2 };

    // Port types of a route's ports.
    static constexpr const char* kPortBuiltInSpeaker = "Speaker";
    static constexpr const char* kPortHeadphones = "Headphones";
    static constexpr const char* kPortLineOut = "LineOut";

    struct PortDescription {
        std::string portType;
        std::string portName;
        friend bool operator==(const PortDescription&, const PortDescription&) = default;
    };
    struct RouteDescription {
        std::vector<PortDescription> inputs;
        std::vector<PortDescription> outputs;

        bool hasOutput(const std::string& portType) const;
        // As a notification carries it: {"inputs": [...], "outputs": [...]} of {"type", "name"}.
        Value toValue() const;
        static RouteDescription fromValue(const Value& value);
        friend bool operator==(const RouteDescription&, const RouteDescription&) = default;
    };

    // The calls a test can make fail (failNextCall).
    enum class Call { SetCategory, SetPreferredSampleRate, SetPreferredIOBufferDuration, SetActive, Count };
    static constexpr const char* kErrorDomain = "AudioSessionErrorDomain";

    static AudioSession& sharedInstance();

    AudioSession();
    AudioSession(const AudioSession&) = delete;
    AudioSession& operator=(const AudioSession&) = delete;

    bool setCategory(Category category, unsigned options, Error* error = nullptr);
    Category category() const;
    unsigned categoryOptions() const;

    // Refused for a rate or a duration that is not finite and positive.
    bool setPreferredSampleRate(double rate, Error* error = nullptr);
    double preferredSampleRate() const;   // 0 until set
    bool setPreferredIOBufferDuration(double seconds, Error* error = nullptr);
    double preferredIOBufferDuration() const;   // 0 until set

    bool setActive(bool active, Error* error = nullptr);
    bool isActive() const { return active_.load(); }

    RouteDescription currentRoute() const;

    // The system's side, for drivers and tests: the route becomes route (posting a route change
    // with the previous one); an interruption begins or ends (posting it; a beginning also
    // deactivates the session).
    void changeRoute(const RouteDescription& route, RouteChangeReason reason);
    void postInterruption(InterruptionType type);

    // The next call of that kind fails with the description; an empty description cancels.
    void failNextCall(Call call, std::string description);
    // Back to the state of a fresh process (tests).
    void reset();

private:
    bool takeFailure(Call call, Error* error);
    bool setPreference(Call call, double value, double& preference, const char* refusal, Error* error);

    mutable std::mutex lock_;
    Category category_ = Category::SoloAmbient;
    unsigned options_ = 0;
    double preferredSampleRate_ = 0.0;
    double preferredIOBufferDuration_ = 0.0;
    std::atomic<bool> active_{false};
    RouteDescription route_;
    std::array<std::string, static_cast<size_t>(Call::Count)> failures_;
};

} // namespace Platform
