#include "screens/keyboard/Lumora_KeyboardScrollView.h"

#include "platform/ui/Window.h"
#include "screens/keyboard/LumoraOctKeyView.h"
#include "screens/keyboard/Lumora_KeyboardView.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"

#include <gtest/gtest.h>

#include <algorithm>

using Platform::Rect;

namespace {

constexpr double kBar = 15;

// The main screen's keyboard: 8 octaves from octave 1 (notes 12 to 107), 400 x 200 points.
class KeyboardLayout : public ::testing::Test {
protected:
    void make(double keySize, bool piano, bool barOnBottom = true) {
        keyboard = Lumora_KeyboardScrollView::initWithFrame(Rect(0, 0, 400, 200), 8, 1, keySize, piano, kBar,
                                                            barOnBottom, nullptr);
        window->addSubview(keyboard);
        window->layoutIfNeeded();
    }

    Lumora_MusicalKeyView& key(int note) {
        auto* octave = keyboard->keyboardView()->octaveView(note / 12);
        EXPECT_NE(octave, nullptr);
        return *octave->keyWithNote(note);
    }
    // A key's frame in the keyboard view's coordinates.
    Rect keyFrame(int note) {
        Lumora_MusicalKeyView& k = key(note);
        return k.convertRectToView(k.bounds(), keyboard->keyboardView());
    }

    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 400, 200));
    std::shared_ptr<Lumora_KeyboardScrollView> keyboard;
};

void expectRect(Rect const& actual, Rect const& expected, char const* what) {
    EXPECT_NEAR(actual.minX(), expected.minX(), 1e-4) << what;
    EXPECT_NEAR(actual.minY(), expected.minY(), 1e-4) << what;
    EXPECT_NEAR(actual.width(), expected.width(), 1e-4) << what;
    EXPECT_NEAR(actual.height(), expected.height(), 1e-4) << what;
}

} // namespace

TEST_F(KeyboardLayout, PianoKeysAtKeySize45)
{
    make(45, true);
    Lumora_KeyboardView* view = keyboard->keyboardView();
    expectRect(view->frame(), Rect(0, 0, 2520, 185), "keyboard");
    EXPECT_EQ(keyboard->contentSize(), (Platform::Size{2520, 185}));
    EXPECT_EQ(keyboard->octaves(), 8);
    EXPECT_EQ(keyboard->lowestOctave(), 1);
    ASSERT_EQ(view->subviews().size(), 8u);

    double const h = 185;
    double const bh = 0.6 * h;
    // Octave 3 (notes 36..47) starts two octaves (14 white keys) in.
    double const o = 2 * 7 * 45;
    struct Case { int note; Rect frame; };
    Case const cases[] = {
        {36, Rect(o + 0, 0, 45, h)},          {37, Rect(o + 27, 0, 31.5, bh)},
        {38, Rect(o + 45, 0, 45, h)},         {39, Rect(o + 1.7 * 45, 0, 31.5, bh)},
        {40, Rect(o + 90, 0, 45, h)},         {41, Rect(o + 135, 0, 45, h)},
        {42, Rect(o + 3.6 * 45, 0, 31.5, bh)}, {43, Rect(o + 180, 0, 45, h)},
        {44, Rect(o + 4.65 * 45, 0, 31.5, bh)}, {45, Rect(o + 225, 0, 45, h)},
        {46, Rect(o + 5.7 * 45, 0, 31.5, bh)}, {47, Rect(o + 270, 0, 45, h)},
    };
    for (auto const& c : cases)
        expectRect(keyFrame(c.note), c.frame, std::to_string(c.note).c_str());
    EXPECT_TRUE(key(37).isBlackKey());
    EXPECT_TRUE(key(40).isWhiteKey());
    EXPECT_TRUE(key(37).isInOctaveView());
}

TEST_F(KeyboardLayout, TwelveEqualKeysPerOctave)
{
    make(45, false);
    expectRect(keyboard->keyboardView()->frame(), Rect(0, 0, 4320, 185), "keyboard");
    for (int n = 0; n < 12; ++n)
        expectRect(keyFrame(12 + n), Rect(45.0 * n, 0, 45, 185), std::to_string(n).c_str());
    expectRect(keyFrame(107), Rect(4320 - 45, 0, 45, 185), "last");
}

TEST_F(KeyboardLayout, OctavesHoldTheirTwelveNotesWhiteKeysBehindBlackKeys)
{
    make(45, true);
    auto* octave = keyboard->keyboardView()->octaveView(4);
    ASSERT_NE(octave, nullptr);
    EXPECT_EQ(octave->tag(), 3);
    std::vector<int> tags;
    for (auto const& sub : octave->subviews())
        tags.push_back(sub->tag());
    EXPECT_EQ(tags, (std::vector<int>{48, 50, 52, 53, 55, 57, 59, 49, 51, 54, 56, 58}));
    EXPECT_TRUE(keyboard->keyboardView()->isMyNoteNumber(12));
    EXPECT_TRUE(keyboard->keyboardView()->isMyNoteNumber(107));
    EXPECT_FALSE(keyboard->keyboardView()->isMyNoteNumber(11));
    EXPECT_FALSE(keyboard->keyboardView()->isMyNoteNumber(108));
}

TEST_F(KeyboardLayout, ScrollingToANoteBringsItsKeyToTheLeftEdge)
{
    struct Case { bool piano; int note; double position; };
    Case const cases[] = {
        {true, 48, 21}, {true, 49, 21}, {true, 12, 0}, {true, 59, 27}, {true, 54, 24},
        {false, 48, 36}, {false, 49, 37}, {false, 12, 0},
    };
    for (auto const& c : cases) {
        make(45, c.piano);
        keyboard->scrollToNoteNumber(c.note, false);
        EXPECT_DOUBLE_EQ(keyboard->keyPosition(), c.position) << c.note << (c.piano ? " piano" : " twelve");
        EXPECT_DOUBLE_EQ(keyboard->contentOffset().x, c.position * 45);
        keyboard->removeFromSuperview();
    }
}

TEST_F(KeyboardLayout, ScrollingStopsAtBothEnds)
{
    make(45, true);
    keyboard->scrollToKeyPosition(1000, false);
    EXPECT_DOUBLE_EQ(keyboard->contentOffset().x, 2520 - 400);
    keyboard->scrollToKeyPosition(-3, true);
    EXPECT_DOUBLE_EQ(keyboard->contentOffset().x, 0);
}

TEST_F(KeyboardLayout, TheKeyPositionSurvivesKeySizeLayoutAndBarChanges)
{
    make(45, true);
    keyboard->scrollToNoteNumber(48, false);
    keyboard->resizeKeyboard(60);
    EXPECT_DOUBLE_EQ(keyboard->keyPosition(), 21);
    EXPECT_DOUBLE_EQ(keyboard->contentOffset().x, 21 * 60);
    expectRect(keyboard->keyboardView()->frame(), Rect(0, 0, 7 * 60 * 8, 185), "resized");

    // Piano to twelve keys: the position is read in the new key units over the old width, so
    // the left edge stays at the same fraction of an octave (3 octaves in = 36 keys).
    keyboard->setIsPianoLayout(false);
    EXPECT_FALSE(keyboard->isPianoLayout());
    EXPECT_DOUBLE_EQ(keyboard->keyPosition(), 36);
    window->layoutIfNeeded();
    expectRect(keyFrame(49), Rect(37 * 60, 0, 60, 185), "twelve-key layout");

    keyboard->moveScrollBarToBottom(false);
    EXPECT_DOUBLE_EQ(keyboard->keyboardY(), kBar);
    expectRect(keyboard->keyboardView()->frame(), Rect(0, kBar, 12 * 60 * 8, 185), "bar on top");
    EXPECT_DOUBLE_EQ(keyboard->keyPosition(), 36);

    // A layout pass after the view grew keeps it as well.
    keyboard->setFrame(Rect(0, 0, 300, 260));
    window->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(keyboard->keyPosition(), 36);
    EXPECT_DOUBLE_EQ(keyboard->keyboardView()->frame().height(), 245);
}

TEST_F(KeyboardLayout, TheScrollBarFollowsTheOffsetInContentCoordinates)
{
    make(45, true);
    Platform::View* strip = keyboard->barGkgndView();
    Platform::View* knob = keyboard->barKnobView();
    ASSERT_NE(strip, nullptr);
    ASSERT_NE(knob, nullptr);
    EXPECT_FALSE(keyboard->showsHorizontalScrollIndicator());
    EXPECT_FALSE(strip->isUserInteractionEnabled());
    EXPECT_FALSE(knob->isUserInteractionEnabled());
    double const kh = static_cast<double>(0.3f) * kBar;
    expectRect(strip->frame(), Rect(0, 185, 2520, 15), "strip");
    expectRect(knob->frame(), Rect(0, 185 + (15 - kh) / 2, 400.0 * 400 / 2520, kh), "knob");
    EXPECT_DOUBLE_EQ(knob->layer().cornerRadius, kh);
    // The bar views lie in front of the keys.
    auto const& subs = keyboard->subviews();
    ASSERT_EQ(subs.size(), 3u);
    EXPECT_EQ(subs[1].get(), strip);
    EXPECT_EQ(subs[2].get(), knob);

    keyboard->scrollToKeyPosition(21, false);
    double const x = 21 * 45;
    EXPECT_DOUBLE_EQ(knob->frame().minX(), x + x * 400 / 2520);

    keyboard->moveScrollBarToBottom(false);
    expectRect(strip->frame(), Rect(0, 0, 2520, 15), "strip on top");
    EXPECT_NEAR(knob->frame().minY(), (15 - kh) / 2, 1e-9);
    EXPECT_EQ(keyboard->subviews().size(), 3u);
}

TEST_F(KeyboardLayout, AHomeIndicatorHidesTheKnobOfABottomBarOnly)
{
    make(45, true);
    keyboard->setSafeAreaInsets({0, 0, 20, 0});
    keyboard->resizeKeyboard(45);
    EXPECT_TRUE(keyboard->barKnobView()->isHidden());
    EXPECT_FALSE(keyboard->barGkgndView()->isHidden());
    keyboard->moveScrollBarToBottom(false);
    EXPECT_FALSE(keyboard->barKnobView()->isHidden());
}

TEST_F(KeyboardLayout, EngineNotesOutsideTheKeyboardAreIgnored)
{
    make(45, true);
    keyboard->noteOn(11, 100);
    keyboard->noteOn(108, 100);
    keyboard->hold(-5, true);
    keyboard->noteOn(60, 100);
    keyboard->hold(61, true);
    EXPECT_TRUE(key(60).pressed());
    EXPECT_TRUE(key(61).isHeld());
    EXPECT_FALSE(key(61).pressed());
    EXPECT_FALSE(key(12).pressed() || key(107).pressed());
    keyboard->noteOff(60, 0);
    keyboard->hold(61, false);
    EXPECT_FALSE(key(60).pressed());
    EXPECT_FALSE(key(61).isHeld());
}

TEST_F(KeyboardLayout, ANewSetupReplacesTheKeyboardWithNewKeys)
{
    int made = 0;
    make(45, true);
    // The old view is held, so that the new one can't be made at the freed one's address.
    Lumora_KeyboardView* const oldView = keyboard->keyboardView();
    auto const held = std::find_if(keyboard->subviews().begin(), keyboard->subviews().end(),
                                   [&](auto const& view) { return view.get() == oldView; });
    ASSERT_NE(held, keyboard->subviews().end());
    std::shared_ptr<Platform::View> const old = *held;
    keyboard->setupWithOtaves(2, 4, 30, false, kBar, true, [&] {
        ++made;
        return std::make_shared<Lumora_MusicalKeyView>();
    });
    EXPECT_NE(keyboard->keyboardView(), old.get());
    EXPECT_EQ(made, 24);
    EXPECT_EQ(keyboard->subviews().size(), 3u);  // keyboard, strip, knob
    EXPECT_EQ(keyboard->contentSize().width, 12 * 30 * 2);
    EXPECT_TRUE(keyboard->keyboardView()->isMyNoteNumber(48));
    EXPECT_FALSE(keyboard->keyboardView()->isMyNoteNumber(72));
}

TEST(KeyboardView, OneFromAnInterfaceFileBuildsOctavesFourAndFiveWhenAsked)
{
    auto plain = std::make_shared<Lumora_KeyboardView>(Rect(0, 0, 280, 100));
    plain->awakeFromNib();
    EXPECT_FALSE(plain->createdSubViews());

    auto view = std::make_shared<Lumora_KeyboardView>(Rect(0, 0, 280, 100));
    view->setCreateDefaultWithNib(true);
    view->awakeFromNib();
    EXPECT_TRUE(view->createdSubViews());
    EXPECT_EQ(view->octaves(), 2);
    EXPECT_EQ(view->lowestOctave(), 4);
    EXPECT_TRUE(view->isMyNoteNumber(48));
    EXPECT_TRUE(view->isMyNoteNumber(71));
    EXPECT_FALSE(view->isMyNoteNumber(72));
    EXPECT_EQ(view->backgroundColor(), Platform::Color::darkGrayColor());
    view->removeSubOctViews();
    EXPECT_FALSE(view->createdSubViews());
    EXPECT_TRUE(view->subviews().empty());
}

TEST(MusicalKeyView, BlackKeyRatiosAreTheSinglePrecisionValues)
{
    EXPECT_EQ(Lumora_MusicalKeyView::blackKeySizeRatio().width, static_cast<double>(0.7f));
    EXPECT_EQ(Lumora_MusicalKeyView::blackKeySizeRatio().height, static_cast<double>(0.6f));
    float const x[] = {0.6f, 0.7f, 0.6f, 0.65f, 0.7f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Lumora_MusicalKeyView::blackKeyPositionRatio(i).width, static_cast<double>(x[i]));
        EXPECT_EQ(Lumora_MusicalKeyView::blackKeyPositionRatio(i).height, 0.0);
    }
    // Outside an octave a key keeps its frame.
    Lumora_MusicalKeyView loose(Rect(1, 2, 3, 4));
    loose.setTag(13);
    loose.layoutSubviews();
    EXPECT_EQ(loose.frame(), Rect(1, 2, 3, 4));
    EXPECT_FALSE(loose.isInOctaveView());
    EXPECT_TRUE(loose.isPianoLayout());
    EXPECT_FALSE(loose.isHeld());
}
