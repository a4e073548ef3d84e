// The main screen put together for each program and device: the main file, the frame in its
// container, the product's surface in the frame's scroll view and fitted by the program's mode,
// the keyboard and the strip where the file has their containers, and the surface swap of the
// plug-in on a pad.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/button/Lumora_SideEdgeButton.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/ScrollView.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/main/EditorSurfaceView.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"
#include "screens/main/nibs/EditorSurfaceNibs.h"

#include "platform/ui/ImageView.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace MainScreenTest;

namespace {

struct Case {
    Program program;
    Platform::Rect window;
    std::string mainFile;
    bool surfaceForPlugin;
    Platform::Size surfaceSize;
    bool strip;
};

class MainScreenAssembly : public ::testing::TestWithParam<Case> {};

TEST_P(MainScreenAssembly, AssemblesTheFilesOfTheProgramAndDevice)
{
    Case const c = GetParam();
    Rig rig(c.program, c.window);
    MainViewController& screen = rig.show();

    EXPECT_EQ(screen.nibName(), c.mainFile);
    ASSERT_NE(screen.edtrFrmCntnrVw(), nullptr);
    ASSERT_NE(screen.edtrFrmVw(), nullptr);
    EXPECT_EQ(screen.edtrFrmVw()->superview(), screen.edtrFrmCntnrVw());
    EXPECT_EQ(screen.edtrFrmVw()->isPlugin(), rig.plugin);
    EXPECT_EQ(screen.edtrFrmVw()->frame().size, screen.edtrFrmCntnrVw()->bounds().size);

    auto* surface = dynamic_cast<EditorSurfaceView*>(screen.editorView());
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->superview(), screen.edtrFrmVw()->edtrCntnrScrlVw);
    EXPECT_EQ(surface->isPlugin(), c.surfaceForPlugin);
    EXPECT_EQ(surface->uiIdiom(), c.program == Program::PhoneApp ? 0 : 1);
    EXPECT_EQ(surface->originalSize(), c.surfaceSize);
    ASSERT_NE(surface->backgroundImageView, nullptr);
    EXPECT_FALSE(surface->backgroundImageView->image().isNull()) << "the framework's background picture";

    // The surface is scaled, never stretched, and fills the scroll view along the mode's axis.
    Platform::AffineTransform const t = surface->transform();
    EXPECT_DOUBLE_EQ(t.a, t.d);
    Platform::Size const room = screen.edtrFrmVw()->edtrCntnrScrlVw->bounds().size;
    double const shownWidth = t.a * c.surfaceSize.width;
    double const shownHeight = t.d * c.surfaceSize.height;
    if (c.program == Program::PhoneApp)
        EXPECT_NEAR(shownHeight, room.height, 0.5) << "fits the height";
    else if (c.program == Program::PadApp)
        EXPECT_NEAR(shownWidth, room.width, 0.5) << "fits the width";
    else
        EXPECT_TRUE(std::abs(shownWidth - room.width) < 0.5 || std::abs(shownHeight - room.height) < 0.5)
            << "fills one side and does not overflow the other by 100 points or more";
    EXPECT_FLOAT_EQ(screen.scaleOfContent(), static_cast<float>(t.a));

    EXPECT_TRUE(screen.hasKeyboard());
    ASSERT_NE(screen.keyboardScrollVw(), nullptr);
    EXPECT_EQ(screen.keyboardScrollVw()->superview(), screen.kbdCntnrVw());
    EXPECT_EQ(screen.keyboardScrollVw()->frame().size, screen.kbdCntnrVw()->bounds().size);
    EXPECT_TRUE(screen.receivingMidi());

    if (c.strip) {
        ASSERT_NE(screen.cmnPrmCntnrVw(), nullptr);
        ASSERT_NE(screen.commonParamVw(), nullptr);
        EXPECT_EQ(screen.commonParamVw()->superview(), screen.cmnPrmCntnrVw());
        ASSERT_NE(screen.sideEdgeButton(), nullptr);
    } else {
        EXPECT_EQ(screen.cmnPrmCntnrVw(), nullptr);
        EXPECT_EQ(screen.sideEdgeButton(), nullptr);
    }
    EXPECT_EQ(screen.preferredScreenEdgesDeferringSystemGestures(), 5u);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, MainScreenAssembly,
    ::testing::Values(
        Case{Program::Plugin, Platform::Rect(0, 0, 1024, 420), "SynthFrmwrk_MainFrm_Plugin", true, CorvaneNib::padPluginSurfaceSize, true},
        Case{Program::Plugin, Platform::Rect(0, 0, 1024, 768), "SynthFrmwrk_MainFrm_Plugin", false, {1024, 334}, true},
        Case{Program::PadApp, Platform::Rect(0, 0, 1024, 768), "SynthFrmwrk_MainFrm_iPad_App", false, {1024, 334}, true},
        Case{Program::PhoneApp, Platform::Rect(0, 0, 667, 375), "SynthFrmwrk_MainFrm_iPhone_App", false,
             CorvaneNib::phoneSurfaceSize, false}));

// The plug-in on a pad swaps surfaces once per crossing of the height threshold, leaving
// MIDI-mapping mode first; the app never swaps.
TEST(MainScreenSurfaceSwap, PluginFollowsTheHostHeightAcrossTheThreshold)
{
    Rig rig(Program::Plugin, Platform::Rect(0, 0, 1024, 458));
    MainViewController& screen = rig.show();
    ASSERT_TRUE(screen.editorView()->isPlugin());
    Platform::View* first = screen.editorView();

    screen.actionMidiMapping(nullptr);
    ASSERT_TRUE(screen.showControlStatusView());

    rig.window->setFrame(Platform::Rect(0, 0, 1024, 459));
    screen.view()->setFrame(Platform::Rect(0, 0, 1024, 459));
    screen.view()->setNeedsLayout();
    rig.window->layoutIfNeeded();
    EXPECT_FALSE(screen.editorView()->isPlugin());
    EXPECT_NE(screen.editorView(), first);
    EXPECT_FALSE(screen.showControlStatusView()) << "learn mode is left before the old surface goes";
    EXPECT_FALSE(screen.edtrFrmVw()->btnMidiMapping->isSelected());
    Platform::View* second = screen.editorView();

    screen.view()->setNeedsLayout();
    rig.window->layoutIfNeeded();
    EXPECT_EQ(screen.editorView(), second) << "no crossing, no swap";

    screen.view()->setFrame(Platform::Rect(0, 0, 1024, 400));
    screen.view()->setNeedsLayout();
    rig.window->layoutIfNeeded();
    EXPECT_TRUE(screen.editorView()->isPlugin());
    EXPECT_EQ(screen.editorView()->superview(), screen.edtrFrmVw()->edtrCntnrScrlVw);
}

TEST(MainScreenSurfaceSwap, AppKeepsItsSurface)
{
    Rig rig(Program::PadApp, Platform::Rect(0, 0, 1024, 400));
    MainViewController& screen = rig.show();
    Platform::View* first = screen.editorView();
    screen.view()->setFrame(Platform::Rect(0, 0, 1024, 700));
    screen.view()->setNeedsLayout();
    rig.window->layoutIfNeeded();
    EXPECT_EQ(screen.editorView(), first);
}

// A low keyboard switches the frame container's height constraint off: the frame takes all but a
// low row.
TEST(MainScreenKeyboardRow, LowHeightKeyboardGivesTheFrameMoreRoom)
{
    Rig rig(Program::PadApp);
    auto normal = Lumora_ViewController::newWithCore<MainViewController>(rig.core);
    auto low = Lumora_ViewController::newWithCore<MainViewController>(rig.core);
    low->setLowHeightKeyboard(true);
    for (auto const& screen : {normal, low}) {
        screen->view()->setFrame(Platform::Rect(0, 0, 1024, 768));
        screen->view()->layoutIfNeeded();
    }
    EXPECT_TRUE(normal->edtrFrmCntnrVw()->constraintForHeight->isActive());
    EXPECT_FALSE(low->edtrFrmCntnrVw()->constraintForHeight->isActive());
    EXPECT_GT(low->edtrFrmCntnrVw()->frame().size.height, normal->edtrFrmCntnrVw()->frame().size.height);
    EXPECT_GT(low->kbdCntnrVw()->frame().size.height, 0);
}

// The strip container's two ratios; the main view gives the strip the width its ratio asks.
TEST(MainScreenStrip, ToggleSwitchesTheRatioAndBack)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    auto* strip = screen.cmnPrmCntnrVw();
    ASSERT_NE(strip, nullptr);
    double const tallWidth = strip->frame().size.width;
    EXPECT_DOUBLE_EQ(strip->aspectRatio(), 1.375);

    rig.tap(screen.sideEdgeButton());
    EXPECT_TRUE(strip->altLayout());
    EXPECT_DOUBLE_EQ(strip->aspectRatio(), static_cast<double>(55.0f / 93.0f));
    EXPECT_GT(strip->frame().size.width, tallWidth * 2);

    screen.actionToggleCommonParamVw(nullptr);
    EXPECT_FALSE(strip->altLayout());
    EXPECT_DOUBLE_EQ(strip->aspectRatio(), 1.375);
    EXPECT_DOUBLE_EQ(strip->frame().size.width, tallWidth);
}

} // namespace
