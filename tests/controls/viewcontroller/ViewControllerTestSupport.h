#pragma once

// A parameter-bound screen over the model of the model tests: the test synth with the app's (or
// the plug-in's) audio I/O attached, the screen's root view in a window, simple controls of the
// toolkit's kinds and a record of every parameter write. Header-only; shared by the view
// controller and MIDI-learn tests.

#include "controls/base/Lumora_Control.h"
#include "controls/midilearn/Lumora_MidiMappingEditorService.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/viewcontroller/Lumora_ViewController.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"
#include "model/support/ModelTestSupport.h"
#include "platform/ui/Window.h"

#include <memory>
#include <tuple>
#include <vector>

namespace VcTest {

using Token = Lumora::ParameterObserver::Token;
using Event = Lumora::AutomationEventType;

constexpr int kVolume = 1100;       // UFloat 0..1
constexpr int kEngineVersion = 1180; // UInt 0..100
constexpr int kQuality = 1190;      // UInt 0..2
constexpr int kTranspose = 2110;    // SInt -12..12
constexpr int kTune = 2111;         // SFloat -1..1
constexpr int kArpeggiator = 3000;  // Bool

// A dragged control of the toolkit: the test stores a normalized value and reports it.
class TestKnob : public Lumora_Control {
public:
    using Lumora_Control::Lumora_Control;
    void report(float normalized, int state)
    {
        setNormalizedValue(normalized);
        switch (state) {
        case 1: sendActions_BeginGesture(); break;
        case 2: sendActions_UpdateGesture(); break;
        case 3: sendActions_EndGesture(); break;
        default: sendActions_SetValue(); break;
        }
    }
};

// A control that only shows its value, as value labels and lamps do.
class TestReadOnly : public Lumora_Control {
public:
    using Lumora_Control::Lumora_Control;
    bool isReadOnly() const override { return true; }
};

// Every change the parameters report, as the host would see them.
struct WriteLog : Lumora::ParameterObserver {
    void didChangeParam(Lumora::Parameter const* param, Token token, Event event) override
    {
        writes.emplace_back(param->id(), token, event, param->normalizedValue());
    }
    std::vector<std::tuple<int, Token, Event, float>> writes;
};

// A screen whose root view is made with the given content when it loads.
class BuiltScreen : public Lumora_ViewController {
public:
    void loadView() override
    {
        auto root = std::make_shared<Platform::View>(Platform::Rect(0, 0, 600, 400));
        for (auto const& v : content)
            root->addSubview(v);
        setView(root);
    }
    std::vector<std::shared_ptr<Platform::View>> content;
};

// A screen with no token of its own.
class TokenlessScreen : public BuiltScreen {
public:
    Token parameterObserverToken() const override { return Token::Mixed; }
};

// The model, its engine with an audio I/O attached, and a window for the screen's view.
struct ScreenRig {
    explicit ScreenRig(bool plugin = false)
    {
        if (plugin)
            model.attachPlugin();
        else
            model.attachApp();
        model.core->onTimer(nullptr);   // what attaching reported
        engine().parameterManager().addObserver(&log);
    }
    ~ScreenRig()
    {
        engine().parameterManager().removeObserver(&log);
        window->setRootViewController(nullptr);
    }

    Lumora::iAudioEngine& engine() { return *model.core->audioEngine(); }
    Lumora::MidiParamMapper& mapper() { return engine().midiParamMapper(); }
    Lumora::Parameter& param(int id) { return *engine().parameterManager().getParameter(id); }
    void tick() { model.core->onTimer(nullptr); }

    // A screen whose root view holds the given views, shown in the window, its view loaded.
    template <class T = BuiltScreen>
    std::shared_ptr<T> screen(std::vector<std::shared_ptr<Platform::View>> const& views)
    {
        auto vc = Lumora_ViewController::newWithCore<T>(model.core);
        vc->content = views;
        window->setRootViewController(vc);
        window->layoutIfNeeded();
        return vc;
    }

    Platform::Touch* down(Platform::Point p) { return window->beginTouch(p, time += 0.01); }
    void up(Platform::Touch* t, Platform::Point p) { window->endTouch(t, p, time += 0.01); }
    void tap(Platform::Point p) { up(down(p), p); }

    ModelTest::CoreRig model;
    WriteLog log;
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 600, 400));
    double time = 1;
};

} // namespace VcTest
