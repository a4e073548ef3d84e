// The product's editor in a real X11 window, played through XTest as a user would: a key sounds
// a note, a vertical drag on the cutoff knob moves the cutoff by the knob's drag rule, the preset
// arrow changes the name shown, the settings button opens the settings, holding Alt holds the
// browser's Alt mode; the window shows the headless picture and costs almost nothing while idle.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/knob/Lumora_Ctrl_RotaryKnob_Base.h"
#include "engine/audio/iAudioIO.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/x11/X11WindowHost.h"
#include "screens/keyboard/Lumora_KeyView.h"
#include "model/framework/Shared_Information.h"
#include "platform/ui/AlertController.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"

namespace {

// Written before Xlib's headers come in: their macro None would rename the event type.
void setFromHost(Lumora::Parameter* parameter, float value)
{
    parameter->setNormalizedValue(value, Lumora::ParameterObserver::Token::Host, Lumora::AutomationEventType::None);
}

} // namespace

#include "platform/ui/support/X11TestSupport.h"

#include <X11/keysym.h>

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <filesystem>

using namespace MainScreenTest;
using XTestSupport::pumpUntil;

namespace {

constexpr int kCutoff = 10501;

class EditorWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_X_DISPLAY();
        rig = std::make_unique<Rig>(Program::PadApp, Platform::Rect(0, 0, 1024, 768));
        rig->show();
        rig->tick();
        Platform::X11WindowHost::Options options;
        options.scale = 1;
        options.title = "EditorWindowTest";
        host = std::make_unique<Platform::X11WindowHost>(rig->window, options, Platform::RunLoop::main());
        ASSERT_TRUE(host->isOpen()) << host->error();
        ASSERT_TRUE(pumpUntil([&] { return host->framesDrawn() > 0; }));
    }
    void TearDown() override
    {
        host.reset();
        rig.reset();
    }

    // The middle of a view, in window pixels.
    Platform::Point centre(Platform::View* view)
    {
        return view->convertPointToWindow({view->bounds().size.width / 2, view->bounds().size.height / 2});
    }
    Platform::Image screenshot(int width, int height)
    {
        // Whatever the tree still asks for is drawn first (a tick may have changed it since the
        // last frame), and the server finishes the drawing it was sent.
        EXPECT_TRUE(pumpUntil([&] { return !rig->window->hasPendingUpdate(); }));
        XSync(host->display(), False);
        return user.screenshot(host->windowId(), width, height);
    }
    void click(Platform::View* view)
    {
        Platform::Point const p = centre(view);
        user.click(host->windowId(), p.x, p.y);
    }

    std::unique_ptr<Rig> rig;
    std::unique_ptr<Platform::X11WindowHost> host;
    XTestSupport::User user;
};

// The first view below `root` of the class whose parameter is `id`.
Lumora_Ctrl_RotaryKnob_Base* knobFor(Platform::View* root, int id)
{
    for (Lumora_Control* c : boundControls(root))
        if (auto* knob = dynamic_cast<Lumora_Ctrl_RotaryKnob_Base*>(c); knob && c->parameter() && c->parameter()->id() == id)
            return knob;
    return nullptr;
}

} // namespace

TEST_F(EditorWindow, TheWindowShowsTheHeadlessPictureOfTheEditor)
{
    Platform::Image shown = screenshot(1024, 768);
    Platform::Image headless = rig->window->renderToImage(1);
    EXPECT_TRUE(XTestSupport::samePicture(shown, headless));
}

TEST_F(EditorWindow, AClickOnAKeySoundsANoteInTheEngine)
{
    auto* keyboard = rig->screen->keyboardScrollVw();
    ASSERT_NE(keyboard, nullptr);
    // Low on the keyboard: a white key.
    Platform::Point const p = keyboard->convertPointToWindow({keyboard->bounds().size.width / 2 + keyboard->bounds().origin.x,
                                                              keyboard->bounds().size.height * 0.85 + keyboard->bounds().origin.y});
    auto* key = dynamic_cast<Lumora_KeyView*>(rig->window->hitTest(p, nullptr));
    ASSERT_NE(key, nullptr) << "no key under the keyboard's lower middle";

    rig->engine().allocateRenderResources(48000.0f);
    user.moveTo(host->windowId(), p.x, p.y);
    user.press(true);
    ASSERT_TRUE(pumpUntil([&] { return key->pressed(); }));

    std::vector<float> left(512), right(512);
    std::vector<float*> outputs{left.data(), right.data()};
    bool noteOn = false;
    double energy = 0;
    for (int block = 0; block < 8; ++block) {
        for (auto const& m : rig->io->renderBlock({}, outputs, 512, 48000.0f, {}, {}))
            noteOn = noteOn || m.kind() == 0x90;
        for (float s : left)
            energy += double(s) * s;
    }
    EXPECT_TRUE(noteOn);
    EXPECT_GT(energy, 0.0);

    // The key goes dark when the engine reports the note-off on a tick.
    user.press(false);
    EXPECT_TRUE(pumpUntil([&] {
        rig->io->renderBlock({}, outputs, 512, 48000.0f, {}, {});
        rig->tick();
        return !key->pressed();
    }));
}

TEST_F(EditorWindow, AVerticalDragOnTheCutoffKnobMovesItByTheDragRule)
{
    auto* knob = knobFor(rig->screen->view(), kCutoff);
    ASSERT_NE(knob, nullptr);
    ASSERT_TRUE(Lumora_Ctrl_RotaryKnob_Base::isControlTypeLinear()) << "the pad app's knobs drag linearly";
    setFromHost(rig->param(kCutoff), 0.5f);
    rig->tick();
    ASSERT_NEAR(knob->trueInternaValue(), 0.5f, 1e-6);

    Platform::Point const from = centre(knob);
    Platform::Point const to{from.x, from.y - 40};
    // The rule: up by the knob's resolution (in its own points) is the whole travel.
    double const rise = knob->convertPointFromWindow(from).y - knob->convertPointFromWindow(to).y;
    float const expected = std::clamp(0.5f + static_cast<float>(rise / knob->linerResolution()), 0.0f, 1.0f);

    user.moveTo(host->windowId(), from.x, from.y);
    user.press(true);
    for (int step = 1; step <= 4; ++step) {
        user.moveTo(host->windowId(), from.x, from.y - 10 * step);
        XTestSupport::pumpFor(0.02);
    }
    user.press(false);
    ASSERT_TRUE(pumpUntil([&] { return std::fabs(rig->param(kCutoff)->normalizedValue() - expected) < 1e-4f; }))
        << "cutoff " << rig->param(kCutoff)->normalizedValue() << ", expected " << expected;
}

TEST_F(EditorWindow, ThePresetArrowChangesTheNameShownAndSettingsOpen)
{
    auto& sounds = rig->sounds();
    while (sounds.canChangeDirectoryToParentDirectory())
        sounds.changeDirectoryToParentDirectory();
    ASSERT_TRUE(sounds.changeDirectoryToSubDirectory("User"));
    ASSERT_TRUE(sounds.save("Alpha"));
    ASSERT_TRUE(sounds.save("Bravo"));
    rig->tick();
    auto* frame = rig->screen->edtrFrmVw();
    ASSERT_EQ(frame->btnSoundPresetName->currentTitle(), "Bravo");

    // The model's tick is the app's timer; here the test gives it while the window runs.
    click(frame->btnSoundPresetNext);
    ASSERT_TRUE(pumpUntil([&] {
        rig->tick();
        return frame->btnSoundPresetName->currentTitle() == "Alpha";
    }));

    click(frame->btnConfig);
    ASSERT_TRUE(pumpUntil([&] {
        return dynamic_cast<Platform::NavigationController*>(rig->screen->presentedViewController()) != nullptr;
    }));
    // The popover is on screen as the headless render draws it.
    XTestSupport::pumpFor(0.1);
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(1024, 768),
                                                     rig->window->renderToImage(1)));
}

TEST_F(EditorWindow, TypingANameInTheBrowsersNewFolderPromptCreatesThatFolder)
{
    auto& sounds = rig->sounds();
    while (sounds.canChangeDirectoryToParentDirectory())
        sounds.changeDirectoryToParentDirectory();
    ASSERT_TRUE(sounds.changeDirectoryToSubDirectory("User"));
    click(rig->screen->edtrFrmVw()->btnSoundPresetName);
    Lumora_PrstDocFileBrwsVwCtrlr* browser = nullptr;
    ASSERT_TRUE(pumpUntil([&] {
        browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(rig->screen->presentedViewController());
        return browser != nullptr;
    }));
    XTestSupport::pumpFor(0.05);
    click(browser->btnFn(2));  // New Folder
    Platform::AlertController* prompt = nullptr;
    ASSERT_TRUE(pumpUntil([&] {
        prompt = dynamic_cast<Platform::AlertController*>(browser->presentedViewController());
        return prompt != nullptr;
    }));
    ASSERT_EQ(prompt->textFields().size(), 1u);

    XSetInputFocus(user.display(), host->windowId(), RevertToParent, CurrentTime);
    for (KeySym k : {XK_b, XK_a, XK_s, XK_s, XK_e, XK_s})
        user.key(k);
    ASSERT_TRUE(pumpUntil([&] { return prompt->textFields().front()->text() == "basses"; }))
        << "typed \"" << prompt->textFields().front()->text() << "\"";
    user.key(XK_Return);
    std::filesystem::path const folder = std::filesystem::path(Shared_Information::soundUserDataDirectoryPath()) / "basses";
    EXPECT_TRUE(pumpUntil([&] { return std::filesystem::is_directory(folder); })) << folder;
}

TEST_F(EditorWindow, HoldingAltHoldsTheBrowsersAltModeAndTheWindowRedrawsIt)
{
    click(rig->screen->edtrFrmVw()->btnSoundPresetName);
    Lumora_PrstDocFileBrwsVwCtrlr* browser = nullptr;
    ASSERT_TRUE(pumpUntil([&] {
        browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(rig->screen->presentedViewController());
        return browser != nullptr;
    }));
    ASSERT_FALSE(browser->isAlt());

    XSetInputFocus(user.display(), host->windowId(), RevertToParent, CurrentTime);
    KeyCode const alt = XKeysymToKeycode(user.display(), XK_Alt_L);
    XTestFakeKeyEvent(user.display(), alt, True, CurrentTime);
    XSync(user.display(), False);
    EXPECT_TRUE(pumpUntil([&] { return browser->isAlt(); }));
    // Only the changed buttons are drawn again, and the window shows the headless picture.
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(1024, 768), rig->window->renderToImage(1)));

    XTestFakeKeyEvent(user.display(), alt, False, CurrentTime);
    XSync(user.display(), False);
    EXPECT_TRUE(pumpUntil([&] { return !browser->isAlt(); }));
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(1024, 768), rig->window->renderToImage(1)));
}

TEST_F(EditorWindow, ResizingRefitsTheEditor)
{
    auto const frames = host->framesDrawn();
    XResizeWindow(user.display(), host->windowId(), 1366, 1024);
    XSync(user.display(), False);
    ASSERT_TRUE(pumpUntil([&] { return rig->window->bounds().size == (Platform::Size{1366, 1024}); }));
    Platform::View* root = rig->screen->view();
    EXPECT_EQ(root->frame(), (Platform::Rect{0, 0, 1366, 1024}));
    // Everything of the frame stays inside the window.
    for (Platform::View* v : {static_cast<Platform::View*>(rig->screen->edtrFrmVw()),
                              static_cast<Platform::View*>(rig->screen->keyboardScrollVw())}) {
        Platform::Rect const r = v->convertRectToView(v->bounds(), nullptr);
        EXPECT_GE(r.minX(), -0.5);
        EXPECT_GE(r.minY(), -0.5);
        EXPECT_LE(r.maxX(), 1366.5);
        EXPECT_LE(r.maxY(), 1024.5);
    }
    ASSERT_TRUE(pumpUntil([&] { return host->framesDrawn() > frames; }));
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(1366, 1024),
                                                     rig->window->renderToImage(1)));
}

// With the model ticking at 1/30 s as the app's timer does and nothing changing, the window
// draws nothing and adds less than 1 % of a core to what the ticks cost without it; in an
// optimised build the whole process stays below 1 % (sanitizers make each tick several times
// dearer, so there the bound is on the window's share only).
TEST_F(EditorWindow, TheIdleEditorCostsAlmostNoCpu)
{
    auto tickTimer = Platform::RunLoop::main().scheduledTimer(1.0 / 30, true, [&](Platform::Timer&) { rig->tick(); });
    auto cpuShare = [](double seconds) {
        timespec a{}, b{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &a);
        auto const start = std::chrono::steady_clock::now();
        XTestSupport::pumpFor(seconds);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &b);
        double const wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return (double(b.tv_sec - a.tv_sec) + double(b.tv_nsec - a.tv_nsec) * 1e-9) / wall;
    };
    XTestSupport::pumpFor(0.5);
    auto const frames = host->framesDrawn();
    double const withWindow = cpuShare(5.0);
    EXPECT_EQ(host->framesDrawn(), frames);

    host.reset();
    XTestSupport::pumpFor(0.2);
    double const ticksOnly = cpuShare(5.0);
    tickTimer->invalidate();
    EXPECT_LT(withWindow - ticksOnly, 0.01) << withWindow << " of a core with the window, " << ticksOnly << " without";
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    EXPECT_LT(withWindow, 0.01);
#endif
}
