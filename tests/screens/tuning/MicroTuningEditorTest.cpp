#include "screens/tuning/MicroTuningEditorVwCtrlr.h"

#include "engine/instrument/iInstrument.h"
#include "engine/tuning/MicroTuning.h"
#include "model/support/ModelTestSupport.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Window.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/tuning/MicroTuningEditorKeyVw.h"
#include "screens/tuning/MicroTuningEditorNibs.h"
#include "screens/tuning/_MicroTuningEditorKeyVw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using Platform::Color;

namespace {

std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SCREENS_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (folder / name).string();
}

// The editor on a settings screen's navigation stack, over the test synth's table.
class MicroTuningEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.attachApp();
        navigation = Platform::NavigationController::withRootViewController(settingsScreen);
        navigation->view()->setFrame(Platform::Rect(0, 0, 400, 660));
        editor = MicroTuningEditorVwCtrlr::create(rig.core, settingsScreen.get());
        ASSERT_TRUE(editor);
        navigation->pushViewController(editor, false);
        editor->loadViewIfNeeded();
        editor->viewWillAppear(false);
    }

    Lumora::MicroTuning& table() { return *rig.core->synth().instrument().microTuning(); }
    _MicroTuningEditorKeyVw& row(int key)
    {
        for (auto const& v : editor->keyViewContainerVw()->subviews()) {
            auto* holder = dynamic_cast<MicroTuningEditorKeyVw*>(v.get());
            if (holder && holder->keyNumberOfOctave() == key)
                return *holder->keyView();
        }
        throw std::runtime_error("no row");
    }

    ModelTest::CoreRig rig;
    std::shared_ptr<Platform::ViewController> settingsScreen = std::make_shared<Platform::ViewController>();
    std::shared_ptr<Platform::NavigationController> navigation;
    std::shared_ptr<MicroTuningEditorVwCtrlr> editor;
};

TEST(MicroTuningEditorCreation, NeedsTheModelAndLoadsTwelveRowsFromItsFiles)
{
    EXPECT_EQ(Platform::newObject<MicroTuningEditorVwCtrlr>(), nullptr);
    ModelTest::CoreRig rig;
    auto editor = MicroTuningEditorVwCtrlr::create(rig.core, nullptr);
    ASSERT_TRUE(editor);
    editor->loadViewIfNeeded();
    ASSERT_NE(editor->keyViewContainerVw(), nullptr);
    ASSERT_NE(editor->keyViewScrollVw(), nullptr);
    std::vector<int> keys;
    for (auto const& v : editor->keyViewContainerVw()->subviews())
        if (auto* holder = dynamic_cast<MicroTuningEditorKeyVw*>(v.get())) {
            ASSERT_NE(holder->keyView(), nullptr);
            keys.push_back(holder->keyNumberOfOctave());
        }
    EXPECT_EQ(keys, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
}

TEST_F(MicroTuningEditor, RowsAreNamedAndColouredLikeTheirKeys)
{
    EXPECT_EQ(row(1).name()->text(), "C#");
    EXPECT_EQ(row(1).backgroundColor(), Color::darkGrayColor());
    EXPECT_EQ(row(1).name()->textColor(), Color::whiteColor());
    EXPECT_EQ(row(1).label()->textColor(), Color::whiteColor());
    EXPECT_EQ(row(4).name()->text(), "E");
    EXPECT_EQ(row(4).backgroundColor(), Color::whiteColor());
    EXPECT_EQ(row(4).label()->textColor(), Color::blackColor());
    EXPECT_EQ(row(11).name()->text(), "B");
}

TEST_F(MicroTuningEditor, ShowsTheTablesDetuneInWholeCentsWhenItAppears)
{
    struct Case { float detune; std::string shown; float control; };
    for (Case const& c : {Case{0.125f, "+13", 13}, Case{-0.004f, "0", 0}, Case{-0.5f, "-50", -50}, Case{1.0f, "+100", 100}}) {
        table().setDetune(2, c.detune);
        editor->viewWillAppear(false);
        EXPECT_EQ(row(2).label()->text(), c.shown) << c.detune;
        EXPECT_EQ(row(2).slider()->value(), c.control) << c.detune;
        EXPECT_EQ(row(2).stepper()->value(), c.control) << c.detune;
    }
    EXPECT_EQ(editor->keyViewScrollVw()->contentSize(), editor->keyViewContainerVw()->frame().size);
}

TEST_F(MicroTuningEditor, ControlsWriteRoundedCentsToTheTableAndShowThem)
{
    auto& r = row(7);
    r.stepper()->setValue(-7);
    r.stepper()->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
    EXPECT_FLOAT_EQ(table().data(7).detune, -0.07f);
    EXPECT_EQ(r.label()->text(), "-7");

    r.slider()->setValue(12.5f);
    r.slider()->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
    EXPECT_FLOAT_EQ(table().data(7).detune, 0.13f);
    EXPECT_EQ(r.label()->text(), "+13");
    EXPECT_EQ(r.stepper()->value(), 13);

    // Beyond the table's range: the table keeps +-100 cents and the row shows what it kept.
    r.slider()->setMaximumValue(200);
    r.slider()->setValue(150);
    r.slider()->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
    EXPECT_FLOAT_EQ(table().data(7).detune, 1.0f);
    EXPECT_EQ(r.label()->text(), "+100");
    // Other pitch classes are untouched.
    EXPECT_EQ(table().data(6).detune, 0.0f);
    EXPECT_EQ(table().data(8).detune, 0.0f);
}

TEST_F(MicroTuningEditor, DocumentsButtonOpensTheMicroTuningBrowserAndComingBackShowsTheLoadedTable)
{
    editor->actionShowFileMng(nullptr);
    auto* browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(navigation->topViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_EQ(browser->docFileManager(), rig.core->synth().microtuningDocumentFileManager());
    EXPECT_EQ(browser->edgesForExtendedLayout(), 0u);
    EXPECT_FALSE(browser->closeButton());

    // A document load replaces the table while the browser is on top.
    std::string text = "1\n";
    for (int k = 0; k < 12; ++k)
        text += "0:" + std::string(k == 9 ? "-0.25" : "0") + "\n";
    ASSERT_TRUE(table().deserialize(text));
    navigation->popViewControllerAnimated(false);
    editor->viewWillAppear(false);
    EXPECT_EQ(row(9).label()->text(), "-25");
}

TEST_F(MicroTuningEditor, RendersToPicture)
{
    table().setDetune(1, 0.25f);
    table().setDetune(4, -0.1f);
    editor->viewWillAppear(false);
    Platform::Image image = Platform::renderViewToImage(*editor->view());
    EXPECT_TRUE(image.writePNG(picturePath("corvane-microtuning-editor.png")));
}

} // namespace

namespace {

TEST(MicroTuningEditorSubScreen, TheSettingsScreensMicroTuningPanelOpensTheEditor)
{
    registerMicroTuningEditorSubScreen();
    ModelTest::CoreRig rig;
    auto screen = Lumora_SettingPanelRegistry::makeSubScreen("MicroTuningEditorVwCtrlr", rig.core, nullptr);
    auto* editor = dynamic_cast<MicroTuningEditorVwCtrlr*>(screen.get());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->core(), rig.core);
}

} // namespace
