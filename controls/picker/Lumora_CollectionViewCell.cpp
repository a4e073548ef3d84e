#include "controls/picker/Lumora_CollectionViewCell.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

void Lumora_AspectFillImageView::drawRect(Platform::Rect const&)
{
    Platform::Image const& shown = image();
    Platform::Rect const b = bounds();
    if (shown.isNull() || b.width() <= 0 || b.height() <= 0)
        return;
    Platform::Size const size = shown.size();
    if (size.width <= 0 || size.height <= 0)
        return;
    // The larger of the two scales covers the bounds; the overflow is cut off evenly on both
    // sides of the longer axis.
    double const scale = std::max(b.width() / size.width, b.height() / size.height);
    double const w = size.width * scale, h = size.height * scale;
    Platform::GraphicsContext* context = Platform::GraphicsContext::current();
    if (!context)
        return;
    context->saveGState();
    context->clipToRect(b);
    shown.drawInRect(Platform::Rect(b.midX() - w / 2, b.midY() - h / 2, w, h));
    context->restoreGState();
}

Lumora_CollectionViewCell::Lumora_CollectionViewCell(Platform::Rect frame) : Platform::CollectionViewCell(frame)
{
    selectedBorderWidth_ = 2;
    selectedBorderColor_ = Platform::Color::redColor();

    Platform::Rect const area(0, 0, frame.width(), frame.height());
    label_ = std::make_shared<Platform::Label>(area);
    label_->setHidden(true);
    label_->setFont(Platform::Font::systemFont(9));
    label_->setTextAlignment(Platform::TextAlignment::Center);

    imageVw_ = std::make_shared<Lumora_AspectFillImageView>(area);
    imageVw_->setClipsToBounds(true);
    imageVw_->layer().cornerRadius = 5;
    imageVw_->layer().maskedCorners = 15;

    addSubview(label_);
    addSubview(imageVw_);
}

void Lumora_CollectionViewCell::setSelected(bool selected)
{
    Platform::CollectionViewCell::setSelected(selected);
    if (selected) {
        imageVw_->layer().borderWidth = selectedBorderWidth_;
        imageVw_->layer().borderColor = selectedBorderColor_;
    } else {
        imageVw_->layer().borderWidth = 0;
        imageVw_->layer().borderColor = Platform::Color::clearColor();
    }
    imageVw_->setNeedsDisplay();
}

void Lumora_CollectionViewCell::layoutSubviews()
{
    Platform::CollectionViewCell::layoutSubviews();
    Platform::Rect const area(0, 0, bounds().width(), bounds().height());
    label_->setFrame(area);
    imageVw_->setFrame(area);
}
