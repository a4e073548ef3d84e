#include "controls/base/Lumora_Control.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Platform;
using Lumora::AutomationEventType;
using Lumora::ParameterObserver;

namespace {

// Records the order of the overridable setters and of the touch hooks against the platform's
// handling of each phase.
class ProbeControl : public Lumora_Control {
public:
    using Lumora_Control::Lumora_Control;
    std::vector<std::string> log;

    void setNormalizedDefaultValue(float v) override
    {
        log.push_back("default " + std::to_string(v));
        Lumora_Control::setNormalizedDefaultValue(v);
    }
    void setNormalizedValue(float v) override
    {
        log.push_back("value " + std::to_string(v));
        Lumora_Control::setNormalizedValue(v);
    }

protected:
    void onTouchesBegan(TouchSet const&, Event const*) override { log.push_back("hook began"); }
    void onTouchesMoved(TouchSet const&, Event const*) override { log.push_back("hook moved"); }
    void onTouchesEnded(TouchSet const&, Event const*) override { log.push_back("hook ended"); }
    void onTouchesCancelled(TouchSet const&, Event const*) override { log.push_back("hook cancelled"); }
};

class RecordingDelegate : public Lumora_ControlDelegate {
public:
    std::vector<float> values;
    void Lumora_Control_valueChanged(Lumora_Control*, float value) override { values.push_back(value); }
};

class RecordingSuperview : public View {
public:
    using View::View;
    std::vector<std::string> log;
    void touchesBegan(TouchSet const&, Event const*) override { log.push_back("began"); }
    void touchesMoved(TouchSet const&, Event const*) override { log.push_back("moved"); }
    void touchesEnded(TouchSet const&, Event const*) override { log.push_back("ended"); }
    void touchesCancelled(TouchSet const&, Event const*) override { log.push_back("cancelled"); }
};

// What the binding screen does with each report: reads the control during the action and
// writes its parameter with the report's gesture state.
struct ParameterWriter {
    Lumora::Parameter* parameter = nullptr;
    std::vector<std::pair<float, int>> seen;

    void actionParamUiValueChanged(Control* sender)
    {
        auto* control = static_cast<Lumora_Control*>(sender);
        seen.emplace_back(control->normalizedValue(), control->gestureState());
        parameter->setNormalizedValue(control->normalizedValue(), ParameterObserver::Token::ViewController,
                                      static_cast<AutomationEventType>(control->gestureState()));
    }
};

} // namespace

TEST(ControlBase, StartsEmptyAndStoresEachFieldAsGiven)
{
    auto control = std::make_shared<Lumora_Control>(Rect(0, 0, 40, 40));
    EXPECT_FALSE(control->passthroughTouchEventsToSuperView());
    EXPECT_EQ(control->value(), 0);
    EXPECT_EQ(control->defaultValue(), 0);
    EXPECT_EQ(control->normalizedValue(), 0);
    EXPECT_EQ(control->normalizedDefaultValue(), 0);
    EXPECT_EQ(control->variation(), 0);
    EXPECT_EQ(control->gestureState(), 0);
    EXPECT_EQ(control->parameter(), nullptr);
    EXPECT_FALSE(control->disabled());
    EXPECT_FALSE(control->isReadOnly());

    // The base neither clamps nor converts.
    control->setValue(12.5f);
    control->setNormalizedValue(1.5f);
    control->setDefaultValue(-3);
    EXPECT_EQ(control->value(), 12.5f);
    EXPECT_EQ(control->normalizedValue(), 1.5f);
    EXPECT_EQ(control->defaultValue(), -3);
}

TEST(ControlBase, DelegateHearsOnlyRealChangesOfTheValue)
{
    auto control = std::make_shared<Lumora_Control>();
    control->setValue(3);  // no delegate: only stored
    RecordingDelegate delegate;
    control->setDelegate(&delegate);
    control->setValue(3);
    control->setValue(4);
    control->setValue(4);
    EXPECT_EQ(delegate.values, (std::vector<float>{4}));
    EXPECT_EQ(control->value(), 4);
}

TEST(ControlBase, DisabledFlagRedrawsOnlyWhenItChanges)
{
    auto control = std::make_shared<Lumora_Control>();
    auto before = control->displayRequestCount();
    control->setDisabled(false);
    EXPECT_EQ(control->displayRequestCount(), before);
    control->setDisabled(true);
    EXPECT_EQ(control->displayRequestCount(), before + 1);
    control->setDisabled(true);
    EXPECT_EQ(control->displayRequestCount(), before + 1);
}

TEST(ControlBase, ReportsFireValueChangedWithTheirGestureStateWhichStays)
{
    auto control = std::make_shared<Lumora_Control>();
    std::vector<int> states;
    control->addHandler([&](Control* c) { states.push_back(static_cast<Lumora_Control*>(c)->gestureState()); },
                        ControlEvents::ValueChanged);
    int touchUps = 0;
    control->addHandler([&](Control*) { ++touchUps; }, ControlEvents::TouchUpInside);

    control->sendActions_BeginGesture();
    control->sendActions_UpdateGesture();
    control->sendActions_UpdateGesture();
    control->sendActions_EndGesture();
    control->sendActions_SetValue();
    EXPECT_EQ(states, (std::vector<int>{1, 2, 2, 3, 4}));
    EXPECT_EQ(control->gestureState(), 4);
    EXPECT_EQ(touchUps, 0);
}

TEST(ControlBase, BindingTakesTheDefaultBeforeTheValue)
{
    Lumora::ParameterManager manager("test", 1, nullptr);
    Lumora::Parameter_UFloat volume(&manager, 1100, "Master Volume", "MASTER_VOLUME", 0.75f, 0, 1,
                                    Lumora::Parameter::Options::None, Lumora::SerializeWhat::GlobalSettings, 0);
    volume.setNormalizedValue(0.25f, ParameterObserver::Token::Mixed, AutomationEventType::None);

    auto control = std::make_shared<ProbeControl>();
    control->setParameter(&volume);
    EXPECT_EQ(control->parameter(), &volume);
    EXPECT_EQ(control->log, (std::vector<std::string>{"default " + std::to_string(0.75f), "value " + std::to_string(0.25f)}));
    EXPECT_EQ(control->normalizedDefaultValue(), 0.75f);
    EXPECT_EQ(control->normalizedValue(), 0.25f);
}

TEST(ControlBase, GestureOnAControlBoundByTagWritesItsParameterInTheIntegerEncoding)
{
    Lumora::ParameterManager manager("test", 1, nullptr);
    Lumora::Parameter_UInt quality(&manager, 1190, "Audio Quality", "AUDIO_QUALITY", 1, 0, 2,
                                   Lumora::Parameter::Options::None, Lumora::SerializeWhat::GlobalSettings, 0);
    Lumora::Parameter_SInt transpose(&manager, 2110, "Master Transpose", "MASTER_TRANSPOSE", 0, -12, 12,
                                     Lumora::Parameter::Options::None, Lumora::SerializeWhat::GlobalSettings, 0);

    // Unsigned k travels as k/127.
    auto control = std::make_shared<Lumora_Control>();
    control->setTag(1190);
    control->setParameter(manager.getParameter(control->tag()));
    EXPECT_EQ(control->normalizedValue(), 1.0f / 127.0f);
    ParameterWriter writer{&quality, {}};
    control->addTarget(&writer, &ParameterWriter::actionParamUiValueChanged, ControlEvents::ValueChanged);
    control->setNormalizedValue(2.0f / 127.0f);
    control->sendActions_SetValue();
    EXPECT_EQ(quality.concreteValue(), 2);
    EXPECT_EQ(writer.seen.back(), std::make_pair(2.0f / 127.0f, 4));

    // Signed e travels as (e + 64)/127; a drag reports begin, updates and end.
    auto knob = std::make_shared<Lumora_Control>();
    knob->setTag(2110);
    knob->setParameter(manager.getParameter(knob->tag()));
    EXPECT_EQ(knob->normalizedDefaultValue(), 64.0f / 127.0f);
    ParameterWriter knobWriter{&transpose, {}};
    knob->addTarget(&knobWriter, &ParameterWriter::actionParamUiValueChanged, ControlEvents::ValueChanged);
    knob->sendActions_BeginGesture();
    for (int e : {-1, -5, -7}) {
        knob->setNormalizedValue((static_cast<float>(e) + 64.0f) / 127.0f);
        knob->sendActions_UpdateGesture();
    }
    knob->sendActions_EndGesture();
    EXPECT_EQ(transpose.concreteValue(), -7);
    ASSERT_EQ(knobWriter.seen.size(), 5u);
    EXPECT_EQ(knobWriter.seen.front().second, 1);
    EXPECT_EQ(knobWriter.seen[2], std::make_pair(59.0f / 127.0f, 2));
    EXPECT_EQ(knobWriter.seen.back(), std::make_pair(57.0f / 127.0f, 3));
}

TEST(ControlBase, TouchesRunTheHookBeforeThePlatformHandlingOrPassToTheSuperview)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 200, 200));
    auto container = std::make_shared<RecordingSuperview>(Rect(0, 0, 200, 200));
    auto control = std::make_shared<ProbeControl>(Rect(50, 50, 100, 100));
    window->addSubview(container);
    container->addSubview(control);
    control->addHandler([&](Control*) { control->log.push_back("platform down"); }, ControlEvents::TouchDown);
    control->addHandler([&](Control*) { control->log.push_back("platform drag"); }, ControlEvents::TouchDragInside);
    control->addHandler([&](Control*) { control->log.push_back("platform up"); }, ControlEvents::TouchUpInside);
    control->addHandler([&](Control*) { control->log.push_back("platform cancel"); }, ControlEvents::TouchCancel);

    Touch* t = window->beginTouch({100, 100}, 0.0);
    window->moveTouch(t, {110, 100}, 0.1);
    window->endTouch(t, {110, 100}, 0.2);
    t = window->beginTouch({100, 100}, 1.0);
    window->cancelTouch(t, 1.1);
    EXPECT_EQ(control->log, (std::vector<std::string>{"hook began", "platform down", "hook moved", "platform drag",
                                                      "hook ended", "platform up", "hook began", "platform down",
                                                      "hook cancelled", "platform cancel"}));
    EXPECT_TRUE(container->log.empty());

    control->log.clear();
    control->setPassthroughTouchEventsToSuperView(true);
    t = window->beginTouch({100, 100}, 2.0);
    window->moveTouch(t, {110, 100}, 2.1);
    window->endTouch(t, {110, 100}, 2.2);
    t = window->beginTouch({100, 100}, 3.0);
    window->cancelTouch(t, 3.1);
    EXPECT_TRUE(control->log.empty());
    EXPECT_FALSE(control->isHighlighted());
    EXPECT_EQ(container->log, (std::vector<std::string>{"began", "moved", "ended", "began", "cancelled"}));
}
