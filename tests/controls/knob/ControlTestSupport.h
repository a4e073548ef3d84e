#pragma once

// Helpers of the knob, slider, switch, label and agent tests: a window that delivers touches to
// one control, a record of the control's value-changed reports, and a theme that records what it
// is asked to draw.

#include "controls/base/Lumora_Control.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/parameter/TypedParameters.h"
#include "platform/ui/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace ControlTest {

inline constexpr Lumora::SerializeWhat kSound = static_cast<Lumora::SerializeWhat>(0x10100);
using Opt = Lumora::Parameter::Options;

// What the binding screen sees at each report.
struct Report {
    int state;
    float normalized;
    float value;
};

// One control in a window, with every value-changed report recorded. When a parameter is given
// the reports are also written to it, as the screen that bound the control does.
template <class T>
struct Rig {
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 600, 600));
    std::shared_ptr<T> control;
    std::vector<Report> reports;
    Lumora::Parameter* written = nullptr;
    double time = 1;

    explicit Rig(Platform::Rect frame) : control(std::make_shared<T>(frame))
    {
        window->addSubview(control);
        control->addHandler(
            [this](Platform::Control*) {
                reports.push_back({control->gestureState(), control->normalizedValue(), control->value()});
                if (written)
                    written->setNormalizedValue(control->normalizedValue(), Lumora::ParameterObserver::Token::ViewController,
                                                static_cast<Lumora::AutomationEventType>(control->gestureState()));
            },
            Platform::ControlEvents::ValueChanged);
    }

    Platform::Touch* down(Platform::Point p, int taps = 1) { return window->beginTouch(p, time += 0.01, taps); }
    void move(Platform::Touch* t, Platform::Point p) { window->moveTouch(t, p, time += 0.01); }
    void up(Platform::Touch* t, Platform::Point p) { window->endTouch(t, p, time += 0.01); }
    void cancel(Platform::Touch* t) { window->cancelTouch(t, time += 0.01); }
    // A drag from `from` by (dx, dy) in `steps` equal moves, ended where it stops.
    void drag(Platform::Point from, double dx, double dy, int steps = 10)
    {
        Platform::Touch* t = down(from);
        for (int i = 1; i <= steps; ++i)
            move(t, {from.x + dx * i / steps, from.y + dy * i / steps});
        up(t, {from.x + dx, from.y + dy});
    }
    std::vector<int> states() const
    {
        std::vector<int> s;
        for (auto const& r : reports)
            s.push_back(r.state);
        return s;
    }
};

// Records the drawing requests of the controls; installed for a test's lifetime, then the
// default theme is back.
class RecordingTheme : public Lumora_PainterImplementation {
public:
    std::vector<std::string> calls;
    float value = -1;
    int32_t intValue = -1;
    bool bipole = false, selected = false, pressed = false, disabled = false;
    int32_t variation = -1;

    void drawKnobWithFrame(Rect const&, float v, bool d, bool b, int32_t var) override
    {
        calls.push_back("knob");
        value = v, disabled = d, bipole = b, variation = var;
    }
    void drawSliderWithFrame(Rect const&, float v, bool d, bool b, int32_t var) override
    {
        calls.push_back("slider");
        value = v, disabled = d, bipole = b, variation = var;
    }
    void drawSwitchWithFrame(Rect const&, bool s, bool p, bool d, int32_t var) override
    {
        calls.push_back("switch");
        selected = s, pressed = p, disabled = d, variation = var;
    }
    void drawSwitchSelectorWithFrame(Rect const&, int32_t v, bool p, bool d, int32_t var) override
    {
        calls.push_back("selector");
        intValue = v, pressed = p, disabled = d, variation = var;
    }
};

struct ThemeScope {
    std::shared_ptr<RecordingTheme> theme = std::make_shared<RecordingTheme>();
    ThemeScope() { Lumora_Painter::setImplimatation(theme); }
    ~ThemeScope() { Lumora_Painter::setImplimatation(std::make_shared<Lumora_PainterImplementation>()); }
};

} // namespace ControlTest
