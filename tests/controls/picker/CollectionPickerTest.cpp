#include "controls/image/PeriphTestSupport.h"
#include "controls/picker/Lumora_CollectionViewCell.h"
#include "controls/picker/Lumora_CollectionVwCtrlr.h"
#include "engine/parameter/ParameterManager.h"
#include "platform/foundation/TemporaryDirectory.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <vector>

using namespace Platform;
using namespace PeriphTest;

namespace {

// Items of the given values, each pictured as "pic<value>"; it may claim more items than it has.
class TestCollection : public Lumora::iCollection {
public:
    explicit TestCollection(std::vector<uint32_t> values, unsigned claimed = 0) : claimed_(claimed)
    {
        for (uint32_t v : values)
            items_.push_back({v, "pic" + std::to_string(v)});
    }
    int valueToIndex(int value) const override
    {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (static_cast<int>(items_[i].value) == value)
                return static_cast<int>(i);
        return -1;
    }
    Item const* itemFromIndex(int index) const override
    {
        return index >= 0 && index < static_cast<int>(items_.size()) ? &items_[static_cast<std::size_t>(index)] : nullptr;
    }
    unsigned numOfItems() const override { return claimed_ ? claimed_ : static_cast<unsigned>(items_.size()); }

private:
    std::vector<Item> items_;
    unsigned claimed_;
};

// A bundle folder with a small picture of one colour per name.
struct PictureBundle {
    boost::filesystem::path path = boost::filesystem::path(Platform::temporaryDirectory())
                                   / boost::filesystem::unique_path("picker-%%%%%%");
    std::shared_ptr<Bundle> bundle;

    explicit PictureBundle(std::vector<std::pair<std::string, Color>> const& pictures)
    {
        boost::filesystem::create_directories(path);
        for (auto const& [name, color] : pictures) {
            BitmapContext bitmap({40, 20});
            bitmap.context().setFillColor(color);
            bitmap.context().fillRect(Rect(0, 0, 40, 20));
            bitmap.makeImage().writePNG((path / (name + ".png")).string());
        }
        bundle = Bundle::withPath(path.string());
    }
    ~PictureBundle()
    {
        boost::system::error_code ignored;
        boost::filesystem::remove_all(path, ignored);
    }
};

struct ChangeLog : Lumora::ParameterObserver {
    std::vector<std::pair<float, Token>> changes;
    std::vector<AutoEvent> events;
    void didChangeParam(Lumora::Parameter const* p, Token token, AutoEvent event) override
    {
        changes.emplace_back(p->normalizedValue(), token);
        events.push_back(event);
    }
};

struct ChoiceLog : Lumora_CollectionVwCtrlr_Delegate {
    std::vector<std::pair<int, uint32_t>> choices;
    void Lumora_CollectionVwCtrlr_index_item(Lumora_CollectionVwCtrlr*, int index,
                                             Lumora::iCollection::Item const* item) override
    {
        choices.emplace_back(index, item->value);
    }
};

// A picker embedded in a screen, sized from its content.
struct PickerRig : Screen {
    std::shared_ptr<Lumora_CollectionVwCtrlr> picker = std::make_shared<Lumora_CollectionVwCtrlr>();

    void show(Point origin = {20, 20})
    {
        picker->loadViewIfNeeded();
        picker->view()->setFrame(Rect(origin, picker->contentSize()));
        root->addChildViewController(picker);
        view()->addSubview(picker->sharedView());
        window->layoutIfNeeded();
    }
    Lumora_CollectionViewCell* cell(int i) const
    {
        return dynamic_cast<Lumora_CollectionViewCell*>(
            picker->collectionView()->cellForItemAtIndexPath(IndexPath::forItem(i, 0)));
    }
    std::vector<IndexPath> selected() const { return picker->collectionView()->indexPathsForSelectedItems(); }
};

} // namespace

TEST(CollectionPicker, StartsWithItsDefaults)
{
    Lumora_CollectionVwCtrlr picker;
    EXPECT_EQ(picker.identity(), -1);
    EXPECT_EQ(picker.numOfItemsToDisplay(), 6u);
    EXPECT_EQ(picker.selectedValue(), 0);
    EXPECT_EQ(picker.collection(), nullptr);
    EXPECT_EQ(picker.parameter(), nullptr);
    EXPECT_EQ(picker.delegate(), nullptr);
    EXPECT_EQ(picker.cellSpacing(), 10);
    EXPECT_EQ(picker.scrollDirection(), 1);
    EXPECT_EQ(picker.cellBackgroundColor(), Color::darkGrayColor());
    EXPECT_EQ(picker.selectedBorderWidth(), 2);
    EXPECT_EQ(picker.selectedBorderColor(), Color::redColor());
    EXPECT_EQ(picker.collectionView(), nullptr);
    EXPECT_EQ(picker.cellSize(), (Size{50, 50}));
    EXPECT_EQ(picker.edgeInsets(), (EdgeInsets{5, 10, 5, 5}));
    EXPECT_EQ(picker.itemFromIndex(0), nullptr);
    EXPECT_EQ(picker.valueToIndex(0), -1);
    EXPECT_EQ(picker.numOfItems(), 0u);
}

TEST(CollectionPicker, ContentSizeShowsUpToTheDisplayedCountAndAHalf)
{
    Lumora_CollectionVwCtrlr picker;
    EXPECT_EQ(picker.contentSize(), (Size{15, 70}));  // insets only
    TestCollection four({1, 2, 3, 4});
    picker.setCollection(&four);
    EXPECT_EQ(picker.contentSize(), (Size{255, 70}));
    TestCollection ten({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    picker.setCollection(&ten);
    EXPECT_EQ(picker.contentSize(), (Size{405, 70}));
    EXPECT_EQ(picker.frameSizeForRows(2, 3), (Size{135, 190}));
}

TEST(CollectionPicker, TheGridIsBuiltFromTheConfigurationWhenTheViewLoads)
{
    TestCollection items({3, 5, 9});
    PictureBundle pictures({{"pic3", Color::greenColor()}, {"pic5", Color::blueColor()}});
    PickerRig rig;
    rig.picker->setCollection(&items);
    rig.picker->setBundleForImage(pictures.bundle);
    rig.picker->setCellSize({40, 30});
    rig.picker->setCellSpacing(4);
    rig.picker->setCellBackgroundColor(Color::blackColor());
    rig.picker->setSelectedBorderWidth(3);
    rig.picker->setSelectedBorderColor(Color(1, 1, 0, 1));
    rig.show();

    CollectionView* grid = rig.picker->collectionView();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(rig.picker->view()->backgroundColor(), Color::clearColor());
    EXPECT_EQ(grid->layout().itemSize, (Size{40, 30}));
    EXPECT_EQ(grid->layout().minimumInteritemSpacing, 4);
    EXPECT_EQ(grid->layout().minimumLineSpacing, 4);
    EXPECT_EQ(grid->layout().sectionInset, (EdgeInsets{5, 10, 5, 5}));
    EXPECT_EQ(grid->layout().scrollDirection, CollectionViewFlowLayout::ScrollDirection::Horizontal);
    EXPECT_FALSE(grid->bounces());
    EXPECT_FALSE(grid->allowsMultipleSelection());
    EXPECT_EQ(grid->backgroundColor(), Color::blackColor());
    EXPECT_EQ(grid->autoresizingMask(), 18u);
    EXPECT_EQ(grid->frame(), Rect({0, 0}, rig.picker->contentSize()));

    ASSERT_EQ(grid->numberOfItemsInSection(0), 3);
    for (int i = 0; i < 3; ++i) {
        Lumora_CollectionViewCell* cell = rig.cell(i);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->backgroundColor(), Color::blackColor());
        EXPECT_EQ(cell->selectedBorderWidth(), 3);
        EXPECT_EQ(cell->selectedBorderColor(), Color(1, 1, 0, 1));
        EXPECT_TRUE(cell->label()->isHidden());
        EXPECT_EQ(cell->imageVw()->frame(), Rect(0, 0, 40, 30));
        EXPECT_TRUE(cell->imageVw()->clipsToBounds());
        EXPECT_EQ(cell->imageVw()->layer().cornerRadius, 5);
    }
    EXPECT_EQ(rig.cell(1)->value(), 5u);
    EXPECT_FALSE(rig.cell(0)->imageVw()->image().isNull());
    EXPECT_TRUE(rig.cell(2)->imageVw()->image().isNull());  // the bundle has no "pic9"

    // Later changes of the configuration do not reach the grid.
    rig.picker->setCellSize({10, 10});
    EXPECT_EQ(grid->layout().itemSize, (Size{40, 30}));
}

TEST(CollectionPicker, TheBoundParameterSelectsItsItemWhenLaidOut)
{
    TestCollection items({10, 20, 30, 40, 50, 60, 64, 70, 80, 90});
    Lumora::Parameter_UInt parameter(nullptr, 5, "P", "P", 0, 0, 127, Opt::None, kSound, 0);
    parameter.setNormalizedValue(0.5f, Token::Mixed, AutoEvent::None);  // 63.5 steps: 64
    PickerRig rig;
    rig.picker->setCollection(&items);
    rig.picker->setParameter(&parameter);
    rig.show();
    EXPECT_EQ(rig.picker->selectedValue(), 64);
    ASSERT_EQ(rig.selected(), (std::vector<IndexPath>{IndexPath::forItem(6, 0)}));
    EXPECT_TRUE(rig.cell(6)->isSelected());
    EXPECT_EQ(rig.cell(6)->imageVw()->layer().borderWidth, 2);
    EXPECT_EQ(rig.cell(6)->imageVw()->layer().borderColor, Color::redColor());
    // Centred horizontally: the cell's middle is the middle of the visible grid.
    CollectionView* grid = rig.picker->collectionView();
    EXPECT_NEAR(rig.cell(6)->frame().midX() - grid->contentOffset().x, grid->bounds().width() / 2, 0.01);

    // Selecting another value moves the selection and the frame.
    rig.picker->setSelectedValue(20);
    EXPECT_EQ(rig.selected(), (std::vector<IndexPath>{IndexPath::forItem(1, 0)}));
    EXPECT_EQ(rig.cell(6)->imageVw()->layer().borderWidth, 0);
    EXPECT_EQ(rig.picker->contentSize().width, 405);
}

TEST(CollectionPicker, AValueWithoutAnItemSelectsNothing)
{
    TestCollection items({1, 2, 3});
    Lumora::Parameter_UInt parameter(nullptr, 5, "P", "P", 0, 0, 127, Opt::None, kSound, 0);
    parameter.setNormalizedValue(0.5f, Token::Mixed, AutoEvent::None);
    PickerRig rig;
    rig.picker->setCollection(&items);
    rig.picker->setParameter(&parameter);
    rig.show();
    EXPECT_EQ(rig.picker->selectedValue(), 64);
    EXPECT_TRUE(rig.selected().empty());
}

TEST(CollectionPicker, ATapWritesTheChosenValueIntoTheParameter)
{
    TestCollection items({0, 2, 7, 100});
    Lumora::ParameterManager manager("test", 1, nullptr);
    Lumora::Parameter_UInt parameter(&manager, 5, "P", "P", 0, 0, 50, Opt::None, kSound, 0);
    ChangeLog log;
    manager.addObserver(&log);
    PickerRig rig;
    rig.picker->setCollection(&items);
    rig.picker->setParameter(&parameter);
    rig.show({20, 20});

    // A real tap on the third cell.
    Rect const f = rig.cell(2)->frame();
    Point const p = rig.picker->collectionView()->convertPointToWindow({f.midX(), f.midY()});
    rig.tap(p);
    EXPECT_EQ(rig.picker->selectedValue(), 7);
    ASSERT_EQ(log.changes.size(), 1u);
    EXPECT_FLOAT_EQ(log.changes[0].first, 7 / 127.0f);
    EXPECT_EQ(static_cast<int>(log.changes[0].second), 4);  // the picker's originator token
    EXPECT_EQ(log.events[0], AutoEvent::SetValue);
    EXPECT_EQ(rig.selected(), (std::vector<IndexPath>{IndexPath::forItem(2, 0)}));

    // The parameter clamps a value beyond its range.
    rig.picker->collectionView()->tapItemByUser(IndexPath::forItem(3, 0));
    EXPECT_EQ(rig.picker->selectedValue(), 100);
    EXPECT_FLOAT_EQ(parameter.concreteValue(), 50);
    manager.removeObserver(&log);
}

TEST(CollectionPicker, WithADelegateOnlyTheDelegateHearsOfATap)
{
    TestCollection items({4, 8});
    Lumora::Parameter_UInt parameter(nullptr, 5, "P", "P", 0, 0, 127, Opt::None, kSound, 0);
    ChoiceLog choices;
    PickerRig rig;
    rig.picker->setCollection(&items);
    rig.picker->setParameter(&parameter);
    rig.picker->setDelegate(&choices);
    rig.show();
    rig.picker->collectionView()->tapItemByUser(IndexPath::forItem(1, 0));
    EXPECT_EQ(choices.choices, (std::vector<std::pair<int, uint32_t>>{{1, 8}}));
    EXPECT_EQ(rig.picker->selectedValue(), 8);
    EXPECT_EQ(parameter.normalizedValue(), 0);
}

TEST(CollectionPicker, AnIndexWithoutAnItemShowsAnErrorCellThatDoesNothing)
{
    TestCollection items({1, 2, 3}, 4);  // claims a fourth item it does not have
    Lumora::Parameter_UInt parameter(nullptr, 5, "P", "P", 0, 0, 127, Opt::None, kSound, 0);
    ChoiceLog choices;
    PickerRig rig;
    rig.picker->setCollection(&items);
    rig.picker->setParameter(&parameter);
    rig.show();
    Lumora_CollectionViewCell* cell = rig.cell(3);
    ASSERT_NE(cell, nullptr);
    EXPECT_FALSE(cell->label()->isHidden());
    EXPECT_EQ(cell->label()->text(), "ERROR(3)");
    EXPECT_TRUE(cell->imageVw()->image().isNull());
    rig.picker->setSelectedValue(1);
    rig.picker->collectionView()->tapItemByUser(IndexPath::forItem(3, 0));
    EXPECT_EQ(rig.picker->selectedValue(), 1);
    EXPECT_EQ(parameter.normalizedValue(), 0);
}

TEST(CollectionPicker, WithoutACollectionTheGridIsEmpty)
{
    PickerRig rig;
    rig.show();
    EXPECT_EQ(rig.picker->collectionView()->numberOfItemsInSection(0), 0);
    rig.picker->setSelectedValue(3);
    EXPECT_TRUE(rig.selected().empty());
}
