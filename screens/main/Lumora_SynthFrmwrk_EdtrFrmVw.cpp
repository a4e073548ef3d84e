#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIButton_Lumora.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/layout/layoutContentVw_In_ContainerVw.h"
#include "controls/painter/Lumora_Painter.h"
#include "platform/foundation/Device.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"

#include <algorithm>

namespace {

bool isPad() { return Platform::Device::userInterfaceIdiom() == Platform::UserInterfaceIdiom::Pad; }

constexpr double buttonSize = 36;
constexpr double buttonGap = 6;
constexpr double maxPresetNameWidth = 280;

} // namespace

Lumora_SynthFrmwrk_EdtrFrmVw::Lumora_SynthFrmwrk_EdtrFrmVw(Platform::Rect frame) : Platform::View(frame) {}

void Lumora_SynthFrmwrk_EdtrFrmVw::awakeFromNib()
{
    initialLayouted_ = false;
    Platform::View::awakeFromNib();
    auto* painter = Lumora_Painter::sharedInstance();
    if (headerView)
        headerView->setBackgroundColor(painter->headerColor());
    if (headerImgVw)
        headerImgVw->setImage(painter->headerTitleImage());
    if (edtrCntnrScrlVw)
        edtrCntnrScrlVw->setBackgroundColor(painter->editorContainerBackgroundColor());
    if (btnSoundPresetName) {
        btnSoundPresetName->setBackgroundColor(painter->soundPresetButtonBackgroundColor());
        if (auto color = painter->soundPresetButtonForegroundColor())
            UIButton_Lumora::setTitleColorForAllState(btnSoundPresetName, *color);
    }
    if (edtrCntnrScrlVw)
        edtrCntnrScrlVw->setContentInsetAdjustmentBehavior(Platform::ScrollView::ContentInsetAdjustment::Never);
}

void Lumora_SynthFrmwrk_EdtrFrmVw::setSoundPresetName(std::string const& name)
{
    if (btnSoundPresetName)
        UIButton_Lumora::setTitleForAllState(btnSoundPresetName, name);
}

void Lumora_SynthFrmwrk_EdtrFrmVw::layoutSubviews()
{
    Platform::View::layoutSubviews();
    if (!initialLayouted_) {
        initialLayouted_ = true;
        applyHeaderInsets();
    }
    placeParts();
    fitEditorSurface();
    if (headerImgVw)
        headerImgVw->setHidden(frame().size.width < minimumWidthForHeaderImage);
}

void Lumora_SynthFrmwrk_EdtrFrmVw::applyHeaderInsets()
{
    bool const pad = isPad();
    if (constraintforHeaderLeft)
        constraintforHeaderLeft->setConstant(pad ? 16 : safeAreaInsets().left);
    if (constraintforHeaderRight)
        constraintforHeaderRight->setConstant(pad ? 16 : std::max(8.0, safeAreaInsets().right));
}

void Lumora_SynthFrmwrk_EdtrFrmVw::showMidiMappingMode(bool shown)
{
    if (btnMidiMapping)
        btnMidiMapping->setSelected(shown);
    for (Platform::Control* button :
         {static_cast<Platform::Control*>(btnSoundPresetName), static_cast<Platform::Control*>(btnSoundPresetPrev),
          static_cast<Platform::Control*>(btnSoundPresetNext), static_cast<Platform::Control*>(btnArpeggiator),
          static_cast<Platform::Control*>(btnConfig)}) {
        if (button)
            button->setEnabled(!shown);
    }
}

std::vector<Platform::View*> Lumora_SynthFrmwrk_EdtrFrmVw::rightHeaderButtons() const
{
    return {btnConfig, btnMidiMapping, btnArpeggiator, btnCommonParam};
}

void Lumora_SynthFrmwrk_EdtrFrmVw::placeParts()
{
    Platform::Size const size = bounds().size;
    if (headerView)
        headerView->setFrame(Platform::Rect(0, 0, size.width, headerHeight));
    if (edtrCntnrScrlVw)
        edtrCntnrScrlVw->setFrame(Platform::Rect(0, headerHeight, size.width, std::max(0.0, size.height - headerHeight)));

    double const left = constraintforHeaderLeft ? constraintforHeaderLeft->constant() : 8;
    double const right = size.width - (constraintforHeaderRight ? constraintforHeaderRight->constant() : 8);
    double const y = (headerHeight - buttonSize) / 2;

    // Right group, from the right edge inwards.
    double x = right;
    for (Platform::View* button : rightHeaderButtons()) {
        if (!button)
            continue;
        x -= buttonSize;
        button->setFrame(Platform::Rect(x, y, buttonSize, buttonSize));
        x -= buttonGap;
    }
    double const rightGroupStart = x;

    // Title image at the left edge.
    double leftGroupEnd = left;
    if (headerImgVw) {
        headerImgVw->setFrame(Platform::Rect(left, (headerHeight - 28) / 2, 180, 28));
        if (size.width >= minimumWidthForHeaderImage)
            leftGroupEnd = left + 180 + buttonGap;
    }

    // Preset name between its previous and next buttons, centred in the room left.
    double const room = std::max(0.0, rightGroupStart - leftGroupEnd - 2 * (buttonSize + buttonGap));
    double const nameWidth = std::min(maxPresetNameWidth, room);
    double const groupWidth = nameWidth + 2 * (buttonSize + buttonGap);
    double gx = std::max(leftGroupEnd, (size.width - groupWidth) / 2);
    if (gx + groupWidth > rightGroupStart)
        gx = std::max(leftGroupEnd, rightGroupStart - groupWidth);
    if (btnSoundPresetPrev)
        btnSoundPresetPrev->setFrame(Platform::Rect(gx, y, buttonSize, buttonSize));
    if (btnSoundPresetName)
        btnSoundPresetName->setFrame(Platform::Rect(gx + buttonSize + buttonGap, y + 2, nameWidth, buttonSize - 4));
    if (btnSoundPresetNext)
        btnSoundPresetNext->setFrame(Platform::Rect(gx + buttonSize + 2 * buttonGap + nameWidth, y, buttonSize, buttonSize));
}

void Lumora_SynthFrmwrk_EdtrFrmVw::fitEditorSurface()
{
    if (!edtrCntnrScrlVw)
        return;
    auto* surface = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_SynthFrmwrk_EdtrVw>(edtrCntnrScrlVw);
    if (!surface || surface == static_cast<Platform::View*>(edtrCntnrScrlVw))
        return;
    int32_t const mode = isPlugin_ ? 2 : (isPad() ? 1 : 0);
    Platform::Size const size = layoutContentVw_In_ContainerVw(edtrCntnrScrlVw, surface, mode, surface->originalSize(), 10, 100);
    edtrCntnrScrlVw->setContentSize(size);
    surface->layoutIfNeeded();
    surface->setNeedsDisplay();
}
