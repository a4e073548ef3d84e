#pragma once

// A model for the settings screen's tests: the test synth with capabilities chosen by the test,
// a main screen that answers whether it has knobs and a keyboard, the app's or the plug-in's
// audio I/O, and the settings screen inside a navigation controller in a window. Header-only.

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"
#include "model/support/ModelTestSupport.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Window.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/base/Lumora_SettingPanelView.h"
#include "screens/settings/screen/Lumora_SettingsMainScreenInfo.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace SettingsTest {

using Token = Lumora::ParameterObserver::Token;
using Event = Lumora::AutomationEventType;

struct Capabilities {
    bool noteInput = true;
    bool masterVolume = true;
    bool tuning = true;
    bool clockSync = true;
    bool timingShift = true;
    bool midiInput = true;
    bool midiMapping = true;
    bool arpeggiator = true;
    unsigned versions = 2;
    unsigned qualities = 3;
};

// The test synth answering the capability queries as told.
class CapabilitySynth : public ModelTest::ThrowingSynth {
public:
    CapabilitySynth(Config const& config, Capabilities caps) : ThrowingSynth(config), caps_(caps) {}

    bool hasMasterVolume() const override { return caps_.masterVolume; }
    bool supportsClockSync() const override { return caps_.clockSync; }
    bool supportsTimingShift() const override { return caps_.timingShift; }
    bool supportsMidiInput() const override { return caps_.midiInput; }
    bool supportsMidiMapping() const override { return caps_.midiMapping; }
    bool supportsNoteInput() const override { return caps_.noteInput; }
    bool supportsTuning() const override { return caps_.tuning; }
    bool hasArpeggiator() const override { return caps_.arpeggiator; }
    unsigned numOfAudioEngineVersions() const override { return caps_.versions; }
    unsigned numOfAudioQualitySelections() const override { return caps_.qualities; }

private:
    Capabilities caps_;
};

class MainScreen : public Platform::Object, public Lumora_SettingsMainScreenInfo {
public:
    MainScreen(bool knob, bool keyboard) : knob_(knob), keyboard_(keyboard) {}
    bool hasKnob() const override { return knob_; }
    bool hasKeyboard() const override { return keyboard_; }

private:
    bool knob_;
    bool keyboard_;
};

struct MainScreenFacts {
    bool knob;
    bool keyboard;
};

class SettingsCore : public ModelTest::TestCore {
public:
    SettingsCore(ModelTest::Folders const& folders, Capabilities caps, std::optional<MainScreenFacts> main)
        : TestCore(folders), folders_(folders), caps_(caps), main_(main) {}

    std::unique_ptr<Lumora::iAudioEngine> createAudioEngine() override {
        return std::make_unique<CapabilitySynth>(folders_.config(), caps_);
    }
    std::shared_ptr<Platform::Object> createMainViewController() override {
        if (!main_)
            return nullptr;
        return std::make_shared<MainScreen>(main_->knob, main_->keyboard);
    }

private:
    ModelTest::Folders folders_;
    Capabilities caps_;
    std::optional<MainScreenFacts> main_;
};

// A panel standing in for one of a family that is not linked into the tests.
class NamedStubPanel : public Lumora_SettingPanelView {
public:
    NamedStubPanel(std::string name, double height)
        : Lumora_SettingPanelView(Platform::Rect(0, 0, 320, height)), name(std::move(name)) {}
    std::string name;
};

// The sync, tempo and MIDI panels, as stubs where their family is not registered.
inline void registerMissingPanelsAsStubs() {
    registerSettingsNibs();
    for (char const* name : {"SyncMethod_SettingPanelView", "Tempo_SettingPanelView", "TimingShift_SettingPanelView",
                             "UnusedMidiInPorts_SettingPanelView", "MidiChannel_SettingPanelView",
                             "BluetoothMidiDevices_SettingPanelView", "MidiMapping_SettingPanelView",
                             "MidiMappingTakeoverMode_SettingPanelView"}) {
        if (Lumora_SettingPanelRegistry::panelClassNamed(name))
            continue;
        std::string const n = name;
        Lumora_SettingPanelRegistry::registerPanel(
            {n, [n](Platform::Object const* o) {
                 auto const* stub = dynamic_cast<NamedStubPanel const*>(o);
                 return stub && stub->name == n;
             }},
            [n] { return std::make_shared<NamedStubPanel>(n, 44); });
    }
}

// The name a panel is registered under (the first registered class it is of).
inline std::string panelName(Lumora_SettingPanelView const* panel) {
    for (std::string const& name : Lumora_SettingPanelRegistry::panelNames())
        if (auto c = Lumora_SettingPanelRegistry::panelClassNamed(name); c && c->isKindOf(panel))
            return name;
    return "?";
}

// Every change the parameters report, with its token.
struct WriteLog : Lumora::ParameterObserver {
    void didChangeParam(Lumora::Parameter const* param, Token token, Event event) override {
        writes.emplace_back(param->id(), token, event);
    }
    std::vector<std::tuple<int, Token, Event>> writes;
};

// The program's bundle for one test: a folder with the information property list.
class ProductBundle {
public:
    ProductBundle() {
        std::ofstream(folder.path() + "/Info.txt") << "CFBundleDisplayName = \"Corvane\"\n"
                                                      "CFBundleShortVersionString = \"3.1\"\n"
                                                      "CFBundleVersion = \"42\"\n";
        if (char const* old = std::getenv("CORVANE_MAIN_BUNDLE"))
            saved_ = old;
        ::setenv("CORVANE_MAIN_BUNDLE", folder.path().c_str(), 1);
    }
    ~ProductBundle() {
        if (saved_)
            ::setenv("CORVANE_MAIN_BUNDLE", saved_->c_str(), 1);
        else
            ::unsetenv("CORVANE_MAIN_BUNDLE");
    }

    ScratchFolder folder;

private:
    std::optional<std::string> saved_;
};

struct Rig {
    explicit Rig(bool plugin = false, Capabilities caps = {},
                 std::optional<MainScreenFacts> main = MainScreenFacts{true, true})
        : folders(docs.path()), core(Platform::newObject<SettingsCore>(folders, caps, main)) {
        if (plugin) {
            auto unit = std::make_unique<ModelTest::TestPluginAudioIO>(core->audioEngine());
            io = std::move(unit);
        } else {
            auto app = std::make_unique<ModelTest::TestAppAudioIO>(core->audioEngine());
            io = std::move(app);
        }
        core->onTimer(nullptr);
        engine().parameterManager().addObserver(&log);
        registerMissingPanelsAsStubs();
    }
    ~Rig() {
        window->setRootViewController(nullptr);
        navigation.reset();
        screen.reset();
        engine().parameterManager().removeObserver(&log);
        io.reset();   // the audio I/O goes before the engine
    }

    Lumora::iAudioEngine& engine() { return *core->audioEngine(); }
    Lumora::Parameter& param(int id) { return *engine().parameterManager().getParameter(id); }
    Lumora_Settings& settings() { return *core->settings(); }
    void tick() { core->onTimer(nullptr); }

    // The settings screen as root of a navigation controller in the window, laid out.
    Lumora_SettingsVwCtrlr& open(std::optional<Lumora_SettingsVwCtrlr::PanelClasses> classes = {},
                                 Lumora_SettingsVwCtrlr::PanelViewBlock block = {}) {
        screen = Lumora_SettingsVwCtrlr::create(core, std::move(classes), std::move(block));
        navigation = Platform::NavigationController::withRootViewController(screen);
        window->setRootViewController(navigation);
        window->layoutIfNeeded();
        return *screen;
    }

    // The shown panel of class T.
    template <class T>
    T& panel() {
        for (auto const& p : screen->addedPanelViews())
            if (auto* t = dynamic_cast<T*>(p.get()))
                return *t;
        throw std::runtime_error("panel not shown");
    }

    std::vector<std::string> shownNames() const {
        std::vector<std::string> names;
        for (auto const& p : screen->addedPanelViews())
            names.push_back(panelName(p.get()));
        return names;
    }

    ScratchFolder home{true};
    ScratchFolder docs;
    ModelTest::Folders folders;
    std::shared_ptr<SettingsCore> core;
    std::unique_ptr<Lumora::iAudioIO> io;
    WriteLog log;
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Platform::Rect(0, 0, 420, 900));
    std::shared_ptr<Lumora_SettingsVwCtrlr> screen;
    std::shared_ptr<Platform::NavigationController> navigation;
};

} // namespace SettingsTest
