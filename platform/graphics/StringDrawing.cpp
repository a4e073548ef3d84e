#include "platform/graphics/StringDrawing.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/ScratchContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Platform {

double StringDrawing::advance(std::string_view text, Font const& font)
{
    if (text.empty())
        return 0;
    cairo_t* cr = scratchContext();
    font.apply(cr);
    std::string const s(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, s.c_str(), &extents);
    return extents.x_advance;
}

std::vector<std::string> StringDrawing::lines(std::string_view text, double width, Font const& font)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t const feed = text.find('\n', start);
        std::string_view const paragraph =
            text.substr(start, feed == std::string_view::npos ? std::string_view::npos : feed - start);
        // Greedy filling: words go on the line until the next one would overflow the width.
        std::string line;
        size_t pos = 0;
        bool any = false;
        while (pos <= paragraph.size()) {
            size_t space = paragraph.find(' ', pos);
            if (space == std::string_view::npos)
                space = paragraph.size();
            std::string_view const word = paragraph.substr(pos, space - pos);
            std::string candidate = any ? line + " " + std::string(word) : std::string(word);
            if (any && advance(candidate, font) > width) {
                out.push_back(line);
                line = std::string(word);
            } else {
                line = std::move(candidate);
            }
            any = true;
            pos = space + 1;
        }
        out.push_back(line);
        if (feed == std::string_view::npos)
            break;
        start = feed + 1;
    }
    return out;
}

Size StringDrawing::size(std::string_view text, TextAttributes const& attributes)
{
    Rect const r = boundingRect(text, Size{std::numeric_limits<double>::infinity(), 0}, attributes);
    return r.size;
}

Rect StringDrawing::boundingRect(std::string_view text, Size constraint, TextAttributes const& attributes)
{
    if (text.empty())
        return Rect(0, 0, 0, 0);
    auto const broken = lines(text, constraint.width, attributes.font);
    double widest = 0;
    for (auto const& line : broken)
        widest = std::max(widest, advance(line, attributes.font));
    return Rect(0, 0, widest, attributes.font.lineHeight() * static_cast<double>(broken.size()));
}

namespace {

void drawLines(GraphicsContext& context, std::vector<std::string> const& lines, Point origin,
               double width, TextAttributes const& attributes)
{
    double const lineHeight = attributes.font.lineHeight();
    double const ascent = attributes.font.ascender();
    double y = origin.y;
    for (auto const& line : lines) {
        double x = origin.x;
        if (attributes.alignment != TextAlignment::Left && std::isfinite(width)) {
            double const free = width - StringDrawing::advance(line, attributes.font);
            x += attributes.alignment == TextAlignment::Center ? free / 2 : free;
        }
        context.showText(line, Point{x, y + ascent}, attributes.font, attributes.color);
        y += lineHeight;
    }
}

} // namespace

void StringDrawing::drawInRect(std::string_view text, Rect const& rect, TextAttributes const& attributes)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || text.empty() || rect.isNull())
        return;
    Rect const r = rect.standardized();
    drawLines(*context, lines(text, r.width(), attributes.font), r.origin, r.width(), attributes);
}

void StringDrawing::drawAtPoint(std::string_view text, Point point, TextAttributes const& attributes)
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || text.empty())
        return;
    TextAttributes left = attributes;
    left.alignment = TextAlignment::Left;
    drawLines(*context, lines(text, std::numeric_limits<double>::infinity(), attributes.font), point,
              std::numeric_limits<double>::infinity(), left);
}

} // namespace Platform
