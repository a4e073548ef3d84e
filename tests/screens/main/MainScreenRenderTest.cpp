// Renders the main screen of the pad app, the plug-in and the phone app, and the effect editor,
// to PNG files for a person to look at (in the working folder, or where CORVANE_SHEET_DIR points).

#include "screens/main/MainScreenTestRig.h"

#include "platform/graphics/Image.h"
#include "platform/ui/Window.h"
#include "screens/main/EffectEditorViewController.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace MainScreenTest;

namespace {

std::string outputPath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SHEET_DIR");
    return (std::filesystem::path(dir ? dir : ".") / name).string();
}

// How much of the picture is not black: a drawn editor covers most of it.
double inkedShare(Platform::Image const& image)
{
    int inked = 0, total = 0;
    for (int y = 0; y < image.pixelHeight(); y += 4)
        for (int x = 0; x < image.pixelWidth(); x += 4) {
            auto const c = image.pixel(x, y);
            inked += (c.red() + c.green() + c.blue()) > 0.05;
            ++total;
        }
    return total ? static_cast<double>(inked) / total : 0;
}

struct RenderCase {
    Program program;
    Platform::Rect window;
    char const* file;
};

class MainScreenRender : public ::testing::TestWithParam<RenderCase> {};

TEST_P(MainScreenRender, DrawsTheWholeEditor)
{
    RenderCase const c = GetParam();
    Rig rig(c.program, c.window);
    rig.show();
    rig.tick();
    Platform::Image const image = Platform::renderViewToImage(*rig.window, 1);
    ASSERT_TRUE(image.writePNG(outputPath(c.file)));
    EXPECT_GT(inkedShare(image), 0.6);
}

INSTANTIATE_TEST_SUITE_P(Programs, MainScreenRender,
                         ::testing::Values(RenderCase{Program::PadApp, Platform::Rect(0, 0, 1024, 768), "main-pad-app.png"},
                                           RenderCase{Program::Plugin, Platform::Rect(0, 0, 1024, 440), "main-plugin.png"},
                                           RenderCase{Program::PhoneApp, Platform::Rect(0, 0, 667, 375),
                                                      "main-phone-app.png"}));

TEST(MainScreenRenderEffects, DrawsTheEffectEditor)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    screen.actionShowEffectEditor(nullptr);
    auto* editor = screen.effectEditorVwCtrlr();
    ASSERT_NE(editor, nullptr);
    editor->view()->layoutIfNeeded();
    Platform::Image const image = Platform::renderViewToImage(*editor->view(), 1);
    ASSERT_TRUE(image.writePNG(outputPath("effect-editor.png")));
    EXPECT_GT(inkedShare(image), 0.6);
}

TEST(MainScreenRenderStrip, DrawsTheWideStrip)
{
    Rig rig(Program::PadApp);
    MainViewController& screen = rig.show();
    screen.actionToggleCommonParamVw(nullptr);
    rig.window->layoutIfNeeded();
    Platform::Image const image = Platform::renderViewToImage(*rig.window, 1);
    ASSERT_TRUE(image.writePNG(outputPath("main-pad-app-wide-strip.png")));
    EXPECT_GT(inkedShare(image), 0.6);
}

} // namespace
