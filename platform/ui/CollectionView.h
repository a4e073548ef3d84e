#pragma once

#include "platform/ui/EdgeInsets.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WeakRef.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

class CollectionView;

// One item of a grid: a view with a content view for what the item shows.
class CollectionViewCell : public View {
public:
    explicit CollectionViewCell(Rect frame = {});

    std::string const& reuseIdentifier() const { return reuseIdentifier_; }
    View* contentView() const { return content_.get(); }
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);

    void layoutSubviews() override;

private:
    friend class CollectionView;
    std::string reuseIdentifier_;
    std::shared_ptr<View> content_;
    bool selected_ = false;
};

// The grid's geometry: items of one size in lines, with spacings and section insets.
struct CollectionViewFlowLayout {
    enum class ScrollDirection : int { Vertical = 0, Horizontal = 1 };

    Size itemSize{50, 50};
    double minimumInteritemSpacing = 10;
    double minimumLineSpacing = 10;
    EdgeInsets sectionInset;
    ScrollDirection scrollDirection = ScrollDirection::Vertical;
};

class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;
    virtual int numberOfSectionsInCollectionView(CollectionView*) { return 1; }
    virtual int numberOfItemsInSection(CollectionView* collectionView, int section) = 0;
    virtual std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(CollectionView* collectionView, IndexPath indexPath) = 0;
};

class CollectionViewDelegate {
public:
    virtual ~CollectionViewDelegate() = default;
    virtual bool shouldSelectItemAtIndexPath(CollectionView*, IndexPath) { return true; }
    virtual void didSelectItemAtIndexPath(CollectionView*, IndexPath) {}
    virtual void didDeselectItemAtIndexPath(CollectionView*, IndexPath) {}
};

// A scrolling grid of items laid out by a flow layout. Reloading (or the first layout, when
// nothing reloaded before) asks the data source for every item's cell; a tap on an item selects
// it (toggles it with multiple selection) and tells the delegate.
class CollectionView : public ScrollView {
public:
    enum ScrollPosition : unsigned { None = 0, Top = 1, CenteredVertically = 2, Bottom = 4, Left = 8,
                                     CenteredHorizontally = 16, Right = 32 };
    using CellFactory = std::function<std::shared_ptr<CollectionViewCell>()>;

    CollectionView(Rect frame, CollectionViewFlowLayout layout);

    CollectionViewFlowLayout const& layout() const { return layout_; }
    void setLayout(CollectionViewFlowLayout layout);
    CollectionViewDataSource* dataSource() const { return dataSource_.get(); }
    void setDataSource(CollectionViewDataSource* source) { dataSource_.reset(source); }
    CollectionViewDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(CollectionViewDelegate* delegate) { delegate_.reset(delegate); }

    // Registers how cells of an identifier are made.
    void registerCellFactory(std::string const& identifier, CellFactory factory);
    template <class Cell>
    void registerClass(std::string const& identifier)
    {
        registerCellFactory(identifier, [] { return std::make_shared<Cell>(); });
    }
    // A set-aside cell of that identifier, or a new one from its factory (none when none is
    // registered).
    std::shared_ptr<CollectionViewCell> dequeueReusableCellWithReuseIdentifier(std::string const& identifier, IndexPath indexPath);

    void reloadData();
    int numberOfSections() const { return static_cast<int>(items_.size()); }
    int numberOfItemsInSection(int section) const;
    CollectionViewCell* cellForItemAtIndexPath(IndexPath indexPath) const;
    std::optional<IndexPath> indexPathForItemAtPoint(Point point) const;
    // The item's frame in the content.
    Rect frameForItemAtIndexPath(IndexPath indexPath) const;

    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool allows) { allowsMultipleSelection_ = allows; }
    // Selection by code tells the delegate nothing.
    void selectItemAtIndexPath(std::optional<IndexPath> indexPath, bool animated, unsigned position);
    void deselectItemAtIndexPath(IndexPath indexPath, bool animated);
    std::vector<IndexPath> indexPathsForSelectedItems() const;
    void scrollToItemAtIndexPath(IndexPath indexPath, unsigned position, bool animated);
    // The user's tap on an item.
    void tapItemByUser(IndexPath indexPath);

    void layoutSubviews() override;
    void touchesBegan(TouchSet const& touches, Event const* event) override;
    void touchesEnded(TouchSet const& touches, Event const* event) override;
    void touchesCancelled(TouchSet const& touches, Event const* event) override;

private:
    // Asks the data source for every item and puts the cells in.
    void loadItems();

    CollectionViewFlowLayout layout_;
    WeakRef<CollectionViewDataSource> dataSource_;
    WeakRef<CollectionViewDelegate> delegate_;
    std::map<std::string, CellFactory> factories_;
    std::multimap<std::string, std::shared_ptr<CollectionViewCell>> reusable_;
    std::vector<std::vector<std::shared_ptr<CollectionViewCell>>> items_;
    std::vector<IndexPath> selected_;
    bool allowsMultipleSelection_ = false;
    // Whether the data source has been asked yet: the first layout asks it when no reload has.
    bool loaded_ = false;
    std::optional<IndexPath> pressed_;
};

} // namespace Platform
