#include "controls/viewcontroller/UIControl_Lumora_Control_Container_View.h"

#include "controls/base/Lumora_Control.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"

namespace {
// Segment indices travel in the engine's 0..127 encoding; in single precision i / 127 * 127
// gives i back exactly for every index, so truncation is safe.
constexpr float kSegmentScale = 127.0f;
} // namespace

float UIControl_Lumora_Control_Container_View::uiControl_normalizedValue(Platform::Control const* control)
{
    if (auto const* c = dynamic_cast<Lumora_Control const*>(control))
        return c->normalizedValue();
    if (auto const* slider = dynamic_cast<Platform::Slider const*>(control))
        return slider->value();
    if (auto const* segments = dynamic_cast<Platform::SegmentedControl const*>(control))
        return static_cast<float>(segments->selectedSegmentIndex()) / kSegmentScale;
    if (auto const* sw = dynamic_cast<Platform::Switch const*>(control))
        return sw->isOn() ? 1.0f : 0.0f;
    return 0.0f;
}

void UIControl_Lumora_Control_Container_View::setUiControl_normalizedValue(Platform::Control* control, float value)
{
    if (auto* c = dynamic_cast<Lumora_Control*>(control))
        c->setNormalizedValue(value);
    else if (auto* slider = dynamic_cast<Platform::Slider*>(control))
        slider->setValue(value);
    else if (auto* segments = dynamic_cast<Platform::SegmentedControl*>(control))
        segments->setSelectedSegmentIndex(static_cast<int>(value * kSegmentScale));
    else if (auto* sw = dynamic_cast<Platform::Switch*>(control))
        sw->setOn(value != 0.0f);
}

int32_t UIControl_Lumora_Control_Container_View::uiControl_gestureState(Platform::Control const* control)
{
    if (auto const* c = dynamic_cast<Lumora_Control const*>(control))
        return c->gestureState();
    return 0;
}

void UIView_Lumora_Control_Listing::listupDescendantUiControls(Platform::View* view, ControlSet& bound,
                                                               ControlSet& newControls)
{
    if (!view)
        return;
    for (auto const& sub : view->subviews()) {
        if (auto control = std::dynamic_pointer_cast<Platform::Control>(sub)) {
            if (bound.insert(control).second)
                newControls.insert(control);
        } else {
            listupDescendantUiControls(sub.get(), bound, newControls);
        }
    }
}
