#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Gradient.h"

#include <string_view>
#include <vector>

typedef struct _cairo cairo_t;

namespace Platform {

class Image;

// A drawing destination over a Cairo context: a y-down coordinate system in points, a current
// transform, a clip, fill and stroke colours, line settings and a global alpha, all saved and
// restored together. Drawing routines find the context of the pass in progress with current();
// whoever starts a pass pushes its context and pops it at the end (Scope does both).
class GraphicsContext {
public:
    // Takes its own reference to the Cairo context.
    explicit GraphicsContext(cairo_t* cr);
    ~GraphicsContext();
    GraphicsContext(GraphicsContext const&) = delete;
    GraphicsContext& operator=(GraphicsContext const&) = delete;

    cairo_t* cairo() const { return cr_; }

    // The context of the drawing pass in progress on this thread, or none.
    static GraphicsContext* current();
    static void push(GraphicsContext& context);
    static void pop();
    // Removes this context's latest push even when others were pushed after it.
    static void pop(GraphicsContext& context);
    class Scope {
    public:
        explicit Scope(GraphicsContext& context) : context_(context) { push(context); }
        ~Scope() { pop(context_); }
        Scope(Scope const&) = delete;
        Scope& operator=(Scope const&) = delete;

    private:
        GraphicsContext& context_;
    };

    void saveGState();
    // Unbalanced restores are ignored.
    void restoreGState();
    int gStateDepth() const { return static_cast<int>(states_.size()) - 1; }

    // Transformations are appended in the current user space.
    void translate(double dx, double dy);
    void scale(double sx, double sy);
    void rotate(double radians);
    void concat(AffineTransform const& t);
    AffineTransform ctm() const;

    void clipToRect(Rect const& rect);
    void clipToPath(BezierPath const& path);
    // The clip's bounding box in user coordinates.
    Rect clipBoundingBox() const;
    // Whether painting inside `rect` (user coordinates) could change a pixel: false only when the
    // rectangle lies wholly outside the clip. A clip made of rectangles is tested piece by piece;
    // any other clip by its bounding box.
    bool clipMeets(Rect const& rect) const;

    void setFillColor(Color const& color) { state().fill = color; }
    void setStrokeColor(Color const& color) { state().stroke = color; }
    Color const& fillColor() const { return state().fill; }
    Color const& strokeColor() const { return state().stroke; }
    // Multiplies the alpha of everything drawn.
    void setAlpha(double alpha) { state().alpha = alpha; }
    double alpha() const { return state().alpha; }

    // Line settings of the context's own path operations (a BezierPath carries its own).
    void setLineWidth(double width) { state().lineWidth = width; }
    void setLineCap(LineCap cap) { state().lineCap = cap; }
    void setLineJoin(LineJoin join) { state().lineJoin = join; }
    void setMiterLimit(double limit) { state().miterLimit = limit; }
    void setLineDash(double phase, std::vector<double> pattern);
    double lineWidth() const { return state().lineWidth; }

    // The context's own path, built and then filled or stroked (which empties it).
    void beginPath() { path_.removeAllPoints(); }
    void moveTo(Point p) { path_.moveTo(p); }
    void addLineTo(Point p) { path_.lineTo(p); }
    void addCurveTo(Point end, Point control1, Point control2) { path_.curveTo(end, control1, control2); }
    void addRect(Rect const& rect) { path_.addRect(rect); }
    void addEllipseInRect(Rect const& rect) { path_.addOvalInRect(rect); }
    void closePath() { path_.close(); }
    void fillPath(bool evenOdd = false);
    void strokePath();
    void fillRect(Rect const& rect);
    void strokeRect(Rect const& rect);
    void fillEllipseInRect(Rect const& rect);
    void strokeEllipseInRect(Rect const& rect);
    // Makes the rectangle transparent, whatever was drawn there.
    void clearRect(Rect const& rect);

    // Paint a path object with the fill or the stroke colour and the path's own settings.
    void fillPath(BezierPath const& path);
    void strokePath(BezierPath const& path);

    // Gradients paint within the current clip.
    void drawLinearGradient(Gradient const& gradient, Point start, Point end, unsigned options);
    void drawRadialGradient(Gradient const& gradient, Point startCenter, double startRadius,
                            Point endCenter, double endRadius, unsigned options);

    // One line of text with its baseline starting at `baseline`.
    void showText(std::string_view text, Point baseline, Font const& font, Color const& color);

    // The whole image stretched into the rectangle.
    void drawImage(Image const& image, Rect const& rect);

    // Drawing between begin and end is composed apart and then laid down at once with the
    // context's alpha, so overlapping parts of it do not show through one another.
    void beginTransparencyLayer();
    void endTransparencyLayer();

private:
    struct State {
        Color fill = Color::blackColor();
        Color stroke = Color::blackColor();
        double alpha = 1;
        double lineWidth = 1;
        LineCap lineCap = LineCap::Butt;
        LineJoin lineJoin = LineJoin::Miter;
        double miterLimit = 10;
        std::vector<double> dash;
        double dashPhase = 0;
    };
    State& state() { return states_.back(); }
    State const& state() const { return states_.back(); }
    void setSource(Color const& color, double extraAlpha = 1);
    void applyStrokeSettings(BezierPath const& path);

    cairo_t* cr_;
    std::vector<State> states_{State{}};
    BezierPath path_;
    std::vector<double> layerAlphas_;
};

} // namespace Platform
