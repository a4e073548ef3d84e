// Binding controls to parameters by tag, writing the user's changes with the screen's token and
// showing changes made elsewhere on the model's timer.

#include "controls/viewcontroller/UIControl_Lumora_Control_Container_View.h"
#include "controls/viewcontroller/ViewControllerTestSupport.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/ui/Button.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace VcTest;
using Platform::Rect;

namespace {

template <class T>
std::shared_ptr<T> tagged(int tag, Rect frame = Rect(10, 10, 40, 40))
{
    auto v = std::make_shared<T>(frame);
    v->setTag(tag);
    return v;
}

// The overlays of a screen that cover a control.
int overlaysOf(Lumora_ViewController const& vc, Platform::Control const* control)
{
    return static_cast<int>(std::count_if(vc.setControlStatusViews().begin(), vc.setControlStatusViews().end(),
                                          [control](auto const& o) { return o->control() == control; }));
}

std::vector<std::string> segmentTitles(int n)
{
    std::vector<std::string> titles;
    for (int i = 0; i < n; ++i)
        titles.push_back(std::to_string(i));
    return titles;
}

} // namespace

TEST(ViewControllerBindingTest, OnlyTheModelObjectMakesAController)
{
    ScreenRig rig;
    EXPECT_EQ(Platform::newObject<Lumora_ViewController>(), nullptr);
    EXPECT_EQ(Lumora_ViewController::newWithCore(nullptr), nullptr);
    auto vc = std::make_shared<Lumora_ViewController>();
    EXPECT_FALSE(vc->initWithNibName("Anything", nullptr));
    auto made = Lumora_ViewController::newWithCore(rig.model.core);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->core(), rig.model.core.get());
    EXPECT_EQ(made->audioEngine(), rig.model.core->audioEngine());
    EXPECT_EQ(made->audioIO(), rig.model.io.get());
    EXPECT_EQ(made->parameterObserverToken(), Token::ViewController);
    EXPECT_FALSE(made->showControlStatusView());
    EXPECT_FALSE(made->receivingMidi());
    EXPECT_TRUE(made->setControls().empty());
}

TEST(ViewControllerBindingTest, EveryControlBelowTheViewIsBoundByItsTagOnce)
{
    ScreenRig rig;
    rig.param(kVolume).setNormalizedValue(0.25f, Token::Host, Event::SetValue);
    rig.param(kTranspose).setConcreteValue(5, Token::Host);
    rig.param(kArpeggiator).setNormalizedValue(1, Token::Host, Event::SetValue);

    auto container = std::make_shared<Platform::View>(Rect(0, 0, 300, 300));
    auto knob = tagged<TestKnob>(kVolume);
    container->addSubview(knob);
    // A control inside another control belongs to it, like a lamp inside its selector.
    auto group = tagged<TestKnob>(kEngineVersion, Rect(100, 10, 80, 40));
    auto inner = tagged<TestKnob>(kTune, Rect(0, 0, 10, 10));
    group->addSubview(inner);
    container->addSubview(group);
    auto label = tagged<TestReadOnly>(kTranspose, Rect(10, 100, 40, 20));
    auto slider = tagged<Platform::Slider>(kVolume, Rect(10, 150, 100, 20));
    auto toggle = tagged<Platform::Switch>(kArpeggiator, Rect(10, 200, 50, 30));
    auto button = tagged<Platform::Button>(0, Rect(10, 250, 50, 30));
    auto unknown = tagged<TestKnob>(9999, Rect(100, 250, 40, 40));
    auto vc = rig.screen({container, label, slider, toggle, button, unknown});

    EXPECT_EQ(vc->setControls().size(), 7u);
    EXPECT_FALSE(vc->setControls().contains(inner));
    EXPECT_EQ(inner->parameter(), nullptr);

    // Values and parameters come from the engine.
    EXPECT_EQ(knob->parameter(), &rig.param(kVolume));
    EXPECT_FLOAT_EQ(knob->normalizedValue(), 0.25f);
    EXPECT_FLOAT_EQ(knob->normalizedDefaultValue(), rig.param(kVolume).defaultValue());
    EXPECT_FLOAT_EQ(slider->value(), 0.25f);
    EXPECT_TRUE(toggle->isOn());
    EXPECT_EQ(label->parameter(), &rig.param(kTranspose));
    EXPECT_FLOAT_EQ(label->normalizedValue(), (5 + 64) / 127.0f);

    // Overlays: one per writable control with a parameter, hidden, in the control's superview.
    EXPECT_EQ(vc->setControlStatusViews().size(), 4u);
    for (auto const* c : {static_cast<Platform::Control*>(knob.get()), static_cast<Platform::Control*>(group.get()),
                          static_cast<Platform::Control*>(slider.get()), static_cast<Platform::Control*>(toggle.get())})
        EXPECT_EQ(overlaysOf(*vc, c), 1);
    for (auto const* c : {static_cast<Platform::Control*>(label.get()), static_cast<Platform::Control*>(button.get()),
                          static_cast<Platform::Control*>(unknown.get())})
        EXPECT_EQ(overlaysOf(*vc, c), 0);
    for (auto const& o : vc->setControlStatusViews()) {
        EXPECT_TRUE(o->isHidden());
        EXPECT_EQ(o->superview(), o->control()->superview());
        EXPECT_EQ(o->delegate(), static_cast<Lumora_ControlStatusView_delegate*>(vc.get()));
    }

    // Every listed control reports to the screen, also those without a parameter.
    EXPECT_TRUE(button->actions().hasTarget(vc.get()));
    EXPECT_TRUE(unknown->actions().hasTarget(vc.get()));

    // Controls by tag: a shared tag holds both, tag 0 is entered too.
    ASSERT_TRUE(vc->dicControls().contains(kVolume));
    EXPECT_EQ(vc->dicControls().at(kVolume).size(), 2u);
    EXPECT_EQ(vc->dicControls().at(0).size(), 1u);

    // Binding the same view again adds no target and no overlay.
    auto const before = knob->actions().count();
    vc->setupDescendantUiControlsWithView(vc->view());
    vc->setupDescendantUiControlsWithView(container.get());
    EXPECT_EQ(knob->actions().count(), before);
    EXPECT_EQ(vc->setControlStatusViews().size(), 4u);
    EXPECT_EQ(vc->setControls().size(), 7u);

    // A view added later is bound when the screen asks for it.
    auto later = std::make_shared<Platform::View>(Rect(300, 0, 200, 200));
    auto laterKnob = tagged<TestKnob>(kTune);
    later->addSubview(laterKnob);
    vc->view()->addSubview(later);
    vc->setupDescendantUiControlsWithView(later.get());
    EXPECT_EQ(laterKnob->parameter(), &rig.param(kTune));
    EXPECT_EQ(overlaysOf(*vc, laterKnob.get()), 1);
}

TEST(ViewControllerBindingTest, AGestureIsWrittenWithTheScreensTokenAndItsEventTypes)
{
    ScreenRig rig;
    auto knob = tagged<TestKnob>(kVolume);
    auto twin = tagged<TestKnob>(kVolume, Rect(100, 10, 40, 40));
    auto slider = tagged<Platform::Slider>(kVolume, Rect(10, 100, 100, 20));
    auto vc = rig.screen({knob, twin, slider});
    rig.log.writes.clear();

    knob->report(0.5f, 1);
    // Siblings on this screen follow at once.
    EXPECT_FLOAT_EQ(twin->normalizedValue(), 0.5f);
    EXPECT_FLOAT_EQ(slider->value(), 0.5f);
    knob->report(0.6f, 2);
    knob->report(0.7f, 2);
    knob->report(0.7f, 3);   // unchanged, still told: the gesture ends
    knob->report(0.1f, 4);

    using W = std::tuple<int, Token, Event, float>;
    std::vector<W> const expected = {
        {kVolume, Token::ViewController, Event::BeginGesture, 0.5f},
        {kVolume, Token::ViewController, Event::UpdateGesture, 0.6f},
        {kVolume, Token::ViewController, Event::UpdateGesture, 0.7f},
        {kVolume, Token::ViewController, Event::EndGesture, 0.7f},
        {kVolume, Token::ViewController, Event::SetValue, 0.1f},
    };
    EXPECT_EQ(rig.log.writes, expected);
    EXPECT_FLOAT_EQ(twin->normalizedValue(), 0.1f);

    // A platform control reports no gesture: event none.
    rig.log.writes.clear();
    slider->setValue(0.9f);
    slider->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
    EXPECT_EQ(rig.log.writes, (std::vector<W>{{kVolume, Token::ViewController, Event::None, 0.9f}}));
    EXPECT_FLOAT_EQ(knob->normalizedValue(), 0.9f);

    // The change comes back on the next tick and is not shown again on this screen.
    knob->setNormalizedValue(0.3f);
    rig.tick();
    EXPECT_FLOAT_EQ(knob->normalizedValue(), 0.3f);
}

TEST(ViewControllerBindingTest, AControlWithoutParameterChangesNothing)
{
    ScreenRig rig;
    auto unknown = tagged<TestKnob>(9999);
    auto vc = rig.screen({unknown});
    rig.log.writes.clear();
    unknown->report(0.4f, 4);
    EXPECT_TRUE(rig.log.writes.empty());
    EXPECT_FLOAT_EQ(unknown->normalizedValue(), 0.4f);
}

TEST(ViewControllerBindingTest, TheParameterTypeQuantisesButSiblingsGetTheHooksValue)
{
    // The hook may change the value; its result is written and shown on the screen, the
    // parameter's quantised value arrives only at other screens.
    struct HalvingScreen : BuiltScreen {
        float parameterWillChangeByControl(Platform::Control*, int32_t, float v) override { return v / 2; }
        void parameterDidChangeByControl(Platform::Control* c, int32_t id, float v) override
        {
            after.emplace_back(c, id, v);
        }
        std::vector<std::tuple<Platform::Control*, int32_t, float>> after;
    };
    ScreenRig rig;
    auto knob = tagged<TestKnob>(kQuality);
    auto twin = tagged<TestKnob>(kQuality, Rect(100, 10, 40, 40));
    auto vc = rig.screen<HalvingScreen>({knob, twin});
    knob->report(4 / 127.0f, 4);
    EXPECT_FLOAT_EQ(rig.param(kQuality).normalizedValue(), 2 / 127.0f);
    // The sending control is corrected too, as its value differs from what was written.
    EXPECT_FLOAT_EQ(knob->normalizedValue(), 2 / 127.0f);
    EXPECT_FLOAT_EQ(twin->normalizedValue(), 2 / 127.0f);
    ASSERT_EQ(vc->after.size(), 1u);
    EXPECT_EQ(vc->after[0], std::make_tuple(static_cast<Platform::Control*>(knob.get()), kQuality, 2 / 127.0f));
}

TEST(ViewControllerBindingTest, AScreenWithoutTokenShowsItsOwnChangesWhenTheyComeBack)
{
    ScreenRig rig;
    auto knob = tagged<TestKnob>(kVolume);
    auto twin = tagged<TestKnob>(kVolume, Rect(100, 10, 40, 40));
    auto vc = rig.screen<TokenlessScreen>({knob, twin});
    float const before = twin->normalizedValue();
    knob->report(0.42f, 4);
    EXPECT_EQ(std::get<1>(rig.log.writes.back()), Token::Mixed);
    EXPECT_FLOAT_EQ(twin->normalizedValue(), before);
    rig.tick();
    EXPECT_FLOAT_EQ(twin->normalizedValue(), 0.42f);
}

TEST(ViewControllerBindingTest, ChangesFromElsewhereShowOnTheNextTickOwnOnesNever)
{
    struct Case {
        Token token;
        bool shown;
    };
    for (Case c : {Case{Token::SettingPanel, true}, Case{Token::ArpeggiatorEditor, true},
                   Case{Token::CommonParamPopup, true}, Case{Token::MidiMapper, true}, Case{Token::Host, true},
                   Case{Token::Document, true}, Case{Token::EngineReadback, true}, Case{Token::Mixed, true},
                   Case{Token::ViewController, false}}) {
        SCOPED_TRACE(static_cast<int>(c.token));
        ScreenRig rig;
        auto knob = tagged<TestKnob>(kVolume);
        auto vc = rig.screen({knob});
        knob->setNormalizedValue(0.9f);
        rig.param(kVolume).setNormalizedValue(0.2f, c.token, Event::SetValue);
        EXPECT_FLOAT_EQ(knob->normalizedValue(), 0.9f);   // not before the tick
        rig.tick();
        EXPECT_FLOAT_EQ(knob->normalizedValue(), c.shown ? 0.2f : 0.9f);
    }
}

TEST(ViewControllerBindingTest, AppearingShowsEveryParameter)
{
    ScreenRig rig;
    auto knob = tagged<TestKnob>(kVolume);
    auto toggle = tagged<Platform::Switch>(kArpeggiator, Rect(10, 100, 50, 30));
    auto vc = rig.screen({knob, toggle});
    knob->setNormalizedValue(0.9f);
    // Changed behind the screen's back, without a tick.
    rig.param(kArpeggiator).setNormalizedValue(1, Token::ViewController, Event::SetValue);
    rig.param(kVolume).setNormalizedValue(0.3f, Token::ViewController, Event::SetValue);
    vc->viewWillAppear(false);
    EXPECT_FLOAT_EQ(knob->normalizedValue(), 0.3f);
    EXPECT_TRUE(toggle->isOn());
}

TEST(ViewControllerBindingTest, ASegmentedControlCarriesTheConcreteValueOfA127StepParameter)
{
    // Every index survives the round trip in single precision.
    auto segments = std::make_shared<Platform::SegmentedControl>(Rect(0, 0, 500, 30), segmentTitles(128));
    for (int i = 0; i < 128; ++i) {
        UIControl_Lumora_Control_Container_View::setUiControl_normalizedValue(segments.get(), i / 127.0f);
        ASSERT_EQ(segments->selectedSegmentIndex(), i);
        ASSERT_EQ(UIControl_Lumora_Control_Container_View::uiControl_normalizedValue(segments.get()), i / 127.0f);
    }

    ScreenRig rig;
    auto picker = tagged<Platform::SegmentedControl>(kEngineVersion, Rect(10, 10, 400, 30));
    for (auto const& t : segmentTitles(5))
        picker->insertSegmentWithTitle(t, picker->numberOfSegments());
    auto vc = rig.screen({picker});
    picker->setSelectedSegmentIndex(3);
    picker->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
    EXPECT_FLOAT_EQ(rig.param(kEngineVersion).normalizedValue(), 3 / 127.0f);
    EXPECT_EQ(rig.param(kEngineVersion).concreteValue(), 3);

    rig.param(kEngineVersion).setNormalizedValue(2 / 127.0f, Token::Host, Event::SetValue);
    rig.tick();
    EXPECT_EQ(picker->selectedSegmentIndex(), 2);
}

TEST(ViewControllerBindingTest, TheCategoryReadsAndWritesEachKindOfControl)
{
    TestKnob knob;
    knob.setNormalizedValue(0.3f);
    knob.sendActions_UpdateGesture();
    Platform::Slider slider;
    Platform::Switch toggle;
    Platform::Button button;
    using C = UIControl_Lumora_Control_Container_View;
    EXPECT_FLOAT_EQ(C::uiControl_normalizedValue(&knob), 0.3f);
    EXPECT_EQ(C::uiControl_gestureState(&knob), 2);
    C::setUiControl_normalizedValue(&slider, 0.7f);
    EXPECT_FLOAT_EQ(C::uiControl_normalizedValue(&slider), 0.7f);
    EXPECT_EQ(C::uiControl_gestureState(&slider), 0);
    C::setUiControl_normalizedValue(&toggle, 0.01f);
    EXPECT_EQ(C::uiControl_normalizedValue(&toggle), 1.0f);
    C::setUiControl_normalizedValue(&toggle, 0.0f);
    EXPECT_EQ(C::uiControl_normalizedValue(&toggle), 0.0f);
    C::setUiControl_normalizedValue(&button, 1.0f);
    EXPECT_EQ(C::uiControl_normalizedValue(&button), 0.0f);
}

TEST(ViewControllerBindingTest, UnbindingASurfaceForgetsItsControlsAndOverlays)
{
    ScreenRig rig;
    auto keep = tagged<TestKnob>(kTune);
    auto surface = std::make_shared<Platform::View>(Rect(100, 0, 300, 300));
    auto knob = tagged<TestKnob>(kVolume);
    auto slider = tagged<Platform::Slider>(kVolume, Rect(10, 100, 100, 20));
    surface->addSubview(knob);
    surface->addSubview(slider);
    auto vc = rig.screen({keep, surface});
    ASSERT_EQ(vc->setControlStatusViews().size(), 3u);
    std::vector<std::weak_ptr<Lumora_ControlStatusView>> surfaceOverlays;
    for (auto const& o : vc->setControlStatusViews())
        if (o->control() != keep.get())
            surfaceOverlays.push_back(o);

    vc->finalizeDescendantUiControlsWithView(surface.get());
    EXPECT_EQ(vc->setControls().size(), 1u);
    EXPECT_TRUE(vc->setControls().contains(keep));
    EXPECT_FALSE(vc->dicControls().contains(kVolume));
    ASSERT_EQ(vc->setControlStatusViews().size(), 1u);
    EXPECT_EQ(vc->setControlStatusViews().front()->control(), keep.get());
    for (auto const& o : surfaceOverlays)
        EXPECT_TRUE(o.expired());   // out of the view and out of the set
    for (auto const& sub : surface->subviews())
        EXPECT_EQ(dynamic_cast<Lumora_ControlStatusView*>(sub.get()), nullptr);

    // The control still writes its parameter while it lives; the screen no longer shows changes.
    knob->report(0.66f, 4);
    EXPECT_FLOAT_EQ(rig.param(kVolume).normalizedValue(), 0.66f);
    rig.param(kVolume).setNormalizedValue(0.1f, Token::Host, Event::SetValue);
    rig.tick();
    EXPECT_FLOAT_EQ(knob->normalizedValue(), 0.66f);
}

TEST(ViewControllerBindingTest, TheScreenLeavesTheModelWhenItGoesAway)
{
    ScreenRig rig;
    auto knob = tagged<TestKnob>(kVolume);
    std::weak_ptr<Lumora_ViewController> gone;
    {
        auto vc = rig.screen({knob});
        vc->setReceivingMidi(true);
        EXPECT_TRUE(vc->receivingMidi());
        rig.window->setRootViewController(nullptr);
        gone = vc;
    }
    ASSERT_TRUE(gone.expired());
    // A screen that went away is told nothing (the sanitizer sees any call into it).
    rig.param(kVolume).setNormalizedValue(0.5f, Token::Host, Event::SetValue);
    rig.engine().provideNotification(Lumora::iAudioEngine::MidiLearnAssigned, kVolume);
    rig.tick();
    // The control outlives the screen; its actions find no target.
    knob->report(0.2f, 4);
    EXPECT_FLOAT_EQ(rig.param(kVolume).normalizedValue(), 0.5f);
}

TEST(ViewControllerBindingTest, SubScreensArePresentedModallyOrAsPopovers)
{
    ScreenRig rig;
    auto anchor = tagged<TestKnob>(kVolume, Rect(50, 60, 40, 40));
    auto vc = rig.screen({anchor});

    auto modal = std::make_shared<Platform::ViewController>();
    vc->modalViewController(modal);
    EXPECT_EQ(vc->presentedViewController(), modal.get());
    EXPECT_EQ(modal->modalPresentationStyle(), Platform::ModalPresentationStyle::OverCurrentContext);
    EXPECT_EQ(modal->modalTransitionStyle(), Platform::ModalTransitionStyle::CrossDissolve);
    ASSERT_TRUE(modal->view()->backgroundColor());
    EXPECT_EQ(*modal->view()->backgroundColor(), Platform::Color(0, 0, 0, 0.6));
    vc->dismissViewControllerAnimated(false);

    for (char const* idiom : {"pad", "phone"}) {
        SCOPED_TRACE(idiom);
        ::setenv("CORVANE_UI_IDIOM", idiom, 1);
        auto popover = std::make_shared<Platform::ViewController>();
        auto passthrough = std::make_shared<Platform::View>();
        vc->popoverViewController(popover, {200, 150}, anchor.get(), {passthrough.get()}, 15,
                                  Platform::Color::whiteColor());
        EXPECT_EQ(vc->presentedViewController(), popover.get());
        EXPECT_EQ(popover->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
        // Stays a popover on a phone too.
        EXPECT_EQ(popover->presentationStyleInEffect(), Platform::ModalPresentationStyle::Popover);
        EXPECT_EQ(popover->preferredContentSize(), Platform::Size(200, 150));
        auto* pc = popover->popoverPresentationController();
        ASSERT_NE(pc, nullptr);
        EXPECT_EQ(pc->delegate(), static_cast<Platform::PopoverPresentationControllerDelegate*>(vc.get()));
        EXPECT_EQ(pc->sourceView(), anchor.get());
        EXPECT_EQ(pc->sourceRect(), anchor->bounds());
        EXPECT_TRUE(pc->canOverlapSourceViewRect());
        EXPECT_EQ(pc->permittedArrowDirections(), 15u);
        EXPECT_EQ(pc->passthroughViews(), std::vector<Platform::View*>{passthrough.get()});
        EXPECT_EQ(pc->backgroundColor(), Platform::Color::whiteColor());
        vc->dismissViewControllerAnimated(false);
    }
    ::unsetenv("CORVANE_UI_IDIOM");
}

TEST(ViewControllerBindingTest, SubScreensFollowTheModelsPresentationStyle)
{
    struct Case {
        bool plugin;
        bool popupsInPlugin;
        bool modal;
    };
    for (Case c : {Case{false, false, false}, Case{true, false, true}, Case{true, true, false}}) {
        SCOPED_TRACE(std::to_string(c.plugin) + std::to_string(c.popupsInPlugin));
        ScreenRig rig(c.plugin);
        rig.model.core->settings()->setPopupInPluginMode(c.popupsInPlugin);
        auto anchor = tagged<TestKnob>(kVolume);
        auto vc = rig.screen({anchor});
        auto sub = std::make_shared<Platform::ViewController>();
        vc->presentSubViewController(sub, {100, 100}, anchor.get(), {}, 15, std::nullopt);
        EXPECT_EQ(vc->presentedViewController(), sub.get());
        EXPECT_EQ(sub->modalPresentationStyle(), c.modal ? Platform::ModalPresentationStyle::OverCurrentContext
                                                         : Platform::ModalPresentationStyle::Popover);
        vc->dismissViewControllerAnimated(false);
    }
}

TEST(ViewControllerBindingTest, ALearnedControllerDeselectsEveryOverlayOnTheTick)
{
    ScreenRig rig;
    auto knob = tagged<TestKnob>(kVolume);
    auto slider = tagged<Platform::Slider>(kTune, Rect(10, 100, 100, 20));
    auto vc = rig.screen({knob, slider});
    for (auto const& o : vc->setControlStatusViews())
        o->setSelected(true);
    // Other notifications leave them alone.
    rig.engine().provideNotification(Lumora::iAudioEngine::MidiLearnStarted, kVolume);
    rig.tick();
    for (auto const& o : vc->setControlStatusViews())
        EXPECT_TRUE(o->selected());
    rig.engine().provideNotification(Lumora::iAudioEngine::MidiLearnAssigned, kVolume);
    rig.tick();
    for (auto const& o : vc->setControlStatusViews())
        EXPECT_FALSE(o->selected());
}
