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

void Label::drawRect(Rect const&)
{
    if (text_.empty())
        return;
    Rect b = bounds();
    // A one-line label never wraps: its text stays on one line, however wide.
    double const wrapWidth = lines_ == 1 ? std::numeric_limits<double>::infinity() : b.width();
    auto lines = StringDrawing::lines(shownText(), wrapWidth, attributes_.font);
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
