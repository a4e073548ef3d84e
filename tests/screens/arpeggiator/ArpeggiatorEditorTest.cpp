#include "screens/arpeggiator/Lumora_ArpeggiatorVwCtrlr.h"

#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/painter/themes/Painter.h"
#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "engine/parameter/Serializer.h"
#include "model/support/ModelTestSupport.h"
#include "platform/graphics/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/Window.h"
#include "screens/arpeggiator/ArpVwCtrlrNib.h"
#include "screens/arpeggiator/Lumora_ArpKeyCntnrView.h"
#include "screens/arpeggiator/Lumora_ArpKeyVw.h"
#include "screens/arpeggiator/Lumora_ArpPgmCntnrVw.h"
#include "screens/arpeggiator/Lumora_ArpPgmSlider.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <cstdlib>
#include <filesystem>
#include <cmath>
#include <deque>
#include <functional>
#include <set>
#include <string>

using Platform::Point;
using Platform::Rect;
using Token = Lumora::ParameterObserver::Token;

namespace {

constexpr int arpeggiatorSwitch = 3000;
constexpr double faded = static_cast<double>(0.2f);
constexpr double dimmedKnob = static_cast<double>(0.3f);

// The painter facade is process-wide: each test starts from the default theme and leaves it so.
struct DefaultTheme {
    DefaultTheme() { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
    ~DefaultTheme() { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
};

// The editor presented over a plain screen in a window, over the test synth's record.
class ArpeggiatorEditor : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.attachApp();
        window->setRootViewController(presenter);
        editor = Lumora_ArpeggiatorVwCtrlr::create(rig.core);
        ASSERT_TRUE(editor);
        presenter->presentViewController(editor, false);
        window->layoutIfNeeded();
    }

    Lumora::ArpeggiatorData& data() { return rig.core->synth().arpeggiatorData(); }
    Lumora::Parameter& arpSwitch() { return rig.param(arpeggiatorSwitch); }
    void tick() { rig.core->onTimer(nullptr); }
    // The engine tells that a document (or a restore) replaced the parts of the mask.
    void loaded(Lumora::SerializeWhat what)
    {
        rig.core->synth().provideNotification(Lumora::iAudioEngine::Deserialized, static_cast<int>(what));
        tick();
    }

    std::vector<Lumora_ArpKeyCntnrView*> keyRows() const
    {
        return {editor->stepActive(), editor->stepAccent(), editor->stepStaccato(), editor->stepPortamento(),
                editor->stepOctaveup()};
    }
    Lumora_ArpKeyVw& key(Lumora_ArpKeyCntnrView* row, int step)
    {
        return *dynamic_cast<Lumora_ArpKeyVw*>(row->firstKeyWithTag(step));
    }
    Lumora_ArpPgmSlider& fader(int step) { return *editor->stepProgram()->sliderWithTag(step); }
    void tapKey(Lumora_ArpKeyCntnrView* row, int step)
    {
        Lumora_ArpKeyVw& k = key(row, step);
        window->tap(k.convertPointToWindow({13, 13}), time += 0.3);
    }

    DefaultTheme theme;
    ModelTest::CoreRig rig;
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 700, 800));
    std::shared_ptr<Platform::ViewController> presenter = std::make_shared<Platform::ViewController>();
    std::shared_ptr<Lumora_ArpeggiatorVwCtrlr> editor;
    double time = 1;
};

} // namespace

TEST(ArpeggiatorEditorCreation, ExistsOnlyWithTheModel)
{
    EXPECT_EQ(Platform::newObject<Lumora_ArpeggiatorVwCtrlr>(), nullptr);
    EXPECT_EQ(Lumora_ArpeggiatorVwCtrlr::create(nullptr), nullptr);
}

TEST_F(ArpeggiatorEditor, LoadsItsFileWithEveryPartAndTheFreshRecordShown)
{
    ASSERT_TRUE(editor->isViewLoaded());
    for (void const* outlet :
         {static_cast<void const*>(editor->containerView()), static_cast<void const*>(editor->contentView()),
          static_cast<void const*>(editor->backgroundImageVw()), static_cast<void const*>(editor->selectorActive()),
          static_cast<void const*>(editor->selectorStyle()), static_cast<void const*>(editor->selectorOctave()),
          static_cast<void const*>(editor->selectorRate()), static_cast<void const*>(editor->switchKeySync()),
          static_cast<void const*>(editor->knobStepLength()), static_cast<void const*>(editor->knobPatternLength()),
          static_cast<void const*>(editor->knobSwing()), static_cast<void const*>(editor->knobAccent()),
          static_cast<void const*>(editor->knobDuration()), static_cast<void const*>(editor->knobStaccato()),
          static_cast<void const*>(editor->labelStepLength()), static_cast<void const*>(editor->labelPatternLength()),
          static_cast<void const*>(editor->stepProgram())})
        EXPECT_NE(outlet, nullptr);
    for (Lumora_ArpKeyCntnrView* row : keyRows()) {
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->isCreatedUI());
        EXPECT_TRUE(row->toggled());
        EXPECT_EQ(row->delegate(), editor.get());
        for (int step = 0; step < 16; ++step)
            EXPECT_EQ(key(row, step).frame(), Rect(33.0 * step, 0, 27, 27));
    }
    for (int step = 0; step < 16; ++step) {
        EXPECT_EQ(fader(step).numOfSwitches(), 7);
        EXPECT_EQ(fader(step).frame().size.width, 33);
        EXPECT_EQ(fader(step).frame().size.height, editor->stepProgram()->frame().size.height);
    }
    EXPECT_EQ(editor->containerView()->containerDelegate(), editor.get());
    EXPECT_EQ(editor->parameterObserverToken(), Token::ArpeggiatorEditor);

    // The knobs return to a fresh record's values on a double tap.
    EXPECT_EQ(editor->knobStepLength()->numOfSwitches(), 15);
    EXPECT_EQ(editor->knobStepLength()->defaultValue(), 14);
    EXPECT_EQ(editor->knobPatternLength()->defaultValue(), 6);
    EXPECT_FLOAT_EQ(editor->knobSwing()->defaultValue(), 0);
    EXPECT_FLOAT_EQ(editor->knobAccent()->defaultValue(), 0.5f);
    EXPECT_FLOAT_EQ(editor->knobDuration()->defaultValue(), 0.5f);
    EXPECT_FLOAT_EQ(editor->knobStaccato()->defaultValue(), 0.5f);

    EXPECT_EQ(editor->knobStepLength()->value(), 14);
    EXPECT_EQ(editor->labelStepLength()->text(), "16");
    EXPECT_EQ(editor->knobPatternLength()->value(), 6);
    EXPECT_EQ(editor->labelPatternLength()->text(), "8");
    EXPECT_EQ(editor->selectorRate()->value(), 2);
    EXPECT_EQ(editor->selectorActive()->value(), 0);
    for (int step = 0; step < 16; ++step) {
        EXPECT_TRUE(editor->stepActive()->isOn(step));
        EXPECT_FALSE(editor->stepAccent()->isOn(step));
        EXPECT_TRUE(fader(step).disabled()) << "the Up order plays no programs";
    }
}

TEST_F(ArpeggiatorEditor, EachHeaderControlWritesItsFieldWhole)
{
    struct Case {
        char const* name;
        std::function<Lumora_Control*()> control;
        float value;
        std::function<bool()> written;
    };
    auto& d = data();
    Case const cases[] = {
        {"key sync on", [&] { return editor->switchKeySync(); }, 1, [&] { return d.syncToKeyOn.load(); }},
        {"key sync off", [&] { return editor->switchKeySync(); }, 0, [&] { return !d.syncToKeyOn.load(); }},
        {"step length", [&] { return editor->knobStepLength(); }, 6, [&] { return d.stepLength == 8u; }},
        {"order", [&] { return editor->selectorStyle(); }, 3, [&] { return d.style == 3u; }},
        {"pattern length", [&] { return editor->knobPatternLength(); }, 4, [&] { return d.patternLength == 6u; }},
        {"swing", [&] { return editor->knobSwing(); }, 0.25f, [&] { return d.swing == 0.25f; }},
        {"octaves", [&] { return editor->selectorOctave(); }, 2, [&] { return d.octaves == 2u; }},
        {"rate", [&] { return editor->selectorRate(); }, 1, [&] { return d.rate == 1u; }},
        {"accent", [&] { return editor->knobAccent(); }, 0.75f, [&] { return d.accentAmount == 0.75f; }},
        {"duration", [&] { return editor->knobDuration(); }, 0.3f, [&] { return d.gate == 0.3f; }},
        {"staccato", [&] { return editor->knobStaccato(); }, 0.1f, [&] { return d.staccatoAmount == 0.1f; }},
    };
    for (Case const& c : cases) {
        c.control()->setValue(c.value);
        EXPECT_TRUE(c.written()) << c.name;
    }
    // A tap on the key-sync switch toggles it.
    window->tap(editor->switchKeySync()->convertPointToWindow({20, 12}), time += 0.3);
    EXPECT_TRUE(d.syncToKeyOn);
    window->tap(editor->switchKeySync()->convertPointToWindow({20, 12}), time += 0.3);
    EXPECT_FALSE(d.syncToKeyOn);

    // A value from a control outside what the record's documents keep is held to that range.
    editor->Lumora_Control_valueChanged(editor->selectorOctave(), 3);
    EXPECT_EQ(d.octaves, 2u);
    editor->Lumora_Control_valueChanged(editor->selectorStyle(), -1);
    EXPECT_EQ(d.style, 0u);
}

TEST_F(ArpeggiatorEditor, TheOnOffSelectorSwitchesTheParameterWithTheEditorsToken)
{
    ModelTest::RecordingScreen other;
    other.attach(*rig.core);
    editor->selectorActive()->setValue(1);
    EXPECT_EQ(arpSwitch().concreteValue(), 1);
    tick();
    EXPECT_EQ(other.shown, (std::vector<std::pair<int, Token>>{{arpeggiatorSwitch, Token::ArpeggiatorEditor}}));
    editor->selectorActive()->setValue(0);
    EXPECT_EQ(arpSwitch().concreteValue(), 0);
    other.detach(*rig.core);
}

TEST_F(ArpeggiatorEditor, TheSwitchFollowsChangesFromElsewhereButNotItsOwn)
{
    // A MIDI controller or the host turns it on: shown at the next tick.
    arpSwitch().setConcreteValue(1, Token::MidiMapper);
    EXPECT_EQ(editor->selectorActive()->value(), 0);
    tick();
    EXPECT_EQ(editor->selectorActive()->value(), 1);
    arpSwitch().setConcreteValue(0, Token::Host);
    tick();
    EXPECT_EQ(editor->selectorActive()->value(), 0);

    // A change carrying the editor's own token is not shown again.
    arpSwitch().setConcreteValue(1, Token::ArpeggiatorEditor);
    tick();
    EXPECT_EQ(editor->selectorActive()->value(), 0);
    // Showing a change does not write the parameter back.
    ModelTest::RecordingScreen other;
    other.attach(*rig.core);
    arpSwitch().setConcreteValue(0, Token::Document);
    tick();
    tick();
    EXPECT_EQ(other.shown, (std::vector<std::pair<int, Token>>{{arpeggiatorSwitch, Token::Document}}));
    other.detach(*rig.core);
}

TEST_F(ArpeggiatorEditor, ALoadedRecordIsShownWhenTheArpeggiatorPartWasRead)
{
    auto& d = data();
    d.syncToKeyOn = true;
    d.swing = 0.4f;
    d.style = 5;
    d.octaves = 1;
    d.rate = 0;
    d.gate = 0.9f;
    d.stepLength = 12;
    d.patternLength = 3;
    d.accentAmount = 0.2f;
    d.staccatoAmount = 0.7f;
    d.steps[3].active = false;
    d.steps[4].accent = true;
    d.steps[5].staccato = true;
    d.steps[6].portamento = true;
    d.steps[7].transpose = 7;
    d.steps[8].program = -2;

    // A sound document without the arpeggiator part leaves the editor as it was.
    loaded(Lumora::SerializeWhat::SoundParameters);
    EXPECT_EQ(editor->selectorStyle()->value(), 0);
    EXPECT_EQ(editor->labelStepLength()->text(), "16");

    loaded(Lumora::SerializeWhat::SoundParameters | Lumora::SerializeWhat::ArpeggiatorPart);
    EXPECT_EQ(editor->switchKeySync()->value(), 1);
    EXPECT_FLOAT_EQ(editor->knobSwing()->value(), 0.4f);
    EXPECT_EQ(editor->selectorStyle()->value(), 5);
    EXPECT_EQ(editor->selectorOctave()->value(), 1);
    EXPECT_EQ(editor->selectorRate()->value(), 0);
    EXPECT_FLOAT_EQ(editor->knobDuration()->value(), 0.9f);
    EXPECT_EQ(editor->knobStepLength()->value(), 10);
    EXPECT_EQ(editor->labelStepLength()->text(), "12");
    EXPECT_EQ(editor->knobPatternLength()->value(), 1);
    EXPECT_EQ(editor->labelPatternLength()->text(), "3");
    EXPECT_FLOAT_EQ(editor->knobAccent()->value(), 0.2f);
    EXPECT_FLOAT_EQ(editor->knobStaccato()->value(), 0.7f);
    EXPECT_FALSE(editor->stepActive()->isOn(3));
    EXPECT_TRUE(editor->stepAccent()->isOn(4));
    EXPECT_TRUE(editor->stepStaccato()->isOn(5));
    EXPECT_TRUE(editor->stepPortamento()->isOn(6));
    EXPECT_TRUE(editor->stepOctaveup()->isOn(7)) << "any transpose above 0 shows the octave key on";
    EXPECT_EQ(fader(8).value(), 5);

    // Showing the record changed none of it.
    EXPECT_EQ(d.steps[7].transpose, 7);
    EXPECT_EQ(d.stepLength, 12u);
    EXPECT_FLOAT_EQ(d.swing, 0.4f);
}

TEST_F(ArpeggiatorEditor, TheStepLengthDisablesTheStepsBeyondIt)
{
    data().style = 5;
    editor->knobStepLength()->setValue(6);
    EXPECT_EQ(data().stepLength, 8u);
    EXPECT_EQ(editor->labelStepLength()->text(), "8");
    for (int step = 0; step < 16; ++step) {
        bool const beyond = step >= 8;
        for (Lumora_ArpKeyCntnrView* row : keyRows()) {
            EXPECT_EQ(key(row, step).disabled(), beyond) << step;
            EXPECT_DOUBLE_EQ(key(row, step).alpha(), beyond ? faded : 1.0) << step;
        }
        EXPECT_EQ(fader(step).disabled(), beyond) << step;
    }
    editor->knobStepLength()->setValue(14);
    for (Lumora_ArpKeyCntnrView* row : keyRows())
        EXPECT_DOUBLE_EQ(key(row, 15).alpha(), 1.0);
}

TEST_F(ArpeggiatorEditor, TheOrderAndRateEnableTheirControls)
{
    for (unsigned style = 0; style <= 5; ++style) {
        editor->selectorStyle()->setValue(static_cast<float>(style));
        bool const noPattern = style == 4 || style == 5;
        EXPECT_EQ(editor->knobPatternLength()->disabled(), noPattern) << style;
        EXPECT_DOUBLE_EQ(editor->knobPatternLength()->alpha(), noPattern ? dimmedKnob : 1.0) << style;
        // Only the programmed order plays the programs, and only on steps within the length.
        EXPECT_EQ(fader(0).disabled(), style != 5) << style;
    }
    data().stepLength = 4;
    editor->updateUI();
    EXPECT_FALSE(fader(3).disabled());
    EXPECT_TRUE(fader(4).disabled());

    for (unsigned rate = 0; rate <= 2; ++rate) {
        editor->selectorRate()->setValue(static_cast<float>(rate));
        EXPECT_EQ(data().rate, rate);
        EXPECT_EQ(editor->knobSwing()->disabled(), rate < 2) << rate;
        EXPECT_DOUBLE_EQ(editor->knobSwing()->alpha(), rate < 2 ? dimmedKnob : 1.0) << rate;
    }
}

TEST_F(ArpeggiatorEditor, TappedStepKeysWriteTheirStepsFlags)
{
    tapKey(editor->stepAccent(), 2);
    EXPECT_TRUE(data().steps[2].accent);
    tapKey(editor->stepStaccato(), 3);
    EXPECT_TRUE(data().steps[3].staccato);
    tapKey(editor->stepPortamento(), 15);
    EXPECT_TRUE(data().steps[15].portamento);
    tapKey(editor->stepAccent(), 2);
    EXPECT_FALSE(data().steps[2].accent);

    // A step turned off dims its other keys and its fader; turned on again they come back.
    tapKey(editor->stepActive(), 5);
    EXPECT_FALSE(data().steps[5].active);
    for (Lumora_ArpKeyCntnrView* row : {editor->stepAccent(), editor->stepStaccato(), editor->stepPortamento(),
                                        editor->stepOctaveup()})
        EXPECT_DOUBLE_EQ(key(row, 5).alpha(), 0.5);
    EXPECT_DOUBLE_EQ(fader(5).alpha(), 0.5);
    EXPECT_DOUBLE_EQ(key(editor->stepActive(), 5).alpha(), 1.0);
    tapKey(editor->stepActive(), 5);
    EXPECT_TRUE(data().steps[5].active);
    EXPECT_DOUBLE_EQ(key(editor->stepAccent(), 5).alpha(), 1.0);
    EXPECT_DOUBLE_EQ(fader(5).alpha(), 1.0);

    // Only the tapped step changed.
    for (int step : {0, 1, 4, 6, 14})
        EXPECT_FALSE(data().steps[step].accent || data().steps[step].staccato || data().steps[step].portamento);
}

TEST_F(ArpeggiatorEditor, TheOctaveKeyWritesAnOctaveUp)
{
    data().steps[1].transpose = 7;
    loaded(Lumora::SerializeWhat::ArpeggiatorPart);
    EXPECT_TRUE(editor->stepOctaveup()->isOn(1));
    tapKey(editor->stepOctaveup(), 1);
    EXPECT_EQ(data().steps[1].transpose, 0);
    tapKey(editor->stepOctaveup(), 1);
    EXPECT_EQ(data().steps[1].transpose, 12);
    tapKey(editor->stepOctaveup(), 9);
    EXPECT_EQ(data().steps[9].transpose, 12);
}

TEST(ArpeggiatorProgramConversion, FaderIndicesAndProgramValues)
{
    int const programOfIndex[] = {0, 1, 2, 3, 4, -2, -1};
    for (int index = 0; index < 7; ++index) {
        EXPECT_EQ(Lumora_ArpPgmCntnrVw::convToDataValueFromFaderValue(index), programOfIndex[index]);
        EXPECT_EQ(Lumora_ArpPgmCntnrVw::convToFaderValueFromDataValue(programOfIndex[index]), index);
    }
    for (int index : {-1, 7, 100})
        EXPECT_EQ(Lumora_ArpPgmCntnrVw::convToDataValueFromFaderValue(index), 0) << index;
    for (int program : {-3, 5, 9, -100})
        EXPECT_EQ(Lumora_ArpPgmCntnrVw::convToFaderValueFromDataValue(program), 0) << program;
}

TEST_F(ArpeggiatorEditor, ProgramFadersWriteTheirStepsProgram)
{
    editor->selectorStyle()->setValue(5);
    struct Case {
        int step;
        float index;
        int program;
    };
    for (Case const& c : {Case{0, 5, -2}, Case{1, 6, -1}, Case{2, 4, 4}, Case{15, 1, 1}, Case{0, 0, 0}}) {
        fader(c.step).setValue(c.index);
        EXPECT_EQ(data().steps[static_cast<unsigned>(c.step)].program, c.program) << c.step << " " << c.index;
    }

}

TEST(ArpeggiatorProgramRow, ADraggedFaderTellsTheProgramOfEachPositionItPasses)
{
    DefaultTheme theme;
    struct Log : Lumora_ArpPgmCntnrVw_Delegate {
        void arpPgmCntnrVw_arpPgmSlider_value(Lumora_ArpPgmCntnrVw*, Lumora_ArpPgmSlider* slider, float value) override
        {
            reports.emplace_back(slider->tag(), value);
        }
        std::vector<std::pair<int, float>> reports;
    } log;
    auto window = std::make_shared<Platform::Window>(Rect(0, 0, 600, 200));
    auto row = std::make_shared<Lumora_ArpPgmCntnrVw>(Rect(10, 10, 528, 130));
    row->setDelegate(&log);
    EXPECT_FALSE(row->isCreatedUI());
    window->addSubview(row);
    ASSERT_TRUE(row->isCreatedUI());
    ASSERT_EQ(row->subviews().size(), 16u);

    // From the bottom to the top: 0 1 2 3 4 -2 -1, each told once, all for step 3.
    Lumora_ArpPgmSlider& fader = *row->sliderWithTag(3);
    Point const from = fader.convertPointToWindow({16, 120});
    double time = 1;
    Platform::Touch* touch = window->beginTouch(from, time);
    for (int i = 1; i <= 13; ++i)
        window->moveTouch(touch, {from.x, from.y - 10.0 * i}, time += 0.05);
    window->endTouch(touch, {from.x, from.y - 130}, time += 0.05);
    EXPECT_EQ(fader.value(), 6);
    std::vector<std::pair<int, float>> const expected = {{3, 1}, {3, 2}, {3, 3}, {3, 4}, {3, -2}, {3, -1}};
    EXPECT_EQ(log.reports, expected);
}

TEST_F(ArpeggiatorEditor, AProgramTheFadersCannotShowIsKeptUntilTheUserMovesTheFader)
{
    data().style = 5;
    data().steps[4].program = 9;
    loaded(Lumora::SerializeWhat::ArpeggiatorPart);
    EXPECT_EQ(fader(4).value(), 0);
    EXPECT_EQ(data().steps[4].program, 9) << "showing the record must not rewrite it";
    editor->knobStepLength()->setValue(10);  // any later redraw keeps it too
    EXPECT_EQ(data().steps[4].program, 9);
    fader(4).setValue(2);
    EXPECT_EQ(data().steps[4].program, 2);
}

TEST_F(ArpeggiatorEditor, TheRunningStepIsLitOnEverySixteenth)
{
    auto& engine = rig.core->synth();
    arpSwitch().setConcreteValue(1, Token::Host);
    engine.allocateRenderResources(48000);
    std::vector<float> left(512), right(512);
    std::vector<float*> outputs{left.data(), right.data()};
    Lumora::SyncInformation sync;
    std::deque<Lumora::MidiMessage> notes{Lumora::MidiMessage(0x90, 0, 60, 100)};

    std::set<int> litSteps;
    // 200 blocks of 512 frames at 120 beats a minute: about 17 sixteenths.
    for (int block = 0; block < 200; ++block) {
        rig.io->renderBlock({}, outputs, 512, 48000, block == 0 ? notes : std::deque<Lumora::MidiMessage>{}, sync);
        sync.beatPosition += 512.0 / 48000 * 2;
        tick();
        int const current = static_cast<int>(engine.arpeggiator().currentStepNumber());
        int lit = 0;
        for (int step = 0; step < 16; ++step)
            if (editor->stepActive()->isLighted(step)) {
                ++lit;
                EXPECT_EQ(step, current);
                litSteps.insert(step);
            }
        EXPECT_LE(lit, 1);
    }
    EXPECT_GE(litSteps.size(), 12u) << "the light walks along the steps";
    engine.deallocateRenderResources();
}

TEST_F(ArpeggiatorEditor, TheFileButtonBrowsesArpeggiatorDocuments)
{
    editor->actionFile(editor->knobSwing());
    auto* browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(editor->presentedViewController());
    ASSERT_NE(browser, nullptr);
    auto* engine = editor->instrumentAudioEngine();
    EXPECT_EQ(browser->docFileManager(), engine->arpeggiatorDocumentFileManager());
    EXPECT_TRUE(browser->closeButton());
    EXPECT_EQ(browser->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);

    // Saved through the browser, changed, then loaded back: the editor shows the document.
    data().stepLength = 5;
    data().steps[2].accent = true;
    browser->saveWithName("Five");
    EXPECT_TRUE(boost::filesystem::exists(rig.folders.root + "/Arp/Five.kyv_arp"));
    data().stepLength = 16;
    data().steps[2].accent = false;
    editor->updateUI();
    auto* manager = engine->arpeggiatorDocumentFileManager();
    Lumora::PresetDocFileManager::Item five;
    for (auto const& item : manager->itemList(false))
        if (item.stem() == "Five")
            five = item;
    ASSERT_TRUE(five);
    manager->select(five);
    ASSERT_TRUE(manager->load());
    tick();
    EXPECT_EQ(data().stepLength, 5u);
    EXPECT_EQ(editor->labelStepLength()->text(), "5");
    EXPECT_TRUE(editor->stepAccent()->isOn(2));
    EXPECT_TRUE(key(editor->stepAccent(), 6).disabled());
}

TEST(ArpeggiatorEditorFiles, ThePluginWithoutPopupsBrowsesInAModalScreen)
{
    DefaultTheme theme;
    ModelTest::CoreRig rig;
    rig.attachPlugin();
    rig.core->settings()->setPopupInPluginMode(false);
    ASSERT_EQ(rig.core->subViewControllerStyle(), 1u);
    auto window = std::make_shared<Platform::Window>(Rect(0, 0, 700, 800));
    auto presenter = std::make_shared<Platform::ViewController>();
    window->setRootViewController(presenter);
    auto editor = Lumora_ArpeggiatorVwCtrlr::create(rig.core);
    presenter->presentViewController(editor, false);
    editor->actionFile(nullptr);
    auto* browser = dynamic_cast<Lumora_PrstDocFileBrwsVwCtrlr*>(editor->presentedViewController());
    ASSERT_NE(browser, nullptr);
    EXPECT_NE(browser->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
    EXPECT_TRUE(browser->isPlugin());
}

TEST_F(ArpeggiatorEditor, ClosesByItsButtonOrATouchBesideItAndLeavesTheModel)
{
    struct Opener : Lumora_ScalableContainer_Delegate {
        float scaleOfContent() override { return 0.75f; }
    } opener;
    editor->setContainerDelegate(&opener);
    EXPECT_FLOAT_EQ(editor->scaleOfContent(), 0.75f);
    editor->setContainerDelegate(nullptr);
    EXPECT_FLOAT_EQ(editor->scaleOfContent(), 1.0f);

    editor->actionClose(nullptr);
    EXPECT_EQ(presenter->presentedViewController(), nullptr);
    presenter->presentViewController(editor, false);
    editor->touchOutsideOfContent();
    EXPECT_EQ(presenter->presentedViewController(), nullptr);

    // Released, it hears nothing more from the model.
    std::weak_ptr<Lumora_ArpeggiatorVwCtrlr> gone = editor;
    editor.reset();
    EXPECT_TRUE(gone.expired());
    arpSwitch().setConcreteValue(1, Token::Host);
    rig.core->synth().provideNotification(Lumora::iAudioEngine::GrooveSixteenthTick, 0);
    rig.core->synth().provideNotification(Lumora::iAudioEngine::Deserialized,
                                          static_cast<int>(Lumora::SerializeWhat::ArpeggiatorPart));
    tick();
}

TEST_F(ArpeggiatorEditor, TheMainScreensHookMakesAnEditorForItsOpener)
{
    struct Opener : Lumora_ScalableContainer_Delegate {
        float scaleOfContent() override { return 2.0f; }
    } opener;
    auto made = Lumora_ArpeggiatorVwCtrlr::createForOpener(rig.core, &opener);
    auto* arp = dynamic_cast<Lumora_ArpeggiatorVwCtrlr*>(made.get());
    ASSERT_NE(arp, nullptr);
    EXPECT_EQ(arp->containerDelegate(), &opener);
    EXPECT_EQ(Lumora_ArpeggiatorVwCtrlr::createForOpener(nullptr, &opener), nullptr);
}

namespace {

std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SCREENS_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::current_path();
    return (folder / name).string();
}

} // namespace

TEST(ArpeggiatorEditorPicture, RendersInTheProductTheme)
{
    ModelTest::CoreRig rig;
    rig.attachApp();
    Lumora_Painter::setImplimatation(std::make_shared<Painter>(rig.core));
    {
        auto& d = rig.core->synth().arpeggiatorData();
        d.style = 5;
        d.stepLength = 12;
        d.rate = 1;
        d.steps[2].accent = true;
        d.steps[3].active = false;
        d.steps[5].staccato = true;
        d.steps[6].portamento = true;
        d.steps[8].transpose = 12;
        d.steps[1].program = 2;
        d.steps[4].program = -2;
        d.steps[7].program = 4;
        rig.param(arpeggiatorSwitch).setConcreteValue(1, Token::Host);

        auto editor = Lumora_ArpeggiatorVwCtrlr::create(rig.core);
        ASSERT_TRUE(editor);
        editor->setScrollViewBackgroundColor(Lumora_Painter::sharedInstance()->arpeggiatorContainerHeaderColor());
        Platform::View* view = editor->view();
        ASSERT_FALSE(editor->backgroundImageVw()->image().isNull()) << "the theme's background picture";
        editor->stepActive()->toggleLighted(4);
        view->layoutIfNeeded();
        Platform::Image image = Platform::renderViewToImage(*view, 2);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.pixelWidth(), static_cast<int>(std::round(ArpVwCtrlrNib::contentWidth() * 2)));
        ASSERT_TRUE(image.writePNG(picturePath("arpeggiator-editor.png")));
    }
    Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>());

    // The default theme has no background picture: the editor stands on its container colour.
    auto editor = Lumora_ArpeggiatorVwCtrlr::create(rig.core);
    ASSERT_TRUE(editor);
    Platform::View* view = editor->view();
    EXPECT_TRUE(editor->backgroundImageVw()->image().isNull());
    Platform::Image image = Platform::renderViewToImage(*view, 1);
    ASSERT_FALSE(image.isNull());
    ASSERT_TRUE(image.writePNG(picturePath("arpeggiator-editor-default-theme.png")));
}
