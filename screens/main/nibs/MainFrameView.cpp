#include "screens/main/nibs/MainFrameView.h"

#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "platform/ui/LayoutConstraint.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
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

// The height the strip in the container was designed at; 0 when it holds none yet.
double stripDesignHeight(Platform::View& container)
{
    auto* strip = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_SynthFrmwrk_CmnPrmVw>(&container);
    return strip ? strip->originalSize().height : 0;
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
    // The strip fits the row's height: a row lower than the strip's design would shrink its
    // captions below their size, so the strip and its side-edge button stay out of it and the
    // header's strip button opens the same controls at the editor's scale.
    bool const stripFits = strip && rowHeight >= stripDesignHeight(*strip) - 0.5;
    if (strip)
        strip->setHidden(!stripFits);
    if (sideEdge)
        sideEdge->setHidden(strip && !stripFits);
    if (strip && !stripFits) {
        strip = nullptr;
        sideEdge = nullptr;
    }
    double x = 0;
    if (sideEdge) {
        sideEdge->setFrame(Platform::Rect(0, frameHeight, sideEdgeWidth, rowHeight));
        x = sideEdgeWidth;
    }
    if (strip) {
        // The width the strip's ratio asks for at the row's height, so that its layout shows
        // whole, but no wider than its largest size or than leaves the keyboard its octave; a
        // narrower strip keeps its ratio and stands at the top of the row.
        double const ratio = strip->aspectRatio() > 0 ? strip->aspectRatio() : 1;
        double const room = keyboard ? size.width - x - minKeyboardWidth : size.width - x;
        double const natural = std::round(rowHeight / ratio);
        double const width =
            std::max(0.0, std::min({natural, std::round(maxStripHeight / ratio), room, size.width - x}));
        double const height = width >= natural ? rowHeight : std::min(rowHeight, std::round(width * ratio));
        strip->setFrame(Platform::Rect(x, frameHeight, width, height));
        x += width;
    }
    if (keyboard)
        keyboard->setFrame(Platform::Rect(x, frameHeight, std::max(0.0, size.width - x), rowHeight));
}
