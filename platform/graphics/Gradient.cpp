#include "platform/graphics/Gradient.h"

#include <cairo.h>

#include <cstddef>

namespace Platform {

Gradient::Gradient(std::vector<Color> const& colors, std::vector<double> const& locations)
{
    std::size_t const n = colors.size();
    for (std::size_t i = 0; i < n; ++i) {
        double location;
        if (i < locations.size())
            location = locations[i];
        else
            location = n > 1 ? static_cast<double>(i) / static_cast<double>(n - 1) : 0.0;
        stops_.push_back({location, colors[i]});
    }
}

void Gradient::addStopsTo(cairo_pattern_t* pattern, double alpha) const
{
    for (Stop const& s : stops_)
        cairo_pattern_add_color_stop_rgba(pattern, s.location, s.color.red(), s.color.green(),
                                          s.color.blue(), s.color.alpha() * alpha);
}

} // namespace Platform
