#include "platform/graphics/Image.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace Platform {

namespace {

std::shared_ptr<cairo_surface_t> share(cairo_surface_t* surface)
{
    return std::shared_ptr<cairo_surface_t>(surface, cairo_surface_destroy);
}

double scaleFromName(std::string const& path)
{
    auto const slash = path.find_last_of('/');
    std::string const file = slash == std::string::npos ? path : path.substr(slash + 1);
    auto const dot = file.find_last_of('.');
    std::string const stem = dot == std::string::npos ? file : file.substr(0, dot);
    if (stem.size() > 3 && stem.compare(stem.size() - 3, 3, "@2x") == 0)
        return 2;
    if (stem.size() > 3 && stem.compare(stem.size() - 3, 3, "@3x") == 0)
        return 3;
    return 1;
}

} // namespace

Image Image::contentsOfFile(std::string const& path)
{
    cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return Image();
    }
    Image image;
    image.surface_ = share(surface);
    image.scale_ = scaleFromName(path);
    return image;
}

Image Image::withSurface(cairo_surface_t* surface, double scale)
{
    Image image;
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE)
        return image;
    image.surface_ = share(cairo_surface_reference(surface));
    image.scale_ = scale > 0 ? scale : 1;
    return image;
}

int Image::pixelWidth() const
{
    return surface_ ? cairo_image_surface_get_width(surface_.get()) : 0;
}

int Image::pixelHeight() const
{
    return surface_ ? cairo_image_surface_get_height(surface_.get()) : 0;
}

Size Image::size() const
{
    return Size{pixelWidth() / scale_, pixelHeight() / scale_};
}

bool Image::writePNG(std::string const& path) const
{
    if (!surface_)
        return false;
    return cairo_surface_write_to_png(surface_.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

Color Image::pixel(int x, int y) const
{
    if (!surface_ || x < 0 || y < 0 || x >= pixelWidth() || y >= pixelHeight())
        return Color::clearColor();
    cairo_surface_t* s = surface_.get();
    cairo_surface_flush(s);
    unsigned char const* data = cairo_image_surface_get_data(s);
    int const stride = cairo_image_surface_get_stride(s);
    cairo_format_t const format = cairo_image_surface_get_format(s);
    if (!data || (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24))
        return Color::clearColor();
    std::uint32_t value;
    std::memcpy(&value, data + static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x) * 4, 4);
    double const a = format == CAIRO_FORMAT_RGB24 ? 255.0 : static_cast<double>((value >> 24) & 0xff);
    if (a == 0)
        return Color::clearColor();
    // Stored premultiplied: divide the colour components by alpha.
    double const r = ((value >> 16) & 0xff) / a;
    double const g = ((value >> 8) & 0xff) / a;
    double const b = (value & 0xff) / a;
    return Color(r, g, b, a / 255.0);
}

Color Image::colorAt(Point p) const
{
    return pixel(static_cast<int>(std::floor(p.x * scale_)), static_cast<int>(std::floor(p.y * scale_)));
}

void Image::drawInRect(Rect const& rect) const
{
    if (GraphicsContext* context = GraphicsContext::current())
        context->drawImage(*this, rect);
}

BitmapContext::BitmapContext(Size size, bool opaque, double scale)
    : size_(size), scale_(scale > 0 ? scale : 1)
{
    int const w = std::max(0, static_cast<int>(std::ceil(size.width * scale_)));
    int const h = std::max(0, static_cast<int>(std::ceil(size.height * scale_)));
    surface_ = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface_);
    cairo_scale(cr, scale_, scale_);
    context_ = std::make_unique<GraphicsContext>(cr);
    cairo_destroy(cr);
    GraphicsContext::push(*context_);
}

BitmapContext::~BitmapContext()
{
    GraphicsContext::pop(*context_);
    context_.reset();
    cairo_surface_destroy(surface_);
}

Image BitmapContext::makeImage() const
{
    cairo_surface_flush(surface_);
    int const w = cairo_image_surface_get_width(surface_);
    int const h = cairo_image_surface_get_height(surface_);
    cairo_format_t const format = cairo_image_surface_get_format(surface_);
    cairo_surface_t* copy = cairo_image_surface_create(format, w, h);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface_, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    Image image = Image::withSurface(copy, scale_);
    cairo_surface_destroy(copy);
    return image;
}

} // namespace Platform
