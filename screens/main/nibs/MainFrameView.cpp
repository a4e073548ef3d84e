#include "screens/main/nibs/MainFrameView.h"

#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "platform/ui/LayoutConstraint.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"

#include <algorithm>
#include <cmath>

namespace {

// The length of the main view that a constraint's second attribute names; the height unless it
// is the width.
double dimension(Platform::LayoutConstraint const& constraint, Platform::Size size)
{
    return constraint.secondAttribute() == Platform::LayoutConstraint::Attribute::Width ? size.width : size.height;
}

} // namespace

void MainFrameView::layoutSubviews()
{
    using Finder = UIView_Lumora_Control_Container_View;
    Platform::View::layoutSubviews();
    Platform::Size const size = bounds().size;
    auto* frameContainer = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_EdtrFrmCntnrVw>(this);
    auto* keyboard = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_KbdCntnrVw>(this);
    auto* strip = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_CmnPrmCntnrVw>(this);
    auto* sideEdge = Finder::findDescendantWithClass<Lumora_SideEdgeButton>(this);

    double frameHeight = size.height;
    if (keyboard || strip) {
        auto* height = frameContainer ? frameContainer->constraintForHeight : nullptr;
        if (height && height->isActive())
            frameHeight = std::round(dimension(*height, size) * height->multiplier() + height->constant());
        else
            frameHeight = size.height - lowKeyboardHeight;
        frameHeight = std::clamp(frameHeight, 0.0, size.height);
    }
    if (frameContainer)
        frameContainer->setFrame(Platform::Rect(0, 0, size.width, frameHeight));

    double const rowHeight = size.height - frameHeight;
    double x = 0;
    if (sideEdge) {
        sideEdge->setFrame(Platform::Rect(0, frameHeight, sideEdgeWidth, rowHeight));
        x = sideEdgeWidth;
    }
    if (strip) {
        // The width the strip's ratio asks for, so that its layout shows whole; only the screen's
        // edge limits it.
        double const ratio = strip->aspectRatio() > 0 ? strip->aspectRatio() : 1;
        double const width = std::max(0.0, std::min(std::round(rowHeight / ratio), size.width - x));
        strip->setFrame(Platform::Rect(x, frameHeight, width, rowHeight));
        x += width;
    }
    if (keyboard)
        keyboard->setFrame(Platform::Rect(x, frameHeight, std::max(0.0, size.width - x), rowHeight));
}
