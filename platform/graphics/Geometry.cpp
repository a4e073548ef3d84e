#include "platform/graphics/Geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Platform {

Rect Rect::null()
{
    double const inf = std::numeric_limits<double>::infinity();
    return Rect(inf, inf, 0, 0);
}

bool Rect::isNull() const
{
    return std::isinf(origin.x) || std::isinf(origin.y);
}

Rect Rect::standardized() const
{
    return Rect(minX(), minY(), width(), height());
}

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }
double Rect::midX() const { return origin.x + size.width / 2; }
double Rect::midY() const { return origin.y + size.height / 2; }
double Rect::width() const { return std::fabs(size.width); }
double Rect::height() const { return std::fabs(size.height); }

bool Rect::isEmpty() const
{
    return isNull() || size.width == 0 || size.height == 0;
}

Rect Rect::insetBy(double dx, double dy) const
{
    if (isNull())
        return *this;
    Rect const s = standardized();
    Rect r(s.origin.x + dx, s.origin.y + dy, s.size.width - 2 * dx, s.size.height - 2 * dy);
    if (r.size.width < 0 || r.size.height < 0)
        return null();
    return r;
}

Rect Rect::offsetBy(double dx, double dy) const
{
    if (isNull())
        return *this;
    Rect const s = standardized();
    return Rect(s.origin.x + dx, s.origin.y + dy, s.size.width, s.size.height);
}

Rect Rect::integral() const
{
    if (isNull())
        return *this;
    double const x0 = std::floor(minX());
    double const y0 = std::floor(minY());
    return Rect(x0, y0, std::ceil(maxX()) - x0, std::ceil(maxY()) - y0);
}

Rect Rect::intersection(Rect const& other) const
{
    if (isNull() || other.isNull())
        return null();
    double const x0 = std::max(minX(), other.minX());
    double const y0 = std::max(minY(), other.minY());
    double const x1 = std::min(maxX(), other.maxX());
    double const y1 = std::min(maxY(), other.maxY());
    if (x1 < x0 || y1 < y0)
        return null();
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::unionWith(Rect const& other) const
{
    if (isNull())
        return other.standardized();
    if (other.isNull())
        return standardized();
    double const x0 = std::min(minX(), other.minX());
    double const y0 = std::min(minY(), other.minY());
    double const x1 = std::max(maxX(), other.maxX());
    double const y1 = std::max(maxY(), other.maxY());
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool Rect::intersects(Rect const& other) const
{
    Rect const r = intersection(other);
    return !r.isNull() && !r.isEmpty();
}

bool Rect::contains(Point p) const
{
    return !isNull() && p.x >= minX() && p.x < maxX() && p.y >= minY() && p.y < maxY();
}

bool Rect::contains(Rect const& other) const
{
    if (isNull() || other.isNull())
        return false;
    return other.minX() >= minX() && other.maxX() <= maxX() && other.minY() >= minY()
           && other.maxY() <= maxY();
}

AffineTransform AffineTransform::translation(double dx, double dy)
{
    return {1, 0, 0, 1, dx, dy};
}

AffineTransform AffineTransform::scaling(double sx, double sy)
{
    return {sx, 0, 0, sy, 0, 0};
}

AffineTransform AffineTransform::rotation(double radians)
{
    double const c = std::cos(radians);
    double const s = std::sin(radians);
    return {c, s, -s, c, 0, 0};
}

AffineTransform AffineTransform::concatenating(AffineTransform const& n) const
{
    return {a * n.a + b * n.c,         a * n.b + b * n.d,         c * n.a + d * n.c,
            c * n.b + d * n.d,         tx * n.a + ty * n.c + n.tx, tx * n.b + ty * n.d + n.ty};
}

AffineTransform AffineTransform::translatedBy(double dx, double dy) const
{
    return translation(dx, dy).concatenating(*this);
}

AffineTransform AffineTransform::scaledBy(double sx, double sy) const
{
    return scaling(sx, sy).concatenating(*this);
}

AffineTransform AffineTransform::rotatedBy(double radians) const
{
    return rotation(radians).concatenating(*this);
}

AffineTransform AffineTransform::inverted() const
{
    double const det = a * d - b * c;
    if (det == 0 || !std::isfinite(det))
        return identity();
    double const ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
    return {ia, ib, ic, id, -(tx * ia + ty * ic), -(tx * ib + ty * id)};
}

bool AffineTransform::isIdentity() const
{
    return *this == identity();
}

Point AffineTransform::apply(Point p) const
{
    return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty};
}

Size AffineTransform::apply(Size s) const
{
    return {a * s.width + c * s.height, b * s.width + d * s.height};
}

Rect AffineTransform::apply(Rect const& r) const
{
    if (r.isNull())
        return r;
    Point const corners[4] = {apply(Point{r.minX(), r.minY()}), apply(Point{r.maxX(), r.minY()}),
                              apply(Point{r.minX(), r.maxY()}), apply(Point{r.maxX(), r.maxY()})};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (Point const& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

} // namespace Platform
