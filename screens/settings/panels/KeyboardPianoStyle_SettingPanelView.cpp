#include "screens/settings/panels/KeyboardPianoStyle_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <cstdint>

int KeyboardPianoStyle_SettingPanelView::segmentOf(Lumora_Settings& s)
{
    return s.keyboardPianoLayout() ? 0 : 1;
}

void KeyboardPianoStyle_SettingPanelView::store(Lumora_Settings& s, int segment)
{
    s.setKeyboardPianoLayout(segment == 0);
}
