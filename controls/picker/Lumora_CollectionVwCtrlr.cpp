#include "controls/picker/Lumora_CollectionVwCtrlr.h"

#include "controls/picker/Lumora_CollectionViewCell.h"
#include "engine/parameter/TypedParameters.h"
#include "platform/ui/ImageNamed.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace {

// The picker's originator token: its writes come back to no screen as their own.
constexpr auto kCollectionPickerToken = Lumora::ParameterObserver::Token::CollectionPicker;

// The platform's autoresizing mask of a view that follows its superview's width and height.
constexpr unsigned kFlexibleWidthAndHeight = 2 | 16;

} // namespace

Lumora_CollectionVwCtrlr::Lumora_CollectionVwCtrlr() = default;

Platform::Size Lumora_CollectionVwCtrlr::frameSizeForRows(float rows, float lines) const
{
    return {(cellSize_.width + cellSpacing_) * rows + edgeInsets_.left + edgeInsets_.right,
            (cellSize_.height + cellSpacing_) * lines + edgeInsets_.top + edgeInsets_.bottom};
}

Platform::Size Lumora_CollectionVwCtrlr::contentSize() const
{
    unsigned const count = numOfItems();
    float const rows = count <= numOfItemsToDisplay_ ? static_cast<float>(count)
                                                     : static_cast<float>(numOfItemsToDisplay_) + 0.5f;
    return frameSizeForRows(rows, 1);
}

void Lumora_CollectionVwCtrlr::viewDidLoad()
{
    Platform::ViewController::viewDidLoad();
    view()->setBackgroundColor(Platform::Color::clearColor());

    Platform::CollectionViewFlowLayout layout;
    layout.itemSize = cellSize_;
    layout.minimumInteritemSpacing = cellSpacing_;
    layout.minimumLineSpacing = cellSpacing_;
    layout.sectionInset = edgeInsets_;
    layout.scrollDirection = static_cast<Platform::CollectionViewFlowLayout::ScrollDirection>(scrollDirection_);

    collectionView_ = std::make_shared<Platform::CollectionView>(Platform::Rect({0, 0}, view()->bounds().size), layout);
    collectionView_->setDelegate(this);
    collectionView_->setDataSource(this);
    collectionView_->setBounces(false);
    collectionView_->setAllowsMultipleSelection(false);
    collectionView_->setBackgroundColor(cellBackgroundColor_);
    collectionView_->setAutoresizingMask(kFlexibleWidthAndHeight);
    Platform::Size const size = cellSize_;
    collectionView_->registerCellFactory(cellIdentifier, [size] {
        return std::make_shared<Lumora_CollectionViewCell>(Platform::Rect({0, 0}, size));
    });
    view()->addSubview(collectionView_);
    // The platform's grid asks its data source at its first layout; this one is asked here.
    collectionView_->reloadData();
}

void Lumora_CollectionVwCtrlr::viewWillLayoutSubviews()
{
    Platform::ViewController::viewWillLayoutSubviews();
    // The grid follows the view's size, as its autoresizing mask asks.
    if (collectionView_ && (collectionView_->autoresizingMask() & kFlexibleWidthAndHeight) == kFlexibleWidthAndHeight)
        collectionView_->setFrame(Platform::Rect({0, 0}, view()->bounds().size));
}

void Lumora_CollectionVwCtrlr::viewDidLayoutSubviews()
{
    Platform::ViewController::viewDidLayoutSubviews();
    if (parameter_) {
        float const n = std::clamp(parameter_->normalizedValue(), 0.0f, 1.0f);
        selectedValue_ = static_cast<int32_t>(std::round(n * 127.0f));
    }
    updateSelect();
}

void Lumora_CollectionVwCtrlr::setSelectedValue(int32_t value)
{
    selectedValue_ = value;
    updateSelect();
}

void Lumora_CollectionVwCtrlr::updateSelect()
{
    int const index = valueToIndex(selectedValue_);
    if (index < 0 || !collectionView_)
        return;
    Platform::IndexPath const path = Platform::IndexPath::forItem(index, 0);
    collectionView_->selectItemAtIndexPath(path, false, Platform::CollectionView::None);
    collectionView_->scrollToItemAtIndexPath(path, Platform::CollectionView::CenteredHorizontally, false);
}

Lumora::iCollection::Item const* Lumora_CollectionVwCtrlr::itemFromIndex(int index) const
{
    return collection_ ? collection_->itemFromIndex(index) : nullptr;
}

int Lumora_CollectionVwCtrlr::valueToIndex(int value) const
{
    return collection_ ? collection_->valueToIndex(value) : -1;
}

unsigned Lumora_CollectionVwCtrlr::numOfItems() const
{
    return collection_ ? collection_->numOfItems() : 0u;
}

int Lumora_CollectionVwCtrlr::numberOfItemsInSection(Platform::CollectionView*, int)
{
    return static_cast<int>(std::min<unsigned>(numOfItems(), INT_MAX));
}

std::shared_ptr<Platform::CollectionViewCell> Lumora_CollectionVwCtrlr::cellForItemAtIndexPath(
    Platform::CollectionView* collectionView, Platform::IndexPath indexPath)
{
    auto cell = std::dynamic_pointer_cast<Lumora_CollectionViewCell>(
        collectionView->dequeueReusableCellWithReuseIdentifier(cellIdentifier, indexPath));
    if (!cell)
        return nullptr;
    cell->setSelectedBorderWidth(selectedBorderWidth_);
    cell->setSelectedBorderColor(selectedBorderColor_);

    if (Lumora::iCollection::Item const* item = itemFromIndex(indexPath.item())) {
        cell->setValue(item->value);
        std::shared_ptr<Platform::Bundle> const bundle = bundleForImage_ ? bundleForImage_ : Platform::Bundle::main();
        cell->imageVw()->setImage(Platform::imageNamed(item->imageName, bundle.get()));
        cell->label()->setHidden(true);
    } else {
        // A reused cell shows nothing of the item it had.
        cell->imageVw()->setImage({});
        cell->label()->setText("ERROR(" + std::to_string(indexPath.item()) + ")");
        cell->label()->setHidden(false);
    }
    cell->setBackgroundColor(cellBackgroundColor_);
    return cell;
}

void Lumora_CollectionVwCtrlr::didSelectItemAtIndexPath(Platform::CollectionView*, Platform::IndexPath indexPath)
{
    Lumora::iCollection::Item const* item = itemFromIndex(indexPath.item());
    if (!item)
        return;
    selectedValue_ = static_cast<int32_t>(item->value);
    if (auto* d = delegate()) {
        d->Lumora_CollectionVwCtrlr_index_item(this, indexPath.item(), item);
        return;
    }
    if (parameter_)
        parameter_->setValue(item->value, kCollectionPickerToken, Lumora::AutomationEventType::SetValue);
}
