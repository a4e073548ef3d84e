#pragma once

#include "controls/picker/iCollection.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/EdgeInsets.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"

#include <cstdint>
#include <memory>

namespace Lumora {
class Parameter_UInt;
}

class Lumora_CollectionVwCtrlr;

// Told of the user's choice instead of the bound parameter.
class Lumora_CollectionVwCtrlr_Delegate {
public:
    virtual ~Lumora_CollectionVwCtrlr_Delegate() = default;
    virtual void Lumora_CollectionVwCtrlr_index_item(Lumora_CollectionVwCtrlr* picker, int index,
                                                    Lumora::iCollection::Item const* item) = 0;
};

// A picker showing the items of a collection as a one-line scrolling grid of picture cells; a
// tap on a cell chooses its item. The choice goes to the delegate when there is one, else into
// the bound unsigned-integer parameter (with the picker's own originator token). The parameter
// is read back only when the picker's views are laid out. Layout and colours are configured
// before the view loads: later changes do not reach the grid.
class Lumora_CollectionVwCtrlr : public Platform::ViewController,
                                 public Platform::CollectionViewDataSource,
                                 public Platform::CollectionViewDelegate {
public:
    static constexpr char const* cellIdentifier = "CollectionVwCell";

    Lumora_CollectionVwCtrlr();

    int32_t identity() const { return identity_; }
    void setIdentity(int32_t identity) { identity_ = identity; }
    uint32_t numOfItemsToDisplay() const { return numOfItemsToDisplay_; }
    void setNumOfItemsToDisplay(uint32_t count) { numOfItemsToDisplay_ = count; }
    int32_t selectedValue() const { return selectedValue_; }
    // Stores the value and selects its item.
    void setSelectedValue(int32_t value);
    Lumora::iCollection* collection() const { return collection_; }
    void setCollection(Lumora::iCollection* collection) { collection_ = collection; }
    // Null stands for the main bundle.
    std::shared_ptr<Platform::Bundle> const& bundleForImage() const { return bundleForImage_; }
    void setBundleForImage(std::shared_ptr<Platform::Bundle> bundle) { bundleForImage_ = std::move(bundle); }
    Lumora::Parameter_UInt* parameter() const { return parameter_; }
    void setParameter(Lumora::Parameter_UInt* parameter) { parameter_ = parameter; }
    Lumora_CollectionVwCtrlr_Delegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_CollectionVwCtrlr_Delegate* delegate) { delegate_.reset(delegate); }
    double cellSpacing() const { return cellSpacing_; }
    void setCellSpacing(double spacing) { cellSpacing_ = spacing; }
    // The platform's flow-layout direction: 0 vertical, 1 horizontal.
    int64_t scrollDirection() const { return scrollDirection_; }
    void setScrollDirection(int64_t direction) { scrollDirection_ = direction; }
    Platform::Color cellBackgroundColor() const { return cellBackgroundColor_; }
    void setCellBackgroundColor(Platform::Color color) { cellBackgroundColor_ = color; }
    double selectedBorderWidth() const { return selectedBorderWidth_; }
    void setSelectedBorderWidth(double width) { selectedBorderWidth_ = width; }
    Platform::Color selectedBorderColor() const { return selectedBorderColor_; }
    void setSelectedBorderColor(Platform::Color color) { selectedBorderColor_ = color; }
    // Made when the view loads.
    Platform::CollectionView* collectionView() const { return collectionView_.get(); }
    Platform::Size cellSize() const { return cellSize_; }
    void setCellSize(Platform::Size size) { cellSize_ = size; }
    Platform::EdgeInsets edgeInsets() const { return edgeInsets_; }
    void setEdgeInsets(Platform::EdgeInsets insets) { edgeInsets_ = insets; }

    // The size that shows that many cells per line and that many lines, with spacing and insets.
    Platform::Size frameSizeForRows(float rows, float lines) const;
    // One line of all items, or of numOfItemsToDisplay and a half when there are more (the half
    // cell shows that the grid scrolls).
    Platform::Size contentSize() const;

    void viewDidLoad() override;
    // The grid follows the view's size (the platform's autoresizing).
    void viewWillLayoutSubviews() override;
    // Reads the bound parameter back (0..127 encoding) and selects its item.
    void viewDidLayoutSubviews() override;
    // Selects the cell of selectedValue, centred horizontally, without animation; a value no
    // item has changes nothing.
    void updateSelect();

    // The collection's operations; without a collection: null, -1 and 0.
    Lumora::iCollection::Item const* itemFromIndex(int index) const;
    int valueToIndex(int value) const;
    unsigned numOfItems() const;

    // Data source and delegate of the grid.
    int numberOfItemsInSection(Platform::CollectionView* collectionView, int section) override;
    std::shared_ptr<Platform::CollectionViewCell> cellForItemAtIndexPath(Platform::CollectionView* collectionView,
                                                                         Platform::IndexPath indexPath) override;
    void didSelectItemAtIndexPath(Platform::CollectionView* collectionView, Platform::IndexPath indexPath) override;

private:
    int32_t identity_ = -1;
    uint32_t numOfItemsToDisplay_ = 6;
    int32_t selectedValue_ = 0;
    Lumora::iCollection* collection_ = nullptr;
    std::shared_ptr<Platform::Bundle> bundleForImage_;
    Lumora::Parameter_UInt* parameter_ = nullptr;
    Platform::WeakRef<Lumora_CollectionVwCtrlr_Delegate> delegate_;
    double cellSpacing_ = 10;
    int64_t scrollDirection_ = 1;
    Platform::Color cellBackgroundColor_ = Platform::Color::darkGrayColor();
    double selectedBorderWidth_ = 2;
    Platform::Color selectedBorderColor_ = Platform::Color::redColor();
    std::shared_ptr<Platform::CollectionView> collectionView_;
    Platform::Size cellSize_{50, 50};
    Platform::EdgeInsets edgeInsets_{5, 10, 5, 5};
};
