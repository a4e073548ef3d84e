#pragma once

#include "platform/graphics/Geometry.h"

#include <vector>

typedef struct _cairo cairo_t;

namespace Platform {

enum class LineCap { Butt, Round, Square };
enum class LineJoin { Miter, Round, Bevel };

// The corners of a rectangle, for rounding some of them only.
enum RectCorner : unsigned {
    TopLeft = 1,
    TopRight = 2,
    BottomLeft = 4,
    BottomRight = 8,
    AllCorners = 15,
};

// A path of straight and cubic segments in user coordinates, with the line settings it is
// stroked with. Filling and stroking paint into the current graphics context with its fill or
// stroke colour, under the context's current transform and clip. Arcs are kept as cubic segments
// of at most a quarter turn each.
class BezierPath {
public:
    enum class ElementType { MoveTo, LineTo, CurveTo, Close };
    struct Element {
        ElementType type;
        // MoveTo/LineTo: points[0]; CurveTo: control 1, control 2, end point.
        Point points[3];
    };

    BezierPath() = default;

    static BezierPath withRect(Rect const& rect);
    static BezierPath withOvalInRect(Rect const& rect);
    // Corners of radius r, limited to half the shorter side, each a quarter circle.
    static BezierPath withRoundedRect(Rect const& rect, double cornerRadius);
    static BezierPath withRoundedRect(Rect const& rect, unsigned corners, Size cornerRadii);
    static BezierPath withArc(Point center, double radius, double startAngle, double endAngle,
                              bool clockwise);

    void moveTo(Point p);
    void lineTo(Point p);
    // A cubic segment to `end`, with its two control points; the end point comes first.
    void curveTo(Point end, Point control1, Point control2);
    // An arc about `center`, angles in radians from the positive x axis towards the positive y
    // axis; clockwise (on a y-down screen) means with growing angle. Joined to the current point
    // by a line, or started with a move when the path has none.
    void addArc(Point center, double radius, double startAngle, double endAngle, bool clockwise);
    void addRect(Rect const& rect);
    void addOvalInRect(Rect const& rect);
    void close();
    void append(BezierPath const& other);
    void applyTransform(AffineTransform const& t);
    void removeAllPoints();

    bool isEmpty() const { return elements_.empty(); }
    std::vector<Element> const& elements() const { return elements_; }
    // The point the next segment starts from; (0, 0) for an empty path.
    Point currentPoint() const { return current_; }
    // The box of every point and control point.
    Rect bounds() const;

    double lineWidth() const { return lineWidth_; }
    void setLineWidth(double width) { lineWidth_ = width; }
    LineCap lineCapStyle() const { return lineCap_; }
    void setLineCapStyle(LineCap cap) { lineCap_ = cap; }
    LineJoin lineJoinStyle() const { return lineJoin_; }
    void setLineJoinStyle(LineJoin join) { lineJoin_ = join; }
    double miterLimit() const { return miterLimit_; }
    void setMiterLimit(double limit) { miterLimit_ = limit; }
    // Lengths of painted and skipped stretches along the path, starting `phase` into the pattern.
    void setLineDash(std::vector<double> pattern, double phase);
    std::vector<double> const& lineDash() const { return dash_; }
    double lineDashPhase() const { return dashPhase_; }
    bool usesEvenOddFillRule() const { return evenOdd_; }
    void setUsesEvenOddFillRule(bool evenOdd) { evenOdd_ = evenOdd; }

    // Paint into the current graphics context; nothing happens without one.
    void fill() const;
    void stroke() const;
    // Intersects the current context's clip with the area this path fills.
    void addClip() const;

    // Whether the point lies in the area the path fills, under its fill rule.
    bool containsPoint(Point p) const;

    // Lays the path into a Cairo context as its current path.
    void replay(cairo_t* cr) const;

private:
    void addArcSegment(Point center, double radius, double a0, double a1);

    std::vector<Element> elements_;
    Point current_{};
    Point subpathStart_{};
    bool hasCurrentPoint_ = false;
    double lineWidth_ = 1;
    LineCap lineCap_ = LineCap::Butt;
    LineJoin lineJoin_ = LineJoin::Miter;
    double miterLimit_ = 10;
    std::vector<double> dash_;
    double dashPhase_ = 0;
    bool evenOdd_ = false;
};

} // namespace Platform
