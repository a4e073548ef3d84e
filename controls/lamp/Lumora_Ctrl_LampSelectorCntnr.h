#pragma once

#include "controls/base/Lumora_Control.h"
#include "controls/lamp/Lumora_Ctrl_Lamp.h"

#include <memory>
#include <optional>
#include <vector>

namespace Platform {
class Button;
class GestureRecognizer;
class PanGestureRecognizer;
} // namespace Platform

// A selector made of lamps: each direct Lumora_Ctrl_Lamp subview stands for the integer in its
// tag, and the selector's value is the integer whose lamp is lit. The user steps it by dragging
// across it (30 points a lamp), by swiping (actions for recognisers an interface file attaches)
// or with step buttons inside it (tag 0 or more steps up, negative steps down); swipes and step
// buttons wrap around, a drag stops at either end. The value travels to a parameter in the
// engine's unsigned (0..127) or signed (-64..63) encoding, chosen by whether any lamp has a
// negative tag.
class Lumora_Ctrl_LampSelectorCntnr : public Lumora_Control {
public:
    // Pan distance that moves the selection by one lamp.
    static constexpr double pointsPerLamp = 30;

    explicit Lumora_Ctrl_LampSelectorCntnr(Platform::Rect frame = {});

    // Decides the range from the lamps' tags, clears the background, attaches the one-finger pan
    // recogniser (once) and lights the lamp of the value. Runs when made and again once an
    // interface file has added the lamps.
    void initialize_LampSelectorContainer();
    void awakeFromNib() override;

    // Puts every lamp out, stores the value truncated toward zero, then lights its lamp.
    void setValue(float value) override;
    float normalizedValue() const override;
    void setNormalizedValue(float normalized) override;
    // The default is kept as given, unconverted.
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float normalized) override { setDefaultValue(normalized); }

    // Lights the lamp of the value (others are left as they are).
    void update();
    // The lamp with the greatest tag not above t; null when there is none.
    Lumora_Ctrl_Lamp* findLampByTag(int t) const;
    std::vector<Lumora_Ctrl_Lamp*> sortedLamps() const;
    // Lights only the lamp findLampByTag picks, when there is one; the value stays.
    void turnOnLamp(int t);
    void selectAllLamps(bool selected);
    // One step up or down with wrap-around, then a set-value report.
    void switchLamp(bool up);
    // The tag a pan of that many lamps reaches from the value, stopping at either end.
    int valueFromDistance(int steps) const;

    void handlePanGesture(Platform::PanGestureRecognizer* recognizer);
    void handleSwipeRightGesture(Platform::GestureRecognizer* recognizer);
    void handleSwipeLeftGesture(Platform::GestureRecognizer* recognizer);
    void handleSwipeUpGesture(Platform::GestureRecognizer* recognizer);
    void handleSwipeDownGesture(Platform::GestureRecognizer* recognizer);

    void actionButtonTouchUpInside(Platform::Button* button);

    bool inverseSwipe() const { return inverseSwipe_; }
    void setInverseSwipe(bool inverse) { inverseSwipe_ = inverse; }
    bool isUnsigned() const { return isUnsigned_; }
    void setIsUnsigned(bool isUnsigned) { isUnsigned_ = isUnsigned; }
    std::optional<Platform::Color> const& labelColor() const { return labelColor_; }
    // Stores the colour and gives it to every label below the selector.
    void setLabelColor(Platform::Color color);
    std::optional<Platform::Color> const& buttonTextColor() const { return buttonTextColor_; }
    // Stores the colour and gives it to the titles of every button below the selector.
    void setButtonTextColor(Platform::Color color);
    double distance() const { return distance_; }
    void setDistance(double distance) { distance_ = distance; }
    Platform::Point lastPoint() const { return lastPoint_; }
    void setLastPoint(Platform::Point point) { lastPoint_ = point; }

    Platform::PanGestureRecognizer* panGestureRecognizer() const { return pan_.get(); }

protected:
    // A button added inside the selector becomes a step button.
    void didAddSubview(Platform::View* view) override;

private:
    std::optional<int> integerValue() const;

    bool inverseSwipe_ = false;
    bool isUnsigned_ = true;
    std::optional<Platform::Color> labelColor_;
    std::optional<Platform::Color> buttonTextColor_;
    double distance_ = 0;
    Platform::Point lastPoint_;
    std::shared_ptr<Platform::PanGestureRecognizer> pan_;
};
