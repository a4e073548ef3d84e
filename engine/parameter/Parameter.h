#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "engine/parameter/Lockable.h"
#include "engine/parameter/ParameterObserver.h"
#include "engine/parameter/Serializer.h"

namespace Lumora {

class ParameterManager;

// One setting of a sound or of the engine. The value is kept normalized in [0, 1]; the type
// fixes how it maps to a concrete value. The render thread reads the value without a lock;
// every change runs under the parameter's own lock together with the report that follows it.
class Parameter : Lockable {
public:
    using Token = ParameterObserver::Token;

    enum class Type : int32_t {
        SInt = 1,   // integers -64..63
        UInt = 2,   // integers 0..127
        SFloat = 3, // reals -1..1
        UFloat = 4, // reals 0..1
        Bool = 5,   // 0 or 1
    };

    enum class Options : uint32_t {
        None = 0,
        HiddenFromHost = 0x1,
        NoInitialize = 0x400,
        NoDeserialize = 0x800,
        NoSerialize = 0x1000,
    };

    Parameter(Type type, ParameterManager* manager, int id, const std::string& displayName,
              const std::string& serializedName, float normalizedDefault, Options options,
              SerializeWhat serializeWhat, unsigned notifyInterval);
    virtual ~Parameter();

    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    int32_t id() const { return id_; }
    Type type() const { return type_; }
    Options options() const { return options_; }
    bool hasOption(Options o) const;
    SerializeWhat serializeWhat() const { return serializeWhat_; }
    float normalizedValue() const { return normalizedValue_.load(std::memory_order_relaxed); }
    float defaultValue() const { return defaultValue_; }
    unsigned notifyInterval() const { return notifyInterval_; }
    uint32_t changeCount() const;
    const std::string& displayName() const { return displayName_; }
    const std::string& serializedName() const { return serializedName_; }
    ParameterManager* manager() const { return manager_.load(std::memory_order_acquire); }

    float concreteValue() const { return normalizedToConcreteValue(type_, normalizedValue()); }

    virtual std::string displayValue_from(float concrete) const;
    // Each type quantizes and clamps, then hands the value to setNormalizedValue_.
    virtual void setNormalizedValue(float value, Token token, AutomationEventType event) = 0;
    // The host range of the parameter.
    virtual float normalizedMinValue() const { return 0.0f; }
    virtual float normalizedMaxValue() const { return 1.0f; }
    virtual bool isSupportedSerializedName(const std::string& key) const;
    // Applies the leading number of value; a text without a usable number applies the
    // default and answers false.
    virtual bool deserialize(const std::string& name, const std::string& value, int version,
                             Token token);

    void setConcreteValue(float concrete, Token token);

    static float normalizedToConcreteValue(Type type, float normalized);
    static float concreteToNormalizedValue(Type type, float concrete);

protected:
    // The shared step of every setter: drop, store, count, throttle and report.
    void setNormalizedValue_(float value, Token token, AutomationEventType event);

private:
    friend class ParameterManager;
    bool shouldReport(float value) const;

    std::atomic<ParameterManager*> manager_;
    const Type type_;
    const SerializeWhat serializeWhat_;
    const Options options_;
    const int32_t id_;
    const uint32_t notifyInterval_;
    const std::string displayName_;
    const std::string serializedName_;
    std::atomic<float> normalizedValue_;
    const float defaultValue_;
    uint32_t changeCount_ = 0;
    float lastNotifiedValue_;
};

constexpr Parameter::Options operator|(Parameter::Options a, Parameter::Options b) {
    return static_cast<Parameter::Options>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}
constexpr Parameter::Options operator&(Parameter::Options a, Parameter::Options b) {
    return static_cast<Parameter::Options>(static_cast<uint32_t>(a) & static_cast<uint32_t>(b));
}

inline bool Parameter::hasOption(Options o) const {
    return (static_cast<uint32_t>(options_) & static_cast<uint32_t>(o)) != 0;
}

} // namespace Lumora
