#include "controls/midilearn/Lumora_ControlStatusView.h"

#include "controls/painter/Lumora_Painter.h"

namespace {
// The overlay reaches this far beyond its control on every side, so it stays easy to hit.
constexpr double kMargin = 5;
} // namespace

Lumora_ControlStatusView::Lumora_ControlStatusView() : Platform::View(Platform::Rect(0, 0, 10, 10)) {}

std::shared_ptr<Lumora_ControlStatusView> Lumora_ControlStatusView::withControl(Platform::Control* control,
                                                                             Lumora::MidiParamMapper* mapper)
{
    auto overlay = std::make_shared<Lumora_ControlStatusView>();
    overlay->initWithControl(control, mapper);
    return overlay;
}

void Lumora_ControlStatusView::initWithControl(Platform::Control* control, Lumora::MidiParamMapper* mapper)
{
    setFrame(Platform::Rect(0, 0, 10, 10));
    control_.reset(control);
    mapper_ = mapper;
    pressed_ = false;
    selected_ = false;
    setBackgroundColor(Platform::Color::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(true);
    auto recognizer = std::make_shared<Platform::LongPressGestureRecognizer>();
    recognizer->addTarget(this, &Lumora_ControlStatusView::longPress);
    addGestureRecognizer(recognizer);
}

void Lumora_ControlStatusView::setPressed(bool pressed)
{
    pressed_ = pressed;
    setNeedsDisplay();
}

void Lumora_ControlStatusView::setSelected(bool selected)
{
    selected_ = selected;
    setNeedsDisplay();
}

int32_t Lumora_ControlStatusView::parameterIndex() const
{
    Platform::Control* control = control_.get();
    return control ? control->tag() : 0;
}

Lumora::MidiParamMapper::Element* Lumora_ControlStatusView::midiMapperElement() const
{
    return mapper_ ? mapper_->findElement(parameterIndex()) : nullptr;
}

void Lumora_ControlStatusView::layoutSubviews()
{
    Platform::View::layoutSubviews();
    if (Platform::Control* control = control_.get()) {
        Platform::Rect const f = control->frame();
        setFrame(Platform::Rect(f.origin.x - kMargin, f.origin.y - kMargin, f.size.width + 2 * kMargin,
                                f.size.height + 2 * kMargin));
    }
    if (Platform::View* parent = superview())
        parent->bringSubviewToFront(this);
}

void Lumora_ControlStatusView::drawRect(Platform::Rect const& rect)
{
    bool detail = false;
    int32_t channel = 0, status = 0, number = 0;
    if (mapper_) {
        // Held across the read, so a learn on the render thread cannot re-key it half way.
        std::lock_guard lock(mapper_->mutex());
        if (auto const* element = mapper_->findElement(parameterIndex())) {
            auto const& source = element->midiSource();
            detail = true;
            channel = source.channel();
            status = source.status();
            number = source.number();
        }
    }
    Lumora_Painter::sharedInstance()->drawControlStatusWithFrame(rect, detail, channel, status, number, selected_,
                                                                 pressed_);
}

void Lumora_ControlStatusView::touchesBegan(Platform::TouchSet const&, Platform::Event const*)
{
    setPressed(true);
}

void Lumora_ControlStatusView::touchesEnded(Platform::TouchSet const&, Platform::Event const*)
{
    setPressed(false);
    setSelected(!selected_);
    if (Lumora_ControlStatusView_delegate* d = delegate())
        d->controlStatusView_didSelect(this, selected_);
    setNeedsDisplay();
}

void Lumora_ControlStatusView::touchesCancelled(Platform::TouchSet const&, Platform::Event const*) {}

void Lumora_ControlStatusView::longPress(Platform::GestureRecognizer* recognizer)
{
    switch (recognizer->state()) {
    case Platform::GestureRecognizer::State::Began:
        if (Lumora_ControlStatusView_delegate* d = delegate())
            d->controlStatusView_didLongPressed(this, selected_);
        break;
    case Platform::GestureRecognizer::State::Ended:
        setPressed(false);
        setNeedsDisplay();
        break;
    default:
        break;
    }
}
