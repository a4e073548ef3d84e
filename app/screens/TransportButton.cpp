#include "app/screens/TransportButton.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using Platform::BezierPath;
using Platform::Point;
using Platform::Rect;

TransportButton::TransportButton(Rect frame)
    : Button(frame, Type::Custom), imageRect_(0, 0, frame.width(), frame.height())
{
    setBackgroundColor(Platform::Color::clearColor());
    setOpaque(false);
}

TransportButton::~TransportButton()
{
    stopFlashing();
}

void TransportButton::setFillColor(Platform::Color color)
{
    fill_ = color;
    if (style_ == Recording)
        stroke_ = color;
    setNeedsDisplay();
}

void TransportButton::setDrawingStyle(int style)
{
    if (style == style_)
        return;
    style_ = style;
    if (style != Recording)
        stopFlashing();
    if (style == Record) {
        stroke_ = Platform::Color::clearColor();
        lineWidth_ = 0;
    } else if (style == Recording) {
        stroke_ = fill_;
        lineWidth_ = 0.5;
        flash();
    }
    setNeedsDisplay();
}

// The fill pulses towards alpha 0.2 over two seconds and back, again and again while recording.
// The pulse's level follows the time since it began; a timer redraws the button meanwhile.
void TransportButton::flash()
{
    if (style_ != Recording || flashing_)
        return;
    flashing_ = true;
    flashStart_ = std::chrono::steady_clock::now();
    std::weak_ptr<View> weak = self<View>();
    pulseTimer_ = Platform::RunLoop::main().scheduledTimer(1.0 / 30, true, [weak](Platform::Timer& timer) {
        if (auto view = weak.lock())
            view->setNeedsDisplay();
        else
            timer.invalidate();
    });
}

void TransportButton::stopFlashing()
{
    flashing_ = false;
    if (pulseTimer_)
        pulseTimer_->invalidate();
    pulseTimer_.reset();
}

double TransportButton::pulseAlpha(double colorAlpha, double secondsSinceStart)
{
    double const cycle = std::fmod(std::max(0.0, secondsSinceStart), 2 * pulseSeconds);
    double const towardsLowest = cycle < pulseSeconds ? cycle / pulseSeconds : 2 - cycle / pulseSeconds;
    return colorAlpha + (pulseLowestAlpha - colorAlpha) * towardsLowest;
}

namespace {

// A closed polygon whose corners are rounded with the radius r: each corner becomes a circular
// arc tangent to both of its edges, drawn as one cubic whose handles are (4/3) tan(phi / 4) r long
// for an arc turning through phi.
void addRoundedPolygon(BezierPath& path, std::vector<Point> const& corners, double r)
{
    std::size_t const n = corners.size();
    auto length = [](Point v) { return std::hypot(v.x, v.y); };
    auto towards = [&](Point from, Point to, double distance) {
        Point const d { to.x - from.x, to.y - from.y };
        double const l = length(d);
        return l > 0 ? Point { from.x + d.x / l * distance, from.y + d.y / l * distance } : from;
    };
    for (std::size_t i = 0; i < n; ++i) {
        Point const previous = corners[(i + n - 1) % n];
        Point const corner = corners[i];
        Point const next = corners[(i + 1) % n];
        Point const u { previous.x - corner.x, previous.y - corner.y };
        Point const v { next.x - corner.x, next.y - corner.y };
        double const lu = length(u);
        double const lv = length(v);
        double const cosine = std::clamp((u.x * v.x + u.y * v.y) / (lu * lv), -1.0, 1.0);
        double const inner = std::acos(cosine);
        // Tangent points lie r / tan(inner / 2) from the corner, at most halfway along an edge.
        double const reach = std::min({ r / std::tan(inner / 2), lu / 2, lv / 2 });
        double const radius = reach * std::tan(inner / 2);
        double const handle = 4.0 / 3.0 * std::tan((std::numbers::pi - inner) / 4) * radius;
        Point const in = towards(corner, previous, reach);
        Point const out = towards(corner, next, reach);
        if (i == 0)
            path.moveTo(in);
        else
            path.lineTo(in);
        path.curveTo(out, towards(in, corner, handle), towards(out, corner, handle));
    }
    path.close();
}

} // namespace

// Each shape is a polygon through the corners of the drawn figure, in the button's own
// coordinates; s is the smaller side of the image rectangle.
BezierPath TransportButton::newPathRefForStyle(int style, Rect r)
{
    double const s = std::min(r.width(), r.height());
    double const w = r.width();
    double const h = r.height();
    double const cornerRadius = s * 0.0631 / 2;
    BezierPath path;
    auto triangle = [&](double left, double right, double height, bool pointsRight) {
        double const top = r.minY() + (h - height) / 2;
        double const bottom = top + height;
        double const tip = pointsRight ? right : left;
        double const base = pointsRight ? left : right;
        addRoundedPolygon(path, { Point { base, top }, Point { tip, (top + bottom) / 2 }, Point { base, bottom } },
                          cornerRadius);
    };
    switch (style) {
    case Rewind: {
        double const height = std::round(s * 0.613);
        triangle(r.minX(), r.minX() + w / 2, height, false);
        triangle(r.minX() + w / 2, r.minX() + w, height, false);
        break;
    }
    case Pause: {
        double const barWidth = s * 0.2776;
        double const height = std::round(s * 0.857);
        double const radius = s * 0.0397 / 2;
        double const left = r.minX() + std::round((w - s * 0.7452) / 2);
        double const top = r.minY() + (h - height) / 2;
        path.append(BezierPath::withRoundedRect(Rect(left, top, barWidth, height), radius));
        path.append(BezierPath::withRoundedRect(Rect(r.minX() + w - (left - r.minX()) - barWidth, top, barWidth, height), radius));
        break;
    }
    case Play: {
        double const width = s * 0.6538;
        double const left = r.minX() + (w - width) / 2;
        triangle(left, left + width, std::round(s * 0.857), true);
        break;
    }
    case Record:
    case Recording: {
        double const d = s * 0.7825;
        path.addOvalInRect(Rect(r.midX() - d / 2, r.midY() - d / 2, d, d));
        break;
    }
    default:
        break;
    }
    return path;
}

void TransportButton::drawRect(Rect const&)
{
    Platform::GraphicsContext* context = Platform::GraphicsContext::current();
    if (!context || style_ == None)
        return;
    BezierPath const path = newPathRefForStyle(style_, imageRect_);
    context->saveGState();
    // A disabled or pressed button shows dimmed; the glow of a touch is its highlight.
    if (!isEnabled())
        context->setAlpha(0.35);
    else if (isHighlighted())
        context->setAlpha(0.6);
    Platform::Color fill = fill_;
    if (flashing_) {
        double const elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - flashStart_).count();
        fill = fill_.withAlphaComponent(pulseAlpha(fill_.alpha(), elapsed));
    }
    context->setFillColor(fill);
    context->fillPath(path);
    if (lineWidth_ > 0) {
        context->setStrokeColor(stroke_);
        context->setLineWidth(lineWidth_);
        context->strokePath(path);
    }
    context->restoreGState();
}
