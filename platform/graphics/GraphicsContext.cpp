#include "platform/graphics/GraphicsContext.h"

#include "platform/graphics/Image.h"

#include <cairo.h>

#include <cmath>
#include <iterator>

namespace Platform {

namespace {

thread_local std::vector<GraphicsContext*> contextStack;

cairo_line_cap_t toCairo(LineCap cap)
{
    switch (cap) {
    case LineCap::Round: return CAIRO_LINE_CAP_ROUND;
    case LineCap::Square: return CAIRO_LINE_CAP_SQUARE;
    case LineCap::Butt: break;
    }
    return CAIRO_LINE_CAP_BUTT;
}

cairo_line_join_t toCairo(LineJoin join)
{
    switch (join) {
    case LineJoin::Round: return CAIRO_LINE_JOIN_ROUND;
    case LineJoin::Bevel: return CAIRO_LINE_JOIN_BEVEL;
    case LineJoin::Miter: break;
    }
    return CAIRO_LINE_JOIN_MITER;
}

// Cairo refuses negative lengths and an all-zero pattern by putting the whole context into an
// error state that silences every later drawing call. A negative length draws as zero, and a
// pattern with nothing to paint or skip draws solid.
void setDash(cairo_t* cr, std::vector<double> const& dash, double phase)
{
    std::vector<double> lengths;
    lengths.reserve(dash.size());
    bool any = false;
    for (double d : dash) {
        double const length = std::isfinite(d) && d > 0 ? d : 0;
        any = any || length > 0;
        lengths.push_back(length);
    }
    if (!any || !std::isfinite(phase)) {
        cairo_set_dash(cr, nullptr, 0, 0);
        return;
    }
    cairo_set_dash(cr, lengths.data(), static_cast<int>(lengths.size()), phase);
}

} // namespace

GraphicsContext::GraphicsContext(cairo_t* cr) : cr_(cairo_reference(cr)) {}

GraphicsContext::~GraphicsContext()
{
    cairo_destroy(cr_);
}

GraphicsContext* GraphicsContext::current()
{
    return contextStack.empty() ? nullptr : contextStack.back();
}

void GraphicsContext::push(GraphicsContext& context)
{
    contextStack.push_back(&context);
}

void GraphicsContext::pop()
{
    if (!contextStack.empty())
        contextStack.pop_back();
}

void GraphicsContext::pop(GraphicsContext& context)
{
    for (auto it = contextStack.rbegin(); it != contextStack.rend(); ++it) {
        if (*it == &context) {
            contextStack.erase(std::next(it).base());
            return;
        }
    }
}

void GraphicsContext::saveGState()
{
    cairo_save(cr_);
    states_.push_back(states_.back());
}

void GraphicsContext::restoreGState()
{
    if (states_.size() <= 1)
        return;
    cairo_restore(cr_);
    states_.pop_back();
}

namespace {

// Whether appending m to the current transformation leaves it finite and invertible. Cairo puts
// the whole context into an error state for good otherwise (a huge but finite scale can
// overflow the determinant), so such a transformation is ignored.
bool keepsMatrixUsable(cairo_t* cr, cairo_matrix_t const& m)
{
    cairo_matrix_t ctm, result;
    cairo_get_matrix(cr, &ctm);
    cairo_matrix_multiply(&result, &m, &ctm);
    double const det = result.xx * result.yy - result.yx * result.xy;
    return det != 0 && std::isfinite(det) && std::isfinite(result.x0) && std::isfinite(result.y0);
}

} // namespace

void GraphicsContext::translate(double dx, double dy)
{
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, dx, dy);
    if (std::isfinite(dx) && std::isfinite(dy) && keepsMatrixUsable(cr_, m))
        cairo_translate(cr_, dx, dy);
}

void GraphicsContext::scale(double sx, double sy)
{
    // A zero scale would leave Cairo's matrix singular; a vanishingly small one draws the same
    // nothing and stays usable.
    constexpr double tiny = 1e-12;
    if (!std::isfinite(sx) || !std::isfinite(sy))
        return;
    sx = sx == 0 ? tiny : sx;
    sy = sy == 0 ? tiny : sy;
    cairo_matrix_t m;
    cairo_matrix_init_scale(&m, sx, sy);
    if (keepsMatrixUsable(cr_, m))
        cairo_scale(cr_, sx, sy);
}

void GraphicsContext::rotate(double radians)
{
    if (std::isfinite(radians))
        cairo_rotate(cr_, radians);
}

void GraphicsContext::concat(AffineTransform const& t)
{
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    double const det = t.a * t.d - t.b * t.c;
    if (det == 0 || !std::isfinite(det) || !std::isfinite(t.tx) || !std::isfinite(t.ty) || !keepsMatrixUsable(cr_, m))
        return;
    cairo_transform(cr_, &m);
}

AffineTransform GraphicsContext::ctm() const
{
    cairo_matrix_t m;
    cairo_get_matrix(cr_, &m);
    return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0};
}

void GraphicsContext::clipToRect(Rect const& rect)
{
    if (rect.isNull()) {
        cairo_new_path(cr_);
        cairo_rectangle(cr_, 0, 0, 0, 0);
        cairo_clip(cr_);
        return;
    }
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.minX(), rect.minY(), rect.width(), rect.height());
    cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr_);
}

void GraphicsContext::clipToPath(BezierPath const& path)
{
    path.replay(cr_);
    cairo_set_fill_rule(cr_, path.usesEvenOddFillRule() ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(cr_);
}

Rect GraphicsContext::clipBoundingBox() const
{
    double x0, y0, x1, y1;
    cairo_clip_extents(cr_, &x0, &y0, &x1, &y1);
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

bool GraphicsContext::clipMeets(Rect const& rect) const
{
    if (!clipBoundingBox().intersects(rect))
        return false;
    // Cairo answers the pieces in user coordinates, or "not representable" when the clip has a
    // curved edge or the user space is turned against the device's axes.
    cairo_rectangle_list_t* pieces = cairo_copy_clip_rectangle_list(cr_);
    bool meets = true;
    if (pieces->status == CAIRO_STATUS_SUCCESS) {
        meets = false;
        for (int i = 0; i < pieces->num_rectangles && !meets; ++i) {
            cairo_rectangle_t const& r = pieces->rectangles[i];
            meets = Rect(r.x, r.y, r.width, r.height).intersects(rect);
        }
    }
    cairo_rectangle_list_destroy(pieces);
    return meets;
}

void GraphicsContext::setLineDash(double phase, std::vector<double> pattern)
{
    state().dash = std::move(pattern);
    state().dashPhase = phase;
}

void GraphicsContext::setSource(Color const& color, double extraAlpha)
{
    cairo_set_source_rgba(cr_, color.red(), color.green(), color.blue(),
                          color.alpha() * state().alpha * extraAlpha);
}

void GraphicsContext::applyStrokeSettings(BezierPath const& path)
{
    cairo_set_line_width(cr_, path.lineWidth());
    cairo_set_line_cap(cr_, toCairo(path.lineCapStyle()));
    cairo_set_line_join(cr_, toCairo(path.lineJoinStyle()));
    cairo_set_miter_limit(cr_, path.miterLimit());
    setDash(cr_, path.lineDash(), path.lineDashPhase());
}

void GraphicsContext::fillPath(BezierPath const& path)
{
    path.replay(cr_);
    cairo_set_fill_rule(cr_, path.usesEvenOddFillRule() ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    setSource(state().fill);
    cairo_fill(cr_);
}

void GraphicsContext::strokePath(BezierPath const& path)
{
    path.replay(cr_);
    applyStrokeSettings(path);
    setSource(state().stroke);
    cairo_stroke(cr_);
}

void GraphicsContext::fillPath(bool evenOdd)
{
    path_.setUsesEvenOddFillRule(evenOdd);
    fillPath(path_);
    path_.removeAllPoints();
}

void GraphicsContext::strokePath()
{
    path_.setLineWidth(state().lineWidth);
    path_.setLineCapStyle(state().lineCap);
    path_.setLineJoinStyle(state().lineJoin);
    path_.setMiterLimit(state().miterLimit);
    path_.setLineDash(state().dash, state().dashPhase);
    strokePath(path_);
    path_.removeAllPoints();
}

void GraphicsContext::fillRect(Rect const& rect)
{
    beginPath();
    addRect(rect);
    fillPath();
}

void GraphicsContext::strokeRect(Rect const& rect)
{
    beginPath();
    addRect(rect);
    strokePath();
}

void GraphicsContext::fillEllipseInRect(Rect const& rect)
{
    beginPath();
    addEllipseInRect(rect);
    fillPath();
}

void GraphicsContext::strokeEllipseInRect(Rect const& rect)
{
    beginPath();
    addEllipseInRect(rect);
    strokePath();
}

void GraphicsContext::clearRect(Rect const& rect)
{
    if (rect.isNull())
        return;
    cairo_save(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, rect.minX(), rect.minY(), rect.width(), rect.height());
    cairo_fill(cr_);
    cairo_restore(cr_);
}

// A linear gradient painted on one side only: the other side is cut off by clipping to the
// half-plane beyond the start (or before the end), a large rectangle turned along the axis.
void GraphicsContext::drawLinearGradient(Gradient const& gradient, Point start, Point end, unsigned options)
{
    double const dx = end.x - start.x, dy = end.y - start.y;
    double const length = std::hypot(dx, dy);
    bool const before = options & GradientDrawsBeforeStartLocation;
    bool const after = options & GradientDrawsAfterEndLocation;
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    gradient.addStopsTo(pattern, state().alpha);
    cairo_pattern_set_extend(pattern, (before || after) ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    cairo_save(cr_);
    if ((before != after) && length > 0) {
        double const ux = dx / length, uy = dy / length;
        double const big = 1e6;
        Point const from = before ? end : start;
        double const sign = before ? -1 : 1;
        cairo_new_path(cr_);
        cairo_move_to(cr_, from.x - uy * big, from.y + ux * big);
        cairo_line_to(cr_, from.x + uy * big, from.y - ux * big);
        cairo_line_to(cr_, from.x + uy * big + sign * ux * big, from.y - ux * big + sign * uy * big);
        cairo_line_to(cr_, from.x - uy * big + sign * ux * big, from.y + ux * big + sign * uy * big);
        cairo_close_path(cr_);
        cairo_clip(cr_);
    }
    cairo_set_source(cr_, pattern);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_pattern_destroy(pattern);
}

void GraphicsContext::drawRadialGradient(Gradient const& gradient, Point startCenter, double startRadius,
                                         Point endCenter, double endRadius, unsigned options)
{
    cairo_pattern_t* pattern = cairo_pattern_create_radial(startCenter.x, startCenter.y, startRadius,
                                                           endCenter.x, endCenter.y, endRadius);
    gradient.addStopsTo(pattern, state().alpha);
    cairo_pattern_set_extend(pattern, options != GradientDrawsNone ? CAIRO_EXTEND_PAD : CAIRO_EXTEND_NONE);
    cairo_save(cr_);
    cairo_set_source(cr_, pattern);
    cairo_paint(cr_);
    cairo_restore(cr_);
    cairo_pattern_destroy(pattern);
}

void GraphicsContext::showText(std::string_view text, Point baseline, Font const& font, Color const& color)
{
    if (text.empty())
        return;
    std::string const s(text);
    font.apply(cr_);
    setSource(color);
    cairo_new_path(cr_);
    cairo_move_to(cr_, baseline.x, baseline.y);
    cairo_show_text(cr_, s.c_str());
    cairo_new_path(cr_);
}

void GraphicsContext::drawImage(Image const& image, Rect const& rect)
{
    if (image.isNull() || rect.isNull() || rect.isEmpty())
        return;
    double const pw = image.pixelWidth(), ph = image.pixelHeight();
    if (pw <= 0 || ph <= 0)
        return;
    cairo_save(cr_);
    cairo_translate(cr_, rect.minX(), rect.minY());
    cairo_scale(cr_, rect.width() / pw, rect.height() / ph);
    cairo_set_source_surface(cr_, image.surface(), 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, 0, 0, pw, ph);
    cairo_clip(cr_);
    cairo_paint_with_alpha(cr_, state().alpha);
    cairo_restore(cr_);
}

void GraphicsContext::beginTransparencyLayer()
{
    saveGState();
    layerAlphas_.push_back(state().alpha);
    state().alpha = 1;
    cairo_push_group(cr_);
}

void GraphicsContext::endTransparencyLayer()
{
    if (layerAlphas_.empty())
        return;
    cairo_pop_group_to_source(cr_);
    cairo_paint_with_alpha(cr_, layerAlphas_.back());
    layerAlphas_.pop_back();
    restoreGState();
}

} // namespace Platform
