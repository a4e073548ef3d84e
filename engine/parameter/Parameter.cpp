#include "engine/parameter/Parameter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "engine/parameter/NumberText.h"
#include "engine/parameter/ParameterManager.h"

namespace Lumora {

Parameter::Parameter(Type type, ParameterManager* manager, int id, const std::string& displayName,
                     const std::string& serializedName, float normalizedDefault, Options options,
                     SerializeWhat serializeWhat, unsigned notifyInterval)
    : manager_(manager),
      type_(type),
      serializeWhat_(serializeWhat),
      options_(options),
      id_(id),
      notifyInterval_(notifyInterval),
      displayName_(displayName),
      serializedName_(serializedName),
      normalizedValue_(normalizedDefault),
      defaultValue_(normalizedDefault),
      lastNotifiedValue_(normalizedDefault) {
    if (manager != nullptr) {
        manager->registerParameter(this);
    }
}

Parameter::~Parameter() {
    if (ParameterManager* m = manager()) {
        m->unregisterParameter(this);
    }
}

uint32_t Parameter::changeCount() const {
    std::lock_guard lock(mutex());
    return changeCount_;
}

std::string Parameter::displayValue_from(float concrete) const {
    return NumberText::fixed6(concrete);
}

bool Parameter::isSupportedSerializedName(const std::string& key) const {
    return key == serializedName_;
}

bool Parameter::deserialize(const std::string&, const std::string& value, int, Token token) {
    const std::optional<float> number = NumberText::leadingFloat(value);
    if (number && !std::isnan(*number)) {
        setNormalizedValue(*number, token, AutomationEventType::None);
        return true;
    }
    setNormalizedValue(defaultValue_, token, AutomationEventType::None);
    return false;
}

void Parameter::setConcreteValue(float concrete, Token token) {
    if (std::isnan(concrete)) {
        return;
    }
    setNormalizedValue(concreteToNormalizedValue(type_, concrete), token, AutomationEventType::None);
}

// All conversions stay in float: no value is ever cast to an integer type, so a NaN or a
// huge input cannot reach an undefined conversion.
float Parameter::normalizedToConcreteValue(Type type, float n) {
    switch (type) {
    case Type::SInt:
        return std::round(std::clamp(n, 0.0f, 1.0f) * 127.0f - 64.0f);
    case Type::UInt:
        n = std::max(n, 0.0f);
        return n > 1.0f ? 127.0f : std::round(n * 127.0f);
    case Type::SFloat:
        return std::clamp(n, 0.0f, 1.0f) * 2.0f - 1.0f;
    case Type::UFloat:
        return std::clamp(n, 0.0f, 1.0f);
    case Type::Bool:
        return n > 0.0f ? 1.0f : 0.0f;
    }
    return n;
}

float Parameter::concreteToNormalizedValue(Type type, float c) {
    switch (type) {
    case Type::SInt:
        return (std::clamp(std::trunc(c), -64.0f, 63.0f) + 64.0f) / 127.0f;
    case Type::UInt:
        return std::min(std::max(std::trunc(c), 0.0f), 127.0f) / 127.0f;
    case Type::SFloat:
        c = std::max(c, -1.0f);
        return c > 1.0f ? 1.0f : (c + 1.0f) / 2.0f;
    case Type::UFloat:
        return std::clamp(c, 0.0f, 1.0f);
    case Type::Bool:
        return c == 0.0f ? 0.0f : 1.0f;
    }
    return c;
}

// Intervals 2..1000 report every n-th accepted change; above 1000 they report only moves of
// at least (interval - 1000) thousandths since the last report.
bool Parameter::shouldReport(float value) const {
    if (notifyInterval_ <= 1) {
        return true;
    }
    if (notifyInterval_ <= 1000) {
        return changeCount_ % notifyInterval_ == 0;
    }
    const double threshold = static_cast<double>(notifyInterval_ - 1000) * 0.001;
    return std::fabs(static_cast<double>(value) - static_cast<double>(lastNotifiedValue_)) >=
           threshold;
}

void Parameter::setNormalizedValue_(float value, Token token, AutomationEventType event) {
    std::lock_guard lock(mutex());
    // A gesture's begin and end are reported even when the value stays the same.
    const bool gestureEdge =
        event == AutomationEventType::BeginGesture || event == AutomationEventType::EndGesture;
    if (std::isnan(value) || (!gestureEdge && value == normalizedValue())) {
        return;
    }
    value = std::clamp(value, 0.0f, 1.0f);
    normalizedValue_.store(value, std::memory_order_relaxed);
    ++changeCount_;

    ParameterManager* m = manager();
    if (m == nullptr || !shouldReport(value)) {
        return;
    }
    m->didChangeParam_callFrom_parameter(this, token, event);
    lastNotifiedValue_ = normalizedValue();
}

} // namespace Lumora
