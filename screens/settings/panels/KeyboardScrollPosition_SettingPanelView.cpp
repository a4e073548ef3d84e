#include "screens/settings/panels/KeyboardScrollPosition_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <cstdint>

int KeyboardScrollPosition_SettingPanelView::segmentOf(Lumora_Settings& s)
{
    return static_cast<int>(s.keyboardScrollBarPos()) - 1;
}

void KeyboardScrollPosition_SettingPanelView::store(Lumora_Settings& s, int segment)
{
    s.setKeyboardScrollBarPos(static_cast<std::uint32_t>(segment + 1));
}
