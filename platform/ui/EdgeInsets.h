#pragma once

#include "platform/graphics/Geometry.h"

namespace Platform {

// Distances in from the four edges of a rectangle.
struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    Rect inset(Rect const& r) const
    {
        return Rect(r.origin.x + left, r.origin.y + top, r.size.width - left - right,
                    r.size.height - top - bottom);
    }

    friend bool operator==(EdgeInsets const&, EdgeInsets const&) = default;
};

} // namespace Platform
