#pragma once

#include "platform/graphics/Geometry.h"

#include <cstddef>
#include <vector>

namespace Platform {

// The part of a window that must be drawn again: a short list of rectangles in window points, or
// the whole window. Rectangles that overlap are merged as they come; past a handful the list
// collapses into its bounding box, since drawing a little more costs less than clipping to many
// pieces.
class InvalidRegion {
public:
    static constexpr std::size_t kMaximumRects = 16;

    void add(Rect const& rect);
    void addAll() { all_ = true; rects_.clear(); }
    void clear() { all_ = false; rects_.clear(); }

    bool isEmpty() const { return !all_ && rects_.empty(); }
    bool coversAll() const { return all_; }
    std::vector<Rect> const& rects() const { return rects_; }

    // Whole device pixels at `scale` inside a surface of `pixelWidth` × `pixelHeight`, so that a
    // clip to them cuts no pixel in part.
    std::vector<Rect> pixelRects(double scale, int pixelWidth, int pixelHeight) const;

private:
    bool all_ = false;
    std::vector<Rect> rects_;
};

} // namespace Platform
