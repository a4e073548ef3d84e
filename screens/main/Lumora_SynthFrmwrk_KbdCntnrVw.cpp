#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"

void Lumora_SynthFrmwrk_KbdCntnrVw::awakeFromNib()
{
    Platform::View::awakeFromNib();
    setBackgroundColor(Lumora_Painter::sharedInstance()->keyboardBackgroundColor());
}

void Lumora_SynthFrmwrk_KbdCntnrVw::layoutSubviews()
{
    Platform::View::layoutSubviews();
    auto* keyboard = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_KeyboardScrollView>(this);
    if (!keyboard)
        return;
    keyboard->setFrame(Platform::Rect(0, 0, bounds().size.width, bounds().size.height));
    keyboard->layoutIfNeeded();
}
