#include "controls/lamp/Lumora_Ctrl_Lamp.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/support/RecordingTheme.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

using namespace Platform;

namespace {

struct RecordingDelegate : Lumora_ControlDelegate {
    std::vector<float> values;
    void Lumora_Control_valueChanged(Lumora_Control*, float value) override { values.push_back(value); }
};

// A selector in a window with one lamp per tag, 40 points apart, and a log of the gesture state
// of every value-changed action it fires.
class LampSelector : public ::testing::Test {
protected:
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 400, 200));
    std::shared_ptr<Lumora_Ctrl_LampSelectorCntnr> selector;
    std::vector<int> actions;
    double clock = 0;

    void make(std::initializer_list<int> tags)
    {
        selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(Rect(0, 0, 400, 100));
        double x = 0;
        for (int tag : tags) {
            auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(x, 60, 30, 30));
            lamp->setTag(tag);
            selector->addSubview(lamp);
            x += 40;
        }
        // As an interface file does once the lamps are in.
        selector->awakeFromNib();
        window->addSubview(selector);
        selector->addHandler([this](Control* c) { actions.push_back(static_cast<Lumora_Control*>(c)->gestureState()); },
                             ControlEvents::ValueChanged);
    }

    std::vector<int> litTags() const
    {
        std::vector<int> lit;
        for (Lumora_Ctrl_Lamp* lamp : selector->sortedLamps())
            if (lamp->selected())
                lit.push_back(lamp->tag());
        return lit;
    }

    // A one-finger drag: down at (200, 30), a first move of 10 points right that starts the pan,
    // then every offset given (relative to that first move), lifted at the last one.
    void pan(std::vector<Point> const& offsets)
    {
        Point const start{200, 30};
        Point const began{start.x + 10, start.y};
        Touch* t = window->beginTouch(start, clock += 0.1);
        window->moveTouch(t, began, clock += 0.1);
        Point last = began;
        for (Point o : offsets) {
            last = {began.x + o.x, began.y + o.y};
            window->moveTouch(t, last, clock += 0.1);
        }
        window->endTouch(t, last, clock += 0.1);
    }
};

} // namespace

TEST(Lamp, BrightnessIsItsValueAndItsSelectedState)
{
    LampsTesting::ScopedTheme scoped;
    auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(0, 0, 40, 40));
    EXPECT_TRUE(lamp->isReadOnly());
    EXPECT_FALSE(lamp->selected());

    std::uint64_t const before = lamp->displayRequestCount();
    lamp->setValue(0.4f);
    EXPECT_GT(lamp->displayRequestCount(), before);
    EXPECT_FLOAT_EQ(lamp->normalizedValue(), 0.4f);
    EXPECT_TRUE(lamp->selected());
    EXPECT_TRUE(lamp->isSelected());

    lamp->setSelected(false);
    EXPECT_EQ(lamp->value(), 0.0f);
    EXPECT_FALSE(lamp->isSelected());
    lamp->setSelected(true);
    EXPECT_EQ(lamp->value(), 1.0f);

    lamp->setNormalizedValue(0.25f);
    EXPECT_EQ(lamp->value(), 0.25f);
    lamp->setNormalizedDefaultValue(0.6f);
    EXPECT_EQ(lamp->defaultValue(), 0.6f);
    EXPECT_EQ(lamp->normalizedDefaultValue(), 0.6f);

    // One painter request with the value and the variation.
    lamp->setVariation(3);
    renderViewToImage(*lamp);
    EXPECT_EQ(scoped.theme->log, (std::vector<std::string>{"lamp " + std::to_string(0.25f) + " 3"}));
}

TEST(Lamp, LampBoundAloneShowsItsParameter)
{
    Lumora::ParameterManager manager("test", 1, nullptr);
    Lumora::Parameter_UFloat volume(&manager, 1100, "Master Volume", "MASTER_VOLUME", 0.75f, 0, 1,
                                    Lumora::Parameter::Options::None, Lumora::SerializeWhat::GlobalSettings, 0);
    auto lamp = std::make_shared<Lumora_Ctrl_Lamp>();
    RecordingDelegate delegate;
    lamp->setDelegate(&delegate);
    lamp->setParameter(&volume);
    EXPECT_EQ(lamp->normalizedDefaultValue(), 0.75f);
    EXPECT_EQ(lamp->value(), 0.75f);
    EXPECT_EQ(delegate.values, (std::vector<float>{0.75f}));
}

TEST_F(LampSelector, ValuesAreTruncatedTowardZero)
{
    make({-2, -1, 0, 1, 2});
    struct Case {
        float given;
        float stored;
    };
    for (Case c : {Case{2.7f, 2}, Case{-1.5f, -1}, Case{0.9f, 0}, Case{-0.9f, 0}}) {
        selector->setValue(c.given);
        EXPECT_EQ(selector->value(), c.stored) << c.given;
        EXPECT_EQ(litTags(), (std::vector<int>{static_cast<int>(c.stored)})) << c.given;
    }
}

TEST_F(LampSelector, LightsTheGreatestTagNotAboveTheValue)
{
    make({0, 2, 4});
    struct Case {
        float value;
        std::vector<int> lit;
    };
    for (Case const& c : {Case{3, {2}}, Case{4, {4}}, Case{9, {4}}, Case{0, {0}}, Case{-1, {}}, Case{1, {0}}}) {
        selector->setValue(c.value);
        EXPECT_EQ(litTags(), c.lit) << c.value;
    }
    EXPECT_EQ(selector->findLampByTag(-1), nullptr);
    EXPECT_EQ(selector->findLampByTag(3)->tag(), 2);
}

TEST_F(LampSelector, UnsignedWhenNoTagIsNegative)
{
    make({0, 1, 2, 3});
    EXPECT_TRUE(selector->isUnsigned());
    selector->setValue(2);
    EXPECT_FLOAT_EQ(selector->normalizedValue(), 2.0f / 127.0f);
    // round(63.5) = 64, beyond the lamps: the greatest tag not above it is lit.
    selector->setNormalizedValue(0.5f);
    EXPECT_EQ(selector->value(), 64.0f);
    EXPECT_EQ(litTags(), (std::vector<int>{3}));
    selector->setValue(500);
    EXPECT_FLOAT_EQ(selector->normalizedValue(), 1.0f);
    // The default is kept unconverted.
    selector->setNormalizedDefaultValue(0.3f);
    EXPECT_EQ(selector->defaultValue(), 0.3f);
    EXPECT_EQ(selector->normalizedDefaultValue(), 0.3f);
}

TEST_F(LampSelector, SignedWhenATagIsNegative)
{
    make({-1, 0, 1});
    EXPECT_FALSE(selector->isUnsigned());
    struct Case {
        float value;
        float normalized;
    };
    for (Case c : {Case{-64, 0.0f}, Case{63, 1.0f}, Case{0, 64.0f / 127.0f}, Case{-100, 0.0f}}) {
        selector->setValue(c.value);
        EXPECT_FLOAT_EQ(selector->normalizedValue(), c.normalized) << c.value;
    }
    // 0.5 x 127 - 64 = -0.5 rounds away from zero.
    selector->setNormalizedValue(0.5f);
    EXPECT_EQ(selector->value(), -1.0f);
    EXPECT_EQ(litTags(), (std::vector<int>{-1}));
    // A value that is not a number is ignored, as a parameter ignores one.
    selector->setNormalizedValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(selector->value(), -1.0f);
}

TEST_F(LampSelector, BindingLightsTheLampOfTheParametersValue)
{
    make({0, 1, 2});
    Lumora::ParameterManager manager("test", 1, nullptr);
    Lumora::Parameter_UInt quality(&manager, 1190, "Audio Quality", "AUDIO_QUALITY", 1, 0, 2,
                                   Lumora::Parameter::Options::None, Lumora::SerializeWhat::GlobalSettings, 0);
    quality.setValue(2, Lumora::ParameterObserver::Token::Mixed, Lumora::AutomationEventType::None);
    selector->setParameter(&quality);
    EXPECT_EQ(selector->value(), 2.0f);
    EXPECT_EQ(litTags(), (std::vector<int>{2}));
}

TEST_F(LampSelector, PanStepsOneLampPerThirtyPoints)
{
    struct Case {
        char const* what;
        std::vector<Point> moves;
        float expected;
    };
    std::vector<Case> const cases = {
        {"29 right", {{29, 0}}, 1},
        {"30 right", {{30, 0}}, 2},
        {"30 up", {{0, -30}}, 2},
        {"30 down", {{0, 30}}, 0},
        {"45 right then 20 back", {{45, 0}, {25, 0}}, 1},
        {"60 right", {{30, 0}, {60, 0}}, 3},
        // Each move is as far down as right: the horizontal part counts.
        {"diagonal", {{10, 10}, {20, 20}, {30, 30}}, 2},
        {"200 right stops at the end", {{200, 0}}, 3},
        {"200 left stops at the start", {{-200, 0}}, 0},
    };
    for (Case const& c : cases) {
        make({0, 1, 2, 3});
        selector->setValue(1);
        actions.clear();
        pan(c.moves);
        EXPECT_EQ(selector->value(), c.expected) << c.what;
        EXPECT_EQ(litTags(), (std::vector<int>{static_cast<int>(c.expected)})) << c.what;
        // One set-value report, at the end of the pan.
        EXPECT_EQ(actions, (std::vector<int>{4})) << c.what;
        selector->removeFromSuperview();
    }
}

TEST_F(LampSelector, DuringADragOnlyTheLitLampPreviewsTheStep)
{
    make({0, 1, 2, 3});
    selector->setValue(1);
    actions.clear();
    Touch* t = window->beginTouch({100, 30}, clock += 0.1);
    window->moveTouch(t, {110, 30}, clock += 0.1);
    window->moveTouch(t, {140, 30}, clock += 0.1);
    EXPECT_EQ(selector->value(), 1.0f);
    EXPECT_EQ(litTags(), (std::vector<int>{2}));
    EXPECT_TRUE(actions.empty());
    // A cancelled pan keeps the value and lights its lamp again in place of the preview.
    window->cancelTouch(t, clock += 0.1);
    EXPECT_EQ(selector->value(), 1.0f);
    EXPECT_EQ(litTags(), (std::vector<int>{1}));
    EXPECT_TRUE(actions.empty());
}

TEST_F(LampSelector, InverseSwipeReversesPansAndSwipes)
{
    make({0, 1, 2, 3});
    selector->setInverseSwipe(true);
    selector->setValue(1);
    pan({{30, 0}});
    EXPECT_EQ(selector->value(), 0.0f);
    selector->handleSwipeRightGesture(nullptr);
    EXPECT_EQ(selector->value(), 3.0f);  // down from 0 wraps to the highest
    selector->handleSwipeLeftGesture(nullptr);
    EXPECT_EQ(selector->value(), 0.0f);
}

TEST_F(LampSelector, SwipesStepWithWrapAround)
{
    make({0, 1, 2, 3});
    struct Case {
        float from;
        void (Lumora_Ctrl_LampSelectorCntnr::*swipe)(GestureRecognizer*);
        float to;
    };
    using S = Lumora_Ctrl_LampSelectorCntnr;
    for (Case c : {Case{3, &S::handleSwipeUpGesture, 0}, Case{0, &S::handleSwipeDownGesture, 3},
                   Case{1, &S::handleSwipeRightGesture, 2}, Case{1, &S::handleSwipeLeftGesture, 0},
                   Case{3, &S::handleSwipeRightGesture, 0}}) {
        selector->setValue(c.from);
        actions.clear();
        (selector.get()->*c.swipe)(nullptr);
        EXPECT_EQ(selector->value(), c.to) << c.from;
        EXPECT_EQ(litTags(), (std::vector<int>{static_cast<int>(c.to)}));
        EXPECT_EQ(actions, (std::vector<int>{4}));
    }
    // A pan up from the highest lamp stays there.
    selector->setValue(3);
    pan({{0, -60}});
    EXPECT_EQ(selector->value(), 3.0f);
}

TEST_F(LampSelector, SwitchingStepsFromAValueBetweenTags)
{
    make({0, 2, 4});
    selector->setValue(3);
    selector->switchLamp(true);
    EXPECT_EQ(selector->value(), 4.0f);
    selector->setValue(3);
    selector->switchLamp(false);
    EXPECT_EQ(selector->value(), 2.0f);
    selector->setValue(-5);
    selector->switchLamp(false);
    EXPECT_EQ(selector->value(), 4.0f);
}

TEST_F(LampSelector, PanDistanceFromAValueThatIsNoTag)
{
    make({0, 2, 4});
    selector->setValue(3);
    // Counted from one past the highest lamp.
    EXPECT_EQ(selector->valueFromDistance(0), 4);
    EXPECT_EQ(selector->valueFromDistance(-1), 4);
    EXPECT_EQ(selector->valueFromDistance(-2), 2);
    EXPECT_EQ(selector->valueFromDistance(-9), 0);
    selector->setInverseSwipe(true);
    EXPECT_EQ(selector->valueFromDistance(2), 2);
}

TEST_F(LampSelector, StepButtonsStepAndIgnoreInverseSwipe)
{
    make({0, 1, 2});
    auto up = std::make_shared<Button>(Rect(300, 0, 40, 40));
    up->setTag(0);
    auto down = std::make_shared<Button>(Rect(350, 0, 40, 40));
    down->setTag(-1);
    selector->addSubview(up);
    selector->addSubview(down);
    selector->setInverseSwipe(true);
    selector->setValue(1);
    actions.clear();

    window->tap({320, 20}, clock += 0.1);
    EXPECT_EQ(selector->value(), 2.0f);
    window->tap({320, 20}, clock += 1);
    EXPECT_EQ(selector->value(), 0.0f);  // wraps
    window->tap({370, 20}, clock += 1);
    EXPECT_EQ(selector->value(), 2.0f);  // wraps down
    EXPECT_EQ(actions, (std::vector<int>{4, 4, 4}));
}

TEST_F(LampSelector, WithoutLampsStepsAreIgnoredAndOneLampHoldsItsValue)
{
    make({});
    selector->setValue(5);
    actions.clear();
    selector->switchLamp(true);
    EXPECT_EQ(selector->value(), 5.0f);
    EXPECT_TRUE(actions.empty());
    EXPECT_EQ(selector->valueFromDistance(3), 5);

    make({7});
    selector->setValue(7);
    EXPECT_EQ(selector->valueFromDistance(3), 7);
}

TEST_F(LampSelector, ColoursLabelsAndButtonTitlesBelowIt)
{
    make({0, 1});
    auto group = std::make_shared<View>(Rect(0, 0, 100, 50));
    auto label = std::make_shared<Label>(Rect(0, 0, 50, 20));
    auto button = std::make_shared<Button>(Rect(50, 0, 50, 20));
    group->addSubview(label);
    group->addSubview(button);
    selector->addSubview(group);

    Color const red = Color::redColor();
    selector->setLabelColor(red);
    EXPECT_EQ(label->textColor(), red);
    EXPECT_EQ(selector->labelColor(), red);

    Color const green = Color::greenColor();
    selector->setButtonTextColor(green);
    EXPECT_EQ(selector->buttonTextColor(), green);
    for (unsigned long state : {ControlState::Normal, ControlState::Highlighted, ControlState::Disabled,
                                ControlState::Selected})
        EXPECT_EQ(button->titleColorForState(state), green);
}

TEST_F(LampSelector, TellsItsDelegateOfEveryChange)
{
    make({0, 1, 2});
    RecordingDelegate delegate;
    selector->setDelegate(&delegate);
    selector->switchLamp(true);
    selector->setValue(1);
    selector->switchLamp(false);
    EXPECT_EQ(delegate.values, (std::vector<float>{1, 0}));
}
