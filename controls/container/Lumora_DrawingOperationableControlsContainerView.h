#pragma once

#include "controls/container/Lumora_TouchedControl.h"
#include "platform/ui/View.h"

#include <memory>
#include <vector>

// A view that lets several fingers operate its controls at once and one finger draw across
// them: each touch goes to the control under it, and when a finger slides from one control onto
// another the first control's gesture ends and the next one's begins. Its direct Lumora_Control
// subviews hand their touches up to it (once the interface file is loaded), and it calls their
// touch hooks itself with one touch at a time.
class Lumora_DrawingOperationableControlsContainerView : public Platform::View {
public:
    explicit Lumora_DrawingOperationableControlsContainerView(Platform::Rect frame = {});

    // Clears the background, forgets every touch and makes the direct control subviews pass
    // their touches up; controls placed deeper keep their own touch handling.
    void awakeFromNib() override;

    Lumora_TouchedControl* findTouchedCtrl(Platform::Touch const* touch) const;
    void addTouchedCntrl(Lumora_Control* control, Platform::Touch* touch);
    void removeTouchedControl(Lumora_TouchedControl* record);
    std::vector<std::shared_ptr<Lumora_TouchedControl>> const& touchedCntrls() const { return touchedCntrls_; }

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    // Handled as ended: the controls get their ended hook, never the cancelled one.
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

private:
    // The control the container's own hit test finds under the touch, or null.
    Lumora_Control* controlUnder(Platform::Touch const* touch, Platform::Event const* event);
    void endTouches(Platform::TouchSet const& touches, Platform::Event const* event);

    // At most one record per touch.
    std::vector<std::shared_ptr<Lumora_TouchedControl>> touchedCntrls_;
};
