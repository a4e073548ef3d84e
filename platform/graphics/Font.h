#pragma once

#include <string>

typedef struct _cairo cairo_t;

namespace Platform {

// A font by name and point size. Names follow the "Family-Style" form ("Helvetica-Bold",
// "HelveticaNeue", "Arial-BoldMT"); the family is handed to the system's font matching, which
// substitutes the nearest installed face, and the style part picks weight and slant.
class Font {
public:
    Font(std::string name, double pointSize);

    static Font withName(std::string name, double pointSize) { return Font(std::move(name), pointSize); }
    static Font systemFont(double pointSize);
    static Font boldSystemFont(double pointSize);
    // The sizes of the phone's standard text styles, in points.
    static constexpr double smallSystemFontSize() { return 12; }
    static constexpr double systemFontSize() { return 14; }
    static constexpr double labelFontSize() { return 17; }

    std::string const& name() const { return name_; }
    double pointSize() const { return pointSize_; }
    Font withSize(double pointSize) const { return Font(name_, pointSize); }

    std::string const& family() const { return family_; }
    bool isBold() const { return bold_; }
    bool isItalic() const { return italic_; }

    // Distance from the baseline up to the top of the tallest glyphs (positive) and down to the
    // bottom of the lowest (negative); a line of text is ascender - descender high.
    double ascender() const;
    double descender() const;
    double lineHeight() const;

    // Selects this face and size in a Cairo context.
    void apply(cairo_t* cr) const;

private:
    std::string name_;
    double pointSize_;
    std::string family_;
    bool bold_ = false;
    bool italic_ = false;
};

} // namespace Platform
