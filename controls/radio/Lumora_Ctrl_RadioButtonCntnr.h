#pragma once

#include "controls/base/Lumora_Control.h"

#include <optional>
#include <vector>

namespace Platform {
class Button;
}

// A radio group that is a Lumora_Control: each direct button subview stands for the integer in
// its tag, and the value is the integer of the selected button (the greatest tag not above it).
// Value and normalized value map as the lamp selector's. A press selects the pressed button and
// tells the delegate when the value changed; it fires no control actions, so a parameter bound
// through them does not follow a press.
class Lumora_Ctrl_RadioButtonCntnr : public Lumora_Control {
public:
    explicit Lumora_Ctrl_RadioButtonCntnr(Platform::Rect frame = {});

    // Decides the range from the buttons' tags, clears the background and selects the button of
    // the value. Runs when made and again once an interface file has added the buttons.
    void initialize_RadioButtonContainer();
    void awakeFromNib() override;

    // Deselects every button, stores the value truncated toward zero, then selects its button.
    void setValue(float value) override;
    float normalizedValue() const override;
    void setNormalizedValue(float normalized) override;
    float normalizedDefaultValue() const override { return defaultValue(); }
    void setNormalizedDefaultValue(float normalized) override { setDefaultValue(normalized); }

    void update();
    Platform::Button* findButtonByTag(int t) const;
    std::vector<Platform::Button*> sortedButtons() const;
    void selectAllButtons(bool selected);

    void actionButtonTouchUpInside(Platform::Button* button);

    bool isUnsigned() const { return isUnsigned_; }
    void setIsUnsigned(bool isUnsigned) { isUnsigned_ = isUnsigned; }
    std::optional<Platform::Color> const& labelColor() const { return labelColor_; }
    void setLabelColor(Platform::Color color);
    std::optional<Platform::Color> const& buttonTextColor() const { return buttonTextColor_; }
    void setButtonTextColor(Platform::Color color);

protected:
    void didAddSubview(Platform::View* view) override;

private:
    bool isUnsigned_ = true;
    std::optional<Platform::Color> labelColor_;
    std::optional<Platform::Color> buttonTextColor_;
};
