#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"

#include "controls/categories/UIColor_Lumora.h"

Lumora_SynthFrmwrk_EdtrVw::Lumora_SynthFrmwrk_EdtrVw()
    : Lumora_SynthFrmwrk_EdtrVw(Platform::Rect(0, 0, designWidth, designHeight))
{
    setBackgroundColor(UIColor_Lumora::lumoraYellowColor());
}

Lumora_SynthFrmwrk_EdtrVw::Lumora_SynthFrmwrk_EdtrVw(Platform::Rect frame) : Platform::View(frame) {}
