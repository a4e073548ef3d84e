#pragma once

typedef struct _cairo cairo_t;

namespace Platform {

// A Cairo context on a one-pixel surface, one per thread, for measuring text and testing points
// against paths without a drawing pass. Callers set what they need; the transform is identity.
cairo_t* scratchContext();

} // namespace Platform
