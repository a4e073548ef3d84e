#pragma once

#include "platform/graphics/Color.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"

#include <cstdint>
#include <memory>

// A picture view that fills its bounds while keeping the picture's aspect (parts may be cut
// off), as the picker's cells show their pictures.
class Lumora_AspectFillImageView : public Platform::ImageView {
public:
    using Platform::ImageView::ImageView;
    void drawRect(Platform::Rect const& rect) override;
};

// One cell of the collection picker: a picture with rounded corners, framed while the cell is
// selected, and a hidden label that shows a message instead when the cell has no item.
class Lumora_CollectionViewCell : public Platform::CollectionViewCell {
public:
    explicit Lumora_CollectionViewCell(Platform::Rect frame = {});

    uint32_t value() const { return value_; }
    void setValue(uint32_t value) { value_ = value; }
    Platform::Label* label() const { return label_.get(); }
    Lumora_AspectFillImageView* imageVw() const { return imageVw_.get(); }
    double selectedBorderWidth() const { return selectedBorderWidth_; }
    void setSelectedBorderWidth(double width) { selectedBorderWidth_ = width; }
    Platform::Color selectedBorderColor() const { return selectedBorderColor_; }
    void setSelectedBorderColor(Platform::Color color) { selectedBorderColor_ = color; }

    // The platform's selection, then the frame around the picture: the selected width and
    // colour when selected, none when not.
    void setSelected(bool selected) override;
    // The label and the picture keep covering the cell when the grid gives it its frame.
    void layoutSubviews() override;

private:
    uint32_t value_ = 0;
    std::shared_ptr<Platform::Label> label_;
    std::shared_ptr<Lumora_AspectFillImageView> imageVw_;
    double selectedBorderWidth_ = 2;
    Platform::Color selectedBorderColor_ = Platform::Color::redColor();
};
