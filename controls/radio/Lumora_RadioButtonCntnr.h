#pragma once

#include "platform/ui/Control.h"

#include <vector>

namespace Platform {
class Button;
}

// A plain radio group: an integer value, the tag of its selected button (the greatest tag not
// above the value). Every press selects the pressed button and reports a value-changed event,
// also when that button was selected already; users read value() in their action.
class Lumora_RadioButtonCntnr : public Platform::Control {
public:
    explicit Lumora_RadioButtonCntnr(Platform::Rect frame = {});

    // Clears the background and selects by value 0.
    void initialize();
    void awakeFromNib() override;

    int32_t value() const { return value_; }
    // Stores the value and selects its button.
    void setValue(int32_t value);
    // A flag for the group's users; the group itself never reads it.
    bool isUnsigned() const { return isUnsigned_; }
    void setIsUnsigned(bool isUnsigned) { isUnsigned_ = isUnsigned; }

    // Deselects every button, then selects the button of the value.
    void update();
    std::vector<Platform::Button*> sortedButtons() const;
    Platform::Button* findButtonByTag(int t) const;
    void selectAllButtons(bool selected);

    void actionButtonTouchUpInside(Platform::Button* button);

protected:
    void didAddSubview(Platform::View* view) override;

private:
    int32_t value_ = 0;
    bool isUnsigned_ = false;
};
