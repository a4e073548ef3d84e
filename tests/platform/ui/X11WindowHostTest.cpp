// The X11 back-end against a real X server: what the window shows, how it redraws, how the
// pointer and keys reach the views, resizing, closing and the cost of an idle window.

#include "platform/ui/AlertController.h"
#include "platform/ui/Label.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "platform/ui/x11/X11WindowHost.h"
#include "platform/graphics/GraphicsContext.h"

#include "platform/ui/support/X11TestSupport.h"

#include <X11/keysym.h>

#include <ctime>
#include <string>
#include <vector>

using namespace Platform;
using XTestSupport::pumpUntil;

namespace {

// Records the phases it receives and where (in its own points); draws a disc so that the
// picture has curves and gradients of antialiasing.
class PadView : public View {
public:
    using View::View;
    std::vector<std::string> phases;
    std::vector<Point> locations;

    void touchesBegan(TouchSet const& t, Event const*) override { record("began", t); }
    void touchesMoved(TouchSet const& t, Event const*) override { record("moved", t); }
    void touchesEnded(TouchSet const& t, Event const*) override { record("ended", t); }
    void touchesCancelled(TouchSet const& t, Event const*) override { record("cancelled", t); }

    void drawRect(Rect const&) override
    {
        GraphicsContext* c = GraphicsContext::current();
        c->setFillColor(Color(0.9, 0.5, 0.1, 0.8));
        c->fillEllipseInRect(bounds().insetBy(7.3, 5.1));
    }

private:
    void record(char const* phase, TouchSet const& touches)
    {
        phases.push_back(phase);
        locations.push_back(touches.anyObject()->locationInView(this));
    }
};

struct Scene {
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 320, 200));
    std::shared_ptr<ViewController> root = std::make_shared<ViewController>();
    std::shared_ptr<PadView> pad = std::make_shared<PadView>(Rect(20, 30, 120, 90));
    std::shared_ptr<Label> label = std::make_shared<Label>(Rect(160, 40, 150, 24));

    Scene()
    {
        window->setBackgroundColor(Color::whiteColor());
        root->view()->setBackgroundColor(Color(0.2, 0.25, 0.3, 1));
        root->view()->layer().cornerRadius = 12;
        root->view()->addSubview(pad);
        label->setText("Cutoff 1.25 kHz");
        label->setTextColor(Color::whiteColor());
        root->view()->addSubview(label);
        window->setRootViewController(root);
    }
};

class X11WindowHostTest : public ::testing::Test {
protected:
    void SetUp() override { REQUIRE_X_DISPLAY(); }

    std::unique_ptr<X11WindowHost> open(Scene& screen, double scale = 1)
    {
        X11WindowHost::Options options;
        options.scale = scale;
        options.title = "X11WindowHostTest";
        auto host = std::make_unique<X11WindowHost>(screen.window, options, RunLoop::main());
        EXPECT_TRUE(host->isOpen()) << host->error();
        EXPECT_TRUE(pumpUntil([&] { return host->framesDrawn() > 0; }));
        return host;
    }

    Image screenshot(X11WindowHost& host, Platform::Window& window)
    {
        // Whatever the tree still asks for is drawn first, and the server finishes the drawing
        // it was sent.
        EXPECT_TRUE(pumpUntil([&] { return !window.hasPendingUpdate(); }));
        XSync(host.display(), False);
        double const s = host.scale();
        return user.screenshot(host.windowId(), static_cast<int>(window.bounds().size.width * s),
                               static_cast<int>(window.bounds().size.height * s), s);
    }

    XTestSupport::User user;
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

} // namespace

// Both pictures come from one drawing code on one Cairo: they must agree exactly; a difference
// of 1 per channel is allowed for the server's copy.
TEST_F(X11WindowHostTest, TheWindowShowsTheHeadlessRenderAtEveryScale)
{
    for (double scale : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(scale);
        Scene screen;
        auto host = open(screen, scale);
        Image const shown = screenshot(*host, *screen.window);
        Image headless = screen.window->renderToImage(scale);
        ASSERT_EQ(shown.pixelWidth(), headless.pixelWidth());
        EXPECT_TRUE(XTestSupport::samePicture(shown, headless));
    }
}

TEST_F(X11WindowHostTest, AChangeRedrawsItsRegionOnlyAndTheResultMatchesAFullRender)
{
    Scene screen;
    auto host = open(screen, 2);
    auto const frames = host->framesDrawn();
    screen.label->setText("Cutoff 9.9 kHz");
    ASSERT_TRUE(pumpUntil([&] { return host->framesDrawn() > frames; }));
    double const windowPixels = 320 * 200 * 4;
    EXPECT_LT(host->pixelsDrawnLastFrame(), windowPixels / 8);
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(*host, *screen.window),
                                                     screen.window->renderToImage(2)));

    // Many requests before the frame make one frame.
    auto const before = host->framesDrawn();
    for (int i = 0; i < 50; ++i)
        screen.pad->setNeedsDisplay();
    ASSERT_TRUE(pumpUntil([&] { return host->framesDrawn() > before; }));
    XTestSupport::pumpFor(0.1);
    EXPECT_EQ(host->framesDrawn(), before + 1);

    // A change of geometry redraws the whole window.
    screen.pad->setFrame(Rect(40, 50, 100, 80));
    ASSERT_TRUE(pumpUntil([&] { return host->framesDrawn() > before + 1; }));
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(*host, *screen.window),
                                                     screen.window->renderToImage(2)));
}

TEST_F(X11WindowHostTest, TheLeftButtonIsOneTouchInPoints)
{
    Scene screen;
    auto host = open(screen, 2);
    // Window pixels are points × 2; the pad is at (20, 30) points.
    user.moveTo(host->windowId(), (20 + 10) * 2, (30 + 10) * 2);
    user.press(true);
    user.moveTo(host->windowId(), (20 + 30) * 2, (30 + 50) * 2);
    user.press(false);
    ASSERT_TRUE(pumpUntil([&] { return !screen.pad->phases.empty() && screen.pad->phases.back() == "ended"; }));
    EXPECT_EQ(screen.pad->phases.front(), "began");
    EXPECT_NE(std::find(screen.pad->phases.begin(), screen.pad->phases.end(), "moved"), screen.pad->phases.end());
    EXPECT_EQ(screen.pad->locations.front(), (Point{10, 10}));
    EXPECT_EQ(screen.pad->locations.back(), (Point{30, 50}));
    EXPECT_TRUE(screen.window->activeTouches().empty());

    // The wheel and other buttons are no touches.
    XTestFakeButtonEvent(user.display(), 4, True, CurrentTime);
    XTestFakeButtonEvent(user.display(), 4, False, CurrentTime);
    XTestFakeButtonEvent(user.display(), 3, True, CurrentTime);
    XTestFakeButtonEvent(user.display(), 3, False, CurrentTime);
    XSync(user.display(), False);
    XTestSupport::pumpFor(0.2);
    EXPECT_EQ(screen.pad->phases.back(), "ended");
    EXPECT_EQ(std::count(screen.pad->phases.begin(), screen.pad->phases.end(), "began"), 1);
}

// While the button is down the window holds the pointer (X's implicit grab), so other clients
// cannot take it; what does end the grab is the window going away under the finger (a host
// hiding the editor): the touch is cancelled, not ended.
TEST_F(X11WindowHostTest, TheWindowHiddenUnderAHeldButtonCancelsTheTouch)
{
    Scene screen;
    auto host = open(screen);
    user.moveTo(host->windowId(), 40, 50);
    user.press(true);
    ASSERT_TRUE(pumpUntil([&] { return !screen.pad->phases.empty(); }));
    XUnmapWindow(user.display(), host->windowId());
    XSync(user.display(), False);
    EXPECT_TRUE(pumpUntil([&] { return screen.pad->phases.back() == "cancelled"; }));
    EXPECT_TRUE(screen.window->activeTouches().empty());
    user.press(false);
    XTestSupport::pumpFor(0.1);
    EXPECT_EQ(screen.pad->phases.back(), "cancelled");
}

// A plug-in's editor lives in a window its host gives.
TEST_F(X11WindowHostTest, AsAChildOfAnotherClientsWindowItDrawsAndTakesThePointer)
{
    Display* d = user.display();
    ::Window const parent = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 500, 400, 0, 0, 0);
    XMapWindow(d, parent);
    XSync(d, False);

    Scene screen;
    X11WindowHost::Options options;
    options.scale = 1;
    options.parent = parent;
    X11WindowHost host(screen.window, options, RunLoop::main());
    ASSERT_TRUE(host.isOpen()) << host.error();
    ASSERT_TRUE(pumpUntil([&] { return host.framesDrawn() > 0; }));

    ::Window root = 0, itsParent = 0;
    ::Window* children = nullptr;
    unsigned count = 0;
    ASSERT_TRUE(XQueryTree(d, host.windowId(), &root, &itsParent, &children, &count));
    if (children)
        XFree(children);
    EXPECT_EQ(itsParent, parent);
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(host, *screen.window), screen.window->renderToImage(1)));

    user.click(host.windowId(), 30, 40);
    EXPECT_TRUE(pumpUntil([&] { return !screen.pad->phases.empty() && screen.pad->phases.back() == "ended"; }));
    XDestroyWindow(d, parent);
    XSync(d, False);
}

TEST_F(X11WindowHostTest, ResizingRefitsTheTreeAndRedrawsIt)
{
    Scene screen;
    auto host = open(screen, 2);
    auto const frames = host->framesDrawn();
    XResizeWindow(user.display(), host->windowId(), 900, 500);
    XSync(user.display(), False);
    ASSERT_TRUE(pumpUntil([&] { return screen.window->bounds().size == (Size{450, 250}); }));
    EXPECT_EQ(screen.root->view()->frame(), (Rect{0, 0, 450, 250}));
    ASSERT_TRUE(pumpUntil([&] { return host->framesDrawn() > frames; }));
    EXPECT_TRUE(XTestSupport::samePicture(screenshot(*host, *screen.window),
                                                     screen.window->renderToImage(2)));
}

TEST_F(X11WindowHostTest, KeysTypeIntoTheAlertsFieldAndReturnAnswersIt)
{
    Scene screen;
    auto host = open(screen);
    std::string answered;
    auto alert = AlertController::alertControllerWithTitle("New Folder", "", AlertController::Style::Alert);
    alert->addTextFieldWithConfigurationHandler([](TextField*) {});
    alert->addAction(AlertAction::actionWithTitle("Cancel", AlertAction::Style::Cancel,
                                                  [&](AlertAction*) { answered = "cancel"; }));
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, [&, a = alert.get()](AlertAction*) {
        answered = "ok:" + a->textFields().front()->text();
    }));
    screen.root->presentViewController(alert, false);
    XTestSupport::pumpFor(0.05);

    XSetInputFocus(user.display(), host->windowId(), RevertToParent, CurrentTime);
    for (KeySym k : {XK_b, XK_a, XK_s, XK_BackSpace, XK_x})
        user.key(k);
    ASSERT_TRUE(pumpUntil([&] { return alert->textFields().front()->text() == "bax"; }));
    user.key(XK_Return);
    ASSERT_TRUE(pumpUntil([&] { return !answered.empty(); }));
    EXPECT_EQ(answered, "ok:bax");
    EXPECT_EQ(screen.root->presentedViewController(), nullptr);
}

TEST_F(X11WindowHostTest, TheCloseButtonCallsTheCloseHandler)
{
    Scene screen;
    auto host = open(screen);
    bool closed = false;
    host->setCloseHandler([&] { closed = true; });
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.window = host->windowId();
    message.xclient.message_type = XInternAtom(user.display(), "WM_PROTOCOLS", False);
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(XInternAtom(user.display(), "WM_DELETE_WINDOW", False));
    XSendEvent(user.display(), host->windowId(), False, NoEventMask, &message);
    XSync(user.display(), False);
    EXPECT_TRUE(pumpUntil([&] { return closed; }));
}

// Measured over a few seconds of the main loop: with nothing changing, nothing is drawn and the
// process sleeps. The bound (1 % of a core) is generous; the real cost is near zero.
TEST_F(X11WindowHostTest, AnIdleWindowCostsNoFramesAndAlmostNoCpu)
{
    Scene screen;
    auto host = open(screen);
    XTestSupport::pumpFor(0.2);
    auto const frames = host->framesDrawn();
    double const cpuBefore = processCpuSeconds();
    auto const wallBefore = std::chrono::steady_clock::now();
    XTestSupport::pumpFor(3.0);
    double const wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    double const cpu = processCpuSeconds() - cpuBefore;
    EXPECT_EQ(host->framesDrawn(), frames);
    EXPECT_LT(cpu / wall, 0.01) << cpu << " s of CPU in " << wall << " s";
}
