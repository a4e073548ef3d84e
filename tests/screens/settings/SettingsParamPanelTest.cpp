// The engine and sound panels: each writes its parameter with the settings panels' token and
// shows the changes made elsewhere, but not its own.

#include "screens/settings/support/SettingsTestSupport.h"

#include "controls/painter/Lumora_Painter.h"
#include "engine/midi/MidiMessage.h"
#include "platform/ui/Button.h"
#include "screens/settings/panels/AllNoteOff_SettingPanelView.h"
#include "screens/settings/panels/AudioEngineVersion_SettingPanelView.h"
#include "screens/settings/panels/AudioQuality_SettingPanelView.h"
#include "screens/settings/panels/MasterTranspose_SettingPanelView.h"
#include "screens/settings/panels/MasterTune_SettingPanelView.h"
#include "screens/settings/panels/MasterVolume_SettingPanelView.h"
#include "screens/settings/panels/MaxPolyphony_SettingPanelView.h"
#include "screens/settings/panels/MicroTuning_SettingPanelView.h"

#include <gtest/gtest.h>

using namespace SettingsTest;
using Platform::ControlEvents::ValueChanged;

namespace {

constexpr int kVolume = 1100;
constexpr int kEngineVersion = 1180;
constexpr int kQuality = 1190;
constexpr int kTranspose = 2110;
constexpr int kTune = 2111;
constexpr int kPolyphony = 2120;

class SettingsParamPanel : public ::testing::Test {
protected:
    void SetUp() override { rig.open(); }

    // The last write the parameter reported, with its token and event.
    std::tuple<int, Token, Event> lastWrite() const
    {
        return rig.log.writes.empty() ? std::tuple<int, Token, Event>{-1, Token::Mixed, Event::None}
                                      : rig.log.writes.back();
    }
    // A change made elsewhere (the host, a document), shown on the next tick.
    void setElsewhere(int id, float concrete, Token token = Token::Host)
    {
        rig.param(id).setConcreteValue(concrete, token);
        rig.tick();
    }
    void slide(Platform::Slider* slider, float value)
    {
        slider->setValue(value);
        slider->sendActionsForControlEvents(ValueChanged);
    }
    void step(Platform::Stepper* stepper, double value)
    {
        stepper->setValue(value);
        stepper->sendActionsForControlEvents(ValueChanged);
    }
    void choose(Platform::SegmentedControl* control, int segment)
    {
        control->setSelectedSegmentIndex(segment);
        control->sendActionsForControlEvents(ValueChanged);
    }

    Rig rig;
};

} // namespace

TEST_F(SettingsParamPanel, VolumeWritesWithTheSettingsTokenAndShowsOnlyOtherWriters)
{
    auto& volume = rig.panel<MasterVolume_SettingPanelView>();
    EXPECT_FLOAT_EQ(volume.slider()->value(), 0.75f);   // the default, shown on entry

    slide(volume.slider(), 0.3f);
    EXPECT_NEAR(rig.param(kVolume).concreteValue(), 0.3f, 1e-6);
    EXPECT_EQ(lastWrite(), std::make_tuple(kVolume, Token::SettingPanel, Event::None));

    // Its own write comes back on the tick and is not shown again: the slider keeps what the
    // user's finger did since.
    volume.slider()->setValue(0.35f);
    rig.tick();
    EXPECT_FLOAT_EQ(volume.slider()->value(), 0.35f);

    for (Token other : {Token::Host, Token::Document, Token::MidiMapper}) {
        float const v = other == Token::Host ? 0.6f : other == Token::Document ? 0.1f : 0.9f;
        setElsewhere(kVolume, v, other);
        EXPECT_NEAR(volume.slider()->value(), v, 1e-6) << static_cast<int>(other);
    }
}

TEST_F(SettingsParamPanel, TransposeAndTuneRoundAwayFromZeroAndShowSignedValues)
{
    auto& transpose = rig.panel<MasterTranspose_SettingPanelView>();
    struct Step { double raw; float written; char const* shown; };
    for (Step s : {Step{3, 3, "+3"}, Step{0, 0, "0"}, Step{-12, -12, "-12"}, Step{-2.5, -3, "-3"}}) {
        step(transpose.stepper(), s.raw);
        EXPECT_FLOAT_EQ(rig.param(kTranspose).concreteValue(), s.written) << s.raw;
        EXPECT_EQ(transpose.label()->text(), s.shown) << s.raw;
        EXPECT_FLOAT_EQ(transpose.slider()->value(), s.written);
        EXPECT_EQ(std::get<1>(lastWrite()), Token::SettingPanel);
    }
    setElsewhere(kTranspose, 7);
    EXPECT_EQ(transpose.label()->text(), "+7");
    EXPECT_EQ(transpose.stepper()->value(), 7.0);

    auto& tune = rig.panel<MasterTune_SettingPanelView>();
    struct Slide { float raw; float written; char const* shown; };
    for (Slide s : {Slide{12.4f, 0.12f, "+12"}, Slide{-0.5f, -0.01f, "-1"}, Slide{100, 1, "+100"}}) {
        slide(tune.slider(), s.raw);
        EXPECT_NEAR(rig.param(kTune).concreteValue(), s.written, 0.004) << s.raw;
        EXPECT_EQ(tune.label()->text(), s.shown) << s.raw;
        EXPECT_EQ(std::get<1>(lastWrite()), Token::SettingPanel);
    }
    rig.param(kTune).setNormalizedValue((0.004f + 1) / 2, Token::Document, Event::None);
    rig.tick();
    EXPECT_EQ(tune.label()->text(), "0");
}

TEST_F(SettingsParamPanel, PolyphonyTakesTheParametersRange)
{
    auto& voices = rig.panel<MaxPolyphony_SettingPanelView>();
    EXPECT_EQ(voices.slider()->minimumValue(), 1.0f);
    EXPECT_EQ(voices.slider()->maximumValue(), 24.0f);
    EXPECT_EQ(voices.stepper()->minimumValue(), 1.0);
    EXPECT_EQ(voices.stepper()->maximumValue(), 24.0);
    EXPECT_EQ(voices.label()->text(), "8");   // the test instrument's maximum polyphony

    slide(voices.slider(), 7.5f);
    EXPECT_FLOAT_EQ(rig.param(kPolyphony).concreteValue(), 8);
    EXPECT_EQ(voices.label()->text(), "8");
    EXPECT_EQ(voices.slider()->value(), 8.0f);
    step(voices.stepper(), 12);
    EXPECT_FLOAT_EQ(rig.param(kPolyphony).concreteValue(), 12);
    EXPECT_EQ(std::get<1>(lastWrite()), Token::SettingPanel);
}

TEST_F(SettingsParamPanel, EngineVersionAndQualitySelectTheirSegments)
{
    auto& version = rig.panel<AudioEngineVersion_SettingPanelView>();
    Platform::SegmentedControl* v = version.sgmntCtrl();
    ASSERT_EQ(v->numberOfSegments(), 2u);
    EXPECT_EQ(v->titleForSegment(0), "1");
    EXPECT_EQ(v->titleForSegment(1), "2");
    struct Shown { float stored; int segment; };
    for (Shown s : {Shown{0, 1}, Shown{1, 0}, Shown{2, 1}}) {
        setElsewhere(kEngineVersion, s.stored);
        EXPECT_EQ(v->selectedSegmentIndex(), s.segment) << s.stored;
    }
    v->setSelected(true);
    setElsewhere(kEngineVersion, 3);
    EXPECT_FALSE(v->isSelected());
    EXPECT_EQ(v->selectedSegmentIndex(), 1);   // left as it was
    choose(v, 0);
    EXPECT_FLOAT_EQ(rig.param(kEngineVersion).concreteValue(), 1);
    EXPECT_EQ(lastWrite(), std::make_tuple(kEngineVersion, Token::SettingPanel, Event::None));

    auto& quality = rig.panel<AudioQuality_SettingPanelView>();
    Platform::SegmentedControl* q = quality.sgmntCtrl();
    ASSERT_EQ(q->numberOfSegments(), 3u);
    EXPECT_EQ(q->titleForSegment(0), "Eco");
    EXPECT_EQ(q->titleForSegment(2), "High");
    EXPECT_EQ(q->selectedSegmentIndex(), 1);   // the default, Normal
    setElsewhere(kQuality, 2);
    EXPECT_EQ(q->selectedSegmentIndex(), 2);
    choose(q, 0);
    EXPECT_FLOAT_EQ(rig.param(kQuality).concreteValue(), 0);
    EXPECT_EQ(std::get<1>(lastWrite()), Token::SettingPanel);

    // No selection writes nothing.
    std::size_t const writes = rig.log.writes.size();
    choose(q, Platform::SegmentedControl::noSegment);
    choose(v, Platform::SegmentedControl::noSegment);
    EXPECT_EQ(rig.log.writes.size(), writes);
}

TEST(SettingsParamPanelChoices, SelectorsWithoutChoicesAreDisabled)
{
    Capabilities caps;
    caps.versions = 0;
    caps.qualities = 1;
    Rig rig(false, caps);
    rig.open(Lumora_SettingsVwCtrlr::PanelClasses{Lumora_SettingPanelClass::of<AudioEngineVersion_SettingPanelView>(),
                                                  Lumora_SettingPanelClass::of<AudioQuality_SettingPanelView>()});
    Platform::SegmentedControl* v = rig.panel<AudioEngineVersion_SettingPanelView>().sgmntCtrl();
    EXPECT_FALSE(v->isEnabled());
    ASSERT_EQ(v->numberOfSegments(), 1u);
    EXPECT_EQ(v->titleForSegment(0), "1");
    Platform::SegmentedControl* q = rig.panel<AudioQuality_SettingPanelView>().sgmntCtrl();
    EXPECT_FALSE(q->isEnabled());
    EXPECT_EQ(q->numberOfSegments(), 3u);   // as the file has them
}

TEST_F(SettingsParamPanel, AllNotesOffSendsControlChange123OnTheSafeChannel)
{
    ModelTest::RecordingScreen heard;
    heard.attach(*rig.core);
    rig.engine().allocateRenderResources(48000.0f);
    auto render = [&] {
        std::vector<float> left(64), right(64);
        std::vector<float*> outputs{left.data(), right.data()};
        rig.io->renderBlock({}, outputs, 64, 48000.0f, {}, {});
        rig.tick();
    };
    auto& panel = rig.panel<AllNoteOff_SettingPanelView>();
    Platform::Button* button = nullptr;
    for (auto const& sub : panel.subviews())
        if (auto* b = dynamic_cast<Platform::Button*>(sub.get()))
            button = b;
    ASSERT_NE(button, nullptr);

    struct Case { int inputChannel; int sentChannel; };
    for (Case c : {Case{-1, 0}, Case{9, 9}}) {
        rig.engine().setMidiInChannel(c.inputChannel);
        heard.midi.clear();
        button->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
        render();
        std::vector<Lumora::MidiMessage> controls;
        for (auto const& m : heard.midi)
            if (m.kind() == 0xB0)
                controls.push_back(m);
        ASSERT_EQ(controls.size(), 1u) << c.inputChannel;
        EXPECT_EQ(controls[0].status(), 0xB0 | c.sentChannel);
        EXPECT_EQ(controls[0].data1(), 123);
        EXPECT_EQ(controls[0].data2(), 0);
    }
    heard.detach(*rig.core);
}

TEST_F(SettingsParamPanel, MicroTuningOpensTheEditorOnTheSettingsStack)
{
    auto& panel = rig.panel<MicroTuning_SettingPanelView>();
    Platform::Button* button = nullptr;
    for (auto const& sub : panel.subviews())
        if (auto* b = dynamic_cast<Platform::Button*>(sub.get()))
            button = b;
    ASSERT_NE(button, nullptr);
    button->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    ASSERT_EQ(rig.navigation->viewControllers().size(), 2u);
    Platform::ViewController* top = rig.navigation->topViewController();
    EXPECT_EQ(top->nibName(), MicroTuning_SettingPanelView::editorName);
    EXPECT_FALSE(top->extendedLayoutIncludesOpaqueBars());
    EXPECT_FALSE(rig.navigation->navigationBar()->isTranslucent());
    EXPECT_EQ(rig.navigation->navigationBar()->backgroundColor(), Lumora_Painter::sharedInstance()->popoverHeaderColor());
}
