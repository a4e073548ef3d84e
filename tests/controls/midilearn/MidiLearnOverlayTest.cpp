// MIDI-learn overlays: shown over the writable bound controls in learn mode, a tap arms the
// engine's mapper for the control's parameter, a long press opens the mapping editor.

#include "controls/viewcontroller/ViewControllerTestSupport.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/Slider.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace VcTest;
using Platform::Rect;

namespace {

// What the overlays ask the theme to draw.
class StatusTheme : public Lumora_PainterImplementation {
public:
    struct Call {
        bool detail;
        int channel, status, number;
        bool selected, pressed;
    };
    void drawControlStatusWithFrame(Rect const&, bool detail, int32_t ch, int32_t status, int32_t number,
                                    bool selected, bool pressed) override
    {
        calls.push_back({detail, ch, status, number, selected, pressed});
    }
    std::vector<Call> calls;
};

// The editor a long press asks for: a plain screen of a known size that remembers its request.
class FakeEditor : public Platform::ViewController {
public:
    void loadView() override { setView(std::make_shared<Platform::View>(Rect(0, 0, 320, 240))); }
    Lumora_MidiMapperElmntVwCtrlr_delegate* delegate = nullptr;
    Lumora::iAudioEngine* engine = nullptr;
    int32_t paramIndex = -1;
};

struct LearnRig : ScreenRig {
    explicit LearnRig(bool plugin = false) : ScreenRig(plugin)
    {
        knob = std::make_shared<TestKnob>(Rect(20, 20, 40, 40));
        knob->setTag(kVolume);
        slider = std::make_shared<Platform::Slider>(Rect(100, 20, 120, 30));
        slider->setTag(kTune);
        label = std::make_shared<TestReadOnly>(Rect(20, 120, 60, 20));
        label->setTag(kTranspose);
        vc = screen({knob, slider, label});
        previousTheme = Lumora_Painter::sharedInstance()->impl();
        Lumora_Painter::setImplimatation(theme);
        Lumora_MidiMappingEditorService::setFactory(
            [this](Lumora_MidiMapperElmntVwCtrlr_delegate* d, Lumora::iAudioEngine* e, int32_t id) {
                auto editor = std::make_shared<FakeEditor>();
                editor->delegate = d;
                editor->engine = e;
                editor->paramIndex = id;
                editors.push_back(editor);
                return editor;
            });
    }
    ~LearnRig()
    {
        Lumora_MidiMappingEditorService::setFactory({});
        Lumora_Painter::setImplimatation(previousTheme);
        ::unsetenv("CORVANE_UI_IDIOM");
    }

    Lumora_ControlStatusView* overlayOf(Platform::Control const* control)
    {
        for (auto const& o : vc->setControlStatusViews())
            if (o->control() == control)
                return o.get();
        return nullptr;
    }
    Platform::Point centreOf(Platform::View const* v) { return v->convertPointToWindow(Platform::Point(v->bounds().midX(), v->bounds().midY())); }
    void map(int id, int number)
    {
        mapper().newElement(id, Lumora::MidiParamMapper::MidiKey(-1, 0xB0, number), Lumora::Math::Shaper1bp());
    }
    void learnMode(bool on)
    {
        vc->setShowControlStatusView(on);
        window->layoutIfNeeded();
    }
    // The notifications the screens see on the next tick.
    std::vector<std::pair<int, int>> notificationsOfNextTick()
    {
        ModelTest::RecordingScreen screen;
        screen.attach(*model.core);
        tick();
        screen.detach(*model.core);
        return screen.notifications;
    }

    std::shared_ptr<TestKnob> knob;
    std::shared_ptr<Platform::Slider> slider;
    std::shared_ptr<TestReadOnly> label;
    std::shared_ptr<BuiltScreen> vc;
    std::shared_ptr<StatusTheme> theme = std::make_shared<StatusTheme>();
    std::shared_ptr<Lumora_PainterImplementation> previousTheme;
    std::vector<std::shared_ptr<FakeEditor>> editors;
};

using Pairs = std::vector<std::pair<int, int>>;

} // namespace

TEST(MidiLearnOverlayTest, LearnModeShowsAnOverlayOverEachWritableBoundControl)
{
    LearnRig rig;
    EXPECT_EQ(rig.overlayOf(rig.label.get()), nullptr);
    auto* k = rig.overlayOf(rig.knob.get());
    auto* s = rig.overlayOf(rig.slider.get());
    ASSERT_TRUE(k && s);
    EXPECT_TRUE(k->isHidden());
    EXPECT_EQ(k->parameterIndex(), kVolume);
    EXPECT_EQ(k->midiParamMapper(), &rig.mapper());

    rig.learnMode(true);
    EXPECT_FALSE(k->isHidden());
    EXPECT_FALSE(s->isHidden());
    // The control's frame with 5 points to spare, in front of everything in the superview.
    EXPECT_EQ(k->frame(), Rect(15, 15, 50, 50));
    EXPECT_EQ(s->frame(), Rect(95, 15, 130, 40));
    auto late = std::make_shared<Platform::View>(Rect(0, 0, 10, 10));
    rig.vc->view()->addSubview(late);
    k->setNeedsLayout();
    rig.window->layoutIfNeeded();
    EXPECT_EQ(rig.vc->view()->subviews().back().get(), k);

    // Showing twice runs the pass once: a selection survives the second call.
    k->setSelected(true);
    rig.learnMode(true);
    EXPECT_TRUE(k->selected());

    // An overlay shown again follows its control, which moved while it was hidden.
    rig.learnMode(false);
    rig.knob->setFrame(Rect(30, 40, 40, 40));
    rig.learnMode(true);
    EXPECT_EQ(k->frame(), Rect(25, 35, 50, 50));

    // Hiding deselects, hides and disarms.
    rig.mapper().startLearning(kVolume);
    rig.learnMode(false);
    EXPECT_FALSE(k->selected());
    EXPECT_TRUE(k->isHidden());
    EXPECT_FALSE(rig.mapper().isLearning());
    // Hiding while already hidden neither disarms nor touches the overlays.
    rig.mapper().startLearning(kVolume);
    k->setSelected(true);
    rig.learnMode(false);
    EXPECT_TRUE(rig.mapper().isLearning());
    EXPECT_TRUE(k->selected());
}

TEST(MidiLearnOverlayTest, ATapArmsTheMapperForTheControlsParameter)
{
    LearnRig rig;
    rig.map(kVolume, 7);
    rig.map(kTune, 8);
    rig.learnMode(true);
    auto* k = rig.overlayOf(rig.knob.get());
    auto* s = rig.overlayOf(rig.slider.get());
    rig.notificationsOfNextTick();

    Platform::Touch* t = rig.down(rig.centreOf(k));
    EXPECT_TRUE(k->pressed());
    EXPECT_FALSE(k->selected());
    EXPECT_EQ(rig.mapper().learningID(), -1);
    rig.up(t, rig.centreOf(k));
    EXPECT_FALSE(k->pressed());
    EXPECT_TRUE(k->selected());
    EXPECT_EQ(rig.mapper().learningID(), kVolume);
    EXPECT_EQ(rig.mapper().findElement(kVolume), nullptr);   // the old mapping is gone at once
    EXPECT_EQ(rig.notificationsOfNextTick(), (Pairs{{1002, kVolume}}));

    // Arming another leaves only that one selected; the first parameter stays unmapped.
    rig.tap(rig.centreOf(s));
    EXPECT_FALSE(k->selected());
    EXPECT_TRUE(s->selected());
    EXPECT_EQ(rig.mapper().learningID(), kTune);
    EXPECT_EQ(rig.mapper().findElement(kVolume), nullptr);
    EXPECT_EQ(rig.mapper().findElement(kTune), nullptr);

    // A second tap on the armed overlay disarms.
    rig.notificationsOfNextTick();
    rig.tap(rig.centreOf(s));
    EXPECT_FALSE(s->selected());
    EXPECT_FALSE(rig.mapper().isLearning());
    EXPECT_EQ(rig.notificationsOfNextTick(), (Pairs{{1004, -1}}));
}

TEST(MidiLearnOverlayTest, ALearnedControllerShowsOnTheOverlay)
{
    LearnRig rig;
    rig.learnMode(true);
    auto* k = rig.overlayOf(rig.knob.get());
    k->drawRect(k->bounds());
    ASSERT_EQ(rig.theme->calls.size(), 1u);
    EXPECT_FALSE(rig.theme->calls[0].detail);
    EXPECT_EQ(rig.theme->calls[0].status, 0);

    rig.tap(rig.centreOf(k));
    // A controller arrives on channel 3 while armed.
    rig.mapper().process(Lumora::MidiMessage(0xB0, 3, 21, 64), &rig.engine().parameterManager());
    EXPECT_TRUE(k->selected());   // until the tick
    EXPECT_EQ(rig.notificationsOfNextTick(), (Pairs{{1002, kVolume}, {1003, kVolume}, {1004, -1}}));
    EXPECT_FALSE(k->selected());

    rig.theme->calls.clear();
    k->setPressed(true);
    k->drawRect(k->bounds());
    ASSERT_EQ(rig.theme->calls.size(), 1u);
    auto const& c = rig.theme->calls[0];
    EXPECT_TRUE(c.detail);
    EXPECT_EQ(c.channel, -1);   // learned keys listen on any channel
    EXPECT_EQ(c.status, 0xB0);
    EXPECT_EQ(c.number, 21);
    EXPECT_FALSE(c.selected);
    EXPECT_TRUE(c.pressed);
}

TEST(MidiLearnOverlayTest, ALongPressOpensTheEditorAndLeavesTheSelection)
{
    LearnRig rig;
    rig.learnMode(true);
    auto* k = rig.overlayOf(rig.knob.get());
    Platform::Touch* t = rig.down(rig.centreOf(k));
    rig.window->advanceTime(rig.time += 0.7);
    ASSERT_EQ(rig.editors.size(), 1u);
    EXPECT_TRUE(k->pressed());   // until the press ends
    rig.up(t, rig.centreOf(k));
    EXPECT_FALSE(k->pressed());
    EXPECT_FALSE(k->selected());
    EXPECT_FALSE(rig.mapper().isLearning());

    auto const& editor = rig.editors[0];
    EXPECT_EQ(editor->delegate, static_cast<Lumora_MidiMapperElmntVwCtrlr_delegate*>(rig.vc.get()));
    EXPECT_EQ(editor->engine, &rig.engine());
    EXPECT_EQ(editor->paramIndex, kVolume);
    EXPECT_EQ(rig.vc->presentedViewController(), editor.get());
    EXPECT_EQ(editor->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
    EXPECT_EQ(editor->preferredContentSize(), Platform::Size(320, 240));
    auto* pc = editor->popoverPresentationController();
    ASSERT_NE(pc, nullptr);
    EXPECT_EQ(pc->sourceView(), k);
    EXPECT_EQ(pc->permittedArrowDirections(), 15u);
    EXPECT_TRUE(pc->passthroughViews().empty());
    EXPECT_EQ(pc->backgroundColor(), Platform::Color::whiteColor());

    // A long press on a selected overlay keeps it selected.
    rig.vc->dismissViewControllerAnimated(false);
    rig.tap(rig.centreOf(k));
    ASSERT_TRUE(k->selected());
    t = rig.down(rig.centreOf(k));
    rig.window->advanceTime(rig.time += 0.7);
    rig.up(t, rig.centreOf(k));
    EXPECT_TRUE(k->selected());
    EXPECT_EQ(rig.editors.size(), 2u);
}

TEST(MidiLearnOverlayTest, ThePlugInOnAPhoneOpensTheEditorModally)
{
    struct Case {
        bool plugin;
        char const* idiom;
        bool modal;
    };
    for (Case c : {Case{true, "phone", true}, Case{true, "pad", false}, Case{false, "phone", false},
                   Case{false, "pad", false}}) {
        SCOPED_TRACE(std::string(c.plugin ? "plug-in " : "app ") + c.idiom);
        LearnRig rig(c.plugin);
        ::setenv("CORVANE_UI_IDIOM", c.idiom, 1);
        auto* k = rig.overlayOf(rig.knob.get());
        rig.vc->controlStatusView_didLongPressed(k, false);
        ASSERT_EQ(rig.editors.size(), 1u);
        EXPECT_EQ(rig.vc->presentedViewController(), rig.editors[0].get());
        EXPECT_EQ(rig.editors[0]->modalPresentationStyle(),
                  c.modal ? Platform::ModalPresentationStyle::OverCurrentContext : Platform::ModalPresentationStyle::Popover);
        rig.vc->dismissViewControllerAnimated(false);
    }
}

TEST(MidiLearnOverlayTest, AnEditorsChangeRedrawsOnlyThatParametersOverlays)
{
    LearnRig rig;
    auto twin = std::make_shared<TestKnob>(Rect(300, 20, 40, 40));
    twin->setTag(kVolume);
    rig.vc->view()->addSubview(twin);
    rig.vc->setupDescendantUiControlsWithView(rig.vc->view());
    auto* k = rig.overlayOf(rig.knob.get());
    auto* t = rig.overlayOf(twin.get());
    auto* s = rig.overlayOf(rig.slider.get());
    auto const kBefore = k->displayRequestCount(), tBefore = t->displayRequestCount(),
               sBefore = s->displayRequestCount();
    rig.vc->midiMapperElementViewController_didChangeMidiSourceWithParameterID(nullptr, kVolume);
    EXPECT_GT(k->displayRequestCount(), kBefore);
    EXPECT_GT(t->displayRequestCount(), tBefore);
    EXPECT_EQ(s->displayRequestCount(), sBefore);
}

TEST(MidiLearnOverlayTest, AnOverlayWithoutDelegateOrControlOnlyKeepsItsOwnState)
{
    LearnRig rig;
    auto control = std::make_shared<TestKnob>(Rect(0, 0, 20, 20));
    control->setTag(kVolume);
    auto overlay = Lumora_ControlStatusView::withControl(control.get(), &rig.mapper());
    EXPECT_EQ(overlay->frame(), Rect(0, 0, 10, 10));
    EXPECT_EQ(overlay->backgroundColor(), Platform::Color::clearColor());
    EXPECT_EQ(overlay->gestureRecognizers().size(), 1u);
    overlay->touchesBegan({}, nullptr);
    overlay->touchesEnded({}, nullptr);
    EXPECT_TRUE(overlay->selected());
    EXPECT_FALSE(rig.mapper().isLearning());
    // A cancelled press changes nothing.
    overlay->touchesBegan({}, nullptr);
    overlay->touchesCancelled({}, nullptr);
    EXPECT_TRUE(overlay->pressed());
    EXPECT_TRUE(overlay->selected());

    rig.map(0, 5);
    control.reset();
    EXPECT_EQ(overlay->parameterIndex(), 0);
    EXPECT_EQ(overlay->control(), nullptr);
    ASSERT_NE(overlay->midiMapperElement(), nullptr);
    EXPECT_EQ(overlay->midiMapperElement()->midiSource().number(), 5);
    overlay->layoutSubviews();   // no control: stays where it is
    EXPECT_EQ(overlay->frame(), Rect(0, 0, 10, 10));
}
