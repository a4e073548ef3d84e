#include "controls/painter/Lumora_Painter.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using Platform::Color;
using Platform::Rect;

namespace {

// A theme that records what reaches it and changes the label and container colours.
class RecordingTheme : public Lumora_PainterImplementation {
public:
    std::vector<std::string> calls;
    float knobValue = -1;
    int32_t selectorValue = -1;
    int32_t badge = -1;
    Rect lastFrame;

    std::optional<Color> labelTextColor() override { return Color::whiteColor(); }
    std::optional<Color> containerBackgroundColor() override { return Color::redColor(); }
    std::optional<Color> headerColor() override { return Color::blackColor(); }

    void drawKnobWithFrame(Rect const& frame, float value, bool, bool, int32_t) override
    {
        calls.push_back("knob");
        lastFrame = frame;
        knobValue = value;
    }
    void drawSwitchSelectorWithFrame(Rect const&, int32_t value, bool, bool, int32_t) override
    {
        calls.push_back("selector");
        selectorValue = value;
    }
    void drawImageWithFrame(Rect const&, int32_t, bool, bool, bool, int32_t b, int32_t) override
    {
        calls.push_back("image");
        badge = b;
    }
    void drawIconSendWithFrame(Rect const&, Color const&, bool pressed) override
    {
        calls.push_back(pressed ? "send pressed" : "send");
    }
    void drawIconAltWithFrame(Rect const&, Color const&, bool selected, bool) override
    {
        calls.push_back(selected ? "alt selected" : "alt");
    }
};

class PainterFacade : public ::testing::Test {
protected:
    void TearDown() override { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
};

} // namespace

// Runs first in this program: the facade is made on first use with the default theme.
TEST_F(PainterFacade, FirstUseAnswersWithTheDefaultThemeAndIsMadeOnce)
{
    std::vector<Lumora_Painter*> seen(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&seen, i] { seen[i] = Lumora_Painter::sharedInstance(); });
    for (auto& t : threads)
        t.join();
    for (auto* p : seen)
        EXPECT_EQ(p, seen[0]);
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();
    EXPECT_EQ(painter->keyboardScrollBarHeight(), 15);
    EXPECT_EQ(painter->tintColor(), Color(0.0, static_cast<double>(0.55f), 1.0, 1.0));
    EXPECT_EQ(painter->labelTextColor(), Color::blackColor());
    EXPECT_TRUE(painter->headerTitleImage().isNull());
    EXPECT_EQ(painter->impl()->core(), nullptr);
}

TEST_F(PainterFacade, RequestsReachTheInstalledThemeUnchanged)
{
    auto theme = std::make_shared<RecordingTheme>();
    Lumora_Painter::setImplimatation(theme);
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();
    EXPECT_EQ(painter->impl(), theme);

    painter->drawKnobWithFrame(Rect(1, 2, 30, 40), 0.25f, false, true, 3);
    painter->drawSwitchSelectorWithFrame(Rect(), 2, false, false, 0);
    painter->drawImageWithFrame(Rect(), 3, false, false, false, 7, 1);
    painter->drawIconSendWithFrame(Rect(), Color::redColor(), true);
    painter->drawIconAltWithFrame(Rect(), Color::redColor(), true, false);
    painter->drawSliderWithFrame(Rect(), 0.5f, false, false, 0);  // not overridden: the default's
    EXPECT_EQ(theme->calls, (std::vector<std::string>{"knob", "selector", "image", "send pressed", "alt selected"}));
    EXPECT_EQ(theme->knobValue, 0.25f);
    EXPECT_EQ(theme->lastFrame, Rect(1, 2, 30, 40));
    EXPECT_EQ(theme->selectorValue, 2);
    EXPECT_EQ(theme->badge, 7);

    // Answers the subclass does not override but derives from its own colours follow them.
    EXPECT_EQ(painter->headerColor(), Color::blackColor());
    EXPECT_EQ(painter->labelTextColor(), Color::whiteColor());
    EXPECT_EQ(painter->soundPresetButtonForegroundColor(), Color::whiteColor());
    EXPECT_EQ(painter->commonParmLabelColor(), Color::whiteColor());
    EXPECT_EQ(painter->arpeggiatorNumericIndicatorColor(), Color::whiteColor());
    EXPECT_EQ(painter->editorContainerBackgroundColor(), Color::redColor());
    EXPECT_EQ(painter->popoverBackgroundColor(), Color::redColor());
    EXPECT_EQ(painter->arpeggiatorContainerHeaderColor(), Color::redColor());
    EXPECT_EQ(painter->keyboardBackgroundColor(), Color::blackColor());
}

TEST_F(PainterFacade, InstallingAnotherThemeReleasesThePreviousOne)
{
    std::weak_ptr<RecordingTheme> first;
    {
        auto theme = std::make_shared<RecordingTheme>();
        first = theme;
        Lumora_Painter::setImplimatation(theme);
    }
    EXPECT_FALSE(first.expired());
    auto second = std::make_shared<RecordingTheme>();
    Lumora_Painter::setImplimatation(second);
    EXPECT_TRUE(first.expired());
    Lumora_Painter::sharedInstance()->drawKnobWithFrame(Rect(), 1.0f, false, false, 0);
    EXPECT_EQ(second->calls.size(), 1u);
}

TEST_F(PainterFacade, WithoutAThemeEveryRequestAnswersNoneAndDrawsNothing)
{
    Lumora_Painter::setImplimatation(nullptr);
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();
    EXPECT_EQ(painter->tintColor(), std::nullopt);
    EXPECT_EQ(painter->containerBackgroundColor(), std::nullopt);
    EXPECT_TRUE(painter->arpeggiatorBackgroundImage().isNull());
    EXPECT_EQ(painter->keyboardScrollBarHeight(), 0);
    EXPECT_EQ(painter->commandButton_foregroundColorWithState(nullptr, 4), std::nullopt);
    painter->drawKnobWithFrame(Rect(), 0.5f, false, false, 0);
    painter->drawIconCloseWithFrame(Rect(), Color::blackColor(), false);
    painter->drawArpPgSliderWithValue(0.5f, 2, false);
    painter->drawControlStatusWithFrame(Rect(), true, 0, 0xB0, 74, false, false);
}
