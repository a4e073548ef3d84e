// Every screen in every layout the programs meet, opened the way a musician opens it and checked
// as drawn: nothing leaves the window or is cut by its panel, no controls or captions partly
// cover each other, every label's text fits its frame at its font and shows large enough to
// read, and the screen says what it is. With CORVANE_SCREENS_DIR set, each screen is also written
// there as a PNG named "<layout>-<screen>.png" (scripts/screens.sh writes them all to
// out/screens/).

#include "screens/main/MainScreenTestRig.h"
#include "screens/support/ScreenRenderChecks.h"

#include "controls/midilearn/Lumora_ControlStatusView.h"
#include "linkkit/ABLLink.h"
#include "linkkit/views/ABLLinkSettingsViewController.h"
#include "platform/graphics/Image.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Slider.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/midimapping/Lumora_MidiMapperElmntVwCtrlr.h"
#include "screens/settings/about/About_SettingPanelView.h"
#include "screens/settings/panels/MicroTuning_SettingPanelView.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <sstream>

using namespace MainScreenTest;
using Platform::Rect;

namespace {

constexpr double readable = 9;

struct Layout {
    char const* name;
    Program program;
    Rect window;
    bool phone = false; // the plug-in on a phone
    // Every text shows at least this size, in points of the window; 0 where the design's own
    // sizes give less.
    double smallestText = readable;
};

enum class Screen {
    Main,
    StripPopup,
    EffectEditor,
    Browser,
    Arpeggiator,
    Settings,
    MicroTuning,
    About,
    LinkSettings,
    MidiMapping
};

char const* nameOf(Screen s)
{
    switch (s) {
    case Screen::Main: return "main";
    case Screen::StripPopup: return "strip-popup";
    case Screen::EffectEditor: return "effect-editor";
    case Screen::Browser: return "browser";
    case Screen::Arpeggiator: return "arpeggiator";
    case Screen::Settings: return "settings";
    case Screen::MicroTuning: return "micro-tuning";
    case Screen::About: return "about";
    case Screen::LinkSettings: return "link-settings";
    case Screen::MidiMapping: return "midi-mapping";
    }
    return "?";
}

// The captions of every surface and popup are drawn at 9 points or more; each layout shows them
// at least at that size, except where the design itself scales them down: the pad app fits its
// surface, drawn for the 1024-point landscape width, to the screen's width, so upright it shows
// at 0.75, and its popups follow the editor's scale.
Layout const layouts[] = {
    {"pad-app", Program::PadApp, Rect(0, 0, 1024, 768)},
    {"pad-app-upright", Program::PadApp, Rect(0, 0, 768, 1024), false, 0},
    {"pad-app-large", Program::PadApp, Rect(0, 0, 1366, 1024)},
    {"phone-app", Program::PhoneApp, Rect(0, 0, 667, 375)},
    {"plugin", Program::Plugin, Rect(0, 0, 1024, 573)},
    {"plugin-low", Program::Plugin, Rect(0, 0, 1024, 440)},
    {"plugin-phone", Program::Plugin, Rect(0, 0, 667, 375), true},
};

void PrintTo(Layout const& layout, std::ostream* out) { *out << layout.name; }
void PrintTo(Screen screen, std::ostream* out) { *out << nameOf(screen); }

Screen const screens[] = {Screen::Main,        Screen::StripPopup, Screen::EffectEditor, Screen::Browser,
                          Screen::Arpeggiator, Screen::Settings,   Screen::MicroTuning,  Screen::About,
                          Screen::LinkSettings, Screen::MidiMapping};

// Names long enough to need more than a row's width on every layout.
constexpr char const* longFolderName = "Evening pads and slowly evolving textures for the second set";
constexpr char const* longPresetName = "Warm analogue brass with a slow filter sweep and a hint of chorus";

// The first label with text in a view's subtree, depth first: what a header shows as its title.
std::string firstText(Platform::View const* view)
{
    if (!view || !ScreenChecks::shown(*view))
        return {};
    if (auto const* label = dynamic_cast<Platform::Label const*>(view); label && !label->text().empty())
        return label->text();
    for (auto const& child : view->subviews())
        if (std::string t = firstText(child.get()); !t.empty())
            return t;
    return {};
}

// The labels with text and the steppers in a view's subtree.
void collect(Platform::View const* view, int& texts, int& steppers)
{
    if (auto const* label = dynamic_cast<Platform::Label const*>(view); label && !label->text().empty())
        ++texts;
    if (dynamic_cast<Platform::Stepper const*>(view))
        ++steppers;
    for (auto const& child : view->subviews())
        collect(child.get(), texts, steppers);
}

// The keys of a piano octave overlap by design (the black keys lie over the white ones).
bool keysOverlap(Platform::View const& a, Platform::View const& b)
{
    return dynamic_cast<Lumora_MusicalKeyView const*>(&a) && dynamic_cast<Lumora_MusicalKeyView const*>(&b);
}

// One screen opened over the main screen of one layout.
class ScreenRenderCheck : public ::testing::TestWithParam<std::tuple<Layout, Screen>> {
protected:
    void SetUp() override
    {
        auto const& [layout, screen] = GetParam();
        rig = std::make_unique<Rig>(layout.program, layout.window);
        if (layout.phone)
            ::setenv("CORVANE_UI_IDIOM", "phone", 1);
        if (screen == Screen::Browser)
            makeLongNames();
        main = &rig->show();
        rig->tick();
    }
    void TearDown() override
    {
        if (main)
            main->dismissViewControllerAnimated(false);
        if (link)
            ABLLinkDelete(link);
        rig.reset();
    }

    void makeLongNames()
    {
        Lumora::PresetDocFileManager& sounds = rig->sounds();
        ASSERT_TRUE(sounds.changeDirectory("User:"));
        ASSERT_TRUE(sounds.makeDirectory(longFolderName));
        ASSERT_TRUE(sounds.save(longPresetName));
    }

    Platform::View* presentedView() const
    {
        Platform::ViewController* top = main->presentedViewController();
        return top ? top->view() : nullptr;
    }

    // The settings screen's navigation stack, opened from the header's settings button.
    Platform::NavigationController* openSettings()
    {
        main->actionOpenSettings(main->edtrFrmVw()->btnConfig);
        return dynamic_cast<Platform::NavigationController*>(main->presentedViewController());
    }

    template <class Panel>
    Panel* settingsPanel(Platform::NavigationController* navigation)
    {
        auto* settings = dynamic_cast<Lumora_SettingsVwCtrlr*>(navigation->topViewController());
        if (!settings)
            return nullptr;
        for (auto const& panel : settings->addedPanelViews())
            if (auto* p = dynamic_cast<Panel*>(panel.get()))
                return p;
        return nullptr;
    }

    // Opens the screen; answers the view to check, and sets the title's view.
    Platform::View* open(Screen screen)
    {
        auto* frame = main->edtrFrmVw();
        switch (screen) {
        case Screen::Main:
            titleView = frame->btnSoundPresetName;
            return main->view();
        case Screen::StripPopup:
            main->actionOpenCommonParam(frame->btnCommonParam);
            return presentedView();
        case Screen::EffectEditor:
            main->actionShowEffectEditor(nullptr);
            return presentedView();
        case Screen::Browser:
            main->actionOpenSoundPresetBrowser(frame->btnSoundPresetName);
            titleView = presentedView();
            return presentedView();
        case Screen::Arpeggiator:
            main->actionOpenArpeggiatorEditor(frame->btnArpeggiator);
            titleView = presentedView();
            return presentedView();
        case Screen::Settings: {
            auto* navigation = openSettings();
            auto* settings = navigation ? dynamic_cast<Lumora_SettingsVwCtrlr*>(navigation->topViewController()) : nullptr;
            titleView = settings ? settings->titleBarView() : nullptr;
            return presentedView();
        }
        case Screen::MicroTuning:
        case Screen::About:
        case Screen::LinkSettings: {
            auto* navigation = openSettings();
            if (!navigation)
                return nullptr;
            if (screen == Screen::MicroTuning) {
                if (auto* panel = settingsPanel<MicroTuning_SettingPanelView>(navigation))
                    panel->actionShowMicroTuningEditorVw(nullptr);
            } else if (screen == Screen::About) {
                if (auto* panel = settingsPanel<About_SettingPanelView>(navigation))
                    panel->actionShowAbout(nullptr);
            } else {
                link = ABLLinkNew(120);
                navigation->pushViewController(ABLLinkSettingsViewController::instance(link), false);
            }
            if (navigation->viewControllers().size() < 2)
                return nullptr;
            titleView = navigation->isNavigationBarHidden() ? nullptr : navigation->navigationBar();
            rig->window->layoutIfNeeded();
            return presentedView();
        }
        case Screen::MidiMapping:
            return openMappingEditor();
        }
        return nullptr;
    }

    // In learn mode, a long press on the overlay nearest the middle of the window that a finger
    // can reach: the control with the least room around it for the editor.
    Platform::View* openMappingEditor()
    {
        main->actionMidiMapping(nullptr);
        rig->window->layoutIfNeeded();
        Rect const w = rig->window->bounds();
        Platform::Point p;
        double nearest = 1e9;
        for (auto const& overlay : main->setControlStatusViews()) {
            if (overlay->window() != rig->window.get())
                continue;
            Platform::Point const c =
                overlay->convertPointToWindow({overlay->bounds().width() / 2, overlay->bounds().height() / 2});
            double const d = std::hypot(c.x - w.midX(), c.y - w.midY());
            if (d < nearest && rig->window->hitTest(c, nullptr) == overlay.get()) {
                nearest = d;
                source = overlay.get();
                p = c;
            }
        }
        if (!source)
            return nullptr;
        Platform::Touch* touch = rig->window->beginTouch(p, rig->time += 0.05);
        rig->window->advanceTime(rig->time += 0.7);
        rig->window->endTouch(touch, p, rig->time += 0.05);
        auto* editor = dynamic_cast<Lumora_MidiMapperElmntVwCtrlr*>(main->presentedViewController());
        if (!editor)
            return nullptr;
        if (Lumora::Parameter* param = rig->param(editor->paramIndex()))
            parameterName = param->displayName();
        return editor->view();
    }

    void writePicture(Layout const& layout, Screen screen)
    {
        char const* dir = std::getenv("CORVANE_SCREENS_DIR");
        if (!dir)
            return;
        std::filesystem::create_directories(dir);
        std::string const file = std::string(layout.name) + "-" + nameOf(screen) + ".png";
        Platform::Image const image = rig->window->renderToImage();
        EXPECT_TRUE(image.writePNG((std::filesystem::path(dir) / file).string())) << file;
    }

    std::unique_ptr<Rig> rig;
    MainViewController* main = nullptr;
    Platform::View* titleView = nullptr;
    Platform::View* source = nullptr;
    std::string parameterName;
    ABLLink* link = nullptr;
};

TEST_P(ScreenRenderCheck, ShowsWholeReadableAndTitled)
{
    auto const& [layout, screen] = GetParam();
    Platform::View* root = open(screen);
    ASSERT_NE(root, nullptr) << "the screen did not open";
    rig->window->layoutIfNeeded();
    writePicture(layout, screen);

    ScreenChecks::Checker checker(rig->window->bounds(), keysOverlap);
    checker.check(*root);
    for (std::string const& fault : checker.faults())
        ADD_FAILURE() << fault;
    for (std::string const& small : ScreenChecks::textsBelow(checker.labels(), layout.smallestText))
        ADD_FAILURE() << small;

    if (titleView) {
        EXPECT_FALSE(firstText(titleView).empty()) << "no title";
    }
    if (screen == Screen::MicroTuning || screen == Screen::About || screen == Screen::LinkSettings) {
        EXPECT_NE(titleView, nullptr) << "the pushed screen shows no navigation bar";
    }
    if (screen == Screen::Settings) {
        // A panel with a stepper shows the number it sets beside its title.
        auto* navigation = dynamic_cast<Platform::NavigationController*>(main->presentedViewController());
        auto* settings = dynamic_cast<Lumora_SettingsVwCtrlr*>(navigation->topViewController());
        for (auto const& panel : settings->addedPanelViews()) {
            int texts = 0, steppers = 0;
            collect(panel.get(), texts, steppers);
            if (steppers > 0) {
                EXPECT_GE(texts, 2) << firstText(panel.get()) << " shows no value";
            }
        }
    }
    if (screen == Screen::MidiMapping) {
        ASSERT_FALSE(parameterName.empty());
        bool named = false;
        for (Platform::Label const* label : checker.labels())
            named = named || label->text().find(parameterName) != std::string::npos;
        EXPECT_TRUE(named) << "the editor does not name " << parameterName;
        auto* editor = main->presentedViewController();
        if (editor->presentationStyleInEffect() == Platform::ModalPresentationStyle::Popover) {
            EXPECT_TRUE(ScreenChecks::disjoint(ScreenChecks::inWindow(*root), ScreenChecks::inWindow(*source)))
                << "the editor covers the control it edits";
        }
    }
}

std::string caseName(::testing::TestParamInfo<std::tuple<Layout, Screen>> const& info)
{
    std::string name = std::string(std::get<0>(info.param).name) + "_" + nameOf(std::get<1>(info.param));
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(LayoutsAndScreens, ScreenRenderCheck,
                         ::testing::Combine(::testing::ValuesIn(layouts), ::testing::ValuesIn(screens)), caseName);

} // namespace
