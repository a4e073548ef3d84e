#include "model/core/Lumora_Core.h"

#include <exception>
#include <vector>

#include <boost/filesystem/path.hpp>

#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioIO.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/files/FileSystem.h"
#include "engine/mapping/MidiParamMapper.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/synth/iSynthAudioEngine.h"
#include "model/audio/iAudioIO_for_App.h"
#include "model/core/AudioEngineObserverForCore.h"
#include "model/core/MidiObserverForCore.h"
#include "model/core/ParameterObserverForCore.h"
#include "model/core/ScreenServices.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/RunLoop.h"

using namespace Lumora;

namespace {

// Bits of the sound document manager's content mask that the include settings switch.
constexpr std::uint32_t kMidiMappingContent = static_cast<std::uint32_t>(SerializeWhat::MidiMappingPart);
constexpr std::uint32_t kArpeggiatorContent = static_cast<std::uint32_t>(SerializeWhat::ArpeggiatorPart);
constexpr std::uint32_t kMicroTuningContent = static_cast<std::uint32_t>(SerializeWhat::MicroTuningPart);

std::string infoString(char const* key) {
    auto bundle = Platform::Bundle::main();
    if (!bundle)
        return {};
    Platform::Value const* value = bundle->objectForInfoDictionaryKey(key);
    if (value == nullptr)
        return {};
    return value->stringValue().value_or(std::string());
}

// An observer that is also a platform object is kept alive while it is told, even when its
// handler drops the last other reference to it.
template <class Observer>
std::shared_ptr<Platform::Object const> retain(Observer* observer) {
    if (auto const* object = dynamic_cast<Platform::Object const*>(observer))
        return object->weak_from_this().lock();
    return nullptr;
}

// Tells every member of a set, in the set's order. The members are taken from a copy, so a
// handler may add or remove observers; one removed before its turn is not told (it may be
// gone), and one added meanwhile waits for the next report.
template <class Observer, class Call>
void tellEach(std::set<Observer*> const& observers, Call call) {
    if (observers.empty())
        return;
    std::vector<Observer*> members(observers.begin(), observers.end());
    for (Observer* observer : members) {
        if (!observers.contains(observer))
            continue;
        auto keep = retain(observer);
        call(*observer);
    }
}

} // namespace

Lumora_Core::Lumora_Core() = default;

// Dismantled so that nothing is told after it went away: the timer first, the screens, then
// the parameter bridge leaves the parameter manager, and the engine goes before the MIDI and
// notification bridges that it still refers to (the engine offers no way to unregister them).
Lumora_Core::~Lumora_Core() {
    if (timer_)
        timer_->invalidate();
    timer_.reset();
    paramObservers_.clear();
    audioEngineObservers_.clear();
    settingsObservers_.clear();
    midiObservers_.clear();
    mainViewController_.reset();
    if (settings_)
        settings_->setObserver({});
    if (audioEngine_ && paramObserver_)
        audioEngine_->parameterManager().removeObserver(paramObserver_.get());
    settings_.reset();
    audioEngine_.reset();
    audioEngineObserver_.reset();
    midiObserver_.reset();
    paramObserver_.reset();
}

bool Lumora_Core::init() {
    if (!Platform::Object::init())
        return false;

    audioEngine_ = createAudioEngine();
    if (!audioEngine_) {
        Platform::log("ERROR! : Lumora_Core: no audio engine was created");
        return false;
    }

    paramObserver_ = std::make_unique<ParameterObserverForCore>(*this);
    audioEngine_->parameterManager().addObserver(paramObserver_.get());
    midiObserver_ = std::make_unique<MidiObserverForCore>(*this);
    audioEngine_->addMidiNoteObserver(midiObserver_.get());
    audioEngineObserver_ = std::make_unique<AudioEngineObserverForCore>(*this);
    audioEngine_->addNotificationObserver(audioEngineObserver_.get());

    settings_ = createSettings();
    if (settings_)
        settings_->setObserver(weakSelf<Lumora_Core>());

    // A folder that no longer exists leaves the manager where it is; a move posts 1010, which
    // the next tick writes back to the same setting.
    if (settings_) {
        if (PresetDocFileManager* sound = audioEngine_->soundPresetFileManager())
            sound->changeDirectory(settings_->curSndPresetDir());
    }

    // Always the main thread's loop, whichever thread creates the model: the screens are told
    // only on the main thread, never on a host's or the render thread.
    std::weak_ptr<Lumora_Core> weak = weakSelf<Lumora_Core>();
    timer_ = Platform::RunLoop::main().scheduledTimer(timerInterval(), true, [weak](Platform::Timer& timer) {
        if (auto self = weak.lock())
            self->onTimer(&timer);
    });
    return true;
}

// ---- the timer tick

void Lumora_Core::onTimer(Platform::Timer*) {
    willDeliverChanges();
    paramObserver_->deliver(
        [this](Parameter const* param, std::int32_t id) { return isRegisteredParameter(param, id); });
    midiObserver_->deliver();
    audioEngineObserver_->deliver();
}

// A parameter block of the engine can be made anew (a second audio I/O attaching) while a
// change of the old block waits: only a parameter that the manager still holds is told.
bool Lumora_Core::isRegisteredParameter(Parameter const* param, std::int32_t id) const {
    return audioEngine_->parameterManager().getParameter(id) == param;
}

std::unique_lock<std::mutex> Lumora_Core::lockParameterBlocks() {
    return paramObserver_ ? paramObserver_->lockParameterBlocks() : std::unique_lock<std::mutex>();
}

// ---- observers

void Lumora_Core::addParamObserver(Lumora_ParamObserver* observer) {
    if (observer)
        paramObservers_.insert(observer);
}
void Lumora_Core::removeParamObserver(Lumora_ParamObserver* observer) {
    paramObservers_.erase(observer);
}
void Lumora_Core::addAudioEngineObserver(Lumora_AudioEngine_Observer* observer) {
    if (observer)
        audioEngineObservers_.insert(observer);
}
void Lumora_Core::removeAudioEngineObserver(Lumora_AudioEngine_Observer* observer) {
    audioEngineObservers_.erase(observer);
}
void Lumora_Core::addSettingsObserver(Lumora_Setting_Observer* observer) {
    if (observer)
        settingsObservers_.insert(observer);
}
void Lumora_Core::removeSettingsObserver(Lumora_Setting_Observer* observer) {
    settingsObservers_.erase(observer);
}
void Lumora_Core::addMidiObserver(Lumora_Midi_Observer* observer) {
    if (observer)
        midiObservers_.insert(observer);
}
void Lumora_Core::removeMidiObserver(Lumora_Midi_Observer* observer) {
    midiObservers_.erase(observer);
}

void Lumora_Core::didChangeParam(Parameter const* param, Token token) {
    tellEach(paramObservers_, [&](Lumora_ParamObserver& o) { o.didChangeParam(param, token); });
}

void Lumora_Core::receiveMidi(MidiMessage const* message) {
    tellEach(midiObservers_, [&](Lumora_Midi_Observer& o) { o.receiveMidi(message); });
}

void Lumora_Core::receiveAudioEngineNotificationWithID(int id, int param) {
    tellEach(audioEngineObservers_,
             [&](Lumora_AudioEngine_Observer& o) { o.receiveAudioEngineNotificationWithID(id, param); });
    if (id == iAudioEngine::PresetDirectoryChanged && settings_) {
        if (PresetDocFileManager* sound = audioEngine_->soundPresetFileManager())
            settings_->setCurSndPresetDir(sound->currentDirectory());
    }
}

// ---- screens and product

std::shared_ptr<Platform::Object> Lumora_Core::mainViewController() {
    if (!mainViewController_)
        mainViewController_ = createMainViewController();
    return mainViewController_;
}

bool Lumora_Core::isPlugin() const {
    iAudioIO* io = audioEngine_ ? audioEngine_->audioIO() : nullptr;
    return io != nullptr && io->isPlugin();
}

unsigned Lumora_Core::subViewControllerStyle() const {
    bool popups = settings_ && settings_->popupInPluginMode();
    return isPlugin() && !popups ? 1u : 0u;
}

std::shared_ptr<Lumora_Settings> Lumora_Core::createSettings() {
    return nullptr;
}

std::unique_ptr<iAudioEngine> Lumora_Core::createAudioEngine() {
    return nullptr;
}

std::shared_ptr<Platform::Object> Lumora_Core::createMainViewController() {
    return nullptr;
}

std::optional<std::string> Lumora_Core::defaultSoundPresetPath() {
    return std::nullopt;
}

std::string Lumora_Core::productName() {
    return infoString("CFBundleDisplayName");
}

// Without a bundle (a program run from anywhere, a host that loads the plug-in alone) the build's
// own numbers stand where the bundle's would.
std::string Lumora_Core::productVersion() {
    std::string version = infoString("CFBundleShortVersionString");
    return version.empty() ? CORVANE_VERSION : version;
}

std::string Lumora_Core::productBuildNumber() {
    std::string number = infoString("CFBundleVersion");
    return number.empty() ? CORVANE_BUILD_NUMBER : number;
}

std::string Lumora_Core::productManufacture() {
    return "Lumora Instruments";
}

std::string Lumora_Core::productCopyrightYear() {
    return "2016-2026";
}

std::string Lumora_Core::productURL() {
    return "https://www.lumora-instruments.example";
}

std::string Lumora_Core::productMailAddress() {
    return "support@lumora-instruments.example";
}

// ---- settings

std::vector<std::string> const& Lumora_Core::replayedSettingKeys() {
    // "useProgListAsFactoryPrisetForAUv3Host" is replayed too: otherwise a newly started
    // program would offer the host its factory folder although the stored setting asks for
    // the program list.
    static std::vector<std::string> const keys{
        SettingKey::syncMethod,
        SettingKey::tempo,
        SettingKey::timingShift,
        SettingKey::midiChannel,
        SettingKey::unusedMidiInPorts,
        SettingKey::midiMapTakeover,
        SettingKey::backgroundAudio,
        SettingKey::useProgListAsFactoryPrisetForAUv3Host,
        SettingKey::includeArpSettingsInSoundFile,
        SettingKey::includeMidiMappingInSoundFile,
        SettingKey::includeMicroTunungInSoundFile,
        SettingKey::linearKnobMode,
        SettingKey::keyboardSize,
        SettingKey::keyboardPianoLayout,
        SettingKey::keyboardScrollBarPos,
        SettingKey::keyboardHoldMode,
        SettingKey::popupInPluginMode,
    };
    return keys;
}

void Lumora_Core::applySettings() {
    for (std::string const& key : replayedSettingKeys())
        onChangeSettingWithKey(key);
}

void Lumora_Core::onChangeSettingWithKey(std::string const& key) {
    applySetting(key);
    tellSettingsObservers(key);
}

// The defaults-changed report comes on the thread that changed the store, and the plug-in
// replays its settings on a host thread: the engine takes the change at once (its setters are
// atomic), the screens hear of it on the main thread.
void Lumora_Core::tellSettingsObservers(std::string const& key) {
    if (Platform::RunLoop::isMainThread()) {
        tellEach(settingsObservers_, [&](Lumora_Setting_Observer& o) { o.onChangeSettingWithKey(key); });
        return;
    }
    std::weak_ptr<Lumora_Core> weak = weakSelf<Lumora_Core>();
    Platform::RunLoop::main().post([weak, key] {
        if (auto self = weak.lock())
            self->tellSettingsObservers(key);
    });
}

void Lumora_Core::applySetting(std::string const& key) {
    if (!settings_ || !audioEngine_)
        return;
    iAudioIO* io = audioEngine_->audioIO();
    auto* appIO = (io != nullptr && !io->isPlugin()) ? dynamic_cast<iAudioIO_for_App*>(io) : nullptr;

    if (key == SettingKey::syncMethod) {
        if (io != nullptr) {
            std::uint32_t method = settings_->syncMethod();
            io->setSyncMethod(method >= 1 && method <= 3 ? static_cast<SyncMethod>(method) : SyncMethod::Internal);
        }
    } else if (key == SettingKey::tempo) {
        if (io != nullptr)
            io->proposeBpm(settings_->tempo());
    } else if (key == SettingKey::timingShift) {
        audioEngine_->setTimingShift(settings_->timingShift());
    } else if (key == SettingKey::midiOmni || key == SettingKey::midiChannel) {
        applyMidiChannels();
    } else if (key == SettingKey::unusedMidiInPorts) {
        if (appIO != nullptr) {
            for (std::int32_t uniqueID : settings_->unusedMidiInPorts())
                appIO->enableMidiSource(uniqueID, false);
        }
    } else if (key == SettingKey::midiMapTakeover) {
        audioEngine_->midiParamMapper().setTakeOverMode(settings_->midiMapTakeoverMode() != 0
                                                             ? MidiParamMapper::TakeOverMode::PickUp
                                                             : MidiParamMapper::TakeOverMode::Jump);
    } else if (key == SettingKey::audioBufferSize) {
        if (appIO != nullptr)
            appIO->setBufferSize(settings_->audioBufferSize());
    } else if (key == SettingKey::useProgListAsFactoryPrisetForAUv3Host) {
        if (PresetDocFileManager* sound = audioEngine_->soundPresetFileManager())
            sound->setUseProgListAsFactoryPrisetForAUv3Host(settings_->useProgListAsFactoryPrisetForAUv3Host());
    } else if (key == SettingKey::includeArpSettingsInSoundFile) {
        setSoundFileContent(kArpeggiatorContent, settings_->includeArpSettingsInSoundFile());
    } else if (key == SettingKey::includeMidiMappingInSoundFile) {
        setSoundFileContent(kMidiMappingContent, settings_->includeMidiMappingInSoundFile());
    } else if (key == SettingKey::includeMicroTunungInSoundFile) {
        setSoundFileContent(kMicroTuningContent, settings_->includeMicroTunungInSoundFile());
    } else if (key == SettingKey::linearKnobMode) {
        ScreenServices::setControlTypeToLinear(settings_->linearKnobMode());
    } else if (key == SettingKey::keyboardHoldMode) {
        if (auto* synth = dynamic_cast<iSynthAudioEngine*>(audioEngine_.get()))
            synth->setKeyboardHoldMode(settings_->keyboardHoldMode());
    }
    // "sampleRate" and "backgroundAudio" are read by the app itself, the keyboard keys and
    // "popupInPluginMode" by the screens: nothing to apply here.
}

// The plug-in takes every channel and sends on the first, whatever is stored; the app listens
// on the stored channel (or all) and sends on it.
void Lumora_Core::applyMidiChannels() {
    int in = -1;
    int out = 0;
    if (!isPlugin()) {
        in = settings_->midiOmni() ? -1 : settings_->midiChannel();
        out = in == -1 ? 0 : in;
    }
    audioEngine_->setMidiInChannel(in);
    audioEngine_->setMidiOutChannel(out);
}

void Lumora_Core::setSoundFileContent(std::uint32_t bit, bool include) {
    PresetDocFileManager* sound = audioEngine_->soundPresetFileManager();
    if (sound == nullptr)
        return;
    auto mask = static_cast<std::uint32_t>(sound->serializeWhat());
    mask = include ? (mask | bit) : (mask & ~bit);
    sound->setSerializeWhat(static_cast<SerializeWhat>(mask));
}

// ---- the default sound

void Lumora_Core::didFinishCreateAudioIO(iAudioIO*, iAudioEngine* engine, std::shared_ptr<Lumora_Settings> const&,
                                         bool) {
    if (engine == nullptr)
        engine = audioEngine_.get();
    PresetDocFileManager* sound = engine->soundPresetFileManager();
    // Without a sound manager the engine itself is reset to its defaults.
    auto initialize = [&] {
        if (sound != nullptr)
            sound->initialize();
        else
            engine->initialize(SerializeWhat::SoundPreset, SerializeWhere::Document);
    };
    try {
        std::optional<std::string> path = defaultSoundPresetPath();
        if (!path) {
            initialize();
            return;
        }
        auto [read, text] = filesystem::readTextFromFile(*path, true);
        if (read && engine->deserialize(SerializeWhat::FullState, text, SerializeWhere::Document)) {
            if (sound != nullptr)
                sound->setPresetName(boost::filesystem::path(*path).stem().string());
            return;
        }
        initialize();
    } catch (std::exception const& error) {
        // A damaged default sound must never stop the program from starting.
        Platform::log(std::string("ERROR! : default sound preset: ") + error.what());
        initialize();
    }
}
