#pragma once

#include <cstdint>
#include <string>

#include "platform/foundation/PropertyList.h"

namespace Platform {
class OutputUnit;
}

namespace Platform::Audiobus {

// The audio component a port stands for: type, subtype and manufacturer as four-character codes
// (first character most significant), with flags and mask as the platform's description has them.
struct ComponentDescription {
    std::uint32_t componentType = 0;
    std::uint32_t componentSubType = 0;
    std::uint32_t componentManufacturer = 0;
    std::uint32_t componentFlags = 0;
    std::uint32_t componentFlagsMask = 0;

    friend bool operator==(ComponentDescription const&, ComponentDescription const&) = default;
};

// The observable properties of the controller, by key path.
inline constexpr char const* connectedKeyPath = "connected";
inline constexpr char const* memberOfActiveAudiobusSessionKeyPath = "memberOfActiveAudiobusSession";

// Receives the changes of an observed key path, on the thread that changed the value. The context
// is the one the observer registered with, so that one object can tell its own registrations
// from those of a base class.
class KeyValueObserver {
public:
    virtual ~KeyValueObserver() = default;
    virtual void observeValueForKeyPath(std::string const& keyPath, void const* object, void* context) = 0;
};

// Saves and restores the app's state for an Audiobus preset; called on threads of the session's
// choosing.
class StateIODelegate {
public:
    virtual ~StateIODelegate() = default;
    virtual Dictionary audiobusStateDictionaryForCurrentState() = 0;
    // The response message, when the app sets one, is shown to the user by the session.
    virtual void loadStateFromAudiobusStateDictionary(Dictionary const& dictionary, std::string* responseMessage) = 0;
};

} // namespace Platform::Audiobus
