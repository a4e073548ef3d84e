#include "engine/parameter/TypedParameters.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Lumora {

namespace {

// The default is raised to the minimum, lowered to the maximum, then kept in the type's range.
template <typename T>
T clampedDefault(T d, T lo, T hi, T typeLo, T typeHi) {
    d = std::max(d, lo);
    d = std::min(d, hi);
    return std::clamp(d, typeLo, typeHi);
}

float clampedFloatDefault(float d, float lo, float hi, float typeLo, float typeHi) {
    if (std::isnan(d)) {
        d = lo;
    }
    return clampedDefault(d, lo, hi, typeLo, typeHi);
}

float sintDefault(int d, int lo, int hi) {
    return static_cast<float>(clampedDefault(d, lo, hi, -64, 63) + 64) / 127.0f;
}

float uintDefault(unsigned d, unsigned lo, unsigned hi) {
    return static_cast<float>(clampedDefault(d, lo, hi, 0u, 127u)) / 127.0f;
}

// The text of a concrete value truncated to an integer; values beyond the integer's range
// (and NaN) are held at the range's edge (NaN at 0) instead of being converted blindly.
template <typename Int>
std::string truncatedText(float concrete) {
    if (std::isnan(concrete)) {
        return "0";
    }
    const double lo = static_cast<double>(std::numeric_limits<Int>::min());
    const double hi = static_cast<double>(std::numeric_limits<Int>::max());
    const double v = std::clamp(std::trunc(static_cast<double>(concrete)), lo, hi);
    return std::to_string(static_cast<Int>(v));
}

} // namespace

// ---- SInt

Parameter_SInt::Parameter_SInt(ParameterManager* manager, int id, const std::string& displayName,
                               const std::string& serializedName, int defaultValue, int minValue,
                               int maxValue, Options options, SerializeWhat serializeWhat,
                               unsigned notifyInterval)
    : Parameter(Type::SInt, manager, id, displayName, serializedName,
                sintDefault(defaultValue, std::clamp(minValue, -64, 63), std::clamp(maxValue, -64, 63)),
                options, serializeWhat, notifyInterval),
      minValue_(std::clamp(minValue, -64, 63)),
      maxValue_(std::clamp(maxValue, -64, 63)) {}

std::string Parameter_SInt::displayValue_from(float concrete) const {
    return truncatedText<int>(concrete);
}

void Parameter_SInt::setNormalizedValue(float value, Token token, AutomationEventType event) {
    if (std::isnan(value)) {
        return;
    }
    float v = std::round(std::clamp(value, 0.0f, 1.0f) * 127.0f - 64.0f);
    v = std::max(v, static_cast<float>(minValue_));
    v = std::min(v, static_cast<float>(maxValue_));
    v = std::clamp(v, -64.0f, 63.0f);
    setNormalizedValue_((v + 64.0f) / 127.0f, token, event);
}

float Parameter_SInt::normalizedMinValue() const {
    return static_cast<float>(minValue_ + 64) / 127.0f;
}

float Parameter_SInt::normalizedMaxValue() const {
    return static_cast<float>(maxValue_ + 64) / 127.0f;
}

// ---- UInt

Parameter_UInt::Parameter_UInt(ParameterManager* manager, int id, const std::string& displayName,
                               const std::string& serializedName, unsigned defaultValue,
                               unsigned minValue, unsigned maxValue, Options options,
                               SerializeWhat serializeWhat, unsigned notifyInterval)
    : Parameter(Type::UInt, manager, id, displayName, serializedName,
                uintDefault(defaultValue, std::min(minValue, 127u), std::min(maxValue, 127u)),
                options, serializeWhat, notifyInterval),
      minValue_(std::min(minValue, 127u)),
      maxValue_(std::min(maxValue, 127u)) {}

std::string Parameter_UInt::displayValue_from(float concrete) const {
    return truncatedText<unsigned>(concrete);
}

void Parameter_UInt::setNormalizedValue(float value, Token token, AutomationEventType event) {
    if (std::isnan(value)) {
        return;
    }
    value = std::max(value, 0.0f);
    float v = value > 1.0f ? 127.0f : std::round(value * 127.0f);
    v = std::max(v, static_cast<float>(minValue_));
    v = std::min(v, static_cast<float>(maxValue_));
    v = std::min(v, 127.0f);
    setNormalizedValue_(v / 127.0f, token, event);
}

void Parameter_UInt::setValue(unsigned value, Token token, AutomationEventType event) {
    value = std::max(value, minValue_);
    value = std::min(value, maxValue_);
    value = std::min(value, 127u);
    setNormalizedValue_(static_cast<float>(value) / 127.0f, token, event);
}

float Parameter_UInt::normalizedMinValue() const {
    return static_cast<float>(minValue_) / 127.0f;
}

float Parameter_UInt::normalizedMaxValue() const {
    return static_cast<float>(maxValue_) / 127.0f;
}

// ---- SFloat

Parameter_SFloat::Parameter_SFloat(ParameterManager* manager, int id,
                                   const std::string& displayName,
                                   const std::string& serializedName, float defaultValue,
                                   float minValue, float maxValue, Options options,
                                   SerializeWhat serializeWhat, unsigned notifyInterval)
    : Parameter(Type::SFloat, manager, id, displayName, serializedName,
                (clampedFloatDefault(defaultValue, std::clamp(minValue, -1.0f, 1.0f),
                                     std::clamp(maxValue, -1.0f, 1.0f), -1.0f, 1.0f) +
                 1.0f) / 2.0f,
                options, serializeWhat, notifyInterval),
      minValue_(std::clamp(minValue, -1.0f, 1.0f)),
      maxValue_(std::clamp(maxValue, -1.0f, 1.0f)) {}

void Parameter_SFloat::setNormalizedValue(float value, Token token, AutomationEventType event) {
    if (std::isnan(value)) {
        return;
    }
    float v = std::clamp(value, 0.0f, 1.0f) * 2.0f - 1.0f;
    v = std::max(v, minValue_);
    v = std::min(v, maxValue_);
    v = std::max(v, -1.0f);
    setNormalizedValue_(v > 1.0f ? 1.0f : (v + 1.0f) / 2.0f, token, event);
}

float Parameter_SFloat::normalizedMinValue() const { return (minValue_ + 1.0f) / 2.0f; }

float Parameter_SFloat::normalizedMaxValue() const { return (maxValue_ + 1.0f) / 2.0f; }

// ---- UFloat

Parameter_UFloat::Parameter_UFloat(ParameterManager* manager, int id,
                                   const std::string& displayName,
                                   const std::string& serializedName, float defaultValue,
                                   float minValue, float maxValue, Options options,
                                   SerializeWhat serializeWhat, unsigned notifyInterval)
    : Parameter(Type::UFloat, manager, id, displayName, serializedName,
                clampedFloatDefault(defaultValue, std::clamp(minValue, 0.0f, 1.0f),
                                    std::clamp(maxValue, 0.0f, 1.0f), 0.0f, 1.0f),
                options, serializeWhat, notifyInterval),
      minValue_(std::clamp(minValue, 0.0f, 1.0f)),
      maxValue_(std::clamp(maxValue, 0.0f, 1.0f)) {}

void Parameter_UFloat::setNormalizedValue(float value, Token token, AutomationEventType event) {
    setValue(value, token, event);
}

void Parameter_UFloat::setValue(float value, Token token, AutomationEventType event) {
    if (std::isnan(value)) {
        return;
    }
    float v = std::clamp(value, 0.0f, 1.0f);
    v = std::max(v, minValue_);
    v = std::min(v, maxValue_);
    setNormalizedValue_(std::clamp(v, 0.0f, 1.0f), token, event);
}

float Parameter_UFloat::normalizedMinValue() const { return minValue_; }

float Parameter_UFloat::normalizedMaxValue() const { return maxValue_; }

// ---- Bool

Parameter_Bool::Parameter_Bool(ParameterManager* manager, int id, const std::string& displayName,
                               const std::string& serializedName, bool defaultValue,
                               Options options, SerializeWhat serializeWhat,
                               unsigned notifyInterval)
    : Parameter(Type::Bool, manager, id, displayName, serializedName, defaultValue ? 1.0f : 0.0f,
                options, serializeWhat, notifyInterval) {}

std::string Parameter_Bool::displayValue_from(float concrete) const {
    return concrete > 0.0f ? "ON" : "OFF";
}

void Parameter_Bool::setNormalizedValue(float value, Token token, AutomationEventType event) {
    if (std::isnan(value)) {
        return;
    }
    setNormalizedValue_(value > 0.0f ? 1.0f : 0.0f, token, event);
}

void Parameter_Bool::setValue(bool value, Token token, AutomationEventType event) {
    setNormalizedValue_(value ? 1.0f : 0.0f, token, event);
}

} // namespace Lumora
