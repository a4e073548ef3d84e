#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsContext.h"

#include <memory>
#include <string>

typedef struct _cairo_surface cairo_surface_t;

namespace Platform {

// A bitmap image: pixels with a scale (pixels per point), so that its size in points is its
// pixel size divided by the scale. Copies share the pixels. A default-made image is null, the
// answer of every load that fails.
class Image {
public:
    Image() = default;

    // Loads a PNG file. A name ending in "@2x" or "@3x" before the extension gives scale 2 or 3.
    static Image contentsOfFile(std::string const& path);
    // Shares the surface, which must be an image surface.
    static Image withSurface(cairo_surface_t* surface, double scale = 1);

    bool isNull() const { return !surface_; }
    explicit operator bool() const { return !isNull(); }

    Size size() const;
    double scale() const { return scale_; }
    int pixelWidth() const;
    int pixelHeight() const;
    cairo_surface_t* surface() const { return surface_.get(); }

    bool writePNG(std::string const& path) const;

    // The colour of one pixel, alpha unpremultiplied; clear outside the image.
    Color pixel(int x, int y) const;
    // The pixel under a point given in points.
    Color colorAt(Point p) const;

    // Draws the whole image into the rectangle of the current graphics context.
    void drawInRect(Rect const& rect) const;

private:
    std::shared_ptr<cairo_surface_t> surface_;
    double scale_ = 1;
};

// An offscreen drawing pass into a new bitmap, the current graphics context from construction
// to destruction (nest them in last-in, first-out order). Points map to pixels by the scale; the
// bitmap starts transparent, or black when opaque.
class BitmapContext {
public:
    BitmapContext(Size size, bool opaque = false, double scale = 1);
    ~BitmapContext();
    BitmapContext(BitmapContext const&) = delete;
    BitmapContext& operator=(BitmapContext const&) = delete;

    GraphicsContext& context() { return *context_; }
    Size size() const { return size_; }
    // A copy of what has been drawn so far.
    Image makeImage() const;

private:
    Size size_;
    double scale_;
    cairo_surface_t* surface_;
    std::unique_ptr<GraphicsContext> context_;
};

} // namespace Platform
