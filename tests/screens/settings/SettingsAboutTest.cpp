// The About panel and screen.

#include "screens/settings/support/SettingsTestSupport.h"

#include "controls/painter/Lumora_Painter.h"
#include "platform/ui/Button.h"
#include "screens/settings/about/About_SettingPanelView.h"
#include "screens/settings/about/About_ViewController.h"

#include <boost/version.hpp>
#include <gtest/gtest.h>

using namespace SettingsTest;

namespace {

std::vector<std::string> lines(std::string const& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    out.push_back(text.substr(start));
    return out;
}

} // namespace

TEST(SettingsAbout, PanelOpensTheAboutScreenWithProductEngineAndAcknowledgments)
{
    ProductBundle bundle;
    Rig rig;
    rig.open();
    auto& panel = rig.panel<About_SettingPanelView>();
    Platform::Button* button = nullptr;
    for (auto const& sub : panel.subviews())
        if (auto* b = dynamic_cast<Platform::Button*>(sub.get()))
            button = b;
    ASSERT_NE(button, nullptr);
    button->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);

    ASSERT_EQ(rig.navigation->viewControllers().size(), 2u);
    auto* about = dynamic_cast<About_ViewController*>(rig.navigation->topViewController());
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->core(), rig.core.get());
    EXPECT_EQ(about->title(), "About");
    EXPECT_FALSE(rig.navigation->navigationBar()->isTranslucent());
    EXPECT_EQ(rig.navigation->navigationBar()->backgroundColor(), Lumora_Painter::sharedInstance()->popoverHeaderColor());

    Platform::TextView* text = about->textView();
    ASSERT_NE(text, nullptr);
    EXPECT_FALSE(text->isEditable());
    EXPECT_EQ(text->dataDetectorTypes(), 2u);
    EXPECT_EQ(text->text(), about->informationText() + "\n\n\n" + about->acknowledgmentsText());

    std::vector<std::string> const info = lines(about->informationText());
    ASSERT_GE(info.size(), 8u);
    EXPECT_EQ(info[0], "Corvane version 3.1 (Build Number: 42)");
    EXPECT_NE(info[1].find(rig.core->productManufacture()), std::string::npos);
    EXPECT_EQ(info[2], "");
    EXPECT_EQ(info[3], "Lumora Engine: 2.11.4");
    EXPECT_EQ(info[5], "");
    EXPECT_EQ(info[6], rig.core->productURL());
    EXPECT_EQ(info[7], rig.core->productMailAddress());

    std::string const thanks = about->acknowledgmentsText();
    EXPECT_EQ(thanks.rfind("Acknowledgments\nPortions of this software are:\n\n", 0), 0u);
    for (char const* library : {"Boost C++ Libraries " BOOST_LIB_VERSION, "minizip", "zlib", "cairo",
                                "Boost Software License", "Permission is granted to anyone"})
        EXPECT_NE(thanks.find(library), std::string::npos) << library;
}

TEST(SettingsAbout, TextKeepsClearOfSideSafeAreaInsetsOnEveryLayoutPass)
{
    Rig rig;
    auto about = About_ViewController::newWithCore(rig.core);
    ASSERT_NE(about, nullptr);
    Platform::View holder(Platform::Rect(0, 0, 400, 600));
    Platform::TextView* text = nullptr;
    {
        std::shared_ptr<Platform::View> view = about->sharedView();
        view->setFrame(holder.bounds());
        holder.addSubview(view);
        text = about->textView();
    }
    Platform::Rect const laidOut = text->bounds();

    about->viewWillLayoutSubviews();
    EXPECT_EQ(text->bounds(), laidOut);
    EXPECT_EQ(text->textContainerInset(), (Platform::EdgeInsets{5, 10, 5, 15}));
    EXPECT_EQ(holder.backgroundColor(), Platform::Color::whiteColor());

    text->setSafeAreaInsets({0, 44, 21, 30});
    for (int pass = 0; pass < 3; ++pass) {
        about->viewWillLayoutSubviews();
        EXPECT_EQ(text->textContainerInset(), (Platform::EdgeInsets{5, 54, 5, 45})) << pass;
        EXPECT_EQ(text->bounds(), laidOut) << pass;
    }

    about->viewWillAppear(false);
    EXPECT_TRUE(text->scrollsToTop());
    holder.subviews()[0]->removeFromSuperview();
}

TEST(SettingsAbout, TheScreenNeedsAModel)
{
    About_ViewController plain;
    EXPECT_FALSE(plain.init());
    EXPECT_EQ(About_ViewController::newWithCore(nullptr), nullptr);
}
