// The main screen fills its window: the editor frame on top and the row of side-edge button,
// strip and keyboard below it, abutting, inside the window, for each program on the sizes it
// meets; the surface fills its scroll view with no band; the strip shows whole columns in both
// of its layouts.

#include "screens/main/MainScreenTestRig.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ScrollView.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"
#include "screens/main/nibs/MainFrameView.h"

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

using namespace MainScreenTest;
using Platform::Rect;

namespace {

constexpr double tolerance = 0.5;

struct LayoutCase {
    Program program;
    Rect window;
    bool wideStrip;
};

std::ostream& operator<<(std::ostream& out, LayoutCase const& c)
{
    char const* names[] = {"plug-in", "pad app", "phone app"};
    return out << names[static_cast<int>(c.program)] << ' ' << c.window.width() << 'x' << c.window.height()
               << (c.wideStrip ? " wide strip" : "");
}

std::string text(Rect const& r)
{
    std::ostringstream out;
    out << '(' << r.minX() << ", " << r.minY() << ", " << r.width() << ", " << r.height() << ')';
    return out.str();
}

bool inside(Rect const& inner, Rect const& outer)
{
    return inner.minX() >= outer.minX() - tolerance && inner.minY() >= outer.minY() - tolerance &&
           inner.maxX() <= outer.maxX() + tolerance && inner.maxY() <= outer.maxY() + tolerance;
}

bool covers(Rect const& outer, Rect const& inner) { return inside(inner, outer); }

bool disjoint(Rect const& a, Rect const& b)
{
    return a.maxX() <= b.minX() + tolerance || b.maxX() <= a.minX() + tolerance || a.maxY() <= b.minY() + tolerance ||
           b.maxY() <= a.minY() + tolerance;
}

class MainScreenLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(MainScreenLayout, FillsTheWindowWithNoGapAndNothingCut)
{
    LayoutCase const c = GetParam();
    Rig rig(c.program, c.window);
    MainViewController& screen = rig.show();
    if (c.wideStrip) {
        screen.actionToggleCommonParamVw(nullptr);
        rig.window->layoutIfNeeded();
    }
    Platform::View* root = screen.view();
    Rect const all = root->bounds();
    ASSERT_EQ(all.size, c.window.size);

    // The frame on top across the whole width; the row below it down to the bottom edge, its
    // parts side by side from the left edge to the right one.
    Rect const frame = screen.edtrFrmCntnrVw()->frame();
    EXPECT_NEAR(frame.minX(), 0, tolerance);
    EXPECT_NEAR(frame.minY(), 0, tolerance);
    EXPECT_NEAR(frame.width(), all.width(), tolerance);
    std::vector<Platform::View*> row;
    for (Platform::View* v : {static_cast<Platform::View*>(screen.sideEdgeButton()),
                              static_cast<Platform::View*>(screen.cmnPrmCntnrVw()),
                              static_cast<Platform::View*>(screen.kbdCntnrVw())})
        if (v && !v->isHidden())
            row.push_back(v);
    ASSERT_FALSE(row.empty());
    double x = 0;
    for (Platform::View* v : row) {
        Rect const f = v->frame();
        EXPECT_TRUE(inside(f, all)) << text(f);
        EXPECT_NEAR(f.minX(), x, tolerance) << "no gap before " << text(f);
        EXPECT_NEAR(f.minY(), frame.maxY(), tolerance) << "right below the frame: " << text(f);
        if (v == screen.cmnPrmCntnrVw()) {
            // The strip keeps its ratio; it fills the row's height unless that would make it
            // grow past its largest size.
            double const ratio = screen.cmnPrmCntnrVw()->aspectRatio();
            EXPECT_LE(f.maxY(), all.maxY() + tolerance) << text(f);
            EXPECT_LE(f.height(), MainFrameView::maxStripHeight + 1) << text(f);
            if (f.maxY() < all.maxY() - tolerance) {
                EXPECT_NEAR(f.height(), f.width() * ratio, 1.0) << "at its ratio: " << text(f);
            }
        } else {
            EXPECT_NEAR(f.maxY(), all.maxY(), tolerance) << "down to the bottom edge: " << text(f);
        }
        x = f.maxX();
    }
    // The keyboard keeps an octave to play on.
    EXPECT_GE(screen.kbdCntnrVw()->frame().width(), MainFrameView::minKeyboardWidth - tolerance);
    EXPECT_NEAR(x, all.maxX(), tolerance) << "the row reaches the right edge";
    EXPECT_GT(screen.kbdCntnrVw()->frame().width(), 0);
    EXPECT_EQ(screen.keyboardScrollVw()->frame(), screen.kbdCntnrVw()->bounds());

    // The apps' main files give the surface the room its fit needs: it covers its scroll view,
    // no band of the scroll view's own colour shows, and on the pad, which fits the width,
    // nothing of it is left outside either. (The plug-in fills whatever room its host gives, and
    // shrinks to fit an overflow below 100 points, leaving bands beside it then.)
    Platform::ScrollView* scroll = screen.edtrFrmVw()->edtrCntnrScrlVw;
    Rect const surface = screen.editorView()->frame();
    if (c.program != Program::Plugin) {
        EXPECT_TRUE(covers(surface, scroll->bounds())) << text(surface) << " in " << text(scroll->bounds());
    }
    if (c.program == Program::PadApp) {
        EXPECT_TRUE(inside(surface, scroll->bounds())) << text(surface) << " in " << text(scroll->bounds());
    }

    // The strip's controls are wholly shown or wholly beyond the container's edge, never cut;
    // the octave selector always shows, and the wide layout shows them all.
    if (auto* container = screen.cmnPrmCntnrVw(); container && !container->isHidden()) {
        Lumora_SynthFrmwrk_CmnPrmVw* strip = screen.commonParamVw();
        ASSERT_NE(strip, nullptr);
        for (auto const& part : strip->subviews()) {
            if (part.get() == strip->backgroundImageVw)
                continue;
            Rect const shown = part->convertRectToView(part->bounds(), container);
            EXPECT_TRUE(inside(shown, container->bounds()) || disjoint(shown, container->bounds()))
                << "cut at the container's edge: " << text(shown) << " in " << text(container->bounds());
            if (c.wideStrip) {
                EXPECT_TRUE(inside(shown, container->bounds())) << text(shown);
            }
        }
        Rect const octave = strip->selectorOctave->convertRectToView(strip->selectorOctave->bounds(), container);
        EXPECT_TRUE(inside(octave, container->bounds())) << text(octave);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, MainScreenLayout,
    ::testing::Values(LayoutCase{Program::PadApp, Rect(0, 0, 1024, 768), false},
                      LayoutCase{Program::PadApp, Rect(0, 0, 1366, 1024), false},
                      LayoutCase{Program::PadApp, Rect(0, 0, 1366, 1024), true},
                      LayoutCase{Program::PadApp, Rect(0, 0, 1024, 768), true},
                      LayoutCase{Program::PadApp, Rect(0, 0, 768, 1024), false},
                      LayoutCase{Program::PadApp, Rect(0, 0, 768, 1024), true},
                      LayoutCase{Program::Plugin, Rect(0, 0, 1024, 440), false},
                      LayoutCase{Program::Plugin, Rect(0, 0, 1366, 1024), true},
                      LayoutCase{Program::PhoneApp, Rect(0, 0, 667, 375), false}));

// The strip fits the row's height; a row lower than the strip's design would shrink it, so the
// strip and its side-edge button stay out and the keyboard takes the row, the header's strip
// button still there to open it.
TEST(MainScreenLayoutStrip, LowRowLeavesTheStripToItsPopup)
{
    struct Case {
        double height;
        bool stripShown;
    };
    for (Case const c : {Case{440, false}, Case{573, true}}) {
        SCOPED_TRACE(c.height);
        Rig rig(Program::Plugin, Rect(0, 0, 1024, c.height));
        MainViewController& screen = rig.show();
        double const row = c.height - screen.edtrFrmCntnrVw()->frame().height();
        EXPECT_EQ(row >= screen.commonParamVw()->originalSize().height, c.stripShown) << "row " << row;
        EXPECT_EQ(screen.cmnPrmCntnrVw()->isHidden(), !c.stripShown);
        EXPECT_EQ(screen.sideEdgeButton()->isHidden(), !c.stripShown);
        EXPECT_EQ(screen.kbdCntnrVw()->frame().minX() == 0, !c.stripShown);
        EXPECT_FALSE(screen.edtrFrmVw()->btnCommonParam->isHidden());
    }
}

// The picture behind the strip has panels; the tall layout ends between two of them, so the
// pixels along the container's right edge show the strip's backdrop, not a panel cut in half.
TEST(MainScreenLayoutStrip, TallLayoutEndsBetweenPanelsOfThePicture)
{
    Rig rig(Program::PadApp, Rect(0, 0, 1366, 1024));
    MainViewController& screen = rig.show();
    Platform::Image const image = rig.window->renderToImage();
    ASSERT_FALSE(image.isNull());
    auto* container = screen.cmnPrmCntnrVw();
    Rect const box = container->convertRectToView(container->bounds(), rig.window.get());
    Platform::Color const backdrop = *Lumora_Painter::sharedInstance()->commonParmBackgroundColor();
    int const x = static_cast<int>(box.maxX()) - 2;
    for (double share : {0.3, 0.5, 0.7}) {
        Platform::Color const pixel = image.pixel(x, static_cast<int>(box.minY() + share * box.height()));
        EXPECT_NEAR(pixel.green(), backdrop.green(), 0.03) << "at " << share << " of the height";
        EXPECT_NEAR(pixel.red(), backdrop.red(), 0.03) << "at " << share << " of the height";
    }
}

} // namespace
