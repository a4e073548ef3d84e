#pragma once

// Helpers of the image, combo box, XY pad, picker and graph tests: a window whose root screen
// holds the views under test, a record of a control's value-changed reports (optionally written
// to a parameter as the binding screen does), and a theme that records picture requests.

#include "controls/base/Lumora_Control.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/parameter/TypedParameters.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <memory>
#include <string>
#include <vector>

namespace PeriphTest {

inline constexpr Lumora::SerializeWhat kSound = static_cast<Lumora::SerializeWhat>(0x10100);
using Opt = Lumora::Parameter::Options;
using Token = Lumora::ParameterObserver::Token;
using AutoEvent = Lumora::AutomationEventType;

// What the binding screen sees at each report.
struct Report {
    int state;
    float normalized;
    float value;
};

// A window with a root screen; touches are injected with rising timestamps.
struct Screen {
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 600, 400));
    std::shared_ptr<Platform::ViewController> root = std::make_shared<Platform::ViewController>();
    double time = 1;

    Screen()
    {
        window->setRootViewController(root);
        window->layoutIfNeeded();
    }
    Platform::View* view() { return root->view(); }

    Platform::Touch* down(Platform::Point p, int taps = 1) { return window->beginTouch(p, time += 0.01, taps); }
    void move(Platform::Touch* t, Platform::Point p) { window->moveTouch(t, p, time += 0.01); }
    void up(Platform::Touch* t, Platform::Point p) { window->endTouch(t, p, time += 0.01); }
    void cancel(Platform::Touch* t) { window->cancelTouch(t, time += 0.01); }
    void tap(Platform::Point p, int taps = 1) { up(down(p, taps), p); }
};

// Records every value-changed report of a control; with a parameter set, each report is also
// written to it with the report's gesture state as automation event.
struct Recorder {
    std::vector<Report> reports;
    Lumora::Parameter* written = nullptr;

    void attach(Lumora_Control* control)
    {
        control->addHandler(
            [this, control](Platform::Control*) {
                reports.push_back({control->gestureState(), control->normalizedValue(), control->value()});
                if (written)
                    written->setNormalizedValue(control->normalizedValue(), Token::ViewController,
                                                static_cast<AutoEvent>(control->gestureState()));
            },
            Platform::ControlEvents::ValueChanged);
    }
    std::vector<int> states() const
    {
        std::vector<int> s;
        for (auto const& r : reports)
            s.push_back(r.state);
        return s;
    }
};

// Records the picture requests; installed for its lifetime, then the previous theme is back.
class PictureTheme : public Lumora_PainterImplementation {
public:
    struct Request {
        Rect frame;
        int32_t value;
        bool selected, pressed, disabled;
        int32_t badge, variation;
    };
    std::vector<Request> requests;

    void drawImageWithFrame(Rect const& frame, int32_t value, bool selected, bool pressed, bool disabled,
                            int32_t badge, int32_t variation) override
    {
        requests.push_back({frame, value, selected, pressed, disabled, badge, variation});
        Lumora_PainterImplementation::drawImageWithFrame(frame, value, selected, pressed, disabled, badge, variation);
    }
};

class ScopedPictureTheme {
public:
    ScopedPictureTheme() : previous_(Lumora_Painter::sharedInstance()->impl())
    {
        Lumora_Painter::sharedInstance()->setImpl(theme);
    }
    ~ScopedPictureTheme() { Lumora_Painter::sharedInstance()->setImpl(previous_); }
    ScopedPictureTheme(ScopedPictureTheme const&) = delete;
    ScopedPictureTheme& operator=(ScopedPictureTheme const&) = delete;

    std::shared_ptr<PictureTheme> const theme = std::make_shared<PictureTheme>();

private:
    std::shared_ptr<Lumora_PainterImplementation> previous_;
};

} // namespace PeriphTest
