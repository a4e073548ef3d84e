#include "drawing/StyleKitSupport.h"

#include "drawing/Lumora_StyleKit.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>
#include <cstdio>
#include <numbers>

namespace Lumora::StyleKitSupport {

using Platform::GraphicsContext;
using Platform::Rect;

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
