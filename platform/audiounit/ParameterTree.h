#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/audiounit/AudioUnitTypes.h"

namespace Platform {

class ParameterTree;

// How a value reaches a host's automation: a plain value, or the touch and release that bracket
// a gesture of the user.
enum class ParameterAutomationEventType : std::uint32_t { Value = 0, Touch = 1, Release = 2 };

namespace ParameterFlags {
inline constexpr std::uint32_t IsGlobalMeta = 0x10000000;
inline constexpr std::uint32_t IsReadable = 0x40000000;
inline constexpr std::uint32_t IsWritable = 0x80000000;
} // namespace ParameterFlags

// Who set a value; an observer is not told of its own changes. 0 is nobody.
using ParameterObserverToken = std::uint64_t;

// What an automation observer of the tree is told for every change and gesture edge. A plain
// value set carries no host time (timed is false).
struct ParameterAutomationEvent {
    ParameterAddress address = 0;
    float value = 0.0f;
    ParameterAutomationEventType eventType = ParameterAutomationEventType::Value;
    std::uint64_t hostTime = 0;
    bool timed = false;
};

// One host-visible parameter of an audio unit.
class AudioUnitParameter {
public:
    struct Description {
        std::string identifier;
        std::string name;
        ParameterAddress address = 0;
        float minValue = 0.0f;
        float maxValue = 1.0f;
        std::uint32_t unit = 0; // 0: generic
        std::string unitName;
        std::uint32_t flags = 0;
        std::vector<std::string> valueStrings;
        std::vector<ParameterAddress> dependentParameters;
    };

    explicit AudioUnitParameter(Description description) : d_(std::move(description)) {}

    std::string const& identifier() const { return d_.identifier; }
    std::string const& displayName() const { return d_.name; }
    ParameterAddress address() const { return d_.address; }
    float minValue() const { return d_.minValue; }
    float maxValue() const { return d_.maxValue; }
    std::uint32_t unit() const { return d_.unit; }
    std::string const& unitName() const { return d_.unitName; }
    std::uint32_t flags() const { return d_.flags; }
    std::vector<std::string> const& valueStrings() const { return d_.valueStrings; }
    std::vector<ParameterAddress> const& dependentParameters() const { return d_.dependentParameters; }

    // The implementor's current value when the tree has a value provider, else the last set one.
    float value() const;
    // A host's or the implementor's plain set: the implementor's value observer runs, then every
    // observer hears of it.
    void setValue(float value);
    // The same with an originator (not told), a host time and an automation event type; a touch
    // or a release only tells the observers.
    void setValue(float value, ParameterObserverToken originator, std::uint64_t hostTime,
                  ParameterAutomationEventType eventType);
    // The text of a value (of the current value when none is given).
    std::string stringFromValue(float const* value) const;

private:
    friend class ParameterTree;
    void setValueSilently(float value) { value_.store(value, std::memory_order_relaxed); }
    void change(float value, ParameterObserverToken originator, ParameterAutomationEvent const& event, bool toImplementor);

    Description d_;
    std::atomic<float> value_{0.0f};
    ParameterTree* tree_ = nullptr;
};

// The parameters an audio unit publishes, with the implementor's callbacks (the unit's side)
// and the observers (the host's side).
class ParameterTree {
public:
    using ValueObserver = std::function<void(AudioUnitParameter& parameter, float value)>;
    using ValueProvider = std::function<float(AudioUnitParameter const& parameter)>;
    using StringFromValue = std::function<std::string(AudioUnitParameter const& parameter, float const* value)>;
    using AutomationObserver = std::function<void(ParameterAutomationEvent const& event)>;

    // Parameters keep the initial values they were given (setInitialValue).
    static std::shared_ptr<ParameterTree> createTreeWithChildren(std::vector<std::shared_ptr<AudioUnitParameter>> children);
    explicit ParameterTree(std::vector<std::shared_ptr<AudioUnitParameter>> children);
    ParameterTree(ParameterTree const&) = delete;
    ParameterTree& operator=(ParameterTree const&) = delete;
    ~ParameterTree();

    std::vector<std::shared_ptr<AudioUnitParameter>> const& allParameters() const { return children_; }
    // Nothing for an address that no parameter has.
    AudioUnitParameter* parameterWithAddress(ParameterAddress address) const;

    // Installed by the implementor before the tree is handed to a host.
    void setImplementorValueObserver(ValueObserver observer) { valueObserver_ = std::move(observer); }
    void setImplementorValueProvider(ValueProvider provider) { valueProvider_ = std::move(provider); }
    void setImplementorStringFromValueCallback(StringFromValue callback) { stringFromValue_ = std::move(callback); }

    ParameterObserverToken tokenByAddingParameterAutomationObserver(AutomationObserver observer);
    void removeParameterObserver(ParameterObserverToken token);

    // Sets a parameter's value before the tree is published, telling no one.
    static void setInitialValue(AudioUnitParameter& parameter, float value) { parameter.setValueSilently(value); }

private:
    friend class AudioUnitParameter;
    void notify(ParameterAutomationEvent const& event, ParameterObserverToken originator);

    std::vector<std::shared_ptr<AudioUnitParameter>> children_;
    ValueObserver valueObserver_;
    ValueProvider valueProvider_;
    StringFromValue stringFromValue_;
    std::mutex observersLock_;
    std::vector<std::pair<ParameterObserverToken, AutomationObserver>> observers_;
    ParameterObserverToken nextToken_ = 1;
};

} // namespace Platform
