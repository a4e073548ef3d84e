#pragma once

#include "platform/graphics/Color.h"

#include <vector>

typedef struct _cairo_pattern cairo_pattern_t;

namespace Platform {

// Whether a gradient also paints beyond its ends, continuing the end colours.
enum GradientDrawingOptions : unsigned {
    GradientDrawsNone = 0,
    GradientDrawsBeforeStartLocation = 1,
    GradientDrawsAfterEndLocation = 2,
};

// Colours at locations 0..1 along a gradient, interpolated linearly between them.
class Gradient {
public:
    struct Stop {
        double location;
        Color color;
    };

    // Without locations the colours are spread evenly from 0 to 1.
    explicit Gradient(std::vector<Color> const& colors, std::vector<double> const& locations = {});

    std::vector<Stop> const& stops() const { return stops_; }

    // Adds the stops to a Cairo gradient pattern, with every alpha multiplied by `alpha`.
    void addStopsTo(cairo_pattern_t* pattern, double alpha) const;

private:
    std::vector<Stop> stops_;
};

} // namespace Platform
