#pragma once

#include "platform/graphics/Geometry.h"

#include <vector>

typedef struct _cairo_surface cairo_surface_t;

namespace Platform {

class Window;

// Draws the window's tree again into `surface` (an image of the window at `scale` pixels per
// point) inside `pixelRects` only, whole device pixels such as InvalidRegion::pixelRects gives.
// Each piece is cleared first, since the headless picture starts transparent, so the surface then
// holds what renderViewToImage would give for the whole window; pixels outside the pieces are left
// as they were, and views that meet no piece are not drawn.
void redrawWindowRegion(Window& window, cairo_surface_t* surface, double scale, std::vector<Rect> const& pixelRects);

} // namespace Platform
