#include "platform/ui/RedrawRegion.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Window.h"

#include <cairo.h>

namespace Platform {

void redrawWindowRegion(Window& window, cairo_surface_t* surface, double scale, std::vector<Rect> const& pixelRects)
{
    if (pixelRects.empty())
        return;
    cairo_t* cr = cairo_create(surface);
    for (Rect const& r : pixelRects)
        cairo_rectangle(cr, r.minX(), r.minY(), r.width(), r.height());
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_scale(cr, scale, scale);
    {
        GraphicsContext context(cr);
        GraphicsContext::Scope current(context);
        Rect const bounds = window.bounds();
        context.saveGState();
        context.translate(-bounds.origin.x, -bounds.origin.y);
        window.drawHierarchyInOwnCoordinates(context);
        context.restoreGState();
    }
    cairo_destroy(cr);
    cairo_surface_flush(surface);
}

} // namespace Platform
