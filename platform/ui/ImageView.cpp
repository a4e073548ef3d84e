#include "platform/ui/ImageView.h"

#include <algorithm>

namespace Platform {

ImageView::ImageView(Rect frame) : View(frame)
{
    setUserInteractionEnabled(false);
}

ImageView::ImageView(Image image) : View(Rect({0, 0}, image.isNull() ? Size{} : image.size())), image_(std::move(image))
{
    setUserInteractionEnabled(false);
}

void ImageView::setImage(Image image)
{
    image_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlightedImage(Image image)
{
    highlightedImage_ = std::move(image);
    setNeedsDisplay();
}

void ImageView::setHighlighted(bool highlighted)
{
    if (highlighted_ != highlighted) {
        highlighted_ = highlighted;
        setNeedsDisplay();
    }
}

void ImageView::drawRect(Rect const&)
{
    Image const& shown = (highlighted_ && !highlightedImage_.isNull()) ? highlightedImage_ : image_;
    if (!shown.isNull())
        shown.drawInRect(imageRectForSize(shown.size()));
}

// Aspect fit scales by the smaller of the two ratios bounds/image so all of the image shows;
// aspect fill by the larger, so the image covers the bounds; both centre the result.
Rect ImageView::imageRectForSize(Size imageSize) const
{
    Rect const b = bounds();
    if (imageSize.width <= 0 || imageSize.height <= 0)
        return b;
    double scale = 1;
    switch (contentMode()) {
    case ContentMode::ScaleAspectFit:
        scale = std::min(b.width() / imageSize.width, b.height() / imageSize.height);
        break;
    case ContentMode::ScaleAspectFill:
        scale = std::max(b.width() / imageSize.width, b.height() / imageSize.height);
        break;
    case ContentMode::Center:
        break;
    default:
        return b;
    }
    double const w = imageSize.width * scale;
    double const h = imageSize.height * scale;
    return Rect(b.midX() - w / 2, b.midY() - h / 2, w, h);
}

Size ImageView::sizeThatFits(Size) const
{
    return image_.isNull() ? Size{} : image_.size();
}

} // namespace Platform
