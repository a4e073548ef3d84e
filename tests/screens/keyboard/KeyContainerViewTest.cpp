#include "screens/keyboard/Lumora_KeyContainerView.h"

#include "platform/ui/ScrollView.h"
#include "platform/ui/Window.h"
#include "screens/keyboard/KeyboardTestSupport.h"

#include <gtest/gtest.h>

using namespace KeyboardTest;
using Platform::Touch;

namespace {

// A scroll view holding a container of four keys 100 x 100 at x 0, 100, 200, 300 (tags 1 to 4),
// with a gap between keys 3 and 4 at x 260..300 where the container shows; key 4 sits inside a
// plain group view. The window is the scroll view's size, so window and container points agree.
class KeyContainer : public ::testing::Test {
protected:
    void SetUp() override {
        window->addSubview(scroll);
        scroll->setContentSize({400, 200});
        scroll->setCanCancelContentTouches(false);  // as the keyboard: a pan never takes key touches
        scroll->addSubview(container);
        container->setDelegate(&delegate);
        for (int i = 0; i < 3; ++i)
            keys.push_back(addKey(*container, Rect(100.0 * i, 0, i == 2 ? 60 : 100, 100), i + 1));
        auto group = std::make_shared<Platform::View>(Rect(300, 0, 100, 100));
        container->addSubview(group);
        keys.push_back(addKey(*group, Rect(0, 0, 100, 100), 4));
    }

    static std::shared_ptr<Lumora_KeyView> addKey(Platform::View& parent, Rect frame, int tag) {
        auto key = std::make_shared<Lumora_KeyView>(frame);
        key->setTag(tag);
        parent.addSubview(key);
        return key;
    }

    // Points in the middle of key i (1-based), at height y.
    static Point on(int key, double y = 50) { return {100.0 * (key - 1) + 30, y}; }
    static constexpr Point kGap{280, 50};
    static constexpr Point kOutside{50, 150};

    double t = 0;
    double next() { return t += 0.01; }
    Touch* down(Point p) { return window->beginTouch(p, next()); }
    void move(Touch* touch, Point p) { window->moveTouch(touch, p, next()); }
    void up(Touch* touch, Point p) { window->endTouch(touch, p, next()); }

    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 400, 200));
    std::shared_ptr<Platform::ScrollView> scroll = std::make_shared<Platform::ScrollView>(Rect(0, 0, 400, 200));
    std::shared_ptr<Lumora_KeyContainerView> container = std::make_shared<Lumora_KeyContainerView>(Rect(0, 0, 400, 200));
    std::vector<std::shared_ptr<Lumora_KeyView>> keys;
    RecordingKeyDelegate delegate;
};

} // namespace

TEST_F(KeyContainer, AMomentaryPressAndReleaseReportOnceEachWithTheStateAlreadySet)
{
    Touch* touch = down(on(2, 20));
    EXPECT_TRUE(keys[1]->pressed());
    EXPECT_TRUE(keys[1]->on());
    up(touch, on(2, 70));
    EXPECT_FALSE(keys[1]->pressed());
    EXPECT_FALSE(keys[1]->on());
    ASSERT_EQ(delegate.summary(), (std::vector<std::string>{"down 2", "up 2"}));
    EXPECT_TRUE(delegate.reports[0].pressed && delegate.reports[0].on);
    EXPECT_EQ(delegate.reports[0].touchedPoint, (Point{30, 20}));
    EXPECT_FALSE(delegate.reports[1].pressed || delegate.reports[1].on);
    EXPECT_EQ(delegate.reports[1].touchedPoint, (Point{30, 70}));
    EXPECT_TRUE(container->touchedKeyInfos().empty());
}

TEST_F(KeyContainer, FingersOnDifferentKeysGoDownAndUpIndependently)
{
    Touch* a = down(on(1));
    Touch* b = down(on(3));
    EXPECT_TRUE(keys[0]->pressed() && keys[2]->pressed());
    up(a, on(1));
    EXPECT_FALSE(keys[0]->pressed());
    EXPECT_TRUE(keys[2]->pressed());
    Touch* c = down(on(4));
    up(b, on(3));
    up(c, on(4));
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 1", "down 3", "up 1", "down 4", "up 3", "up 4"}));
    for (auto const& key : keys)
        EXPECT_FALSE(key->pressed());
}

TEST_F(KeyContainer, AKeyUnderTwoFingersGoesUpOnlyWhenBothHaveLeft)
{
    Touch* a = down(on(1, 30));
    Touch* b = down(on(1, 60));
    up(a, on(1));
    EXPECT_TRUE(keys[0]->pressed());
    EXPECT_TRUE(keys[0]->on());
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 1"}));
    // The second finger glides away: only now is the key released, and the next one pressed.
    move(b, on(2));
    EXPECT_FALSE(keys[0]->pressed());
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 1", "up 1", "down 2"}));
    // A finger gliding onto a key another finger holds does not press it again.
    Touch* c = down(on(3));
    move(c, on(2));
    up(b, on(2));
    EXPECT_TRUE(keys[1]->pressed());
    up(c, on(2));
    EXPECT_EQ(delegate.summary(),
              (std::vector<std::string>{"down 1", "up 1", "down 2", "down 3", "up 3", "up 2"}));
}

TEST_F(KeyContainer, AGlideReleasesTheOldKeyThenPressesTheNewOneWithBothStatesSetFirst)
{
    Touch* touch = down(on(1, 40));
    move(touch, on(1, 45));  // moving inside a key changes nothing
    EXPECT_EQ(keys[0]->touchedPoint(), (Point{30, 40}));
    move(touch, on(2, 80));
    ASSERT_EQ(delegate.summary(), (std::vector<std::string>{"down 1", "up 1", "down 2"}));
    // At key 1's release key 2 is already pressed, and both touched points are the glide's.
    KeyReport const& release = delegate.reports[1];
    EXPECT_FALSE(release.pressed);
    EXPECT_EQ(release.touchedPoint, (Point{130, 80}));
    KeyReport const& press = delegate.reports[2];
    EXPECT_TRUE(press.pressed);
    EXPECT_EQ(press.touchedPoint, (Point{30, 80}));
    ASSERT_EQ(container->touchedKeyInfos().size(), 1u);
    EXPECT_EQ(container->touchedKeyInfos().front().touchedKey(), keys[1]);
    up(touch, on(2));
}

TEST_F(KeyContainer, ToggledKeysFlipOncePerPressAndKeepTheirStateOnRelease)
{
    container->setToggled(true);
    keys[1]->setOn(true);
    Touch* touch = down(on(1));
    move(touch, on(2));
    move(touch, on(3));
    up(touch, on(3));
    EXPECT_TRUE(keys[0]->on());
    EXPECT_FALSE(keys[1]->on());
    EXPECT_TRUE(keys[2]->on());
    for (auto const& key : keys)
        EXPECT_FALSE(key->pressed());
    // A second tap flips back.
    window->tap(on(1), next());
    EXPECT_FALSE(keys[0]->on());
}

TEST_F(KeyContainer, AFingerFromBetweenKeysPressesTheKeyItReachesAndReleasesItWhenItLeaves)
{
    Touch* touch = down(kGap);
    EXPECT_TRUE(delegate.reports.empty());
    EXPECT_TRUE(container->touchedKeyInfos().empty());
    move(touch, on(3));
    EXPECT_TRUE(keys[2]->pressed());
    move(touch, kOutside);
    EXPECT_FALSE(keys[2]->pressed());
    EXPECT_TRUE(container->touchedKeyInfos().empty());
    // Back onto a key nested inside a group view.
    move(touch, on(4));
    EXPECT_TRUE(keys[3]->pressed());
    up(touch, on(4));
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 3", "up 3", "down 4", "up 4"}));
}

TEST_F(KeyContainer, ACancelledTouchReleasesItsKeyEvenMidGlide)
{
    Touch* touch = down(on(1));
    move(touch, on(2));
    window->cancelTouch(touch, next());
    EXPECT_FALSE(keys[1]->pressed());
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 1", "up 1", "down 2", "up 2"}));
    EXPECT_TRUE(container->touchedKeyInfos().empty());
    EXPECT_TRUE(scroll->isScrollEnabled());
}

TEST_F(KeyContainer, ScrollingStaysLockedWhileAnyFingerHoldsAKey)
{
    Touch* holder = down(on(1));
    EXPECT_FALSE(scroll->isScrollEnabled());
    Touch* slider = down(on(2));
    move(slider, kOutside);
    up(slider, kOutside);
    EXPECT_FALSE(scroll->isScrollEnabled());
    up(holder, on(1));
    EXPECT_TRUE(scroll->isScrollEnabled());

    // A finger that slid off the keys unlocks when it lifts too, once no key is held.
    Touch* wanderer = down(on(3));
    move(wanderer, kOutside);
    EXPECT_FALSE(scroll->isScrollEnabled());
    up(wanderer, kOutside);
    EXPECT_TRUE(scroll->isScrollEnabled());
}

TEST_F(KeyContainer, ADisabledKeyIsStillPlayed)
{
    keys[0]->setDisabled(true);
    window->tap(on(1), next());
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 1", "up 1"}));
}

TEST_F(KeyContainer, KeyStatesAreSetAndReadByTagThroughNestedViews)
{
    // A second key tagged 4 after the first: state operations reach both, queries the first.
    auto twin = std::make_shared<Lumora_KeyView>(Rect(0, 150, 10, 10));
    twin->setTag(4);
    container->addSubview(twin);

    container->setAllOn(true);
    container->toggleOn(4);
    for (auto const& key : keys)
        EXPECT_EQ(key->on(), key->tag() == 4) << key->tag();
    EXPECT_TRUE(twin->on());
    EXPECT_TRUE(container->isOn(4));
    EXPECT_FALSE(container->isOn(99));

    container->setDisabled(true, 4);
    EXPECT_TRUE(keys[3]->disabled() && twin->disabled());
    twin->setDisabled(false);
    EXPECT_TRUE(container->isDisabled(4));  // the first key of the walk answers
    container->toggleDisabled(2);
    EXPECT_TRUE(keys[1]->disabled());
    EXPECT_FALSE(keys[3]->disabled());

    container->setLighted(true, 3);
    EXPECT_TRUE(container->isLighted(3));
    container->setAllLighted(false);
    EXPECT_FALSE(container->isLighted(3));

    container->setAlpha(0.5, 2);
    EXPECT_DOUBLE_EQ(keys[1]->alpha(), 0.5);
    EXPECT_DOUBLE_EQ(keys[0]->alpha(), 1.0);
    EXPECT_DOUBLE_EQ(container->alpha(), 1.0);
    EXPECT_FALSE(container->isPressed(1));
}

TEST_F(KeyContainer, SettersRedrawOnlyOnChange)
{
    auto before = keys[0]->displayRequestCount();
    keys[0]->setOn(false);
    keys[0]->setTouchedPoint({1, 1});
    EXPECT_EQ(keys[0]->displayRequestCount(), before);
    keys[0]->setLighted(true);
    EXPECT_EQ(keys[0]->displayRequestCount(), before + 1);
}

TEST_F(KeyContainer, AllKeyOffReleasesEveryHeldKeyOnceAndUnlocksScrolling)
{
    Touch* a = down(on(1));
    Touch* b = down(on(2));
    Touch* c = down(on(2, 80));
    container->allKeyOff();
    EXPECT_EQ(delegate.summary(), (std::vector<std::string>{"down 1", "down 2", "up 1", "up 2"}));
    EXPECT_FALSE(keys[0]->pressed() || keys[1]->pressed());
    EXPECT_TRUE(keys[0]->on());  // on and the touched point are left as they were
    EXPECT_TRUE(container->touchedKeyInfos().empty());
    EXPECT_TRUE(scroll->isScrollEnabled());
    // The fingers lifting afterwards report nothing more.
    up(a, on(1));
    up(b, on(2));
    up(c, on(2));
    EXPECT_EQ(delegate.reports.size(), 4u);
}

TEST(FindAncestorScrollView, FindsTheViewItselfOrTheNearestScrollingAncestor)
{
    auto outer = std::make_shared<Platform::ScrollView>();
    auto inner = std::make_shared<Platform::ScrollView>();
    auto leaf = std::make_shared<Platform::View>();
    outer->addSubview(inner);
    inner->addSubview(leaf);
    EXPECT_EQ(findAncestorScrollView(leaf.get()), inner.get());
    EXPECT_EQ(findAncestorScrollView(outer.get()), outer.get());
    auto lone = std::make_shared<Platform::View>();
    EXPECT_EQ(findAncestorScrollView(lone.get()), nullptr);
}
