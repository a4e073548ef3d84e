#include "platform/ui/TableView.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

namespace Platform {

TableViewCell::TableViewCell(Style style, std::string reuseIdentifier)
    : View(Rect(0, 0, 320, TableView::defaultRowHeight)), style_(style), reuseIdentifier_(std::move(reuseIdentifier))
{
    setBackgroundColor(Color::whiteColor());
    textLabel_ = std::make_shared<Label>();
    textLabel_->setUserInteractionEnabled(false);
    addSubview(textLabel_);
    if (style_ != Style::Default) {
        detailTextLabel_ = std::make_shared<Label>();
        detailTextLabel_->setUserInteractionEnabled(false);
        detailTextLabel_->setTextColor(Color::grayColor());
        if (style_ == Style::Value1)
            detailTextLabel_->setTextAlignment(TextAlignment::Right);
        addSubview(detailTextLabel_);
    }
}

void TableViewCell::setAccessoryType(AccessoryType type)
{
    accessory_ = type;
    setNeedsLayout();
    setNeedsDisplay();
}

void TableViewCell::setSelected(bool selected)
{
    if (selected_ != selected) {
        selected_ = selected;
        setBackgroundColor(selected ? Color::withWhite(0.85) : Color::whiteColor());
    }
}

void TableViewCell::layoutSubviews()
{
    Rect b = bounds();
    double accessory = accessory_ == AccessoryType::None ? 0 : 30;
    double width = b.width() - 30 - accessory;
    switch (style_) {
    case Style::Subtitle:
        textLabel_->setFrame(Rect(15, 4, width, b.height() * 0.55 - 4));
        detailTextLabel_->setFrame(Rect(15, b.height() * 0.55, width, b.height() * 0.45 - 4));
        break;
    case Style::Value1:
    case Style::Value2:
        textLabel_->setFrame(Rect(15, 0, width / 2, b.height()));
        detailTextLabel_->setFrame(Rect(15 + width / 2, 0, width / 2, b.height()));
        break;
    case Style::Default:
        textLabel_->setFrame(Rect(15, 0, width, b.height()));
        break;
    }
}

void TableViewCell::drawRect(Rect const&)
{
    auto* context = GraphicsContext::current();
    if (!context)
        return;
    Rect b = bounds();
    context->setStrokeColor(Color::withWhite(0.8));
    BezierPath line;
    line.moveTo({15, b.maxY() - 0.5});
    line.lineTo({b.maxX(), b.maxY() - 0.5});
    context->strokePath(line);
    double x = b.maxX() - 22;
    double y = b.midY();
    BezierPath mark;
    mark.setLineWidth(2);
    switch (accessory_) {
    case AccessoryType::Checkmark:
        mark.moveTo({x - 6, y});
        mark.lineTo({x - 2, y + 5});
        mark.lineTo({x + 6, y - 6});
        context->setStrokeColor(tintColor());
        context->strokePath(mark);
        break;
    case AccessoryType::DisclosureIndicator:
    case AccessoryType::DetailDisclosureButton:
        mark.moveTo({x - 2, y - 6});
        mark.lineTo({x + 4, y});
        mark.lineTo({x - 2, y + 6});
        context->setStrokeColor(Color::withWhite(0.7));
        context->strokePath(mark);
        break;
    default:
        break;
    }
}

double TableViewDelegate::heightForRowAtIndexPath(TableView*, IndexPath)
{
    return TableView::defaultRowHeight;
}

TableView::TableView(Rect frame, Style style) : ScrollView(frame), style_(style)
{
    setBackgroundColor(style == Style::Grouped ? Color(0.94, 0.94, 0.96) : Color::whiteColor());
}

int TableView::numberOfRowsInSection(int section) const
{
    if (section < 0 || section >= static_cast<int>(rows_.size()))
        return 0;
    return static_cast<int>(rows_[static_cast<std::size_t>(section)].size());
}

void TableView::reloadData()
{
    // The old cells become reusable while the new ones are asked for.
    for (auto& section : rows_)
        for (auto& cell : section) {
            cell->removeFromSuperview();
            reusable_.emplace(cell->reuseIdentifier(), cell);
        }
    rows_.clear();
    for (auto const& header : headers_)
        if (header)
            header->removeFromSuperview();
    for (auto const& footer : footers_)
        if (footer)
            footer->removeFromSuperview();
    headers_.clear();
    footers_.clear();
    if (TableViewDataSource* source = dataSource()) {
        int sections = std::max(0, source->numberOfSectionsInTableView(this));
        for (int s = 0; s < sections; ++s) {
            std::vector<std::shared_ptr<TableViewCell>> section;
            int count = std::max(0, source->numberOfRowsInSection(this, s));
            for (int r = 0; r < count; ++r) {
                auto cell = source->cellForRowAtIndexPath(this, IndexPath::forRow(r, s));
                if (!cell)
                    cell = std::make_shared<TableViewCell>(TableViewCell::Style::Default, "");
                section.push_back(std::move(cell));
            }
            rows_.push_back(std::move(section));
            headers_.push_back(makeHeader(source->titleForHeaderInSection(this, s)));
            footers_.push_back(delegate() ? delegate()->viewForFooterInSection(this, s) : nullptr);
        }
    }
    reusable_.clear();
    std::erase_if(selected_, [this](IndexPath p) { return p.row >= numberOfRowsInSection(p.section); });
    for (auto& section : rows_)
        for (auto& cell : section) {
            cell->setSelected(false);
            addSubview(cell);
        }
    for (IndexPath p : selected_)
        rows_[static_cast<std::size_t>(p.section)][static_cast<std::size_t>(p.row)]->setSelected(true);
    for (auto const& header : headers_)
        if (header)
            addSubview(header);
    for (auto const& footer : footers_)
        if (footer)
            addSubview(footer);
    setNeedsLayout();
    layoutIfNeeded();
}

void TableView::layoutSubviews()
{
    double y = 0;
    double width = bounds().width();
    for (std::size_t s = 0; s < rows_.size(); ++s) {
        int const section = static_cast<int>(s);
        Label* header = s < headers_.size() ? headers_[s].get() : nullptr;
        // A header's text sits on the rows, in the gap above them that a grouped table leaves.
        if (header) {
            double const gap = style_ == Style::Grouped ? headerGap : 0;
            header->setFrame(Rect(15, y + gap, width - 30, headerTextHeight));
            y += gap + headerTextHeight + 6;
        } else if (style_ == Style::Grouped) {
            y += 20;
        }
        for (std::size_t r = 0; r < rows_[s].size(); ++r) {
            IndexPath p = IndexPath::forRow(static_cast<int>(r), section);
            double h = delegate() ? delegate()->heightForRowAtIndexPath(this, p) : defaultRowHeight;
            rows_[s][r]->setFrame(Rect(0, y, width, h));
            y += h;
        }
        if (View* footer = s < footers_.size() ? footers_[s].get() : nullptr) {
            double h = delegate() ? delegate()->heightForFooterInSection(this, section) : 0;
            if (h <= 0)
                h = footer->frame().height();
            footer->setFrame(Rect(0, y, width, h));
            y += h;
        }
    }
    setContentSize(Size{width, y});
}

std::shared_ptr<Label> TableView::makeHeader(std::string const& title)
{
    if (title.empty())
        return nullptr;
    auto header = std::make_shared<Label>();
    header->setText(title);
    header->setFont(Font::systemFont(13));
    header->setTextColor(Color::withWhite(0.43));
    header->setUserInteractionEnabled(false);
    return header;
}

Label* TableView::headerLabelForSection(int section) const
{
    if (section < 0 || section >= static_cast<int>(headers_.size()))
        return nullptr;
    return headers_[static_cast<std::size_t>(section)].get();
}

View* TableView::footerViewForSection(int section) const
{
    if (section < 0 || section >= static_cast<int>(footers_.size()))
        return nullptr;
    return footers_[static_cast<std::size_t>(section)].get();
}

TableViewCell* TableView::cellForRowAtIndexPath(IndexPath p) const
{
    if (p.row < 0 || p.row >= numberOfRowsInSection(p.section))
        return nullptr;
    return rows_[static_cast<std::size_t>(p.section)][static_cast<std::size_t>(p.row)].get();
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(Point point) const
{
    for (std::size_t s = 0; s < rows_.size(); ++s)
        for (std::size_t r = 0; r < rows_[s].size(); ++r)
            if (rows_[s][r]->frame().contains(point))
                return IndexPath::forRow(static_cast<int>(r), static_cast<int>(s));
    return std::nullopt;
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(std::string const& identifier)
{
    auto it = reusable_.find(identifier);
    if (it == reusable_.end())
        return nullptr;
    auto cell = it->second;
    reusable_.erase(it);
    return cell;
}

void TableView::setAllowsMultipleSelection(bool allows)
{
    allowsMultipleSelection_ = allows;
    if (!allows && selected_.size() > 1) {
        for (std::size_t i = 1; i < selected_.size(); ++i)
            if (auto* cell = cellForRowAtIndexPath(selected_[i]))
                cell->setSelected(false);
        selected_.resize(1);
    }
}

void TableView::selectRowAtIndexPath(std::optional<IndexPath> indexPath, bool, ScrollPosition)
{
    if (!indexPath) {
        for (IndexPath p : std::vector<IndexPath>(selected_))
            deselectRowAtIndexPath(p, false);
        return;
    }
    TableViewCell* cell = cellForRowAtIndexPath(*indexPath);
    if (!cell)
        return;
    if (!allowsMultipleSelection_)
        for (IndexPath p : std::vector<IndexPath>(selected_))
            if (p != *indexPath)
                deselectRowAtIndexPath(p, false);
    if (std::find(selected_.begin(), selected_.end(), *indexPath) == selected_.end())
        selected_.push_back(*indexPath);
    cell->setSelected(true);
}

void TableView::deselectRowAtIndexPath(IndexPath indexPath, bool)
{
    std::erase(selected_, indexPath);
    if (auto* cell = cellForRowAtIndexPath(indexPath))
        cell->setSelected(false);
}

std::optional<IndexPath> TableView::indexPathForSelectedRow() const
{
    if (selected_.empty())
        return std::nullopt;
    return *std::min_element(selected_.begin(), selected_.end());
}

std::vector<IndexPath> TableView::indexPathsForSelectedRows() const
{
    auto sorted = selected_;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

bool TableView::deleteRowByUser(IndexPath indexPath)
{
    TableViewDataSource* source = dataSource();
    if (!source || !cellForRowAtIndexPath(indexPath) || !source->canEditRowAtIndexPath(this, indexPath))
        return false;
    source->commitEditingStyle(this, 1, indexPath);
    return true;
}

void TableView::tapRowByUser(IndexPath p)
{
    if (!allowsSelection_ || !cellForRowAtIndexPath(p))
        return;
    bool wasSelected = std::find(selected_.begin(), selected_.end(), p) != selected_.end();
    if (allowsMultipleSelection_ && wasSelected) {
        deselectRowAtIndexPath(p, true);
        if (auto* d = delegate())
            d->didDeselectRowAtIndexPath(this, p);
        return;
    }
    std::vector<IndexPath> dropped;
    if (!allowsMultipleSelection_)
        for (IndexPath q : selected_)
            if (q != p)
                dropped.push_back(q);
    selectRowAtIndexPath(p, true, ScrollPosition::None);
    if (auto* d = delegate()) {
        for (IndexPath q : dropped)
            d->didDeselectRowAtIndexPath(this, q);
        d->didSelectRowAtIndexPath(this, p);
    }
}

void TableView::touchesBegan(TouchSet const& touches, Event const*)
{
    Touch* touch = touches.anyObject();
    pressed_ = touch ? indexPathForRowAtPoint(touch->locationInView(this)) : std::nullopt;
}

void TableView::touchesEnded(TouchSet const& touches, Event const*)
{
    Touch* touch = touches.anyObject();
    if (touch && pressed_ && indexPathForRowAtPoint(touch->locationInView(this)) == pressed_)
        tapRowByUser(*pressed_);
    pressed_.reset();
}

void TableView::touchesCancelled(TouchSet const&, Event const*)
{
    pressed_.reset();
}

TableView* TableViewController::tableView()
{
    return dynamic_cast<TableView*>(view());
}

void TableViewController::loadView()
{
    auto table = std::make_shared<TableView>(Rect({0, 0}, defaultViewSize()), style_);
    table->setDataSource(this);
    table->setDelegate(this);
    setView(table);
}

void TableViewController::viewWillAppear(bool)
{
    tableView()->reloadData();
}

} // namespace Platform
