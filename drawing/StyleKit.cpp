#include "drawing/StyleKit.h"

#include "drawing/Lumora_StyleKit.h"
#include "drawing/StyleKitSupport.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <array>

using Platform::BezierPath;
using Platform::Color;
using Platform::Font;
using Platform::GraphicsContext;
using Platform::Point;
using Platform::Rect;
using Platform::TextAlignment;
using Platform::TextAttributes;
using namespace Lumora::StyleKitSupport;

namespace {

std::array<Color, 3> const& palette()
{
    static std::array<Color, 3> const colors = {
        Color(0.285, 0, 0, 1),         // backgroundColor
        Color(0.223, 0.201, 0.201, 1), // displayBoxColor
        Color(0.827, 0, 0, 1),         // switchTopColor
    };
    return colors;
}

// The button colours: a black base (pressed: its highlight by 0.2), a warm grey top T (pressed:
// T's shadow by 0.4) and the light L (off: L's shadow by 0.7).
Color const buttonBase(0, 0, 0, 1);
Color const buttonTop(0.478, 0.412, 0.396, 1);
Color const light(1, 0.649, 0, 1);
Color const veil = Color::blackColor().withAlphaComponent(0.488);

Color buttonBasePressed() { return highlight(buttonBase, 0.2); }
Color buttonTopPressed() { return shadow(buttonTop, 0.4); }
Color lightOff() { return shadow(light, 0.7); }

struct KnobColors {
    Color track, value, disc;
};

KnobColors knobColors(double variation)
{
    if (variation == 0) {
        Color const v(0.867, 0.141, 0.169, 1);
        return {Color(0.274, 0.021, 0.021, 1), v, shadow(v, 0.3)};
    }
    if (variation == 1) {
        Color const v(0.518, 0.433, 0.409, 1);
        return {Color(0.252, 0.162, 0.17, 1), v, shadow(v, 0.5)};
    }
    Color const v(0.869, 0.62, 0.126, 1);
    return {Color(0.227, 0.183, 0.016, 1), v, shadow(v, 0.3)};
}

// A circle of radius 20 about (25, 25) as four quarter curves from its rightmost point, clockwise
// or, reversed, counter-clockwise; dashes are measured from that point.
BezierPath knobRing(bool reversed)
{
    double const c = 25, r = 20, k = 11.05;
    BezierPath ring;
    ring.moveTo({c + r, c});
    if (!reversed) {
        ring.curveTo({c, c + r}, {c + r, c + k}, {c + k, c + r});
        ring.curveTo({c - r, c}, {c - k, c + r}, {c - r, c + k});
        ring.curveTo({c, c - r}, {c - r, c - k}, {c - k, c - r});
        ring.curveTo({c + r, c}, {c + k, c - r}, {c + r, c - k});
    } else {
        ring.curveTo({c, c - r}, {c + r, c - k}, {c + k, c - r});
        ring.curveTo({c - r, c}, {c - k, c - r}, {c - r, c - k});
        ring.curveTo({c, c + r}, {c - r, c + k}, {c - k, c + r});
        ring.curveTo({c + r, c}, {c + k, c + r}, {c + r, c + k});
    }
    ring.close();
    ring.setLineWidth(8);
    return ring;
}

// Strokes the ring turned about the centre so that it starts at `startDegrees`, painting its
// first `dash` points.
void strokeRingArc(bool reversed, double startDegrees, double dash, Color const& color, bool roundJoins = false)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    BezierPath ring = knobRing(reversed);
    ring.setLineDash({dash, 150}, 0);
    if (roundJoins)
        ring.setLineJoinStyle(Platform::LineJoin::Round);
    context->saveGState();
    context->translate(25, 25);
    context->rotate(radians(startDegrees));
    context->translate(-25, -25);
    color.setStroke();
    ring.stroke();
    context->restoreGState();
}

void fillKnobDisc(double value, Color const& color)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    double const scale = 0.6 + 0.4 * value;
    context->saveGState();
    context->translate(25, 25);
    context->scale(scale, scale);
    fillOval(Rect(-12.5, -12.5, 25, 25), color);
    context->restoreGState();
}

// The base and top of the plain, light and selector buttons.
void drawButtonBody(Rect const& frame, bool pressed)
{
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    fillRect(Rect(x, y, roundHalfUp(w), roundHalfUp(h)), pressed ? buttonBasePressed() : buttonBase);
    double const left = roundHalfUp(0.04 * w), top = roundHalfUp(0.1 * h);
    fillRoundedRect(Rect(x + left, y + top, roundHalfUp(0.96 * w) - left, roundHalfUp(0.9 * h) - top), 20,
                    pressed ? buttonTopPressed() : buttonTop);
}

} // namespace

void StyleKit::initialize()
{
    palette();
}

Color const& StyleKit::backgroundColor() { return palette()[0]; }
Color const& StyleKit::displayBoxColor() { return palette()[1]; }
Color const& StyleKit::switchTopColor() { return palette()[2]; }

void StyleKit::drawKnobWithFrame(Rect const& frame, double value, bool disabled, bool isBipole, double variation)
{
    drawOnCanvas(frame, 50, 50, [&] { drawKnobSymbolWithValue(value, disabled, isBipole, 94, variation); });
}

// The ring's circumference is about 125.7 points, so a dash of 94 is a 270-degree arc; the track
// starts at the lower left (135 degrees) and the value arc runs along it, or, bipolar, from the top.
void StyleKit::drawKnobSymbolWithValue(double value, bool disabled, bool isBipole, double knobDashMax,
                                       double variation)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    KnobColors const colors = knobColors(variation);

    strokeRingArc(false, 135, 94, colors.track);

    if (!isBipole)
        strokeRingArc(false, 135, value * knobDashMax, colors.value);
    else if (value < 0.5)
        strokeRingArc(true, 270, (0.5 - value) * knobDashMax, colors.value);
    else if (value > 0.5)
        strokeRingArc(false, 270, (value - 0.5) * knobDashMax + 0.5, colors.value);

    if (!disabled) {
        context->saveGState();
        context->translate(25, 25);
        context->rotate(radians(270 * value - 135));
        BezierPath indicator;
        indicator.moveTo({0, 0});
        indicator.lineTo({0.06, -24});
        indicator.setLineWidth(1);
        colors.value.setStroke();
        indicator.stroke();
        context->restoreGState();
    }

    fillKnobDisc(value, colors.disc);

    if (disabled) {
        strokeRingArc(false, 135, 94, veil, true);
        fillKnobDisc(value, veil);
    }
}

void StyleKit::drawDefaultButtonWithFrame(Rect const& frame, bool selected, bool pressed)
{
    drawButtonBody(frame, pressed);
    if (selected) {
        double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
        double const inner = w - 6;
        double const left = roundHalfUp(0.04167 * inner);
        fillRoundedRect(Rect(x + left, y + 6, inner - left, roundHalfUp(0.88889 * (h - 6))), 20, light);
    }
}

// The light sits in the box E: lit in its left nine tenths, dim in its right nine tenths.
void StyleKit::drawLedButtonWithFrame(Rect const& frame, bool selected, bool pressed)
{
    drawButtonBody(frame, pressed);
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    double const ex = x + roundHalfUp(0.42667 * w), ey = y + roundHalfUp(0.16667 * h);
    double const ew = roundHalfUp(0.56 * w) - roundHalfUp(0.42667 * w);
    double const eh = roundHalfUp(0.46667 * h) - roundHalfUp(0.16667 * h);
    if (selected) {
        fillRoundedRect(Rect(ex, ey, roundHalfUp(0.9 * ew), roundHalfUp(eh)), 9, light);
    } else {
        double const shift = roundHalfUp(0.1 * ew);
        fillRoundedRect(Rect(ex + shift, ey, roundHalfUp(ew) - shift, roundHalfUp(eh)), 9, lightOff());
    }
}

// Position 0 dims the light, 1 lights it, any other position shows it blue.
void StyleKit::drawSelectorButtonWithFrame(Rect const& frame, bool pressed, double selector)
{
    drawButtonBody(frame, pressed);
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    double const left = roundHalfUp(0.42667 * w), top = roundHalfUp(0.16667 * h);
    Color const color = selector == 0 ? lightOff() : selector == 1 ? light : Color(0, 0.63, 1, 1);
    fillRoundedRect(Rect(x + left, y + top, roundHalfUp(0.54667 * w) - left, roundHalfUp(0.46667 * h) - top), 9,
                    color);
}

void StyleKit::drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool lighted, bool disabled)
{
    drawStepButton(frame,
                   {Color(0.214, 0.214, 0.214, 1), Color::blackColor(), Color(0.514, 0.513, 0.513, 1),
                    Color(0.224, 0.216, 0.216, 1), Color(0.838, 0, 0, 1), Color(1, 0.618, 0, 1), 0.488},
                   selected, pressed, lighted, disabled);
}

void StyleKit::drawLampWithFrame(Rect const& frame, double value)
{
    drawOnCanvas(frame, 100, 100, [&] { drawLampSymbolWithValue(value); });
}

// Dark brown-red at 0 to orange at 1; red above 1 is handed over as computed.
void StyleKit::drawLampSymbolWithValue(double value)
{
    fillOval(Rect(0, 0, 100, 100), Color(value + 0.1, 0.1 + 0.55 * value, 0.1 * value, 1));
}

// The default fader's geometry in fixed colours; disabled darkens the track with what lies on it
// (segments and marks) and the thumb by a black veil instead of changing colours.
void StyleKit::drawArpPgSliderWithValue(double value, double switchPos, bool disabled)
{
    fillFaderTrack(Color(0.214, 0.214, 0.214, 1));
    fillFaderSegments(switchPos, Color(0.838, 0, 0, 1));
    drawFaderMarks(switchPos, [](bool selected, std::string const& label) { drawArpPgSdMarkWithSelected(selected, label); });
    if (disabled)
        fillFaderTrack(veil);
    BezierPath thumb = faderThumb(value);
    Color(0.898, 0.098, 0.075, 1).setStroke();
    thumb.stroke();
    if (disabled) {
        veil.setStroke();
        thumb.stroke();
    }
}

void StyleKit::drawArpPgSdMarkWithSelected(bool selected, std::string const& arpPgFdMrkTxt)
{
    fillOval(Rect(0, 0, 100, 100), selected ? Color(0.391, 0.391, 0.391, 1) : Color(0.514, 0.513, 0.513, 1));
    TextAttributes attributes;
    attributes.font = Font::withName("Helvetica-Bold", 100);
    attributes.color = selected ? Color(0.928, 0.903, 0.898, 1) : Color(0.141, 0.129, 0.126, 1);
    attributes.alignment = TextAlignment::Center;
    drawTextCentredVertically(arpPgFdMrkTxt, Rect(0, 0, 100, 100), attributes);
}

void StyleKit::drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed)
{
    drawOnCanvas(frame, 60, 200, [&] { drawSideEdgeButtonSymbolWithPressed(pressed); });
}

void StyleKit::drawSideEdgeButtonSymbolWithPressed(bool pressed)
{
    Lumora_StyleKit::drawSideEdgeButtonSymbolWithPressed(pressed);
}
