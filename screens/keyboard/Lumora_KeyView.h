#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/ui/View.h"

// One touchable key of a key container (Lumora_KeyContainerView). The container presses and
// releases it; its tag identifies it to the container's owner. The four flags are display and
// play state: each setter redraws only when the value changes.
class Lumora_KeyView : public Platform::View {
public:
    explicit Lumora_KeyView(Platform::Rect frame = {});

    bool pressed() const { return pressed_; }
    void setPressed(bool pressed);
    // Display state only: a disabled key is still played.
    bool disabled() const { return disabled_; }
    void setDisabled(bool disabled);
    // Toggled mode: the key's on state; momentary mode: held down.
    bool on() const { return on_; }
    void setOn(bool on);
    bool lighted() const { return lighted_; }
    void setLighted(bool lighted);
    // Where the touch was, in the key's own coordinates, at its last press, release or glide.
    Platform::Point touchedPoint() const { return touchedPoint_; }
    void setTouchedPoint(Platform::Point point) { touchedPoint_ = point; }

    // The plain look: white, grey when pressed, a thick red frame when on.
    void drawRect(Platform::Rect const& rect) override;

private:
    bool pressed_ = false;
    bool disabled_ = false;
    bool on_ = false;
    bool lighted_ = false;
    Platform::Point touchedPoint_;
};
