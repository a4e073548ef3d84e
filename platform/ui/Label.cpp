#include "platform/ui/Label.h"

#include "platform/graphics/StringDrawing.h"

#include <algorithm>
#include <limits>

namespace Platform {

Label::Label(Rect frame) : View(frame)
{
    setOpaque(false);
}

void Label::setText(std::string text)
{
    text_ = std::move(text);
    setNeedsDisplay();
}

void Label::setFont(Font font)
{
    attributes_.font = std::move(font);
    setNeedsDisplay();
}

void Label::setTextColor(Color color)
{
    attributes_.color = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment)
{
    attributes_.alignment = alignment;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    lines_ = lines;
    setNeedsDisplay();
}

std::string Label::shownText() const
{
    std::string shown;
    shown.reserve(text_.size());
    for (char c : text_) {
        if (c == '\t')
            shown.append(kTabSpaces, ' ');
        else
            shown.push_back(c);
    }
    return shown;
}

namespace {

// The line cut at its tail to fit the width, ending in an ellipsis; whole characters only.
std::string truncatedToWidth(std::string const& line, double width, Font const& font)
{
    if (StringDrawing::advance(line, font) <= width)
        return line;
    static constexpr char const* ellipsis = "\u2026";
    std::string cut = line;
    while (!cut.empty()) {
        // Drop one UTF-8 character: its continuation bytes, then its lead byte.
        while (!cut.empty() && (static_cast<unsigned char>(cut.back()) & 0xC0) == 0x80)
            cut.pop_back();
        if (!cut.empty())
            cut.pop_back();
        while (!cut.empty() && cut.back() == ' ')
            cut.pop_back();
        if (StringDrawing::advance(cut + ellipsis, font) <= width)
            return cut + ellipsis;
    }
    return {};
}

} // namespace

void Label::drawRect(Rect const&)
{
    if (text_.empty())
        return;
    Rect b = bounds();
    // A one-line label never wraps: its text stays on one line, cut at the tail with an
    // ellipsis when wider than the label.
    double const wrapWidth = lines_ == 1 ? std::numeric_limits<double>::infinity() : b.width();
    auto lines = StringDrawing::lines(shownText(), wrapWidth, attributes_.font);
    if (lines_ == 1)
        for (auto& line : lines)
            line = truncatedToWidth(line, b.width(), attributes_.font);
    if (lines_ > 0 && lines.size() > static_cast<std::size_t>(lines_))
        lines.resize(static_cast<std::size_t>(lines_));
    double lineHeight = attributes_.font.lineHeight();
    double height = lineHeight * static_cast<double>(lines.size());
    double y = b.minY() + (b.height() - height) / 2;
    for (auto const& line : lines) {
        StringDrawing::drawInRect(line, Rect(b.minX(), y, b.width(), lineHeight), attributes_);
        y += lineHeight;
    }
}

Size Label::sizeThatFits(Size size) const
{
    std::string const shown = shownText();
    if (lines_ == 1 || size.width <= 0)
        return StringDrawing::size(shown, attributes_);
    return StringDrawing::boundingRect(shown, Size{size.width, 0}, attributes_).size;
}

} // namespace Platform
