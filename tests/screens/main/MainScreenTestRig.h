#pragma once

// The product's model (Corvane's engine) with the app's or the plug-in's audio I/O attached, the
// screens registered, a device idiom chosen, and a window for the main screen. Header-only.

#include "controls/base/Lumora_Control.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/midilearn/Lumora_MidiMappingEditorService.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/ParameterManager.h"
#include "model/core/ScreenServices.h"
#include "model/product/Core.h"
#include "model/support/ModelTestSupport.h"
#include "platform/ui/Window.h"
#include "screens/main/CorvaneScreens.h"
#include "screens/main/MainViewController.h"
#include "screens/settings/screen/Lumora_SettingsMainScreenInfo.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace MainScreenTest {

// What the settings screen asks of the model's main screen. The model keeps the screen it asks
// for: the tests answer with this light stand-in rather than build a second, full main screen.
struct MainScreenFacts : Platform::Object, Lumora_SettingsMainScreenInfo {
    bool hasKnob() const override { return true; }
    bool hasKeyboard() const override { return true; }
};

enum class Program { Plugin, PadApp, PhoneApp };

inline char const* idiomOf(Program p) { return p == Program::PhoneApp ? "phone" : "pad"; }

struct Rig {
    explicit Rig(Program program, Platform::Rect windowFrame = Platform::Rect(0, 0, 1024, 768))
        : plugin(program == Program::Plugin)
    {
        ::setenv("CORVANE_UI_IDIOM", idiomOf(program), 1);
        Corvane::registerScreens();
        Lumora::ScreenServices::setMainViewControllerFactory(
            [](std::shared_ptr<Lumora_Core> const&) { return std::make_shared<MainScreenFacts>(); });
        previousTheme = Lumora_Painter::sharedInstance()->impl();
        core = Platform::newObject<Core>();
        if (plugin)
            io = std::make_unique<ModelTest::TestPluginAudioIO>(core->audioEngine());
        else
            io = std::make_unique<ModelTest::TestAppAudioIO>(core->audioEngine());
        core->applySettings();
        core->didFinishCreateAudioIO(io.get(), core->audioEngine(), core->settings(), plugin);
        tick();
        window = std::make_shared<Platform::Window>(windowFrame);
    }
    ~Rig()
    {
        window->setRootViewController(nullptr);
        screen.reset();
        // The product theme is made for this model; the next test's model installs its own.
        Lumora_Painter::sharedInstance()->setImpl(previousTheme);
        io.reset();
        core.reset();
        Lumora::ScreenServices::setMainViewControllerFactory({});
        Lumora::ScreenServices::setThemeInstaller({});
        Lumora::ScreenServices::setKnobControlTypeSetter({});
        Lumora_MainViewController::setArpeggiatorEditorFactory({});
        Lumora_MidiMappingEditorService::setFactory({});
        ::unsetenv("CORVANE_UI_IDIOM");
    }
    Rig(Rig const&) = delete;
    Rig& operator=(Rig const&) = delete;

    // The product's main screen, shown in the window and laid out.
    MainViewController& show()
    {
        screen = Lumora_ViewController::newWithCore<MainViewController>(core);
        window->setRootViewController(screen);
        window->layoutIfNeeded();
        return *screen;
    }

    Lumora::iAudioEngine& engine() { return *core->audioEngine(); }
    Lumora::PresetDocFileManager& sounds() { return *engine().soundPresetFileManager(); }
    Lumora::Parameter* param(int id) { return engine().parameterManager().getParameter(id); }
    void tick() { core->onTimer(nullptr); }

    // A tap in the middle of a view, as the window delivers it.
    void tap(Platform::View* view)
    {
        Platform::Point const p = view->convertPointToWindow(
            Platform::Point{view->bounds().size.width / 2, view->bounds().size.height / 2});
        Platform::Touch* touch = window->beginTouch(p, time += 0.05);
        window->endTouch(touch, p, time += 0.05);
    }

    bool plugin;
    ScratchFolder home{true};
    std::shared_ptr<Core> core;
    std::unique_ptr<Lumora::iAudioIO> io;
    std::shared_ptr<Platform::Window> window;
    std::shared_ptr<MainViewController> screen;
    std::shared_ptr<Lumora_PainterImplementation> previousTheme;
    double time = 1;
};

// Every control bound by tag below a view: controls inside another control (a selector's
// lamps, which carry choice values) are parts of that control.
inline std::vector<Lumora_Control*> boundControls(Platform::View* view)
{
    std::vector<Lumora_Control*> found;
    UIView_Lumora_Control_Container_View::traverseDescendantWithClass<Lumora_Control>(
        view, [&](Lumora_Control* control) { found.push_back(control); });
    return found;
}

} // namespace MainScreenTest
