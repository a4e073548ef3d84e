#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/graphics/Image.h"

#include <string>

namespace Platform {

// The image of a name in a bundle: "name.png", else "name@2x.png", else "name@3x.png" (a name
// that carries its own type is taken as it is). A null image when there is none; the main bundle
// when no bundle is given.
Image imageNamed(std::string const& name, Bundle const* bundle = nullptr);

} // namespace Platform
