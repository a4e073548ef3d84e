#include "platform/graphics/Color.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

namespace Platform {

// The hexcone model: brightness is the largest component, saturation the spread relative to it,
// hue the position of the colour on the six-sided circle red, yellow, green, cyan, blue, magenta.
HSBA Color::hsba() const
{
    double const maxC = std::max({red_, green_, blue_});
    double const minC = std::min({red_, green_, blue_});
    double const delta = maxC - minC;
    HSBA out;
    out.alpha = alpha_;
    out.brightness = maxC;
    out.saturation = maxC > 0 ? delta / maxC : 0;
    if (delta <= 0)
        return out;
    double h;
    if (maxC == red_)
        h = (green_ - blue_) / delta;
    else if (maxC == green_)
        h = 2 + (blue_ - red_) / delta;
    else
        h = 4 + (red_ - green_) / delta;
    h /= 6;
    if (h < 0)
        h += 1;
    out.hue = h;
    return out;
}

Color Color::withHSBA(HSBA const& in)
{
    double const v = in.brightness;
    double const s = in.saturation;
    if (s <= 0)
        return Color(v, v, v, in.alpha);
    double h = in.hue - std::floor(in.hue);
    h *= 6;
    int const sector = static_cast<int>(std::floor(h)) % 6;
    double const f = h - std::floor(h);
    double const p = v * (1 - s);
    double const q = v * (1 - s * f);
    double const t = v * (1 - s * (1 - f));
    switch (sector) {
    case 0: return Color(v, t, p, in.alpha);
    case 1: return Color(q, v, p, in.alpha);
    case 2: return Color(p, v, t, in.alpha);
    case 3: return Color(p, q, v, in.alpha);
    case 4: return Color(t, p, v, in.alpha);
    default: return Color(v, p, q, in.alpha);
    }
}

void Color::setFill() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->setFillColor(*this);
}

void Color::setStroke() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->setStrokeColor(*this);
}

void Color::set() const
{
    setFill();
    setStroke();
}

} // namespace Platform
