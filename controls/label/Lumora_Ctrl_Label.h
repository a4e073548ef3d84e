#pragma once

#include "controls/base/Lumora_Control.h"
#include "platform/graphics/Color.h"

#include <cstdint>
#include <string>

// A read-only control that shows its parameter's concrete value as text: scaled by
// `multiplier`, shifted by `offset`, formatted by the parameter's type and framed by `prefix` and
// `surfix`, drawn centred in the label's font and colour. An unbound label prints its own value.
// Property changes show at the next redraw.
class Lumora_Ctrl_Label : public Lumora_Control {
public:
    explicit Lumora_Ctrl_Label(Platform::Rect frame = {});

    std::string const& fontName() const { return fontName_; }
    void setFontName(std::string name) { fontName_ = std::move(name); }
    int32_t fontSize() const { return fontSize_; }
    void setFontSize(int32_t points) { fontSize_ = points; }
    Platform::Color const& color() const { return color_; }
    void setColor(Platform::Color color) { color_ = color; }
    float offset() const { return offset_; }
    void setOffset(float offset) { offset_ = offset; }
    float multiplier() const { return multiplier_; }
    void setMultiplier(float multiplier) { multiplier_ = multiplier; }
    std::string const& prefix() const { return prefix_; }
    void setPrefix(std::string prefix) { prefix_ = std::move(prefix); }
    std::string const& surfix() const { return surfix_; }
    void setSurfix(std::string surfix) { surfix_ = std::move(surfix); }

    bool isReadOnly() const override { return true; }

    // Stores the value and asks for a redraw; the label keeps whatever normalized value it is
    // given.
    void setValue(float value) override;
    float normalizedValue() const override { return value(); }
    void setNormalizedValue(float value) override { setValue(value); }
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float value) override { setDefaultValue(value); }

    // concrete x multiplier + offset, as one fused multiply-add in single precision.
    static float displayValueFromConcreteValue(float concrete, float multiplier, float offset);
    // The text the label draws now: prefix, number, suffix.
    std::string text() const;

    void drawRect(Platform::Rect const& rect) override;

private:
    std::string numberText() const;

    std::string fontName_ = "Helvetica-Light";
    int32_t fontSize_ = 10;
    Platform::Color color_ = Platform::Color::blackColor();
    float offset_ = 0;
    float multiplier_ = 1;
    std::string prefix_;
    std::string surfix_;
};
