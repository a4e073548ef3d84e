#pragma once

#include "platform/graphics/Geometry.h"

#include <cstdint>

namespace Platform {
class View;
}

// Scales a content view laid out at a fixed size (its interface-file size) uniformly into a
// container and centres it there (or pins it to the top-left edge along a direction in which it
// overflows). Mode 0 fits the height, 1 the width, 2 fills the container (overflowing in one
// direction), any other leaves the content unscaled; the scale never exceeds maxScale. With a
// tolerance above 0 a content that overflows by less than the tolerance is shrunk to fit.
// Answers the content's displayed size; in its own coordinates the content keeps its fixed size.
Platform::Size layoutContentVw_In_ContainerVw(Platform::View* container, Platform::View* content, int32_t mode,
                                              Platform::Size originalSize, float maxScale, float tolerance);
