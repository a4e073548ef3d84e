#pragma once

#include "platform/foundation/Object.h"

#include <memory>

namespace Platform {
class Touch;
}
class Lumora_Control;

// One finger attached to the control that now receives it. The touch is compared by identity;
// the window keeps it until it ends.
class Lumora_TouchedControl : public Platform::Object {
public:
    Lumora_TouchedControl(Platform::Touch* touch, std::shared_ptr<Lumora_Control> control)
        : touch_(touch), control_(std::move(control))
    {
    }

    Platform::Touch* touch() const { return touch_; }
    void setTouch(Platform::Touch* touch) { touch_ = touch; }
    Lumora_Control* control() const { return control_.get(); }
    void setControl(std::shared_ptr<Lumora_Control> control) { control_ = std::move(control); }

private:
    Platform::Touch* touch_;
    std::shared_ptr<Lumora_Control> control_;
};
