#include "platform/graphics/Font.h"

#include "platform/graphics/ScratchContext.h"

#include <cairo.h>

#include <cctype>

namespace Platform {

namespace {

constexpr char const* systemFamily = "sans-serif";
constexpr char const* systemName = ".SystemFont";
constexpr char const* boldSystemName = ".SystemFont-Bold";

bool contains(std::string const& text, char const* word)
{
    return text.find(word) != std::string::npos;
}

// "HelveticaNeue" -> "Helvetica Neue": the families of the phone's font names run their words
// together, the system's font matching expects them apart.
std::string spacedFamily(std::string const& squeezed)
{
    std::string out;
    for (size_t i = 0; i < squeezed.size(); ++i) {
        char const ch = squeezed[i];
        if (i > 0 && std::isupper(static_cast<unsigned char>(ch))
            && std::islower(static_cast<unsigned char>(squeezed[i - 1])))
            out += ' ';
        out += ch;
    }
    return out;
}

} // namespace

Font::Font(std::string name, double pointSize) : name_(std::move(name)), pointSize_(pointSize)
{
    std::string style;
    std::string family = name_;
    if (auto dash = name_.find('-'); dash != std::string::npos) {
        family = name_.substr(0, dash);
        style = name_.substr(dash + 1);
    }
    if (name_.empty() || name_[0] == '.' || family == "System")
        family_ = systemFamily;
    else
        family_ = spacedFamily(family);
    bold_ = contains(style, "Bold") || contains(style, "Heavy") || contains(style, "Black");
    italic_ = contains(style, "Italic") || contains(style, "Oblique");
}

Font Font::systemFont(double pointSize)
{
    return Font(systemName, pointSize);
}

Font Font::boldSystemFont(double pointSize)
{
    return Font(boldSystemName, pointSize);
}

void Font::apply(cairo_t* cr) const
{
    cairo_select_font_face(cr, family_.c_str(),
                           italic_ ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           bold_ ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, pointSize_);
}

double Font::ascender() const
{
    cairo_t* cr = scratchContext();
    apply(cr);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return extents.ascent;
}

double Font::descender() const
{
    cairo_t* cr = scratchContext();
    apply(cr);
    cairo_font_extents_t extents;
    cairo_font_extents(cr, &extents);
    return -extents.descent;
}

double Font::lineHeight() const
{
    return ascender() - descender();
}

} // namespace Platform

#if defined(__SANITIZE_ADDRESS__)
// Fontconfig keeps the font configuration that text measuring loads for the life of the process
// and never frees it; the leak checker of sanitized builds is told so, and still watches the rest.
// Weak, so that a program with suppressions of its own keeps them.
extern "C" __attribute__((weak, used)) char const* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif
