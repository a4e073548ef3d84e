// The editor frame's header insets and title image, and the surface fit of each mode.

#include "controls/painter/Lumora_Painter.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"
#include "screens/main/nibs/MainScreenNibs.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

struct IdiomScope {
    explicit IdiomScope(char const* idiom) { ::setenv("CORVANE_UI_IDIOM", idiom, 1); }
    ~IdiomScope() { ::unsetenv("CORVANE_UI_IDIOM"); }
};

std::shared_ptr<Lumora_SynthFrmwrk_EdtrFrmVw> makeFrame(Platform::Rect frame, Platform::EdgeInsets safeArea = {})
{
    registerMainScreenNibs();
    auto objects = Platform::Nib::loadNibNamed("SynthFrmwrk_EditorFrm", nullptr);
    auto view = std::dynamic_pointer_cast<Lumora_SynthFrmwrk_EdtrFrmVw>(objects.at(0));
    view->setFrame(frame);
    view->setSafeAreaInsets(safeArea);
    return view;
}

TEST(EditorFrameLayout, HeaderInsetsAreTakenOnceFromTheDeviceAndSafeArea)
{
    {
        IdiomScope phone("phone");
        auto frame = makeFrame(Platform::Rect(0, 0, 667, 375), Platform::EdgeInsets{0, 44, 0, 0});
        frame->layoutIfNeeded();
        EXPECT_DOUBLE_EQ(frame->constraintforHeaderLeft->constant(), 44);
        EXPECT_DOUBLE_EQ(frame->constraintforHeaderRight->constant(), 8) << "at least 8 points";
        frame->setSafeAreaInsets(Platform::EdgeInsets{0, 0, 0, 30});
        frame->setNeedsLayout();
        frame->layoutIfNeeded();
        EXPECT_DOUBLE_EQ(frame->constraintforHeaderRight->constant(), 8) << "set once, at the first layout";
    }
    {
        IdiomScope phone("phone");
        auto frame = makeFrame(Platform::Rect(0, 0, 667, 375), Platform::EdgeInsets{0, 0, 0, 44});
        frame->layoutIfNeeded();
        EXPECT_DOUBLE_EQ(frame->constraintforHeaderRight->constant(), 44);
    }
    IdiomScope pad("pad");
    auto frame = makeFrame(Platform::Rect(0, 0, 1024, 400), Platform::EdgeInsets{0, 44, 0, 44});
    frame->layoutIfNeeded();
    EXPECT_DOUBLE_EQ(frame->constraintforHeaderLeft->constant(), 16);
    EXPECT_DOUBLE_EQ(frame->constraintforHeaderRight->constant(), 16);
}

TEST(EditorFrameLayout, TitleImageHiddenBelow460Points)
{
    IdiomScope pad("pad");
    auto narrow = makeFrame(Platform::Rect(0, 0, 459, 300));
    narrow->layoutIfNeeded();
    EXPECT_TRUE(narrow->headerImgVw->isHidden());
    auto wide = makeFrame(Platform::Rect(0, 0, 460, 300));
    wide->layoutIfNeeded();
    EXPECT_FALSE(wide->headerImgVw->isHidden());
}

// A 1024 x 334 surface in a scroll view of 1200 x 500: filled in the plug-in, width-fitted on a
// pad, height-fitted on a phone.
TEST(EditorFrameLayout, SurfaceFitFollowsProgramAndDevice)
{
    struct Case {
        char const* idiom;
        bool plugin;
        double scale;
    };
    for (Case c : {Case{"pad", true, 500.0 / 334.0}, Case{"pad", false, 1200.0 / 1024.0},
                   Case{"phone", false, 500.0 / 334.0}}) {
        IdiomScope idiom(c.idiom);
        auto frame = makeFrame(Platform::Rect(0, 0, 1200, 500 + Lumora_SynthFrmwrk_EdtrFrmVw::headerHeight));
        frame->setIsPlugin(c.plugin);
        auto surface = std::make_shared<Lumora_SynthFrmwrk_EdtrVw>();
        frame->edtrCntnrScrlVw->addSubview(surface);
        frame->layoutIfNeeded();
        EXPECT_NEAR(surface->transform().a, c.scale, 1e-9) << c.idiom << " plugin " << c.plugin;
        EXPECT_NEAR(frame->edtrCntnrScrlVw->contentSize().width, 1024 * c.scale, 1e-6);
    }
}

} // namespace
