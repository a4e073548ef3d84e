#include "platform/ui/InvalidRegion.h"

#include <cmath>

namespace Platform {

void InvalidRegion::add(Rect const& rect)
{
    if (all_ || rect.isNull() || rect.isEmpty())
        return;
    Rect merged = rect.standardized();
    // A merge may make the new rectangle meet earlier ones: repeat until none overlaps it.
    for (bool grew = true; grew;) {
        grew = false;
        for (auto it = rects_.begin(); it != rects_.end(); ++it) {
            if (it->intersects(merged) || it->contains(merged)) {
                merged = merged.unionWith(*it);
                rects_.erase(it);
                grew = true;
                break;
            }
        }
    }
    rects_.push_back(merged);
    if (rects_.size() > kMaximumRects) {
        Rect box = rects_.front();
        for (Rect const& r : rects_)
            box = box.unionWith(r);
        rects_.assign(1, box);
    }
}

std::vector<Rect> InvalidRegion::pixelRects(double scale, int pixelWidth, int pixelHeight) const
{
    Rect const surface(0, 0, pixelWidth, pixelHeight);
    if (all_)
        return {surface};
    std::vector<Rect> result;
    for (Rect const& r : rects_) {
        Rect const device(r.minX() * scale, r.minY() * scale, r.width() * scale, r.height() * scale);
        Rect const clipped = device.integral().intersection(surface);
        if (!clipped.isNull() && !clipped.isEmpty())
            result.push_back(clipped);
    }
    return result;
}

} // namespace Platform
