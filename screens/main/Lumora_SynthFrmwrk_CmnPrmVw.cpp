#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"

#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/painter/Lumora_Painter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Nib.h"
#include "screens/main/nibs/MainScreenNibs.h"

std::shared_ptr<Lumora_SynthFrmwrk_CmnPrmVw> Lumora_SynthFrmwrk_CmnPrmVw::createInstanceFor(int64_t, bool)
{
    registerMainScreenNibs();
    auto nib = Platform::Nib::nibWithNibName(nibName, Platform::Bundle::main());
    if (!nib)
        return nullptr;
    auto objects = nib->instantiateWithOwner(nullptr);
    if (objects.empty())
        return nullptr;
    auto strip = std::dynamic_pointer_cast<Lumora_SynthFrmwrk_CmnPrmVw>(objects.front());
    if (strip)
        strip->setOriginalSize(strip->bounds().size);
    return strip;
}

void Lumora_SynthFrmwrk_CmnPrmVw::awakeFromNib()
{
    Platform::View::awakeFromNib();
    auto* painter = Lumora_Painter::sharedInstance();
    if (backgroundImageVw)
        backgroundImageVw->setImage(painter->commonParmBackgroundImage());
    auto const labelColor = painter->commonParmLabelColor();
    if (labelColor) {
        if (selectorOctave)
            selectorOctave->setLabelColor(*labelColor);
        if (lblctrlPBN)
            lblctrlPBN->setColor(*labelColor);
        if (lblctrlPBP)
            lblctrlPBP->setColor(*labelColor);
    }
    if (auto const buttonText = painter->commonParmButtonTextColor(); buttonText && selectorOctave)
        selectorOctave->setButtonTextColor(*buttonText);
}
