#include "drawing/StyleKitSupport.h"

#include "drawing/Lumora_StyleKit.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/StringDrawing.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <numbers>

namespace Lumora::StyleKitSupport {

using Platform::BezierPath;
using Platform::Color;
using Platform::GraphicsContext;
using Platform::Rect;
using Platform::Size;

double roundHalfUp(double v)
{
    return std::floor(v + 0.5);
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

void drawOnCanvas(Rect const& frame, double canvasWidth, double canvasHeight, std::function<void()> const& symbol)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    context->saveGState();
    context->clipToRect(Rect(x, y, w, h));
    context->translate(x, y);
    context->scale(w / canvasWidth, h / canvasHeight);
    symbol();
    context->restoreGState();
}

Rect plateRect(Rect const& frame, PlateVariant variant)
{
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    if (variant == PlateVariant::Inset)
        return Rect(x + 0.5, y + 0.5, w - 1, h - 1);
    return Rect(x, y, w + 1, h + 1);
}

void layPressedPlate(Rect const& plate)
{
    drawOnCanvas(plate, 60, 60, [] { Lumora_StyleKit::drawIconPressed(); });
}

Color highlight(Color const& c, double k)
{
    return Color(c.red() * (1 - k) + k, c.green() * (1 - k) + k, c.blue() * (1 - k) + k, c.alpha() * (1 - k) + k);
}

Color shadow(Color const& c, double k)
{
    return Color(c.red() * (1 - k), c.green() * (1 - k), c.blue() * (1 - k), c.alpha() * (1 - k) + k);
}

void fillPath(BezierPath const& path, Color const& color)
{
    color.setFill();
    path.fill();
}

void fillRect(Rect const& rect, Color const& color)
{
    fillPath(BezierPath::withRect(rect), color);
}

void fillRoundedRect(Rect const& rect, double radius, Color const& color)
{
    fillPath(BezierPath::withRoundedRect(rect, radius), color);
}

void fillOval(Rect const& rect, Color const& color)
{
    fillPath(BezierPath::withOvalInRect(rect), color);
}

void drawStepButton(Rect const& frame, StepButtonColors const& colors, bool selected, bool pressed, bool lighted,
                    bool disabled)
{
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    fillRect(Rect(x, y, roundHalfUp(w), roundHalfUp(h)), pressed ? colors.basePressed : colors.base);
    double const left = std::floor(0.08333 * w), top = std::floor(0.08333 * h);
    fillRoundedRect(Rect(x + left + 0.5, y + top + 0.5, std::floor(0.91667 * w) - left, std::floor(0.91667 * h) - top),
                    12.5, pressed ? colors.topPressed : colors.top);
    Rect const lamp(x + 2.5, y + 2.5, w - 5, h - 5);
    if (selected)
        fillRoundedRect(lamp, 12.5, colors.selected);
    if (lighted)
        fillRoundedRect(lamp, 12.5, colors.lighted);
    if (disabled)
        fillRect(Rect(x, y, w, roundHalfUp(h)), Color::blackColor().withAlphaComponent(colors.veilAlpha));
}

Rect const& faderLowerTrack()
{
    static Rect const track(9, 39, 14, 90);
    return track;
}

Rect const& faderUpperTrack()
{
    static Rect const track(9, 1, 14, 35);
    return track;
}

void fillFaderTrack(Color const& color)
{
    fillRoundedRect(faderLowerTrack(), 7, color);
    fillRoundedRect(faderUpperTrack(), 7, color);
}

// Positions 0 to 4 fill the lower track from the bottom up to the current position; position 5
// lights only the segment of the upper track.
void fillFaderSegments(double s, Color const& color)
{
    struct Segment {
        double y;
        bool lit;
    };
    Segment const segments[] = {
        {105, 1 <= s && s < 5}, {86.41, 2 <= s && s < 5}, {65.99, 3 <= s && s < 5},
        {47.56, 4 <= s && s < 5}, {10.85, s == 5},
    };
    for (Segment const& segment : segments)
        if (segment.lit)
            fillRoundedRect(Rect(13, segment.y, 6, 16.42), 3, color);
}

void drawFaderMarks(double s, std::function<void(bool selected, std::string const& label)> const& drawMark)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    struct Mark {
        double y;
        char const* label;
        bool selected;
    };
    Mark const marks[] = {
        {2.87, "1", s >= 5},           {22.12, "2", s == 5},          {40.11, "5", 4 <= s && s < 5},
        {59.11, "4", 3 <= s && s < 5}, {78.14, "3", 2 <= s && s < 5}, {97, "2", 1 <= s && s < 5},
        {116, "1", 0 <= s && s < 5},
    };
    for (Mark const& mark : marks) {
        context->saveGState();
        context->clipToRect(Rect(10, mark.y, 12, 12));
        context->translate(10, mark.y);
        context->scale(0.12, 0.12);
        drawMark(mark.selected, mark.label);
        context->restoreGState();
    }
}

// Frames the bottom mark at value 0 and reaches y 3 at value 1.
BezierPath faderThumb(double value)
{
    BezierPath thumb = BezierPath::withRoundedRect(Rect(2.5, 116 - 113 * value, 27, 12), 6);
    thumb.setLineWidth(3);
    return thumb;
}

void drawTextCentredVertically(std::string const& text, Rect const& box, Platform::TextAttributes const& attributes)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    double const textHeight =
        Platform::StringDrawing::boundingRect(text, Size{box.width(), std::numeric_limits<double>::infinity()}, attributes)
            .size.height;
    context->saveGState();
    context->clipToRect(box);
    Platform::StringDrawing::drawInRect(
        text, Rect(box.minX(), box.minY() + (box.height() - textHeight) / 2, box.width(), textHeight), attributes);
    context->restoreGState();
}

namespace {

// "%.f" of a whole number: no decimal separator, so the process locale cannot change it.
std::string wholeNumberText(double v)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.f", v);
    return buffer;
}

} // namespace

std::string shaperPercentText(double output)
{
    return wholeNumberText(std::round(output * 100)) + "%";
}

std::string shaperStepText(double output)
{
    return wholeNumberText(std::round(output * 127));
}

} // namespace Lumora::StyleKitSupport
