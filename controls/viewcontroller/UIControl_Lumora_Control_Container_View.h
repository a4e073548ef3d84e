#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <memory>
#include <set>

// One normalized value and gesture state for every kind of control a screen binds: the
// toolkit's own controls, the platform's slider, segmented control and switch. Any other
// control reads as 0 and ignores writes.
class UIControl_Lumora_Control_Container_View {
public:
    // A segmented control's segment index is the concrete value of a 0..127 parameter.
    static float uiControl_normalizedValue(Platform::Control const* control);
    static void setUiControl_normalizedValue(Platform::Control* control, float value);
    // The kind of the last report of a toolkit control; 0 for every other control.
    static int32_t uiControl_gestureState(Platform::Control const* control);
};

// The controls below a view, for binding them.
class UIView_Lumora_Control_Listing {
public:
    using ControlSet = std::set<std::shared_ptr<Platform::Control>>;

    // Walks the subviews of `view` depth first: every control not yet in `bound` is added to
    // both sets. A control is never descended into, so the lamps of a lamp selector or the
    // buttons of a radio group stay with their group. The view itself is not tested.
    static void listupDescendantUiControls(Platform::View* view, ControlSet& bound, ControlSet& newControls);
};
