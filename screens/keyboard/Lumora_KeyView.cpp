#include "screens/keyboard/Lumora_KeyView.h"

#include "platform/graphics/GraphicsContext.h"

namespace {

void store(Lumora_KeyView& key, bool& field, bool value)
{
    if (field == value)
        return;
    field = value;
    key.setNeedsDisplay();
}

} // namespace

Lumora_KeyView::Lumora_KeyView(Platform::Rect frame) : View(frame) {}

void Lumora_KeyView::setPressed(bool pressed) { store(*this, pressed_, pressed); }
void Lumora_KeyView::setDisabled(bool disabled) { store(*this, disabled_, disabled); }
void Lumora_KeyView::setOn(bool on) { store(*this, on_, on); }
void Lumora_KeyView::setLighted(bool lighted) { store(*this, lighted_, lighted); }

void Lumora_KeyView::drawRect(Platform::Rect const& rect)
{
    auto* context = Platform::GraphicsContext::current();
    if (!context)
        return;
    context->setFillColor(pressed_ ? Platform::Color::withWhite(0.5) : Platform::Color::whiteColor());
    context->beginPath();
    context->addRect(rect);
    context->fillPath();
    if (on_) {
        context->setStrokeColor(Platform::Color(1, 0, 0, 1));
        context->setLineWidth(10);
        context->beginPath();
        context->addRect(rect);
        context->strokePath();
    }
}
