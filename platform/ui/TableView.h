#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

class TableView;

// One row of a table: a title, an optional detail text and an accessory mark.
class TableViewCell : public View {
public:
    enum class Style : int { Default = 0, Value1 = 1, Value2 = 2, Subtitle = 3 };
    enum class AccessoryType : int { None = 0, DisclosureIndicator = 1, DetailDisclosureButton = 2, Checkmark = 3, DetailButton = 4 };

    TableViewCell(Style style, std::string reuseIdentifier);

    Style style() const { return style_; }
    std::string const& reuseIdentifier() const { return reuseIdentifier_; }
    Label* textLabel() const { return textLabel_.get(); }
    // None in the default style.
    Label* detailTextLabel() const { return detailTextLabel_.get(); }
    AccessoryType accessoryType() const { return accessory_; }
    void setAccessoryType(AccessoryType type);
    bool isSelected() const { return selected_; }
    void setSelected(bool selected);

    void layoutSubviews() override;
    void drawRect(Rect const& rect) override;

private:
    Style style_;
    std::string reuseIdentifier_;
    std::shared_ptr<Label> textLabel_;
    std::shared_ptr<Label> detailTextLabel_;
    AccessoryType accessory_ = AccessoryType::None;
    bool selected_ = false;
};

class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSectionsInTableView(TableView*) { return 1; }
    virtual int numberOfRowsInSection(TableView* tableView, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView* tableView, IndexPath indexPath) = 0;
    virtual bool canEditRowAtIndexPath(TableView*, IndexPath) { return false; }
    // Style 1 is delete.
    virtual void commitEditingStyle(TableView*, int /*style*/, IndexPath) {}
    // The text shown above a section's rows; none when empty.
    virtual std::string titleForHeaderInSection(TableView*, int /*section*/) { return {}; }
};

class TableViewDelegate {
public:
    virtual ~TableViewDelegate() = default;
    virtual double heightForRowAtIndexPath(TableView*, IndexPath);
    virtual void didSelectRowAtIndexPath(TableView*, IndexPath) {}
    virtual void didDeselectRowAtIndexPath(TableView*, IndexPath) {}
    // A view shown below a section's rows, as high as heightForFooterInSection says, or as its
    // own frame when that is 0.
    virtual std::shared_ptr<View> viewForFooterInSection(TableView*, int /*section*/) { return nullptr; }
    virtual double heightForFooterInSection(TableView*, int /*section*/) { return 0; }
};

// A scrolling list of rows in sections. Reloading asks the data source for every row's cell, each
// section's header text and footer view, and stacks them; a tap on a row selects it (toggles it with multiple selection) and tells the
// delegate.
class TableView : public ScrollView {
public:
    enum class Style : int { Plain = 0, Grouped = 1 };
    enum class ScrollPosition : int { None = 0, Top = 1, Middle = 2, Bottom = 3 };
    static constexpr double defaultRowHeight = 44;

    explicit TableView(Rect frame = {}, Style style = Style::Plain);

    TableViewDataSource* dataSource() const { return dataSource_.get(); }
    void setDataSource(TableViewDataSource* dataSource) { dataSource_.reset(dataSource); }
    TableViewDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(TableViewDelegate* delegate) { delegate_.reset(delegate); }

    void reloadData();
    int numberOfSections() const { return static_cast<int>(rows_.size()); }
    int numberOfRowsInSection(int section) const;
    TableViewCell* cellForRowAtIndexPath(IndexPath indexPath) const;
    // What the last reload placed around a section's rows; null when there is none.
    Label* headerLabelForSection(int section) const;
    View* footerViewForSection(int section) const;
    std::optional<IndexPath> indexPathForRowAtPoint(Point point) const;
    // A cell set aside by the last reload under that identifier, if any.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(std::string const& identifier);

    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    bool allowsMultipleSelection() const { return allowsMultipleSelection_; }
    void setAllowsMultipleSelection(bool allows);
    // Selection by code tells the delegate nothing.
    void selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool animated, ScrollPosition position);
    void deselectRowAtIndexPath(IndexPath indexPath, bool animated);
    std::optional<IndexPath> indexPathForSelectedRow() const;
    std::vector<IndexPath> indexPathsForSelectedRows() const;

    // The user's swipe-to-delete of a row: committed through the data source when it allows it.
    bool deleteRowByUser(IndexPath indexPath);
    // The user's tap on a row.
    void tapRowByUser(IndexPath indexPath);

    void touchesBegan(TouchSet const& touches, Event const* event) override;
    void touchesEnded(TouchSet const& touches, Event const* event) override;
    void touchesCancelled(TouchSet const& touches, Event const* event) override;
    void layoutSubviews() override;

private:
    static constexpr double headerGap = 14;
    static constexpr double headerTextHeight = 18;
    static std::shared_ptr<Label> makeHeader(std::string const& title);

    Style style_;
    WeakRef<TableViewDataSource> dataSource_;
    WeakRef<TableViewDelegate> delegate_;
    std::vector<std::vector<std::shared_ptr<TableViewCell>>> rows_;
    std::vector<std::shared_ptr<Label>> headers_;
    std::vector<std::shared_ptr<View>> footers_;
    std::multimap<std::string, std::shared_ptr<TableViewCell>> reusable_;
    std::vector<IndexPath> selected_;
    bool allowsSelection_ = true;
    bool allowsMultipleSelection_ = false;
    std::optional<IndexPath> pressed_;
};

// A controller whose view is a table it serves as data source and delegate.
class TableViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
    explicit TableViewController(TableView::Style style = TableView::Style::Plain) : style_(style) {}

    TableView* tableView();
    void loadView() override;
    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(TableView*, int) override { return 0; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView*, IndexPath) override { return nullptr; }

private:
    TableView::Style style_;
};

} // namespace Platform
