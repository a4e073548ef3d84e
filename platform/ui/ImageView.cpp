#include "platform/ui/ImageView.h"

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
        shown.drawInRect(bounds());
}

Size ImageView::sizeThatFits(Size) const
{
    return image_.isNull() ? Size{} : image_.size();
}

} // namespace Platform
