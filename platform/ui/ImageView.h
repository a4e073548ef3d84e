#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

namespace Platform {

// A view that shows an image fitted to its bounds by its content mode (stretched by default), or
// its highlighted image while highlighted (when it has one). Aspect fill overflows the bounds
// unless the view clips to them, as on the platform.
class ImageView : public View {
public:
    explicit ImageView(Rect frame = {});
    explicit ImageView(Image image);

    Image const& image() const { return image_; }
    void setImage(Image image);
    Image const& highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(Image image);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    void drawRect(Rect const& rect) override;
    Size sizeThatFits(Size size) const override;

    // Where the image goes for the content mode, in the view's coordinates.
    Rect imageRectForSize(Size imageSize) const;

private:
    Image image_;
    Image highlightedImage_;
    bool highlighted_ = false;
};

} // namespace Platform
