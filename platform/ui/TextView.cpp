#include "platform/ui/TextView.h"

#include "platform/graphics/StringDrawing.h"

namespace Platform {

TextView::TextView(Rect frame) : ScrollView(frame) {}

void TextView::setText(std::string text)
{
    text_ = std::move(text);
    setNeedsLayout();
    setNeedsDisplay();
}

void TextView::setFont(Font font)
{
    attributes_.font = std::move(font);
    setNeedsLayout();
    setNeedsDisplay();
}

void TextView::setTextColor(Color color)
{
    attributes_.color = color;
    setNeedsDisplay();
}

void TextView::setTextAlignment(TextAlignment alignment)
{
    attributes_.alignment = alignment;
    setNeedsDisplay();
}

void TextView::setTextContainerInset(EdgeInsets inset)
{
    inset_ = inset;
    setNeedsLayout();
    setNeedsDisplay();
}

void TextView::layoutSubviews()
{
    // The content is the wrapped text's height.
    double width = bounds().width() - inset_.left - inset_.right;
    Rect box = StringDrawing::boundingRect(text_, Size{width, 0}, attributes_);
    setContentSize(Size{bounds().width(), box.height() + inset_.top + inset_.bottom});
}

void TextView::drawRect(Rect const&)
{
    double width = bounds().width() - inset_.left - inset_.right;
    StringDrawing::drawInRect(text_, Rect(inset_.left, inset_.top, width, contentSize().height), attributes_);
}

} // namespace Platform
