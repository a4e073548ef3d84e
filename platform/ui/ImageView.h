#pragma once

#include "platform/graphics/Image.h"
#include "platform/ui/View.h"

namespace Platform {

// A view that shows an image stretched to its bounds, or its highlighted image while
// highlighted (when it has one).
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

private:
    Image image_;
    Image highlightedImage_;
    bool highlighted_ = false;
};

} // namespace Platform
