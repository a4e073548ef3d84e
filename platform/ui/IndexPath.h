#pragma once

#include <compare>

namespace Platform {

// A position in a sectioned list or grid: the row (or item) within a section.
struct IndexPath {
    int section = 0;
    int row = 0;

    static IndexPath forRow(int row, int section) { return {section, row}; }
    static IndexPath forItem(int item, int section) { return {section, item}; }
    int item() const { return row; }

    friend auto operator<=>(IndexPath const&, IndexPath const&) = default;
};

} // namespace Platform
