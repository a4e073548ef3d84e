#include "screens/settings/panels/LinearKnobMode_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <cstdint>

int LinearKnobMode_SettingPanelView::segmentOf(Lumora_Settings& s)
{
    return s.linearKnobMode() ? 0 : 1;
}

void LinearKnobMode_SettingPanelView::store(Lumora_Settings& s, int segment)
{
    s.setLinearKnobMode(segment == 0);
}
