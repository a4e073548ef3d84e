#include "controls/graph/Lumora_ArrayGraphView.h"
#include "controls/graph/findSuperView.h"
#include "controls/image/PeriphTestSupport.h"
#include "platform/ui/ScrollView.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace Platform;
using namespace PeriphTest;

namespace {

using Change = std::tuple<int, float, bool>;

struct Recording : Lumora_ArrayGraphView_Observer {
    std::vector<Change> changes;
    void didChangeArrayGraphView(Lumora_ArrayGraphView*, int index, float value, bool relative) override
    {
        changes.emplace_back(index, value, relative);
    }
};

// A graph of `size` columns, 160 x 100 at (100, 100) of a scroll view that fills the screen, with
// one recording observer and a clock the test moves by hand.
struct GraphRig : Screen {
    std::shared_ptr<ScrollView> scroll = std::make_shared<ScrollView>(Rect(0, 0, 600, 400));
    std::shared_ptr<Lumora_ArrayGraphView> graph = std::make_shared<Lumora_ArrayGraphView>(Rect(100, 100, 160, 100));
    std::shared_ptr<Recording> observer = std::make_shared<Recording>();
    double now = 0;

    explicit GraphRig(uint32_t size = 8)
    {
        graph->setSize(size);
        graph->addObserver(observer);
        graph->longTapObserver()->setClock([this] { return now; });
        scroll->setContentSize({600, 1000});
        scroll->addSubview(graph);
        view()->addSubview(scroll);
        window->layoutIfNeeded();
    }
    Point at(double x, double y) const { return {100 + x, 100 + y}; }
};

void expectChange(Change const& c, int index, float value, bool relative)
{
    EXPECT_EQ(std::get<0>(c), index);
    EXPECT_NEAR(std::get<1>(c), value, 1e-6);
    EXPECT_EQ(std::get<2>(c), relative);
}

} // namespace

TEST(ArrayGraph, StartsEmptyAndClear)
{
    Lumora_ArrayGraphView graph;
    EXPECT_EQ(graph.defaultValue(), 0.0f);
    EXPECT_EQ(graph.backgroundColor(), Color::clearColor());
    EXPECT_TRUE(graph.observers().empty());
    ASSERT_NE(graph.longTapObserver(), nullptr);
    EXPECT_EQ(graph.currentOperationIndex(), 0);
    EXPECT_FALSE(graph.bipole());
    EXPECT_FALSE(graph.allowPreciseMode());
    EXPECT_FALSE(graph.preciseMode());
}

TEST(ArrayGraph, APositionPicksAColumnAndAValueByHeight)
{
    Lumora_ArrayGraphView graph(Rect(0, 0, 160, 100));
    graph.setSize(8);
    struct Case {
        double x;
        int index;
    };
    for (Case c : std::initializer_list<Case>{{19, 0}, {20, 1}, {159.9, 7}, {170, 7}, {-5, 0}, {-30, 0}})
        EXPECT_EQ(graph.valueFromPoint({c.x, 50}).first, c.index) << c.x;
    EXPECT_EQ(graph.currentOperationIndex(), 0);

    struct Height {
        bool bipole;
        double y;
        float value;
    };
    for (Height h : std::initializer_list<Height>{{false, 0, 1}, {false, 75, 0.25f}, {false, 120, 0}, {false, -10, 1},
                                                  {true, 50, 0}, {true, 75, -0.5f}, {true, 0, 1}, {true, 130, -1}}) {
        graph.setBipole(h.bipole);
        EXPECT_FLOAT_EQ(graph.valueFromPoint({10, h.y}).second, h.value) << h.bipole << " " << h.y;
    }
    EXPECT_EQ(graph.pointLast(), (Point{10, 130}));

    // An operable rectangle maps instead of the whole view.
    Lumora_ArrayGraphView inner(Rect(0, 0, 100, 100));
    inner.setSize(4);
    inner.setOperableRect(Rect(10, 10, 80, 80));
    auto const corner = inner.valueFromPoint({10, 90});
    EXPECT_EQ(corner.first, 0);
    EXPECT_FLOAT_EQ(corner.second, 0);
    auto const middle = inner.valueFromPoint({50, 50});
    EXPECT_EQ(middle.first, 2);
    EXPECT_FLOAT_EQ(middle.second, 0.5f);
    // One without height would divide by zero: the whole view is used.
    inner.setOperableRect(Rect(10, 10, 80, 0));
    EXPECT_FLOAT_EQ(inner.valueFromPoint({50, 25}).second, 0.75f);
}

TEST(ArrayGraph, DrawingAcrossTheBarsSetsEachColumnUnderTheFinger)
{
    GraphRig rig;
    Touch* t = rig.down(rig.at(5, 50));
    EXPECT_TRUE(rig.observer->changes.empty());  // touch-down only picks the element
    EXPECT_EQ(rig.graph->currentOperationIndex(), 0);
    // Across all eight columns, rising from 0.1 to 0.8.
    for (int i = 0; i < 8; ++i)
        rig.move(t, rig.at(10 + 20 * i, 90 - 10 * i));
    rig.up(t, rig.at(150, 20));
    ASSERT_EQ(rig.observer->changes.size(), 8u);
    for (int i = 0; i < 8; ++i)
        expectChange(rig.observer->changes[static_cast<std::size_t>(i)], i, 0.1f + 0.1f * i, false);
    EXPECT_EQ(rig.graph->currentOperationIndex(), -1);

    // A tap without movement changes nothing.
    rig.observer->changes.clear();
    rig.tap(rig.at(50, 50));
    EXPECT_TRUE(rig.observer->changes.empty());
}

TEST(ArrayGraph, ADoubleTapSetsTheDefaultValue)
{
    GraphRig rig;
    rig.graph->setDefaultValue(0.4f);
    rig.tap(rig.at(70, 20), 2);  // column 3
    ASSERT_EQ(rig.observer->changes.size(), 1u);
    expectChange(rig.observer->changes[0], 3, 0.4f, false);
    // Single and triple taps report nothing.
    rig.tap(rig.at(70, 20), 1);
    rig.tap(rig.at(70, 20), 3);
    EXPECT_EQ(rig.observer->changes.size(), 1u);
}

TEST(ArrayGraph, ALongPressSwitchesToRelativeChangesOfThePickedElement)
{
    GraphRig rig;
    rig.graph->setAllowPreciseMode(true);
    Touch* t = rig.down(rig.at(50, 50));  // column 2
    rig.now = 0.1;
    rig.move(t, rig.at(50.5, 50));  // still; not long yet
    ASSERT_EQ(rig.observer->changes.size(), 1u);
    expectChange(rig.observer->changes[0], 2, 0.5f, false);
    EXPECT_FALSE(rig.graph->preciseMode());

    rig.now = 0.3;
    rig.move(t, rig.at(51, 50));  // held still for more than 0.25 s
    EXPECT_TRUE(rig.graph->preciseMode());
    rig.now = 0.4;
    rig.move(t, rig.at(120, 30));  // up 20 points; sideways does not change the element
    rig.now = 0.5;
    rig.move(t, rig.at(120, 70));  // down 40 points
    ASSERT_EQ(rig.observer->changes.size(), 4u);
    expectChange(rig.observer->changes[1], 2, 0.0f, true);
    expectChange(rig.observer->changes[2], 2, 0.05f, true);
    expectChange(rig.observer->changes[3], 2, -0.1f, true);
    rig.up(t, rig.at(120, 70));
    EXPECT_EQ(rig.graph->currentOperationIndex(), -1);

    // The next gesture starts absolute again.
    Touch* u = rig.down(rig.at(10, 10));
    EXPECT_FALSE(rig.graph->preciseMode());
    rig.move(u, rig.at(10, 20));
    expectChange(rig.observer->changes.back(), 0, 0.8f, false);
    rig.up(u, rig.at(10, 20));
}

TEST(ArrayGraph, WithoutPreciseModeNoTimerIsEverScheduled)
{
    GraphRig rig;
    Touch* t = rig.down(rig.at(50, 50));
    for (int i = 1; i <= 5; ++i) {
        rig.now = i;
        rig.move(t, rig.at(50, 50));
        EXPECT_FALSE(rig.graph->preciseMode());
        EXPECT_EQ(rig.graph->longTapObserver()->timer(), nullptr);
    }
    rig.up(t, rig.at(50, 50));
    for (auto const& c : rig.observer->changes)
        EXPECT_FALSE(std::get<2>(c));
}

TEST(ArrayGraph, AFingerDownStopsTheEnclosingScrollViewUntilItLifts)
{
    GraphRig rig;
    Touch* t = rig.down(rig.at(50, 50));
    EXPECT_FALSE(rig.scroll->isScrollEnabled());
    EXPECT_TRUE(rig.graph->backupScrollEnabledState());
    rig.up(t, rig.at(50, 50));
    EXPECT_TRUE(rig.scroll->isScrollEnabled());

    // A cancelled touch gives scrolling back too, and keeps the element.
    t = rig.down(rig.at(70, 50));
    rig.cancel(t);
    EXPECT_TRUE(rig.scroll->isScrollEnabled());
    EXPECT_EQ(rig.graph->currentOperationIndex(), 3);

    // A scroll view that did not scroll stays so.
    rig.scroll->setScrollEnabled(false);
    rig.tap(rig.at(50, 50));
    EXPECT_FALSE(rig.scroll->isScrollEnabled());

    // Nothing to restore without a touch-down first: the scroll switch is left alone.
    rig.scroll->setScrollEnabled(true);
    rig.graph->restoreScrollState();
    EXPECT_TRUE(rig.scroll->isScrollEnabled());

    // Outside any scroll view nothing happens.
    Lumora_ArrayGraphView loose(Rect(0, 0, 10, 10));
    loose.stopScroll();
    loose.restoreScrollState();
}

TEST(ArrayGraph, FindSuperViewWalksUpFromTheViewItself)
{
    GraphRig rig;
    EXPECT_EQ(findSuperView<ScrollView>(rig.graph.get()), rig.scroll.get());
    EXPECT_EQ(findSuperView<ScrollView>(rig.scroll.get()), rig.scroll.get());
    EXPECT_EQ(findSuperView<Lumora_ArrayGraphView>(rig.graph.get()), rig.graph.get());
    EXPECT_EQ(findSuperView<Lumora_ArrayGraphView>(rig.scroll.get()), nullptr);
    EXPECT_EQ(findSuperView<View>(nullptr), nullptr);
}

TEST(ArrayGraph, ObserversAreHeldUntilRemovedAndAllAreTold)
{
    GraphRig rig;
    auto second = std::make_shared<Recording>();
    std::weak_ptr<Recording> weak = second;
    rig.graph->addObserver(second);
    second.reset();
    ASSERT_FALSE(weak.expired());
    rig.graph->addObserver(weak.lock());  // added once only
    EXPECT_EQ(rig.graph->observers().size(), 2u);

    Touch* t = rig.down(rig.at(10, 50));
    rig.move(t, rig.at(10, 60));
    EXPECT_EQ(rig.observer->changes.size(), 1u);
    EXPECT_EQ(weak.lock()->changes.size(), 1u);
    rig.graph->removeObserver(weak.lock().get());
    EXPECT_TRUE(weak.expired());
    rig.move(t, rig.at(10, 70));
    rig.up(t, rig.at(10, 70));
    EXPECT_EQ(rig.observer->changes.size(), 2u);
}

TEST(ArrayGraph, AGraphWithoutElementsReportsNothing)
{
    GraphRig rig(0);
    Touch* t = rig.down(rig.at(10, 50));
    rig.move(t, rig.at(30, 60));
    rig.up(t, rig.at(30, 60));
    rig.tap(rig.at(30, 60), 2);
    EXPECT_TRUE(rig.observer->changes.empty());
}
