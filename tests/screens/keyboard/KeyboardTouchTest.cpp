#include "screens/keyboard/Lumora_KeyboardScrollView.h"

#include "platform/ui/Window.h"
#include "screens/keyboard/KeyboardTestSupport.h"
#include "screens/keyboard/LumoraOctKeyView.h"
#include "screens/keyboard/Lumora_KeyboardView.h"

#include <gtest/gtest.h>

using namespace KeyboardTest;
using Platform::Touch;

namespace {

// The main screen's keyboard, 400 x 200 with the bar below: keys 185 points tall (black keys
// 111), octave 1 at the left edge (C = note 12 at x 0..45, C# at 27..58.5, D at 45..90).
class KeyboardTouch : public ::testing::Test {
protected:
    void SetUp() override {
        window->addSubview(keyboard);
        keyboard->setKeybordDelegate(&notes);
        window->layoutIfNeeded();
    }

    Lumora_MusicalKeyView& key(int note) {
        return *keyboard->keyboardView()->octaveView(note / 12)->keyWithNote(note);
    }

    double t = 0;
    double next() { return t += 0.01; }
    Touch* down(Point p) { return window->beginTouch(p, next()); }
    void move(Touch* touch, Point p) { window->moveTouch(touch, p, next()); }
    void up(Touch* touch, Point p) { window->endTouch(touch, p, next()); }

    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 400, 200));
    std::shared_ptr<Lumora_KeyboardScrollView> keyboard =
        Lumora_KeyboardScrollView::initWithFrame(Rect(0, 0, 400, 200), 8, 1, 45, true, 15, true, nullptr);
    RecordingKeybordDelegate notes;
};

} // namespace

TEST(KeyVelocity, TheTouchHeightOnTheKeyGivesTheVelocity)
{
    Lumora_KeyView key(Rect(0, 0, 45, 185));
    struct Case { double y; int velocity; };
    Case const cases[] = {
        {-10, 0}, {0, 0}, {1.4, 0}, {1.5, 1}, {92.5, 63}, {138.75, 95}, {184, 126}, {185, 127}, {400, 127},
    };
    for (auto const& c : cases) {
        key.setTouchedPoint({20, c.y});
        EXPECT_EQ(velocity(key), c.velocity) << "y " << c.y;
    }
    Lumora_KeyView flat(Rect(0, 0, 45, 0));
    flat.setTouchedPoint({0, 10});
    EXPECT_EQ(velocity(flat), 0);
}

TEST_F(KeyboardTouch, PressesReportTheNoteAndTheVelocityOfTheTouchHeight)
{
    Touch* white = down({10, 92.5});     // C at half its height
    Touch* black = down({40, 55.5});     // C# at half of its own (shorter) height
    Touch* top = down({60, 0});          // D at its top edge
    EXPECT_TRUE(key(12).pressed() && key(13).pressed() && key(14).pressed());
    // The black key lies in front: the white keys below it were not touched.
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 63}, {"down", 13, 63}, {"down", 14, 0}}));
    // The key-up velocity comes from where the finger left the key: here below it, on the bar.
    move(white, {10, 190});
    up(black, {40, 55.5});
    up(top, {60, 0});
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 63}, {"down", 13, 63}, {"down", 14, 0},
                                                      {"up", 12, 127}, {"up", 13, 63}, {"up", 14, 0}}));
    up(white, {10, 190});
    EXPECT_EQ(notes.reports.size(), 6u);
}

TEST_F(KeyboardTouch, AGlideEndsTheOldNoteBeforeStartingTheNewOne)
{
    Touch* touch = down({10, 150});  // C, low on the key
    move(touch, {70, 150});          // D, below the black keys
    move(touch, {120, 37});          // E, right of D#, near its top
    up(touch, {120, 37});
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 102}, {"up", 12, 102}, {"down", 14, 102},
                                                      {"up", 14, 25}, {"down", 16, 25}, {"up", 16, 25}}));
    for (int n : {12, 14, 16})
        EXPECT_FALSE(key(n).pressed()) << n;
    // From a black key onto the white key below it.
    Touch* black = down({40, 50});
    move(black, {40, 150});
    up(black, {40, 150});
    EXPECT_EQ(std::vector<NoteReport>(notes.reports.begin() + 6, notes.reports.end()),
              (std::vector<NoteReport>{{"down", 13, 57}, {"up", 13, 127}, {"down", 12, 102},
                                       {"up", 12, 102}}));
}

TEST_F(KeyboardTouch, FingersOnSeveralKeysAreIndependentAndASharedKeyEndsWithItsLastFinger)
{
    Touch* c = down({10, 100});
    Touch* e = down({120, 100});
    Touch* c2 = down({20, 100});
    up(e, {120, 100});
    EXPECT_TRUE(key(12).pressed());
    EXPECT_FALSE(key(16).pressed());
    up(c, {10, 100});
    EXPECT_TRUE(key(12).pressed());
    up(c2, {20, 100});
    EXPECT_FALSE(key(12).pressed());
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 68}, {"down", 16, 68}, {"up", 16, 68},
                                                      {"up", 12, 68}}));
}

TEST_F(KeyboardTouch, AHeldKeyLocksScrollingAndTheBarScrollsAgainAfterwards)
{
    Touch* finger = down({10, 100});
    EXPECT_FALSE(keyboard->isScrollEnabled());
    move(finger, {300, 100});  // glides across the keys instead of dragging them
    EXPECT_EQ(keyboard->contentOffset().x, 0);
    up(finger, {300, 100});
    EXPECT_TRUE(keyboard->isScrollEnabled());

    // Dragging on the bar strip (no keys there) scrolls the keyboard.
    Touch* drag = down({300, 192});
    move(drag, {250, 192});
    move(drag, {200, 192});
    up(drag, {200, 192});
    EXPECT_DOUBLE_EQ(keyboard->contentOffset().x, 100);
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 68}, {"up", 12, 68}, {"down", 23, 68},
                                                      {"up", 23, 68}}));
}

TEST_F(KeyboardTouch, EngineNotesLightKeysWithoutReachingTheDelegate)
{
    keyboard->noteOn(12, 90);
    EXPECT_TRUE(key(12).pressed());
    // The latest write wins: an engine note-off shows the key released under a finger.
    Touch* finger = down({10, 100});
    keyboard->noteOff(12, 0);
    EXPECT_FALSE(key(12).pressed());
    up(finger, {10, 100});
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 68}, {"up", 12, 68}}));
}

TEST_F(KeyboardTouch, ReplacingTheKeyboardUnderAFingerEndsItsNote)
{
    Touch* finger = down({10, 100});
    keyboard->setupWithOtaves(2, 4, 45, true, 15, true, nullptr);
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 68}, {"up", 12, 68}}));
    EXPECT_TRUE(keyboard->isScrollEnabled());
    // The finger lifting later reaches nothing.
    up(finger, {10, 100});
    EXPECT_EQ(notes.reports.size(), 2u);
}

TEST_F(KeyboardTouch, NewOctavesUnderAFingerEndItsNoteAndUnlockScrolling)
{
    Touch* finger = down({10, 100});
    keyboard->keyboardView()->setupOtaves(8, 1, nullptr);
    EXPECT_EQ(notes.reports, (std::vector<NoteReport>{{"down", 12, 68}, {"up", 12, 68}}));
    EXPECT_TRUE(keyboard->keyboardView()->touchedKeyInfos().empty());
    EXPECT_TRUE(keyboard->isScrollEnabled());
    up(finger, {10, 100});
    EXPECT_EQ(notes.reports.size(), 2u);
}
