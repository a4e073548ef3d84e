#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"

void Lumora_SynthFrmwrk_EdtrFrmCntnrVw::layoutSubviews()
{
    Platform::View::layoutSubviews();
    auto* child = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_SynthFrmwrk_EdtrFrmVw>(this);
    if (!child || child == static_cast<Platform::View*>(this))
        return;
    child->setFrame(Platform::Rect(0, 0, bounds().size.width, bounds().size.height));
    child->layoutIfNeeded();
}
