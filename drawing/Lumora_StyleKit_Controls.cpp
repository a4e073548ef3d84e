#include "drawing/Lumora_StyleKit.h"

#include "drawing/StyleKitSupport.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/StringDrawing.h"

#include <cmath>
#include <limits>

using Platform::BezierPath;
using Platform::Color;
using Platform::Font;
using Platform::GraphicsContext;
using Platform::Point;
using Platform::Rect;
using Platform::Size;
using Platform::StringDrawing;
using Platform::TextAlignment;
using Platform::TextAttributes;
using namespace Lumora::StyleKitSupport;

namespace {

// A pie about a centre: the arc clockwise from one angle to the other, closed through the centre.
BezierPath pie(Point center, double radius, double fromDegrees, double toDegrees)
{
    BezierPath path;
    path.addArc(center, radius, radians(fromDegrees), radians(toDegrees), true);
    path.lineTo(center);
    path.close();
    return path;
}

Color const& pick(bool condition, Color const& whenTrue, Color const& whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

} // namespace

// The knob: a 270-degree base open at the bottom, the value as a pie under a top disc so that only
// a ring of it shows, and an indicator bar pointing at 135 + 270 x value degrees.
void Lumora_StyleKit::drawKnobSymbolWithBaseColor(Color const& baseColor, Color const& topColor,
                                                  Color const& markColor, double value, bool disabled, bool isBipole)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context)
        return;
    Point const center{50, 50};
    double const angle = 135 + 270 * value;

    fillPath(pie(center, 50, 135, 405), baseColor);

    if (!isBipole)
        fillPath(pie(center, 45, 135, angle), markColor);
    else if (value > 0.5)
        fillPath(pie(center, 45, 270, angle), markColor);
    else if (value < 0.5)
        fillPath(pie(center, 45, angle, 270), markColor);

    fillOval(Rect(10, 10, 80, 80), topColor);

    context->saveGState();
    context->translate(50, 50);
    context->rotate(radians(270 * value - 135));
    fillRect(Rect(-3, -45, 6, 45), markColor);
    context->restoreGState();

    if (disabled) {
        // The knob's circle, its notch bridged by a shallow curve below the centre.
        BezierPath cover;
        cover.addArc(center, 50, radians(135), radians(405), true);
        cover.lineTo({76.76, 78.74});
        cover.curveTo({50, 88.89}, {68.2, 85.5}, {59.4, 88.89});
        cover.curveTo({23.23, 78.74}, {40.6, 88.89}, {31.8, 85.5});
        cover.close();
        fillPath(cover, Color::blackColor().withAlphaComponent(0.504));
    }
}

void Lumora_StyleKit::drawKnobWithFrame(Rect const& frame, Color const& baseColor, Color const& topColor,
                                        Color const& markColor, double value, bool disabled, bool isBipole)
{
    drawOnCanvas(frame, 100, 100, [&] {
        drawKnobSymbolWithBaseColor(baseColor, topColor, markColor, value, disabled, isBipole);
    });
}

// The slider: a rail, the value bar from the thumb down to the rail's end (or, bipolar, between
// the thumb and the centre line), the rail's outline and the thumb, whose top edge runs from
// ch - 9.6 at value 0 up to 3.2 at value 1.
void Lumora_StyleKit::drawSliderSymbolWithBaseColor(Color const& baseColor, Color const& topColor,
                                                    Color const& topFrameColor, Color const& guageTopColor,
                                                    double value, bool isBipole, Rect const& sliderContainerRect)
{
    double const cx = sliderContainerRect.minX(), cy = sliderContainerRect.minY();
    double const cw = sliderContainerRect.width(), ch = sliderContainerRect.height();
    double const x0 = cx + cw / 2 - 3;
    double const t = 3.2 + (ch - 12.8) * (1 - value);
    double const m = ch / 2;

    fillRect(Rect(x0, cy + 2, 6, ch - 2), gaugeBaseColor_());

    if (!isBipole)
        fillRect(Rect(x0, t, 6, ch - t - 2), guageTopColor);
    else if (value >= 0.5)
        fillRect(Rect(x0, t, 6, m - t), guageTopColor);
    else
        fillRect(Rect(x0, m, 6, t - m), guageTopColor);

    BezierPath outline = BezierPath::withRoundedRect(Rect(x0, cy + 2, 6, ch - 4), 3);
    outline.setLineWidth(4);
    baseColor.setStroke();
    outline.stroke();

    BezierPath thumb = BezierPath::withRoundedRect(Rect(x0 - 6.4, t, 18.8, 6.4), 3.2);
    fillPath(thumb, topColor);
    thumb.setLineWidth(3.2);
    topFrameColor.setStroke();
    thumb.stroke();
}

void Lumora_StyleKit::drawSliderWithFrame(Rect const& frame, Color const& baseColor, Color const& topColor,
                                          Color const& topFrameColor, Color const& guageTopColor, double value,
                                          bool isBipole)
{
    drawOnCanvas(frame, 50, 200, [&] {
        drawSliderSymbolWithBaseColor(baseColor, topColor, topFrameColor, guageTopColor, value, isBipole,
                                      Rect(0, 0, 50, 200));
    });
}

void Lumora_StyleKit::drawPushSwitchSymbolWithTopColor(Color const& topColor, Color const& topColor_pressed,
                                                       Color const& lampColor_on, Color const& lampColor_off,
                                                       bool selected, bool pressed)
{
    fillRoundedRect(Rect(6, 6, 138, 48), 20, pick(pressed, topColor_pressed, topColor));
    fillRoundedRect(Rect(66, 12, 18, 18), 9, pick(selected, lampColor_on, lampColor_off));
}

void Lumora_StyleKit::drawPushSwitchWithFrame(Rect const& frame, Color const& topColor, Color const& topColor_pressed,
                                              Color const& lampColor_on, Color const& lampColor_off, bool selected,
                                              bool pressed)
{
    drawOnCanvas(frame, 150, 60, [&] {
        drawPushSwitchSymbolWithTopColor(topColor, topColor_pressed, lampColor_on, lampColor_off, selected, pressed);
    });
}

void Lumora_StyleKit::drawButtonSymbolWithTopColor(Color const& topColor, Color const& topColor_pressed,
                                                   Color const& topColor_selected, bool selected, bool pressed)
{
    Rect const body(6, 6, 138, 48);
    fillRoundedRect(body, 20, pick(pressed, topColor_pressed, topColor));
    if (selected)
        fillRoundedRect(body, 20, topColor_selected);
}

void Lumora_StyleKit::drawButtonWithFrame(Rect const& frame, Color const& topColor, Color const& topColor_pressed,
                                          Color const& topColor_selected, bool selected, bool pressed)
{
    drawOnCanvas(frame, 150, 60, [&] {
        drawButtonSymbolWithTopColor(topColor, topColor_pressed, topColor_selected, selected, pressed);
    });
}

// Dark brown at 0 to bright orange at 1; components above 1 are handed over as computed.
void Lumora_StyleKit::drawLampSymbolWithValue(double value)
{
    fillOval(Rect(0, 0, 100, 100), Color(value + 0.3, 0.2 + 0.4 * value, 0.1 * value, 1));
}

void Lumora_StyleKit::drawLampWithFrame(Rect const& frame, double value)
{
    drawOnCanvas(frame, 100, 100, [&] { drawLampSymbolWithValue(value); });
}

namespace {

// A key: its colour with only the bottom corners rounded, or, pressed, a darker key whose top
// corners lie 13 points above the frame so that only its rounded bottom shows; and the held dot.
void drawKey(Rect const& frame, double radius, bool pressed, bool held, bool heldLowPos, Color const& keyColor,
             double pressedBrightness)
{
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();
    if (!pressed) {
        fillPath(BezierPath::withRoundedRect(Rect(x + 1, y, w - 2, h), Platform::BottomLeft | Platform::BottomRight,
                                             Size{radius, radius}),
                 keyColor);
    } else {
        Platform::HSBA hsba = keyColor.hsba();
        hsba.brightness = pressedBrightness;
        fillRoundedRect(Rect(x + 1, y - 13, w - 2, h + 13), radius, Color::withHSBA(hsba));
    }
    if (held) {
        double const dotX = x + roundHalfUp((w - 10) * 0.5);
        double const dotY = y + h - (heldLowPos ? 15 : 28);
        fillOval(Rect(dotX, dotY, 10, 10), Color(1, 0.711, 0, 1));
    }
}

} // namespace

void Lumora_StyleKit::drawKeyBlackWithFrame(Rect const& frame, double keyboardRadius, bool pressed, bool held,
                                            bool heldLowPos)
{
    drawKey(frame, keyboardRadius, pressed, held, heldLowPos, Color(0.109, 0.109, 0.109, 1), 0.3);
}

void Lumora_StyleKit::drawKeyWhiteWithFrame(Rect const& frame, double keyboardRadius, bool pressed, bool held,
                                            bool heldLowPos)
{
    drawKey(frame, keyboardRadius, pressed, held, heldLowPos, Color(1, 1, 1, 1), 0.8);
}

// Translucent rings over a control in MIDI-learn mode: orange-red when not selected, a darker
// veil while pressed, yellow-orange when selected, and a near-white plate under a title.
void Lumora_StyleKit::drawControlStatusWithFrame(Rect const& frame, std::string const& title, bool selected,
                                                 bool pressed)
{
    Color const c1(1, 0.178, 0, 0.354);
    Color const c2 = c1.withAlphaComponent(0.1);
    Color const c3 = c1.withAlphaComponent(0.5);
    Color const c5(1, 0.72, 0, 0.354);
    Color const c6 = c5.withAlphaComponent(0.1);
    Color const c7(1, 0.987, 0.987, 0.75);
    double const x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();

    BezierPath ring = BezierPath::withRoundedRect(Rect(x + 4, y + 4, w - 8, h - 8), 6);
    ring.setLineWidth(6);
    auto layer = [&ring](Color const& fill, Color const& stroke) {
        fill.setFill();
        ring.fill();
        stroke.setStroke();
        ring.stroke();
    };
    if (!selected)
        layer(c2, c1);
    if (pressed)
        layer(c3, c3);
    if (selected)
        layer(c6, c5);
    if (!title.empty()) {
        fillPath(ring, c7);
        TextAttributes attributes;
        attributes.font = Font::withName("HelveticaNeue", 10);
        attributes.color = Color::blackColor();
        attributes.alignment = TextAlignment::Center;
        drawTextCentredVertically(title, Rect(x, y, w, h), attributes);
    }
}

// A tab along the canvas's left edge whose right side swings out to the right edge in large
// curves, reaching it between y 30 and 170; a grip down its middle.
void Lumora_StyleKit::drawSideEdgeButtonSymbolWithPressed(bool pressed)
{
    BezierPath tab;
    tab.moveTo({0, 0});
    tab.curveTo({60, 30}, {38, 0}, {60, 12});
    tab.lineTo({60, 170});
    tab.curveTo({0, 200}, {60, 188}, {38, 200});
    tab.close();
    fillPath(tab, Color::grayColor());
    if (pressed)
        fillPath(tab, Color::darkGrayColor());
    fillRoundedRect(Rect(23, 20, 14, 160), 7, Color::blackColor());
}

void Lumora_StyleKit::drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed)
{
    drawOnCanvas(frame, 60, 200, [&] { drawSideEdgeButtonSymbolWithPressed(pressed); });
}

void Lumora_StyleKit::drawArpPgSdMarkWithTopColor(Color const& topColor, Color const& topColor_selected,
                                                  Color const& labelColor, Color const& labelColor_selected,
                                                  bool selected, std::string const& arpPgFdMrkTxt)
{
    fillOval(Rect(0, 0, 100, 100), pick(selected, topColor_selected, topColor));
    TextAttributes attributes;
    attributes.font = Font::withName("Helvetica-Bold", 100);
    attributes.color = pick(selected, labelColor_selected, labelColor);
    attributes.alignment = TextAlignment::Center;
    drawTextCentredVertically(arpPgFdMrkTxt, Rect(0, 0, 100, 100), attributes);
}

// The step program fader: a lower track of five positions and an upper one of a sixth, lit from
// the bottom up to the current position (position 5 lights only the upper segment), seven
// numbered marks and a thumb ring that travels from the bottom mark (value 0) to y 3 (value 1).
void Lumora_StyleKit::drawArpPgSliderWithBaseColor(Color const& baseColor, Color const& baseColor_disabled,
                                                   Color const& topColor, Color const& topColor_selected,
                                                   Color const& labelColor, Color const& labelColor_selected,
                                                   Color const& lampColor_on, Color const& lampColor_off,
                                                   Color const& markColor, Color const& markColor_disabled,
                                                   double value, double switchPos, bool disabled)
{
    fillFaderTrack(pick(disabled, baseColor_disabled, baseColor));
    fillFaderSegments(switchPos, pick(disabled, lampColor_off, lampColor_on));
    drawFaderMarks(switchPos, [&](bool selected, std::string const& label) {
        drawArpPgSdMarkWithTopColor(topColor, topColor_selected, labelColor, labelColor_selected, selected, label);
    });
    pick(disabled, markColor_disabled, markColor).setStroke();
    faderThumb(value).stroke();
}

void Lumora_StyleKit::drawStepButtonWithFrame(Rect const& frame, Color const& baseColor, Color const& baseColor_pressed,
                                              Color const& topColor, Color const& topColor_pressed,
                                              Color const& lampColor_on, Color const& lampColor_lighted, bool selected,
                                              bool pressed, bool lighted, bool disabled)
{
    drawStepButton(frame,
                   {baseColor, baseColor_pressed, topColor, topColor_pressed, lampColor_on, lampColor_lighted, 0.504},
                   selected, pressed, lighted, disabled);
}

namespace {

// The grid of both response graphs: the graph's frame, its centre column and its middle row.
void drawShaperGrid()
{
    Color::lightGrayColor().setStroke();
    BezierPath grid = BezierPath::withRect(Rect(5, 5, 330, 105));
    grid.moveTo({169.5, 5});
    grid.lineTo({169.5, 110});
    grid.moveTo({5, 58});
    grid.lineTo({335, 57});
    grid.setLineWidth(1);
    grid.stroke();
}

void drawShaperLabel(std::string const& text, Rect const& box, TextAlignment alignment, double fontSize,
                     Color const& color)
{
    TextAttributes attributes;
    attributes.font = Font::systemFont(fontSize);
    attributes.color = color;
    attributes.alignment = alignment;
    drawTextCentredVertically(text, box, attributes);
}

void fillDisabledCover()
{
    fillRect(Rect(0, 0, 340, 115), Color(0.667, 0.667, 0.667, 0.852));
}

} // namespace

// Output X of the mapping sits on row (1 - X) x 105: its disc's centre at height 5 for output 1
// down to 110 for output 0.
void Lumora_StyleKit::drawShaperSymbolWithDisabled(bool disabled, double shaper_lo, double shaper_mid,
                                                   double shaper_hi)
{
    double const ylo = (1 - shaper_lo) * 105;
    double const ymid = (1 - shaper_mid) * 105;
    double const yhi = (1 - shaper_hi) * 105;

    drawShaperGrid();

    BezierPath curve;
    curve.moveTo({5, ylo + 5.5});
    curve.lineTo({170.5, ymid + 4.5});
    curve.moveTo({169.5, ymid + 4.5});
    curve.lineTo({334.5, yhi + 4.5});
    curve.setLineWidth(1);
    Color::blackColor().setStroke();
    curve.stroke();

    fillOval(Rect(0, ylo, 10, 10), Color::blackColor());
    fillOval(Rect(165, ymid, 10, 10), Color::blackColor());
    fillOval(Rect(330, yhi, 10, 10), Color::blackColor());

    drawShaperLabel(shaperPercentText(shaper_lo), Rect(15, ylo + 0.456692913386, 31, 9.54), TextAlignment::Left, 10,
                    Color::blueColor());
    drawShaperLabel(shaperPercentText(shaper_mid), Rect(129, ymid, 31, 9.54), TextAlignment::Right, 10, Color::blueColor());
    drawShaperLabel(shaperPercentText(shaper_hi), Rect(294, yhi, 31, 9.54), TextAlignment::Right, 10, Color::blueColor());

    if (disabled)
        fillDisabledCover();
}

void Lumora_StyleKit::drawShaperWithFrame(Rect const& frame, bool disabled, double shaper_lo, double shaper_mid,
                                          double shaper_hi)
{
    drawOnCanvas(frame, 340, 115, [&] { drawShaperSymbolWithDisabled(disabled, shaper_lo, shaper_mid, shaper_hi); });
}

// Like the shaper graph with two outputs, on a grey field with the parameter's range as a light
// blue band; outputs and range read as 0..127. The range labels come after the disabled cover.
void Lumora_StyleKit::drawIntShaperSymbolWithDisabled(bool disabled, double shaper_lo, double shaper_hi,
                                                      double shaper_min, double shaper_max)
{
    double const ylo = (1 - shaper_lo) * 105;
    double const yhi = (1 - shaper_hi) * 105;
    double const ymin = (1 - shaper_min) * 105 + 5;
    double const ymax = (1 - shaper_max) * 105 + 5;
    double const small = Font::smallSystemFontSize();

    fillRect(Rect(5, 5, 330, 105), Color(0.907, 0.907, 0.907, 1));
    fillRect(Rect(4.5, ymax, 330, ymin - ymax), Color(0.788, 0.973, 1, 1));
    drawShaperGrid();

    BezierPath curve;
    curve.moveTo({5, ylo + 5.5});
    curve.lineTo({335, yhi + 5});
    curve.setLineWidth(1);
    Color::blackColor().setStroke();
    curve.stroke();
    fillOval(Rect(0, ylo, 10, 10), Color::blackColor());
    fillOval(Rect(330, yhi, 10, 10), Color::blackColor());

    drawShaperLabel(shaperStepText(shaper_lo), Rect(15, ylo, 31, 12), TextAlignment::Left, small, Color::blueColor());
    drawShaperLabel(shaperStepText(shaper_hi), Rect(294, yhi, 31, 12), TextAlignment::Right, small, Color::blueColor());

    if (disabled)
        fillDisabledCover();

    Color const rangeColor(0.353, 0.641, 1, 1);
    drawShaperLabel(shaperStepText(shaper_max), Rect(190, ymax - 5, 31, 12), TextAlignment::Left, small, rangeColor);
    drawShaperLabel(shaperStepText(shaper_min), Rect(118, ymin - 5, 31, 12), TextAlignment::Right, small, rangeColor);
}

void Lumora_StyleKit::drawIntShaperWithFrame(Rect const& frame, bool disabled, double shaper_lo, double shaper_hi,
                                             double shaper_min, double shaper_max)
{
    drawOnCanvas(frame, 340, 115, [&] {
        drawIntShaperSymbolWithDisabled(disabled, shaper_lo, shaper_hi, shaper_min, shaper_max);
    });
}
