#include "platform/foundation/Log.h"
#include "platform/ui/CollectionView.h"
#include "platform/ui/DocumentInteractionController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace Platform;

namespace {

class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<std::string> names{"Bass", "Lead", "Pad"};
    std::vector<std::string> events;
    int numberOfRowsInSection(TableView*, int) override { return static_cast<int>(names.size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView* table, IndexPath p) override
    {
        auto cell = table->dequeueReusableCellWithIdentifier("row");
        if (!cell)
            cell = std::make_shared<TableViewCell>(TableViewCell::Style::Default, "row");
        cell->textLabel()->setText(names[static_cast<std::size_t>(p.row)]);
        return cell;
    }
    bool canEditRowAtIndexPath(TableView*, IndexPath p) override { return p.row != 0; }
    void commitEditingStyle(TableView* table, int, IndexPath p) override
    {
        names.erase(names.begin() + p.row);
        table->reloadData();
    }
    void didSelectRowAtIndexPath(TableView*, IndexPath p) override { events.push_back("select " + std::to_string(p.row)); }
    void didDeselectRowAtIndexPath(TableView*, IndexPath p) override { events.push_back("deselect " + std::to_string(p.row)); }
};

class Items : public CollectionViewDataSource {
public:
    int numberOfItemsInSection(CollectionView*, int) override { return 7; }
    std::shared_ptr<CollectionViewCell> cellForItemAtIndexPath(CollectionView* view, IndexPath p) override
    {
        return view->dequeueReusableCellWithReuseIdentifier("item", p);
    }
};

} // namespace

TEST(UiWidgets, TableRowsAreTappedSelectedAndDeleted)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    auto table = std::make_shared<TableView>(Rect(0, 0, 320, 480));
    window->addSubview(table);
    Rows rows;
    table->setDataSource(&rows);
    table->setDelegate(&rows);
    table->reloadData();
    ASSERT_EQ(table->numberOfRowsInSection(0), 3);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->frame(), Rect(0, 44, 320, 44));
    EXPECT_EQ(table->contentSize().height, 132);

    window->tap({100, 50}, 0.0);  // on "Lead"
    window->tap({100, 100}, 1.0);  // on "Pad"
    EXPECT_EQ(rows.events, (std::vector<std::string>{"select 1", "deselect 1", "select 2"}));
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath{0, 2}));

    table->setAllowsMultipleSelection(true);
    table->selectRowAtIndexPath(IndexPath{0, 0}, false, TableView::ScrollPosition::None);
    EXPECT_EQ(table->indexPathsForSelectedRows().size(), 2u);
    window->tap({100, 100}, 2.0);  // toggles "Pad" off
    EXPECT_EQ(table->indexPathsForSelectedRows(), (std::vector<IndexPath>{{0, 0}}));

    EXPECT_FALSE(table->deleteRowByUser({0, 0}));
    EXPECT_TRUE(table->deleteRowByUser({0, 1}));
    EXPECT_EQ(table->numberOfRowsInSection(0), 2);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->textLabel()->text(), "Pad");
}

TEST(UiWidgets, CollectionLaysItemsOutInLinesAndSelectsOne)
{
    CollectionViewFlowLayout layout;
    layout.itemSize = {40, 30};
    layout.minimumInteritemSpacing = 10;
    layout.minimumLineSpacing = 5;
    layout.sectionInset = {2, 4, 2, 4};
    auto grid = std::make_shared<CollectionView>(Rect(0, 0, 158, 100), layout);
    grid->registerClass<CollectionViewCell>("item");
    Items items;
    grid->setDataSource(&items);
    grid->reloadData();
    // 150 points across take three items of 40 with spacing 10.
    EXPECT_EQ(grid->frameForItemAtIndexPath({0, 2}), Rect(104, 2, 40, 30));
    EXPECT_EQ(grid->frameForItemAtIndexPath({0, 3}), Rect(4, 37, 40, 30));
    EXPECT_EQ(grid->contentSize().height, 2 + 3 * 30 + 2 * 5 + 2);
    grid->selectItemAtIndexPath(IndexPath{0, 6}, false, CollectionView::Bottom);
    EXPECT_TRUE(grid->cellForItemAtIndexPath({0, 6})->isSelected());
    EXPECT_EQ(grid->contentOffset().y, 2);  // the item's bottom edge at the view's
    grid->selectItemAtIndexPath(IndexPath{0, 1}, false, CollectionView::None);
    EXPECT_EQ(grid->indexPathsForSelectedItems(), (std::vector<IndexPath>{{0, 1}}));
}

TEST(UiWidgets, PlatformControlsChangeTheirValuesByTouch)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 400, 400));
    auto segments = std::make_shared<SegmentedControl>(Rect(0, 0, 300, 30), std::vector<std::string>{"A", "B", "C"});
    auto toggle = std::make_shared<Switch>(Rect(0, 100, 50, 30));
    auto slider = std::make_shared<Slider>(Rect(0, 200, 228, 30));
    auto stepper = std::make_shared<Stepper>(Rect(0, 300, 100, 30));
    for (auto v : std::vector<std::shared_ptr<View>>{segments, toggle, slider, stepper})
        window->addSubview(v);
    int changes = 0;
    for (Control* c : std::vector<Control*>{segments.get(), toggle.get(), slider.get(), stepper.get()})
        c->addHandler([&](Control*) { ++changes; }, ControlEvents::ValueChanged);

    window->tap({250, 15}, 0.0);
    EXPECT_EQ(segments->selectedSegmentIndex(), 2);
    segments->setSelectedSegmentIndex(7);
    EXPECT_EQ(segments->selectedSegmentIndex(), SegmentedControl::noSegment);

    window->tap({25, 115}, 1.0);
    EXPECT_TRUE(toggle->isOn());

    // The track runs from 14 to 214 between the thumb's radii.
    Touch* t = window->beginTouch({14, 215}, 2.0);
    window->moveTouch(t, {114, 215}, 2.1);
    window->endTouch(t, {114, 215}, 2.2);
    EXPECT_FLOAT_EQ(slider->value(), 0.5f);

    stepper->setMaximumValue(1);
    window->tap({80, 315}, 3.0);
    window->tap({80, 315}, 4.0);  // already at the maximum: no change
    EXPECT_EQ(stepper->value(), 1);
    EXPECT_EQ(changes, 4);
}

namespace {

// Takes touches even from controls, as a subclass may choose to.
class GreedyScrollView : public ScrollView {
public:
    using ScrollView::ScrollView;
    bool touchesShouldCancelInContentView(View*) override { return true; }
};

} // namespace

TEST(UiWidgets, ScrollViewPansItsContentAndTakesTheTouchFromIt)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 200, 200));
    auto scroll = std::make_shared<GreedyScrollView>(Rect(0, 0, 200, 200));
    scroll->setContentSize({200, 1000});
    auto content = std::make_shared<Control>(Rect(0, 0, 200, 1000));
    scroll->addSubview(content);
    window->addSubview(scroll);
    int cancels = 0;
    content->addHandler([&](Control*) { ++cancels; }, ControlEvents::TouchCancel);

    Touch* t = window->beginTouch({100, 150}, 0.0);
    window->moveTouch(t, {100, 100}, 0.1);
    window->moveTouch(t, {100, 50}, 0.2);
    window->endTouch(t, {100, 50}, 0.3);
    EXPECT_EQ(scroll->contentOffset().y, 100);
    EXPECT_EQ(cancels, 1);
    // Never beyond the content.
    t = window->beginTouch({100, 50}, 1.0);
    window->moveTouch(t, {100, 190}, 1.1);
    window->endTouch(t, {100, 190}, 1.2);
    EXPECT_EQ(scroll->contentOffset().y, 0);

    scroll->setScrollEnabled(false);
    t = window->beginTouch({100, 150}, 2.0);
    window->moveTouch(t, {100, 50}, 2.1);
    window->endTouch(t, {100, 50}, 2.2);
    EXPECT_EQ(scroll->contentOffset().y, 0);
}

TEST(UiWidgets, OfferingADocumentRecordsItsPathOnlyWhenTheFileExists)
{
    DocumentInteractionController::clearOfferedPaths();
    auto missing = DocumentInteractionController::interactionControllerWithURL("/nonexistent/x.kyv_pack");
    EXPECT_FALSE(missing->presentOptionsMenuFromRect(Rect(), nullptr, true));
    auto path = std::filesystem::temp_directory_path() / "corvane_ui_offer_test.kyv_pack";
    std::ofstream(path) << "zip";
    auto offer = DocumentInteractionController::interactionControllerWithURL(path.string());
    ScopedLogCapture capture;
    EXPECT_TRUE(offer->presentOptionsMenuFromRect(Rect(), nullptr, true));
    EXPECT_EQ(DocumentInteractionController::offeredPaths(), (std::vector<std::string>{path.string()}));
    std::filesystem::remove(path);
}
