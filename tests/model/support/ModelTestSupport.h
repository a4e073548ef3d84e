#pragma once

// A model object over the small test synth of the engine tests, with audio I/O objects of both
// programs and recording screens. Header-only.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/synth/SynthTestSupport.h"
#include "model/audio/iAudioIO_for_App.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Settings.h"
#include "platform/foundation/support/ScratchFolder.h"

namespace ModelTest {

using Token = Lumora::ParameterObserver::Token;

// The test synth; its state text can be made to throw, as a damaged document might.
class ThrowingSynth : public SynthTest::TestSynth {
public:
    using TestSynth::TestSynth;
    using TestSynth::deserialize;
    bool deserialize(Lumora::SerializeWhat what, std::string const& text, Lumora::SerializeWhere where) override {
        ++deserializeCalls;
        if (throwOnRead)
            throw std::runtime_error("damaged document");
        return TestSynth::deserialize(what, text, where);
    }
    bool throwOnRead = false;
    int deserializeCalls = 0;
};

// The document folders of one test.
struct Folders {
    explicit Folders(std::string const& root) : root(root) {
        for (char const* sub : {"Factory", "User", "Program", "Arp", "Midi", "Tuning"})
            boost::filesystem::create_directories(root + "/" + sub);
    }

    Lumora::iSynthAudioEngine::Config config() const {
        Lumora::iSynthAudioEngine::Config c;
        c.soundName = "Sound Presets";
        c.soundType = "corvane_snd";
        c.soundFactoryPath = root + "/Factory";
        c.soundUserPath = root + "/User";
        c.soundProgramPath = root + "/Program";
        c.arpeggiatorName = "Arpeggiator";
        c.arpeggiatorType = "kyv_arp";
        c.arpeggiatorUserPath = root + "/Arp";
        c.midiMappingName = "MIDI Mapping";
        c.midiMappingType = "corvane_midi";
        c.midiMappingUserPath = root + "/Midi";
        c.microTuningName = "Microtuning";
        c.microTuningType = "kyv_tng";
        c.microTuningUserPath = root + "/Tuning";
        return c;
    }

    std::string root;
};

// A model whose engine is the test synth over a scratch folder's documents and whose settings
// live in the shared defaults of the current data home.
class TestCore : public Lumora_Core {
public:
    explicit TestCore(Folders const& folders, std::optional<std::string> defaultPreset = std::nullopt)
        : folders_(folders), defaultPreset_(std::move(defaultPreset)) {}

    std::unique_ptr<Lumora::iAudioEngine> createAudioEngine() override {
        ++createAudioEngineCalls;
        return std::make_unique<ThrowingSynth>(folders_.config());
    }
    std::shared_ptr<Lumora_Settings> createSettings() override { return Platform::newObject<Settings>(); }
    std::optional<std::string> defaultSoundPresetPath() override { return defaultPreset_; }

    ThrowingSynth& synth() { return static_cast<ThrowingSynth&>(*audioEngine()); }
    void setDefaultPreset(std::optional<std::string> path) { defaultPreset_ = std::move(path); }

    int createAudioEngineCalls = 0;

private:
    Folders folders_;
    std::optional<std::string> defaultPreset_;
};

// The standalone app's audio I/O, recording what the model asks of it.
class TestAppAudioIO : public Lumora::iAudioIO_for_App {
public:
    explicit TestAppAudioIO(Lumora::iAudioEngine* engine) : iAudioIO_for_App(engine) {
        sources[11] = {Lumora::MidiPortSetting::ExternalSource, 11, "Keys", true};
        sources[22] = {Lumora::MidiPortSetting::ExternalSource, 22, "Pads", true};
        sources[0] = {Lumora::MidiPortSetting::VirtualDestination, 0, "Virtual Midi Input", true};
        didConstructSubClass(this);
    }
    void didChangeParam(Lumora::Parameter const*, Token, Lumora::AutomationEventType) override {}
    bool isPlugin() const override { return false; }
    Lumora::SyncMethod syncMethod() const override { return method; }
    void setSyncMethod(Lumora::SyncMethod m) override { method = m; }
    bool canProposeBpm() const override { return true; }
    void proposeBpm(double bpm) override { proposed = bpm; }

    bool open(unsigned frames, float rate) override { return setAudioFormat(frames, rate); }
    void close() override { frames_ = 0; rate_ = 0; }
    bool start() override { return running_ = isOpen(); }
    bool stop() override { running_ = false; return true; }
    bool isOpen() const override { return frames_ != 0; }
    bool isRunning() const override { return running_; }
    float sampleRate() const override { return rate_; }
    unsigned bufferSize() const override { return frames_; }
    bool setAudioFormat(unsigned frames, float rate) override { frames_ = frames; rate_ = rate; return true; }
    bool setSampleRate(float rate) override { return setAudioFormat(frames_, rate); }
    bool setBufferSize(unsigned frames) override { bufferSizes.push_back(frames); return setAudioFormat(frames, rate_); }
    MidiSources midiSources() const override { return sources; }
    void enableMidiSource(std::int32_t id, bool enabled) override {
        if (auto it = sources.find(id); it != sources.end())
            it->second.enabled = enabled;
    }

    MidiSources sources;
    std::vector<unsigned> bufferSizes;
    Lumora::SyncMethod method = Lumora::SyncMethod::Internal;
    double proposed = 0.0;

private:
    unsigned frames_ = 0;
    float rate_ = 0.0f;
    bool running_ = false;
};

// The plug-in's audio I/O.
class TestPluginAudioIO : public Lumora::iAudioIO_for_Plugin {
public:
    explicit TestPluginAudioIO(Lumora::iAudioEngine* engine) : iAudioIO_for_Plugin(engine) { didConstructSubClass(this); }
    void didChangeParam(Lumora::Parameter const*, Token, Lumora::AutomationEventType) override {}
    bool isPlugin() const override { return true; }
    Lumora::SyncMethod syncMethod() const override { return method; }
    void setSyncMethod(Lumora::SyncMethod m) override { method = m; }
    bool canProposeBpm() const override { return false; }
    void proposeBpm(double bpm) override { proposed = bpm; }

    Lumora::SyncMethod method = Lumora::SyncMethod::Internal;
    double proposed = 0.0;
};

// A screen that registers for everything and records what it is told; like the editor's base
// screen it skips the reports of its own parameter changes.
class RecordingScreen : public Lumora_ParamObserver,
                        public Lumora_AudioEngine_Observer,
                        public Lumora_Midi_Observer,
                        public Lumora_Setting_Observer {
public:
    explicit RecordingScreen(Token token = Token::ViewController) : token_(token) {}

    void attach(Lumora_Core& core) {
        core.addParamObserver(this);
        core.addAudioEngineObserver(this);
        core.addMidiObserver(this);
        core.addSettingsObserver(this);
    }
    void detach(Lumora_Core& core) {
        core.removeParamObserver(this);
        core.removeAudioEngineObserver(this);
        core.removeMidiObserver(this);
        core.removeSettingsObserver(this);
    }

    void didChangeParam(Lumora::Parameter const* param, Token token) override {
        if (onParam)
            onParam(param, token);
        if (isOwnChange(token))
            return;
        shown.emplace_back(param->id(), token);
    }
    Token parameterObserverToken() const override { return token_; }
    void receiveAudioEngineNotificationWithID(int id, int param) override { notifications.emplace_back(id, param); }
    void receiveMidi(Lumora::MidiMessage const* message) override { midi.push_back(*message); }
    void onChangeSettingWithKey(std::string const& key) override { settingKeys.push_back(key); }

    std::vector<std::pair<int, Token>> shown;
    std::vector<std::pair<int, int>> notifications;
    std::vector<Lumora::MidiMessage> midi;
    std::vector<std::string> settingKeys;
    std::function<void(Lumora::Parameter const*, Token)> onParam;

private:
    Token token_;
};

// The model of one test: its own data home (shared defaults and containers) and document folders.
struct CoreRig {
    explicit CoreRig(std::optional<std::string> defaultPreset = std::nullopt)
        : folders(docs.path()), core(Platform::newObject<TestCore>(folders, std::move(defaultPreset))) {}

    ~CoreRig() {
        io.reset();   // the audio I/O goes before the engine
    }

    TestAppAudioIO& attachApp() {
        auto app = std::make_unique<TestAppAudioIO>(core->audioEngine());
        TestAppAudioIO& ref = *app;
        io = std::move(app);
        return ref;
    }
    TestPluginAudioIO& attachPlugin() {
        auto plugin = std::make_unique<TestPluginAudioIO>(core->audioEngine());
        TestPluginAudioIO& ref = *plugin;
        io = std::move(plugin);
        return ref;
    }

    Lumora::Parameter& param(int id) { return *core->synth().parameterManager().getParameter(id); }

    ScratchFolder home{true};
    ScratchFolder docs;
    Folders folders;
    std::shared_ptr<TestCore> core;
    std::unique_ptr<Lumora::iAudioIO> io;
};

} // namespace ModelTest
