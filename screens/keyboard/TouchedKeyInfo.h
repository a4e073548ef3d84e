#pragma once

#include "platform/ui/Touch.h"

#include <memory>

class Lumora_KeyView;

// One tracked touch of a key container and the key it holds now. The touch is referred to for
// its identity only: the container drops the record when the touch ends or is cancelled.
class TouchedKeyInfo {
public:
    TouchedKeyInfo(Platform::Touch const* touch, std::shared_ptr<Lumora_KeyView> key)
        : touch_(touch), touchedKey_(std::move(key))
    {
    }

    Platform::Touch const* touch() const { return touch_; }
    std::shared_ptr<Lumora_KeyView> const& touchedKey() const { return touchedKey_; }
    void setTouchedKey(std::shared_ptr<Lumora_KeyView> key) { touchedKey_ = std::move(key); }

private:
    Platform::Touch const* touch_;
    std::shared_ptr<Lumora_KeyView> touchedKey_;
};
