#include "platform/ui/CollectionView.h"

#include <algorithm>
#include <cmath>

namespace Platform {

CollectionViewCell::CollectionViewCell(Rect frame) : View(frame), content_(std::make_shared<View>(Rect({0, 0}, frame.size)))
{
    addSubview(content_);
}

void CollectionViewCell::setSelected(bool selected)
{
    if (selected_ != selected) {
        selected_ = selected;
        setNeedsDisplay();
    }
}

void CollectionViewCell::layoutSubviews()
{
    content_->setFrame(bounds());
}

CollectionView::CollectionView(Rect frame, CollectionViewFlowLayout layout) : ScrollView(frame), layout_(layout) {}

void CollectionView::setLayout(CollectionViewFlowLayout layout)
{
    layout_ = layout;
    setNeedsLayout();
}

void CollectionView::registerCellFactory(std::string const& identifier, CellFactory factory)
{
    factories_[identifier] = std::move(factory);
}

std::shared_ptr<CollectionViewCell> CollectionView::dequeueReusableCellWithReuseIdentifier(std::string const& identifier,
                                                                                           IndexPath)
{
    if (auto it = reusable_.find(identifier); it != reusable_.end()) {
        auto cell = it->second;
        reusable_.erase(it);
        return cell;
    }
    auto f = factories_.find(identifier);
    if (f == factories_.end())
        return nullptr;
    auto cell = f->second();
    if (cell)
        cell->reuseIdentifier_ = identifier;
    return cell;
}

int CollectionView::numberOfItemsInSection(int section) const
{
    if (section < 0 || section >= static_cast<int>(items_.size()))
        return 0;
    return static_cast<int>(items_[static_cast<std::size_t>(section)].size());
}

void CollectionView::reloadData()
{
    loadItems();
    setNeedsLayout();
    layoutIfNeeded();
}

void CollectionView::loadItems()
{
    loaded_ = true;
    for (auto& section : items_)
        for (auto& cell : section) {
            cell->removeFromSuperview();
            reusable_.emplace(cell->reuseIdentifier(), cell);
        }
    items_.clear();
    if (auto* source = dataSource()) {
        int sections = std::max(0, source->numberOfSectionsInCollectionView(this));
        for (int s = 0; s < sections; ++s) {
            std::vector<std::shared_ptr<CollectionViewCell>> section;
            int count = std::max(0, source->numberOfItemsInSection(this, s));
            for (int i = 0; i < count; ++i) {
                auto cell = source->cellForItemAtIndexPath(this, IndexPath::forItem(i, s));
                if (!cell)
                    cell = std::make_shared<CollectionViewCell>();
                section.push_back(std::move(cell));
            }
            items_.push_back(std::move(section));
        }
    }
    reusable_.clear();
    std::erase_if(selected_, [this](IndexPath p) { return p.row >= numberOfItemsInSection(p.section); });
    for (auto& section : items_)
        for (auto& cell : section) {
            cell->setSelected(false);
            addSubview(cell);
        }
    for (IndexPath p : selected_)
        cellForItemAtIndexPath(p)->setSelected(true);
}

// Items fill lines across the scrolling direction, as many per line as fit with the minimum
// spacing; sections follow one another along it.
void CollectionView::layoutSubviews()
{
    if (!loaded_ && dataSource())
        loadItems();
    bool vertical = layout_.scrollDirection == CollectionViewFlowLayout::ScrollDirection::Vertical;
    Rect b = bounds();
    Size item = layout_.itemSize;
    // Every section has the same insets and item size, so the same lines.
    double insetBefore = vertical ? layout_.sectionInset.top : layout_.sectionInset.left;
    double insetAfter = vertical ? layout_.sectionInset.bottom : layout_.sectionInset.right;
    double acrossStart = vertical ? layout_.sectionInset.left : layout_.sectionInset.top;
    double acrossSpace = (vertical ? b.width() - layout_.sectionInset.left - layout_.sectionInset.right
                                   : b.height() - layout_.sectionInset.top - layout_.sectionInset.bottom);
    double itemAcross = vertical ? item.width : item.height;
    double itemAlong = vertical ? item.height : item.width;
    int perLine = std::max(1, static_cast<int>(std::floor((acrossSpace + layout_.minimumInteritemSpacing)
                                                          / (itemAcross + layout_.minimumInteritemSpacing))));
    double along = 0;
    for (auto& section : items_) {
        along += insetBefore;
        int lines = 0;
        for (std::size_t i = 0; i < section.size(); ++i) {
            int line = static_cast<int>(i) / perLine;
            int slot = static_cast<int>(i) % perLine;
            double a = along + line * (itemAlong + layout_.minimumLineSpacing);
            double c = acrossStart + slot * (itemAcross + layout_.minimumInteritemSpacing);
            section[i]->setFrame(vertical ? Rect(c, a, item.width, item.height) : Rect(a, c, item.width, item.height));
            lines = line + 1;
        }
        if (lines > 0)
            along += lines * itemAlong + (lines - 1) * layout_.minimumLineSpacing;
        along += insetAfter;
    }
    setContentSize(vertical ? Size{b.width(), along} : Size{along, b.height()});
}

CollectionViewCell* CollectionView::cellForItemAtIndexPath(IndexPath p) const
{
    if (p.row < 0 || p.row >= numberOfItemsInSection(p.section))
        return nullptr;
    return items_[static_cast<std::size_t>(p.section)][static_cast<std::size_t>(p.row)].get();
}

Rect CollectionView::frameForItemAtIndexPath(IndexPath p) const
{
    auto* cell = cellForItemAtIndexPath(p);
    return cell ? cell->frame() : Rect();
}

std::optional<IndexPath> CollectionView::indexPathForItemAtPoint(Point point) const
{
    for (std::size_t s = 0; s < items_.size(); ++s)
        for (std::size_t i = 0; i < items_[s].size(); ++i)
            if (items_[s][i]->frame().contains(point))
                return IndexPath::forItem(static_cast<int>(i), static_cast<int>(s));
    return std::nullopt;
}

void CollectionView::selectItemAtIndexPath(std::optional<IndexPath> indexPath, bool animated, unsigned position)
{
    if (!indexPath || !cellForItemAtIndexPath(*indexPath)) {
        for (IndexPath p : std::vector<IndexPath>(selected_))
            deselectItemAtIndexPath(p, animated);
        return;
    }
    if (!allowsMultipleSelection_)
        for (IndexPath p : std::vector<IndexPath>(selected_))
            if (p != *indexPath)
                deselectItemAtIndexPath(p, animated);
    if (std::find(selected_.begin(), selected_.end(), *indexPath) == selected_.end())
        selected_.push_back(*indexPath);
    cellForItemAtIndexPath(*indexPath)->setSelected(true);
    if (position != None)
        scrollToItemAtIndexPath(*indexPath, position, animated);
}

void CollectionView::deselectItemAtIndexPath(IndexPath indexPath, bool)
{
    std::erase(selected_, indexPath);
    if (auto* cell = cellForItemAtIndexPath(indexPath))
        cell->setSelected(false);
}

std::vector<IndexPath> CollectionView::indexPathsForSelectedItems() const
{
    auto sorted = selected_;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

void CollectionView::scrollToItemAtIndexPath(IndexPath indexPath, unsigned position, bool animated)
{
    layoutIfNeeded();
    auto* cell = cellForItemAtIndexPath(indexPath);
    if (!cell)
        return;
    Rect f = cell->frame();
    Rect b = bounds();
    Point offset = contentOffset();
    if (position & Top)
        offset.y = f.minY();
    else if (position & CenteredVertically)
        offset.y = f.midY() - b.height() / 2;
    else if (position & Bottom)
        offset.y = f.maxY() - b.height();
    if (position & Left)
        offset.x = f.minX();
    else if (position & CenteredHorizontally)
        offset.x = f.midX() - b.width() / 2;
    else if (position & Right)
        offset.x = f.maxX() - b.width();
    Point max = maximumContentOffset();
    offset = {std::clamp(offset.x, 0.0, max.x), std::clamp(offset.y, 0.0, max.y)};
    setContentOffset(offset, animated);
}

void CollectionView::tapItemByUser(IndexPath p)
{
    if (!cellForItemAtIndexPath(p))
        return;
    bool wasSelected = std::find(selected_.begin(), selected_.end(), p) != selected_.end();
    auto* d = delegate();
    if (allowsMultipleSelection_ && wasSelected) {
        deselectItemAtIndexPath(p, true);
        if (d)
            d->didDeselectItemAtIndexPath(this, p);
        return;
    }
    if (d && !d->shouldSelectItemAtIndexPath(this, p))
        return;
    std::vector<IndexPath> dropped;
    if (!allowsMultipleSelection_)
        for (IndexPath q : selected_)
            if (q != p)
                dropped.push_back(q);
    selectItemAtIndexPath(p, true, None);
    if (d) {
        for (IndexPath q : dropped)
            d->didDeselectItemAtIndexPath(this, q);
        d->didSelectItemAtIndexPath(this, p);
    }
}

void CollectionView::touchesBegan(TouchSet const& touches, Event const*)
{
    Touch* touch = touches.anyObject();
    pressed_ = touch ? indexPathForItemAtPoint(touch->locationInView(this)) : std::nullopt;
}

void CollectionView::touchesEnded(TouchSet const& touches, Event const*)
{
    Touch* touch = touches.anyObject();
    if (touch && pressed_ && indexPathForItemAtPoint(touch->locationInView(this)) == pressed_)
        tapItemByUser(*pressed_);
    pressed_.reset();
}

void CollectionView::touchesCancelled(TouchSet const&, Event const*)
{
    pressed_.reset();
}

} // namespace Platform
