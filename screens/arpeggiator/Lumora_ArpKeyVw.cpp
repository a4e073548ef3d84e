#include "screens/arpeggiator/Lumora_ArpKeyVw.h"

#include "controls/painter/Lumora_Painter.h"

Lumora_ArpKeyVw::Lumora_ArpKeyVw(Platform::Rect frame) : Lumora_KeyView(frame) {}

void Lumora_ArpKeyVw::setDisabled(bool disabled)
{
    setAlpha(disabled ? disabledAlpha : 1.0);
    Lumora_KeyView::setDisabled(disabled);
}

void Lumora_ArpKeyVw::drawRect(Platform::Rect const&)
{
    Lumora_Painter::sharedInstance()->drawStepButtonWithFrame(bounds(), on(), pressed(), lighted(), disabled(), 0);
}
