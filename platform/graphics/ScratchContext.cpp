#include "platform/graphics/ScratchContext.h"

#include <cairo.h>

#include <memory>

namespace Platform {

namespace {

struct Scratch {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(surface);
    ~Scratch()
    {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
};

} // namespace

cairo_t* scratchContext()
{
    thread_local Scratch scratch;
    cairo_identity_matrix(scratch.cr);
    cairo_new_path(scratch.cr);
    return scratch.cr;
}

} // namespace Platform
