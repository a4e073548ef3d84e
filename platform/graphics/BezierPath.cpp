#include "platform/graphics/BezierPath.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ScratchContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Platform {

BezierPath BezierPath::withRect(Rect const& rect)
{
    BezierPath path;
    path.addRect(rect);
    return path;
}

BezierPath BezierPath::withOvalInRect(Rect const& rect)
{
    BezierPath path;
    path.addOvalInRect(rect);
    return path;
}

BezierPath BezierPath::withRoundedRect(Rect const& rect, double cornerRadius)
{
    return withRoundedRect(rect, AllCorners, Size{cornerRadius, cornerRadius});
}

// Each rounded corner is a quarter ellipse with radii limited to half the rectangle's sides;
// square corners are plain vertices. The outline runs clockwise from the top edge.
BezierPath BezierPath::withRoundedRect(Rect const& rect, unsigned corners, Size radii)
{
    BezierPath path;
    if (rect.isNull())
        return path;
    double const x0 = rect.minX(), y0 = rect.minY(), x1 = rect.maxX(), y1 = rect.maxY();
    double const rx = std::clamp(radii.width, 0.0, rect.width() / 2);
    double const ry = std::clamp(radii.height, 0.0, rect.height() / 2);
    // Control-point distance of a cubic quarter circle, as a fraction of the radius.
    double const k = 0.5522847498307936;
    auto rounded = [&](RectCorner c) { return (corners & c) && rx > 0 && ry > 0; };

    path.moveTo({x0 + (rounded(TopLeft) ? rx : 0), y0});
    if (rounded(TopRight)) {
        path.lineTo({x1 - rx, y0});
        path.curveTo({x1, y0 + ry}, {x1 - rx + k * rx, y0}, {x1, y0 + ry - k * ry});
    } else {
        path.lineTo({x1, y0});
    }
    if (rounded(BottomRight)) {
        path.lineTo({x1, y1 - ry});
        path.curveTo({x1 - rx, y1}, {x1, y1 - ry + k * ry}, {x1 - rx + k * rx, y1});
    } else {
        path.lineTo({x1, y1});
    }
    if (rounded(BottomLeft)) {
        path.lineTo({x0 + rx, y1});
        path.curveTo({x0, y1 - ry}, {x0 + rx - k * rx, y1}, {x0, y1 - ry + k * ry});
    } else {
        path.lineTo({x0, y1});
    }
    if (rounded(TopLeft)) {
        path.lineTo({x0, y0 + ry});
        path.curveTo({x0 + rx, y0}, {x0, y0 + ry - k * ry}, {x0 + rx - k * rx, y0});
    }
    path.close();
    return path;
}

BezierPath BezierPath::withArc(Point center, double radius, double startAngle, double endAngle,
                               bool clockwise)
{
    BezierPath path;
    path.addArc(center, radius, startAngle, endAngle, clockwise);
    return path;
}

void BezierPath::moveTo(Point p)
{
    elements_.push_back({ElementType::MoveTo, {p, {}, {}}});
    current_ = subpathStart_ = p;
    hasCurrentPoint_ = true;
}

void BezierPath::lineTo(Point p)
{
    if (!hasCurrentPoint_) {
        moveTo(p);
        return;
    }
    elements_.push_back({ElementType::LineTo, {p, {}, {}}});
    current_ = p;
}

void BezierPath::curveTo(Point end, Point control1, Point control2)
{
    if (!hasCurrentPoint_)
        moveTo(control1);
    elements_.push_back({ElementType::CurveTo, {control1, control2, end}});
    current_ = end;
}

void BezierPath::close()
{
    if (!hasCurrentPoint_)
        return;
    elements_.push_back({ElementType::Close, {}});
    current_ = subpathStart_;
}

// One cubic segment for an arc of at most a quarter turn: the control points lie on the end
// tangents at 4/3 tan(sweep / 4) radii from the ends.
void BezierPath::addArcSegment(Point c, double r, double a0, double a1)
{
    double const k = 4.0 / 3.0 * std::tan((a1 - a0) / 4);
    Point const p0{c.x + r * std::cos(a0), c.y + r * std::sin(a0)};
    Point const p3{c.x + r * std::cos(a1), c.y + r * std::sin(a1)};
    Point const c1{p0.x - k * r * std::sin(a0), p0.y + k * r * std::cos(a0)};
    Point const c2{p3.x + k * r * std::sin(a1), p3.y - k * r * std::cos(a1)};
    curveTo(p3, c1, c2);
}

void BezierPath::addArc(Point center, double radius, double startAngle, double endAngle,
                        bool clockwise)
{
    double const twoPi = 2 * std::numbers::pi;
    // The sweep runs in the arc's direction and covers at most one full turn. Taking it by
    // remainder rather than by adding turns one at a time keeps angles of any size (a drawing
    // handed a value far out of range) from looping for ever or overflowing the segment count.
    double sweep = endAngle - startAngle;
    if (clockwise ? sweep < 0 : sweep > 0) {
        sweep = std::fmod(sweep, twoPi);
        if (clockwise ? sweep < 0 : sweep > 0)
            sweep += clockwise ? twoPi : -twoPi;
    }
    sweep = std::clamp(sweep, -twoPi, twoPi);
    double const end = startAngle + sweep;
    Point const start{center.x + radius * std::cos(startAngle), center.y + radius * std::sin(startAngle)};
    if (hasCurrentPoint_)
        lineTo(start);
    else
        moveTo(start);
    if (sweep == 0 || !std::isfinite(sweep))
        return;
    int const segments = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 2) - 1e-9)));
    double const step = sweep / segments;
    for (int i = 0; i < segments; ++i) {
        double const a0 = startAngle + i * step;
        double const a1 = (i + 1 == segments) ? end : a0 + step;
        addArcSegment(center, radius, a0, a1);
    }
}

void BezierPath::addRect(Rect const& rect)
{
    if (rect.isNull())
        return;
    moveTo({rect.minX(), rect.minY()});
    lineTo({rect.maxX(), rect.minY()});
    lineTo({rect.maxX(), rect.maxY()});
    lineTo({rect.minX(), rect.maxY()});
    close();
}

void BezierPath::addOvalInRect(Rect const& rect)
{
    if (rect.isNull())
        return;
    double const k = 0.5522847498307936;
    double const cx = rect.midX(), cy = rect.midY();
    double const rx = rect.width() / 2, ry = rect.height() / 2;
    moveTo({cx + rx, cy});
    curveTo({cx, cy + ry}, {cx + rx, cy + k * ry}, {cx + k * rx, cy + ry});
    curveTo({cx - rx, cy}, {cx - k * rx, cy + ry}, {cx - rx, cy + k * ry});
    curveTo({cx, cy - ry}, {cx - rx, cy - k * ry}, {cx - k * rx, cy - ry});
    curveTo({cx + rx, cy}, {cx + k * rx, cy - ry}, {cx + rx, cy - k * ry});
    close();
}

void BezierPath::append(BezierPath const& other)
{
    for (Element const& e : other.elements_) {
        switch (e.type) {
        case ElementType::MoveTo: moveTo(e.points[0]); break;
        case ElementType::LineTo: lineTo(e.points[0]); break;
        case ElementType::CurveTo: curveTo(e.points[2], e.points[0], e.points[1]); break;
        case ElementType::Close: close(); break;
        }
    }
}

void BezierPath::applyTransform(AffineTransform const& t)
{
    for (Element& e : elements_)
        for (Point& p : e.points)
            p = t.apply(p);
    current_ = t.apply(current_);
    subpathStart_ = t.apply(subpathStart_);
}

void BezierPath::removeAllPoints()
{
    elements_.clear();
    current_ = subpathStart_ = {};
    hasCurrentPoint_ = false;
}

Rect BezierPath::bounds() const
{
    Rect box = Rect::null();
    for (Element const& e : elements_) {
        int const count = e.type == ElementType::CurveTo ? 3 : (e.type == ElementType::Close ? 0 : 1);
        for (int i = 0; i < count; ++i)
            box = box.unionWith(Rect(e.points[i], Size{}));
    }
    return box;
}

void BezierPath::setLineDash(std::vector<double> pattern, double phase)
{
    dash_ = std::move(pattern);
    dashPhase_ = phase;
}

void BezierPath::replay(cairo_t* cr) const
{
    cairo_new_path(cr);
    for (Element const& e : elements_) {
        switch (e.type) {
        case ElementType::MoveTo: cairo_move_to(cr, e.points[0].x, e.points[0].y); break;
        case ElementType::LineTo: cairo_line_to(cr, e.points[0].x, e.points[0].y); break;
        case ElementType::CurveTo:
            cairo_curve_to(cr, e.points[0].x, e.points[0].y, e.points[1].x, e.points[1].y,
                           e.points[2].x, e.points[2].y);
            break;
        case ElementType::Close: cairo_close_path(cr); break;
        }
    }
}

void BezierPath::fill() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->fillPath(*this);
}

void BezierPath::stroke() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->strokePath(*this);
}

void BezierPath::addClip() const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->clipToPath(*this);
}

bool BezierPath::containsPoint(Point p) const
{
    cairo_t* cr = scratchContext();
    replay(cr);
    cairo_set_fill_rule(cr, evenOdd_ ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    bool const inside = cairo_in_fill(cr, p.x, p.y);
    cairo_new_path(cr);
    return inside;
}

} // namespace Platform
