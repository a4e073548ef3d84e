#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/parameter/ParameterObserver.h"
#include "model/core/Lumora_CoreObservers.h"
#include "model/settings/Lumora_Setting_Observer.h"
#include "platform/foundation/Object.h"

namespace Lumora {
class iAudioEngine;
class iAudioIO;
class MidiMessage;
class Parameter;
} // namespace Lumora

namespace Platform {
class Timer;
}

class Lumora_Settings;
class ParameterObserverForCore;
class MidiObserverForCore;
class AudioEngineObserverForCore;

// The model object of a program, created first by its shell (as the product's Core): it owns
// the engine, the persisted settings, the main screen and three bridges that carry parameter
// changes, processed MIDI and engine notifications to the main thread, where a repeating timer
// of 1/30 s hands them to the screens that registered here. Settings changes are applied to
// the engine, its document managers and its audio I/O at once, then told to the screens.
//
// Create it with Platform::newObject on the main thread, before any audio I/O exists; the
// shell then attaches an audio I/O, calls applySettings and didFinishCreateAudioIO, and later
// asks for mainViewController. Observers are held unretained and must remove themselves before
// they go away; the observer sets are changed on the main thread only.
class Lumora_Core : public Platform::Object, public Lumora_Setting_Observer {
public:
    using Token = Lumora::ParameterObserver::Token;

    Lumora_Core();
    ~Lumora_Core() override;

    // Creates the engine, the bridges and the settings, restores the sound folder and starts
    // the timer; false when no engine can be made.
    bool init() override;

    // One delivery tick: parameter changes, then MIDI, then notifications.
    void onTimer(Platform::Timer* timer);

    std::shared_ptr<Lumora_Settings> settings() const { return settings_; }
    Lumora::iAudioEngine* audioEngine() const { return audioEngine_.get(); }
    // Created on first request.
    std::shared_ptr<Platform::Object> mainViewController();
    // Whether the attached audio I/O is the plug-in's; false while none is attached.
    bool isPlugin() const;
    // 1: sub-screens are presented modally (the plug-in with popovers switched off); 0: popovers.
    unsigned subViewControllerStyle() const;
    float timerInterval() const { return 1.0f / 30.0f; }
    std::shared_ptr<Platform::Timer> timer() const { return timer_; }
    void setTimer(std::shared_ptr<Platform::Timer> timer) { timer_ = std::move(timer); }

    void addParamObserver(Lumora_ParamObserver* observer);
    void removeParamObserver(Lumora_ParamObserver* observer);
    void addAudioEngineObserver(Lumora_AudioEngine_Observer* observer);
    void removeAudioEngineObserver(Lumora_AudioEngine_Observer* observer);
    void addSettingsObserver(Lumora_Setting_Observer* observer);
    void removeSettingsObserver(Lumora_Setting_Observer* observer);
    void addMidiObserver(Lumora_Midi_Observer* observer);
    void removeMidiObserver(Lumora_Midi_Observer* observer);

    // Held while the engine's parameter blocks are made anew off the main thread (a second audio
    // I/O attaching), and by main-thread code from finding a parameter to its last use of it;
    // the tick's delivery holds it too. Empty without an engine.
    std::unique_lock<std::mutex> lockParameterBlocks();

    // Forwarders to the registered screens.
    void didChangeParam(Lumora::Parameter const* param, Token token);
    void receiveMidi(Lumora::MidiMessage const* message);
    void receiveAudioEngineNotificationWithID(int id, int param);

    // Applies the setting's key, then tells the settings observers (on the main thread).
    void onChangeSettingWithKey(std::string const& key) override;
    // Replays the stored settings into the engine, its document managers and its audio I/O.
    void applySettings();
    // Once an audio I/O is attached: loads the default sound, or initializes the sound.
    void didFinishCreateAudioIO(Lumora::iAudioIO* audioIO, Lumora::iAudioEngine* engine,
                                std::shared_ptr<Lumora_Settings> const& settings, bool isPlugin);

    // The product's parts; the base makes none.
    virtual std::shared_ptr<Lumora_Settings> createSettings();
    virtual std::unique_ptr<Lumora::iAudioEngine> createAudioEngine();
    virtual std::shared_ptr<Platform::Object> createMainViewController();
    virtual std::optional<std::string> defaultSoundPresetPath();

    virtual std::string productName();
    std::string productVersion();
    std::string productBuildNumber();
    std::string productManufacture();
    virtual std::string productCopyrightYear();
    std::string productURL();
    std::string productMailAddress();

    // The settings keys that applySettings replays, in order.
    static std::vector<std::string> const& replayedSettingKeys();

protected:
    // Runs at the start of every tick, before the parameter changes are delivered: a product
    // publishes here what its render thread measured for display.
    virtual void willDeliverChanges() {}

private:
    void applySetting(std::string const& key);
    void applyMidiChannels();
    void setSoundFileContent(std::uint32_t bit, bool include);
    void tellSettingsObservers(std::string const& key);
    bool isRegisteredParameter(Lumora::Parameter const* param, std::int32_t id) const;

    std::unique_ptr<Lumora::iAudioEngine> audioEngine_;
    std::shared_ptr<Lumora_Settings> settings_;
    std::shared_ptr<Platform::Object> mainViewController_;
    std::unique_ptr<ParameterObserverForCore> paramObserver_;
    std::unique_ptr<MidiObserverForCore> midiObserver_;
    std::unique_ptr<AudioEngineObserverForCore> audioEngineObserver_;
    std::set<Lumora_ParamObserver*> paramObservers_;
    std::set<Lumora_AudioEngine_Observer*> audioEngineObservers_;
    std::set<Lumora_Setting_Observer*> settingsObservers_;
    std::set<Lumora_Midi_Observer*> midiObservers_;
    std::shared_ptr<Platform::Timer> timer_;
};
