// The settings screen drawn headlessly into pictures: the app's and the plug-in's panel lists
// under the header bar.

#include "screens/settings/support/SettingsTestSupport.h"

#include "controls/painter/Lumora_Painter.h"
#include "platform/graphics/Image.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using namespace SettingsTest;

namespace {

// Where the pictures go for a look: $CORVANE_SETTINGS_PNG_DIR, else the temporary folder.
std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SETTINGS_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (folder / name).string();
}

bool near(Platform::Color const& a, Platform::Color const& b)
{
    double const t = 3.0 / 255;
    return std::abs(a.red() - b.red()) <= t && std::abs(a.green() - b.green()) <= t &&
           std::abs(a.blue() - b.blue()) <= t;
}

// Whether any pixel of the rectangle is darker than the panels' white background.
bool hasInk(Platform::Image const& image, Platform::Rect const& r)
{
    for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
        for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x)
            if (image.pixel(x, y).red() < 0.6)
                return true;
    return false;
}

void renderAndCheck(bool plugin, char const* file)
{
    ProductBundle bundle;
    Rig rig(plugin);
    rig.window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 420, 1600));
    Lumora_SettingsVwCtrlr& screen = rig.open();
    ASSERT_TRUE(rig.navigation->isNavigationBarHidden());
    Platform::Image image = rig.window->renderToImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.writePNG(picturePath(file)));

    // The header bar in the theme's header colour, at the top of the window.
    Platform::Point const headerPoint = screen.titleBarView()->convertPointToWindow({200, 70});
    if (auto header = Lumora_Painter::sharedInstance()->popoverHeaderColor()) {
        EXPECT_TRUE(near(image.pixel(static_cast<int>(headerPoint.x), static_cast<int>(headerPoint.y)), *header));
    }
    // Every panel shows its title, at its place in the column.
    double const top = screen.pannelContainerView()->convertPointToWindow({0, 0}).y;
    for (auto const& panel : screen.addedPanelViews()) {
        Platform::Rect const f = panel->frame();
        ASSERT_LE(top + f.maxY(), 1600.0) << panelName(panel.get());
        EXPECT_TRUE(hasInk(image, Platform::Rect(12, top + f.minY() + 8, 150, 28))) << panelName(panel.get());
    }
}

} // namespace

TEST(SettingsRender, AppScreen) { renderAndCheck(false, "corvane-settings-app.png"); }

TEST(SettingsRender, PluginScreen) { renderAndCheck(true, "corvane-settings-plugin.png"); }
