#include "screens/settings/base/Lumora_PinnedPartsView.h"

#include <algorithm>

Lumora_PinnedPartsView::Lumora_PinnedPartsView(Platform::Rect frame) : View(frame), fileWidth_(frame.width()) {}

void Lumora_PinnedPartsView::addPart(std::shared_ptr<Platform::View> const& part, Pin pin)
{
    placements_.push_back({part.get(), part->frame(), pin});
    addSubview(part);
}

void Lumora_PinnedPartsView::layoutSubviews()
{
    View::layoutSubviews();
    double const grown = bounds().width() - fileWidth_;
    for (Placement const& p : placements_) {
        Platform::View* view = p.view.get();
        if (!view)
            continue;
        Platform::Rect frame = p.fileFrame;
        if (p.pin == Pin::Right)
            frame.origin.x += grown;
        else if (p.pin == Pin::Stretch)
            frame.size.width = std::max(0.0, frame.size.width + grown);
        view->setFrame(frame);
    }
}
