#include "app/screens/TransportButton.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>

using Platform::BezierPath;
using Platform::Point;
using Platform::Rect;

TransportButton::TransportButton(Rect frame)
    : Button(frame, Type::Custom), imageRect_(0, 0, frame.width(), frame.height())
{
    setBackgroundColor(Platform::Color::clearColor());
    setOpaque(false);
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
    if (style == Record) {
        flashing_ = false;
        stroke_ = Platform::Color::clearColor();
        lineWidth_ = 0;
    } else if (style == Recording) {
        stroke_ = fill_;
        lineWidth_ = 0.5;
        flash();
    }
    setNeedsDisplay();
}

// The fill pulses towards alpha 0.2 over two seconds and back, again and again while recording;
// without animations on this platform the pulse is a state that ends with the style.
void TransportButton::flash()
{
    flashing_ = style_ == Recording;
}

// Each shape is a polygon through the corners of the drawn figure, in the button's own
// coordinates; s is the smaller side of the image rectangle.
BezierPath TransportButton::newPathRefForStyle(int style, Rect r)
{
    double const s = std::min(r.width(), r.height());
    double const w = r.width();
    double const h = r.height();
    BezierPath path;
    auto triangle = [&](double left, double right, double height, bool pointsRight) {
        double const top = r.minY() + (h - height) / 2;
        double const bottom = top + height;
        double const tip = pointsRight ? right : left;
        double const base = pointsRight ? left : right;
        path.moveTo(Point{base, top});
        path.lineTo(Point{tip, (top + bottom) / 2});
        path.lineTo(Point{base, bottom});
        path.close();
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
    context->setFillColor(fill_);
    context->fillPath(path);
    if (lineWidth_ > 0) {
        context->setStrokeColor(stroke_);
        context->setLineWidth(lineWidth_);
        context->strokePath(path);
    }
    context->restoreGState();
}
