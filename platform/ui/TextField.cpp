#include "platform/ui/TextField.h"

#include "platform/graphics/StringDrawing.h"

namespace Platform {

TextField::TextField(Rect frame) : Control(frame) {}

void TextField::setText(std::string text)
{
    text_ = std::move(text);
    setNeedsDisplay();
}

void TextField::typeText(std::string text)
{
    setText(std::move(text));
    sendActionsForControlEvents(ControlEvents::EditingChanged);
}

void TextField::drawRect(Rect const&)
{
    TextAttributes a;
    a.font = font_;
    a.color = text_.empty() ? Color::lightGrayColor() : Color::blackColor();
    std::string const& shown = text_.empty() ? placeholder_ : text_;
    Rect b = bounds();
    double h = font_.lineHeight();
    StringDrawing::drawInRect(shown, Rect(b.minX() + 4, b.midY() - h / 2, b.width() - 8, h), a);
}

} // namespace Platform
