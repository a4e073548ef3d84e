#include "controls/layout/layoutContentVw_In_ContainerVw.h"

#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

namespace {

// The smaller of the two, the cap whenever s is not below it (a scale that is not a number
// included).
double capped(double s, double maxScale)
{
    return s < maxScale ? s : maxScale;
}

} // namespace

Platform::Size layoutContentVw_In_ContainerVw(Platform::View* container, Platform::View* content, int32_t mode,
                                              Platform::Size originalSize, float maxScale, float tolerance)
{
    if (!container || !content)
        return {};
    Platform::Size const box = container->bounds().size;
    double const bw = box.width;
    double const bh = box.height;
    double const W = originalSize.width;
    double const H = originalSize.height;
    double const sx = bw / W;
    double const sy = bh / H;
    double const cap = maxScale;

    double s = 1.0;
    switch (mode) {
    case 0: s = sy; break;
    case 1: s = sx; break;
    case 2: s = std::max(sx, sy); break;
    default: break;
    }
    s = capped(s, cap);
    double w = W * s;
    double h = H * s;

    // A content that overflows by less than the tolerance is shrunk to fit; the direction with
    // the larger overflow decides (the vertical one on a tie).
    if (tolerance > 0 && w > 0 && h > 0) {
        double const ox = bw < w ? w - bw : 0;
        double const oy = bh < h ? h - bh : 0;
        if (ox > 0 || oy > 0) {
            bool shrunk = false;
            if (oy < ox) {
                if (ox < tolerance) {
                    s *= bw / w;
                    shrunk = true;
                }
            } else if (oy < tolerance) {
                s *= bh / h;
                shrunk = true;
            }
            if (shrunk) {
                s = capped(s, cap);
                w = W * s;
                h = H * s;
            }
        }
    }

    // A scale that cannot be shown (an empty container or interface size, a cap of 0 or less)
    // would make the content's transform singular: the content is left as it is.
    if (!(s > 0) || !std::isfinite(s) || !std::isfinite(w) || !std::isfinite(h))
        return {};

    content->setTransform(Platform::AffineTransform::scaling(s, s));
    Platform::Rect shown(std::max(0.0, (bw - w) / 2), std::max(0.0, (bh - h) / 2), w, h);
    // The place is the container's; a content lying deeper is framed in its own superview.
    Platform::View* parent = content->superview();
    if (parent && parent != container)
        shown = container->convertRectToView(shown, parent);
    content->setFrame(shown);
    return {w, h};
}
