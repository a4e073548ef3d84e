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
    font_ = std::move(font);
    setNeedsDisplay();
}

void Label::setTextColor(Color color)
{
    textColor_ = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment)
{
    alignment_ = alignment;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines)
{
    lines_ = lines;
    setNeedsDisplay();
}

TextAttributes Label::attributes() const
{
    TextAttributes a;
    a.font = font_;
    a.color = textColor_;
    a.alignment = alignment_;
    return a;
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
    auto lines = StringDrawing::lines(shownText(), wrapWidth, font_);
    if (lines_ > 0 && lines.size() > static_cast<std::size_t>(lines_))
        lines.resize(static_cast<std::size_t>(lines_));
    double lineHeight = font_.lineHeight();
    double height = lineHeight * static_cast<double>(lines.size());
    double y = b.minY() + (b.height() - height) / 2;
    TextAttributes a = attributes();
    for (auto const& line : lines) {
        StringDrawing::drawInRect(line, Rect(b.minX(), y, b.width(), lineHeight), a);
        y += lineHeight;
    }
}

Size Label::sizeThatFits(Size size) const
{
    std::string const shown = shownText();
    if (lines_ == 1 || size.width <= 0)
        return StringDrawing::size(shown, attributes());
    return StringDrawing::boundingRect(shown, Size{size.width, 0}, attributes()).size;
}

} // namespace Platform
