#pragma once

#include <cstdint>
#include <string>

#include "engine/parameter/Parameter.h"

namespace Lumora {

// Integers -64..63 within [minValue, maxValue].
class Parameter_SInt : public Parameter {
public:
    Parameter_SInt(ParameterManager* manager, int id, const std::string& displayName,
                   const std::string& serializedName, int defaultValue, int minValue, int maxValue,
                   Options options, SerializeWhat serializeWhat, unsigned notifyInterval);

    int32_t minValue() const { return minValue_; }
    int32_t maxValue() const { return maxValue_; }

    std::string displayValue_from(float concrete) const override;
    void setNormalizedValue(float value, Token token, AutomationEventType event) override;
    float normalizedMinValue() const override;
    float normalizedMaxValue() const override;

private:
    int32_t minValue_;
    int32_t maxValue_;
};

// Integers 0..127 within [minValue, maxValue].
class Parameter_UInt : public Parameter {
public:
    Parameter_UInt(ParameterManager* manager, int id, const std::string& displayName,
                   const std::string& serializedName, unsigned defaultValue, unsigned minValue,
                   unsigned maxValue, Options options, SerializeWhat serializeWhat,
                   unsigned notifyInterval);

    uint32_t minValue() const { return minValue_; }
    uint32_t maxValue() const { return maxValue_; }

    std::string displayValue_from(float concrete) const override;
    void setNormalizedValue(float value, Token token, AutomationEventType event) override;
    float normalizedMinValue() const override;
    float normalizedMaxValue() const override;
    void setValue(unsigned value, Token token, AutomationEventType event);

private:
    uint32_t minValue_;
    uint32_t maxValue_;
};

// Reals -1..1 within [minValue, maxValue].
class Parameter_SFloat : public Parameter {
public:
    Parameter_SFloat(ParameterManager* manager, int id, const std::string& displayName,
                     const std::string& serializedName, float defaultValue, float minValue,
                     float maxValue, Options options, SerializeWhat serializeWhat,
                     unsigned notifyInterval);

    float minValue() const { return minValue_; }
    float maxValue() const { return maxValue_; }

    void setNormalizedValue(float value, Token token, AutomationEventType event) override;
    float normalizedMinValue() const override;
    float normalizedMaxValue() const override;

private:
    float minValue_;
    float maxValue_;
};

// Reals 0..1 within [minValue, maxValue].
class Parameter_UFloat : public Parameter {
public:
    Parameter_UFloat(ParameterManager* manager, int id, const std::string& displayName,
                     const std::string& serializedName, float defaultValue, float minValue,
                     float maxValue, Options options, SerializeWhat serializeWhat,
                     unsigned notifyInterval);

    float minValue() const { return minValue_; }
    float maxValue() const { return maxValue_; }

    void setNormalizedValue(float value, Token token, AutomationEventType event) override;
    float normalizedMinValue() const override;
    float normalizedMaxValue() const override;
    void setValue(float value, Token token, AutomationEventType event);

private:
    float minValue_;
    float maxValue_;
};

class Parameter_Bool : public Parameter {
public:
    Parameter_Bool(ParameterManager* manager, int id, const std::string& displayName,
                   const std::string& serializedName, bool defaultValue, Options options,
                   SerializeWhat serializeWhat, unsigned notifyInterval);

    std::string displayValue_from(float concrete) const override;
    void setNormalizedValue(float value, Token token, AutomationEventType event) override;
    void setValue(bool value, Token token, AutomationEventType event);
};

} // namespace Lumora
