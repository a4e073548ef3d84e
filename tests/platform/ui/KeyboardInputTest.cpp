// Keys reaching text fields and alerts, independent of the X server.

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/KeyboardInput.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/x11/DisplayScale.h"
#include "platform/ui/x11/KeyTranslation.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

using namespace Platform;

namespace {

struct PromptScreen : ::testing::Test {
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 600, 400));
    std::shared_ptr<ViewController> root = std::make_shared<ViewController>();
    std::shared_ptr<AlertController> alert =
        AlertController::alertControllerWithTitle("Rename", "", AlertController::Style::Alert);
    KeyboardInput keyboard{*window};
    std::string answer;

    void SetUp() override
    {
        window->setRootViewController(root);
        alert->addTextFieldWithConfigurationHandler([](TextField* f) { f->setText("Pad"); });
        alert->addAction(AlertAction::actionWithTitle("Cancel", AlertAction::Style::Cancel,
                                                      [&](AlertAction*) { answer = "cancel"; }));
        alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default,
                                                      [&](AlertAction*) { answer = "ok:" + field()->text(); }));
    }
    TextField* field() const { return alert->textFields().front().get(); }
    void type(unsigned long keysym, std::string const& text = {})
    {
        X11::applyKey(keyboard, keysym, text.empty() ? X11::textForKeysym(keysym) : text, true);
        X11::applyKey(keyboard, keysym, "", false);
    }
};

} // namespace

TEST_F(PromptScreen, TypingEditsTheFrontAlertsFieldByWholeCharacters)
{
    EXPECT_EQ(keyboard.focusedField(), nullptr);
    type(XK_a);  // no alert yet: the key goes nowhere
    root->presentViewController(alert, false);
    ASSERT_EQ(keyboard.focusedField(), field());

    type(XK_space);
    type(XK_eacute);           // é from its Latin-1 symbol
    type(0x100263A, "");       // ☺ from the Unicode range
    type(XK_Cyrillic_a, "а");  // text as an input method gives it
    EXPECT_EQ(field()->text(), "Pad é☺а");
    type(XK_BackSpace);
    type(XK_BackSpace);
    EXPECT_EQ(field()->text(), "Pad é");
    // Control characters an input method may hand over are no text.
    type(XK_Tab, "\t");
    EXPECT_EQ(field()->text(), "Pad é");

    type(XK_Return);
    EXPECT_EQ(answer, "ok:Pad é");
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(keyboard.focusedField(), nullptr);
}

TEST_F(PromptScreen, EscapeCancelsAndBackspaceOnEmptyDoesNothing)
{
    root->presentViewController(alert, false);
    for (int i = 0; i < 5; ++i)
        type(XK_BackSpace);
    EXPECT_EQ(field()->text(), "");
    type(XK_Escape);
    EXPECT_EQ(answer, "cancel");
}

TEST_F(PromptScreen, ATouchedFieldTakesTheFocus)
{
    auto own = std::make_shared<TextField>(Rect(10, 10, 100, 30));
    root->view()->addSubview(own);
    keyboard.touchedView(own.get());
    type(XK_Z);
    EXPECT_EQ(own->text(), "Z");
    // Hidden, it gives the focus back to the alert.
    own->setHidden(true);
    root->presentViewController(alert, false);
    type(XK_Z);
    EXPECT_EQ(field()->text(), "PadZ");
}

TEST(KeyboardAlt, AltPressAndReleaseAreToldOnce)
{
    Window window(Rect(0, 0, 10, 10));
    KeyboardInput keyboard(window);
    int told = 0;
    auto token = NotificationCenter::defaultCenter().addObserver(
        kAltKeyDidChangeNotification, nullptr, [&](Notification const&) { ++told; });
    X11::applyKey(keyboard, XK_Alt_L, "", true);
    EXPECT_TRUE(KeyboardInput::isAltDown());
    X11::applyKey(keyboard, XK_Alt_L, "", true);  // auto-repeat
    X11::applyKey(keyboard, XK_Alt_L, "", false);
    EXPECT_FALSE(KeyboardInput::isAltDown());
    EXPECT_EQ(told, 2);
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST(DisplayScale, TheEnvironmentWinsThenTheServersDpi)
{
    struct Case {
        char const* env;
        char const* dpi;
        double scale;
    };
    for (Case c : {Case{nullptr, nullptr, 1}, Case{"2", "96", 2}, Case{nullptr, "192", 2}, Case{nullptr, "144", 1.5},
                   Case{"1.25", nullptr, 1.25}, Case{"abc", "120", 1.25}, Case{"2x", nullptr, 1}, Case{"9", nullptr, 1},
                   Case{"", "96000", 1}, Case{"0", "48", 0.5}, Case{"1,5", nullptr, 1}}) {
        SCOPED_TRACE(std::string(c.env ? c.env : "(none)") + " / " + (c.dpi ? c.dpi : "(none)"));
        EXPECT_DOUBLE_EQ(X11::scaleFromSettings(c.env, c.dpi), c.scale);
    }
}
