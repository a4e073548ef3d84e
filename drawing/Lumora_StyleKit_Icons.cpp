#include "drawing/Lumora_StyleKit.h"

#include "drawing/Lumora_StyleKit_IconData.h"
#include "drawing/StyleKitSupport.h"
#include "platform/graphics/BezierPath.h"

using Platform::BezierPath;
using Platform::Color;
using Platform::Point;
using Platform::Rect;
using namespace Lumora::StyleKitIcons;
using Lumora::StyleKitSupport::PlateVariant;

namespace {

// Builds a path from a command table, each point (fx, fy) placed at (min x + fx w, min y + fy h)
// of the rectangle.
BezierPath pathInRect(IconPath const& data, Rect const& r)
{
    double const x = r.minX(), y = r.minY(), w = r.width(), h = r.height();
    auto at = [&](double const* p) { return Point{x + p[0] * w, y + p[1] * h}; };
    BezierPath path;
    double const* c = data.commands;
    double const* const end = c + data.count;
    while (c < end) {
        double const op = *c++;
        if (op == IconCommand::Move) {
            path.moveTo(at(c));
            c += 2;
        } else if (op == IconCommand::Line) {
            path.lineTo(at(c));
            c += 2;
        } else if (op == IconCommand::Curve) {
            path.curveTo(at(c), at(c + 2), at(c + 4));
            c += 6;
        } else {
            path.close();
        }
    }
    return path;
}

void paintFigure(IconFigure const& figure, Rect const& box, Color const& foreground)
{
    for (int i = 0; i < figure.pathCount; ++i) {
        IconPath const& data = figure.paths[i];
        BezierPath path = pathInRect(data, box);
        switch (data.paint) {
        case IconPaint::FillEvenOdd:
            path.setUsesEvenOddFillRule(true);
            [[fallthrough]];
        case IconPaint::Fill:
            foreground.setFill();
            path.fill();
            break;
        case IconPaint::FillThenStroke:
            foreground.setFill();
            path.fill();
            [[fallthrough]];
        case IconPaint::Stroke:
            foreground.setStroke();
            path.setLineWidth(data.lineWidth);
            path.stroke();
            break;
        }
    }
}

// Every icon: the plate first when pressed, then the figure over it in the foreground colour.
void drawIcon(Rect const& frame, Color const& foreground, bool pressed, PlateVariant plate, IconFigure const& figure,
              Rect const& figureBox)
{
    if (pressed)
        Lumora::StyleKitSupport::layPressedPlate(Lumora::StyleKitSupport::plateRect(frame, plate));
    paintFigure(figure, figureBox, foreground);
}

void drawIcon(Rect const& frame, Color const& foreground, bool pressed, PlateVariant plate, IconFigure const& figure)
{
    drawIcon(frame, foreground, pressed, plate, figure, frame);
}

} // namespace

void Lumora_StyleKit::drawIconNewFileWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconNewFile);
}

void Lumora_StyleKit::drawIconSaveFileWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconSaveFile);
}

void Lumora_StyleKit::drawIconNewFolderWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconNewFolder);
}

void Lumora_StyleKit::drawIconRenameWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconRename);
}

void Lumora_StyleKit::drawIconGoBackWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconGoBack);
}

void Lumora_StyleKit::drawIconGoForwardWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconGoForward);
}

void Lumora_StyleKit::drawIconSettingsWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconSettings);
}

// The connector is laid out in an inner rectangle, 0.7 points less high when selected.
void Lumora_StyleKit::drawIconMIDIWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed)
{
    Rect const inner(frame.minX() + 2.5, frame.minY() + 3, frame.width() - 4, frame.height() - (selected ? 5 : 4.3));
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, selected ? iconMIDISelected : iconMIDI, inner);
}

void Lumora_StyleKit::drawIconArpeggioWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconArpeggio);
}

void Lumora_StyleKit::drawIconCloseWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconClose);
}

void Lumora_StyleKit::drawIconTempoWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Inset, iconTempo);
}

void Lumora_StyleKit::drawIconSendWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconSend);
}

void Lumora_StyleKit::drawIconDeleteWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconDelete);
}

void Lumora_StyleKit::drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, selected ? iconAltSelected : iconAlt);
}

void Lumora_StyleKit::drawIconHomeWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconHome);
}

void Lumora_StyleKit::drawIconTuneWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconTune);
}

void Lumora_StyleKit::drawIconCopyWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Inset, iconCopy);
}

void Lumora_StyleKit::drawIconPasteWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Inset, iconPaste);
}

void Lumora_StyleKit::drawIconRecallWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconRecall);
}

void Lumora_StyleKit::drawIconShaperWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconShaper);
}

void Lumora_StyleKit::drawIconSoundOffWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconSoundOff);
}

void Lumora_StyleKit::drawIconSoundOnWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconSoundOn);
}

void Lumora_StyleKit::drawIconDuplicateWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Inset, iconDuplicate);
}

void Lumora_StyleKit::drawIconMoveWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconMove);
}

void Lumora_StyleKit::drawIconCommonParamWithFrame(Rect const& frame, Color const& foreground, bool pressed)
{
    drawIcon(frame, foreground, pressed, PlateVariant::Plain, iconCommonParam);
}

// The Move figure on the square at (1, 1) of side 57, every point rounded to two decimals.
void Lumora_StyleKit::draw_iconMoveCanvas()
{
    Rect const square(1, 1, 57, 57);
    Color const blue(0.039, 0.362, 0.998, 1);
    for (int i = 0; i < iconMove.pathCount; ++i) {
        BezierPath path = pathInRect(iconMove.paths[i], square);
        BezierPath rounded;
        auto r2 = [](Point p) { return Point{Lumora::StyleKitSupport::roundHalfUp(p.x * 100) / 100,
                                             Lumora::StyleKitSupport::roundHalfUp(p.y * 100) / 100}; };
        for (BezierPath::Element const& e : path.elements()) {
            switch (e.type) {
            case BezierPath::ElementType::MoveTo: rounded.moveTo(r2(e.points[0])); break;
            case BezierPath::ElementType::LineTo: rounded.lineTo(r2(e.points[0])); break;
            case BezierPath::ElementType::CurveTo:
                rounded.curveTo(r2(e.points[2]), r2(e.points[0]), r2(e.points[1]));
                break;
            case BezierPath::ElementType::Close: rounded.close(); break;
            }
        }
        blue.setFill();
        rounded.fill();
    }
}
