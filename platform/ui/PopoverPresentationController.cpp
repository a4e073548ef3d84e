#include "platform/ui/PopoverPresentationController.h"

#include "platform/ui/View.h"

#include <algorithm>

namespace Platform {

std::vector<View*> PopoverPresentationController::passthroughViews() const
{
    std::vector<View*> views;
    for (auto const& ref : passthrough_)
        if (View* v = ref.get())
            views.push_back(v);
    return views;
}

void PopoverPresentationController::setPassthroughViews(std::vector<View*> views)
{
    passthrough_.clear();
    for (View* v : views)
        passthrough_.emplace_back(v);
}

Rect PopoverPresentationController::frameInContainer(Size size, Rect const& container) const
{
    Rect anchor = sourceRect_;
    if (View* source = source_.get())
        anchor = source->convertRectToView(sourceRect_, nullptr);
    else
        anchor = Rect(container.midX(), container.midY(), 0, 0);
    auto clampX = [&](double x) { return std::clamp(x, container.minX(), std::max(container.minX(), container.maxX() - size.width)); };
    auto clampY = [&](double y) { return std::clamp(y, container.minY(), std::max(container.minY(), container.maxY() - size.height)); };
    double x = clampX(anchor.midX() - size.width / 2);
    double y = clampY(anchor.midY() - size.height / 2);
    if ((arrows_ & PopoverArrowDirection::Up) && anchor.maxY() + size.height <= container.maxY())
        return Rect(x, anchor.maxY(), size.width, size.height);
    if ((arrows_ & PopoverArrowDirection::Down) && anchor.minY() - size.height >= container.minY())
        return Rect(x, anchor.minY() - size.height, size.width, size.height);
    if ((arrows_ & PopoverArrowDirection::Left) && anchor.maxX() + size.width <= container.maxX())
        return Rect(anchor.maxX(), y, size.width, size.height);
    if ((arrows_ & PopoverArrowDirection::Right) && anchor.minX() - size.width >= container.minX())
        return Rect(anchor.minX() - size.width, y, size.width, size.height);
    // No side has room: overlap the source, inside the container.
    return Rect(x, y, size.width, size.height);
}

} // namespace Platform
