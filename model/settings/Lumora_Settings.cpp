#include "model/settings/Lumora_Settings.h"

#include "platform/foundation/Device.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Lumora;

namespace {

constexpr double kDefaultTempo = 120.0;
constexpr double kMinimumTempo = 20.0;   // the engine's clock runs only within these tempi
constexpr double kMaximumTempo = 999.0;
constexpr float kDefaultSampleRate = 44100.0f;
constexpr std::uint32_t kDefaultAudioBufferSize = 512;
constexpr float kMinimumKeyboardSize = 30.0f;
constexpr float kMaximumKeyboardSize = 100.0f;

// A stored number that is not finite (a damaged file, another program's bug) reads as the
// default: no limit below can catch a NaN.
double finiteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

} // namespace

Lumora_Settings::~Lumora_Settings() {
    if (defaultsObservation_ != 0)
        Platform::NotificationCenter::defaultCenter().removeObserver(defaultsObservation_);
}

bool Lumora_Settings::init() {
    if (!Platform::Object::init())
        return false;
    if (auto defaults = userDefaults())
        defaults->registerDefaults(defaultSettings());
    // The store reports from whichever thread changed it; the handler holds this object only
    // while it runs, so the object may go away on another thread at any time.
    std::weak_ptr<Lumora_Settings> weak = weakSelf<Lumora_Settings>();
    defaultsObservation_ = Platform::NotificationCenter::defaultCenter().addObserver(
        Platform::UserDefaults::didChangeNotification, nullptr, [weak](Platform::Notification const& notification) {
            if (auto self = weak.lock())
                self->userDefaultChanged(notification);
        });
    incBootCounter();
    return true;
}

std::shared_ptr<Platform::UserDefaults> Lumora_Settings::userDefaults() {
    return nullptr;
}

Platform::Dictionary Lumora_Settings::defaultSettings() {
    using Platform::Value;
    return Platform::Dictionary{
        {SettingKey::bootCounter, Value(std::uint32_t{0})},
        {SettingKey::convertedVersion, Value(std::uint32_t{0})},
        {SettingKey::curSndPresetDir, Value("")},
        {SettingKey::syncMethod, Value(std::uint32_t{0})},
        {SettingKey::tempo, Value(static_cast<float>(kDefaultTempo))},
        {SettingKey::timingShift, Value(0.0f)},
        {SettingKey::midiOmni, Value(true)},
        {SettingKey::midiChannel, Value(std::int32_t{0})},
        {SettingKey::unusedMidiInPorts, Value(Platform::Array{})},
        {SettingKey::midiMapTakeover, Value(std::uint32_t{0})},
        {SettingKey::sampleRate, Value(kDefaultSampleRate)},
        {SettingKey::audioBufferSize, Value(kDefaultAudioBufferSize)},
        {SettingKey::backgroundAudio, Value(false)},
        {SettingKey::useProgListAsFactoryPrisetForAUv3Host, Value(false)},
        {SettingKey::includeArpSettingsInSoundFile, Value(true)},
        {SettingKey::includeMidiMappingInSoundFile, Value(false)},
        {SettingKey::includeMicroTunungInSoundFile, Value(false)},
        {SettingKey::linearKnobMode, Value(true)},
        {SettingKey::keyboardSize, Value(initKeyboardSize())},
        {SettingKey::keyboardPianoLayout, Value(initKeyboardPianoLayout())},
        {SettingKey::keyboardScrollBarPos, Value(initKeyboardScrollBarPos())},
        {SettingKey::keyboardHoldMode, Value(std::uint32_t{0})},
        {SettingKey::popupInPluginMode, Value(true)},
    };
}

float Lumora_Settings::initKeyboardSize() {
    return Platform::Device::userInterfaceIdiom() == Platform::UserInterfaceIdiom::Pad ? 50.0f : 45.0f;
}

bool Lumora_Settings::initKeyboardPianoLayout() {
    return true;
}

std::uint32_t Lumora_Settings::initKeyboardScrollBarPos() {
    return Platform::Device::userInterfaceIdiom() == Platform::UserInterfaceIdiom::Pad ? 2 : 1;
}

void Lumora_Settings::userDefaultChanged(Platform::Notification const&) {
    if (auto current = observer())
        current->onChangeSettingWithKey(SettingKey::timingShift);
}

// Write, synchronize, then (for most keys) tell the observer, which reads the value back.
void Lumora_Settings::store(char const* key, Platform::Value value, Report report) {
    if (auto defaults = userDefaults()) {
        defaults->setObject(key, std::move(value));
        defaults->synchronize();
    }
    if (report == Report::Observer) {
        if (auto current = observer())
            current->onChangeSettingWithKey(key);
    }
}

bool Lumora_Settings::readBool(char const* key) {
    auto defaults = userDefaults();
    return defaults && defaults->boolForKey(key);
}

// An unsigned 32-bit setting: a negative or oversized stored number reads as the nearest end
// rather than wrapping round.
std::uint32_t Lumora_Settings::readUnsigned(char const* key) {
    auto defaults = userDefaults();
    if (!defaults)
        return 0;
    std::int64_t value = defaults->integerForKey(key);
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<std::uint32_t>::max()));
}

double Lumora_Settings::readDouble(char const* key) {
    auto defaults = userDefaults();
    return defaults ? defaults->doubleForKey(key) : 0.0;
}

std::uint32_t Lumora_Settings::bootCounter() {
    return readUnsigned(SettingKey::bootCounter);
}

std::uint32_t Lumora_Settings::incBootCounter() {
    std::uint32_t next = bootCounter() + 1;
    store(SettingKey::bootCounter, Platform::Value(next), Report::Silent);
    return next;
}

std::uint32_t Lumora_Settings::convertedVersion() {
    return readUnsigned(SettingKey::convertedVersion);
}

void Lumora_Settings::setConvertedVersion(std::uint32_t version) {
    store(SettingKey::convertedVersion, Platform::Value(version), Report::Silent);
}

std::string Lumora_Settings::curSndPresetDir() {
    auto defaults = userDefaults();
    if (!defaults)
        return {};
    auto value = defaults->objectForKey(SettingKey::curSndPresetDir);
    return value && value->string() ? *value->string() : std::string();
}

void Lumora_Settings::setCurSndPresetDir(std::string const& directory) {
    store(SettingKey::curSndPresetDir, Platform::Value(directory), Report::Silent);
}

std::uint32_t Lumora_Settings::syncMethod() {
    return readUnsigned(SettingKey::syncMethod);
}

void Lumora_Settings::setSyncMethod(std::uint32_t method) {
    store(SettingKey::syncMethod, Platform::Value(method), Report::Observer);
}

double Lumora_Settings::tempo() {
    return std::clamp(finiteOr(readDouble(SettingKey::tempo), kDefaultTempo), kMinimumTempo, kMaximumTempo);
}

void Lumora_Settings::setTempo(double tempo) {
    store(SettingKey::tempo, Platform::Value(tempo), Report::Observer);
}

float Lumora_Settings::timingShift() {
    return static_cast<float>(std::clamp(finiteOr(readDouble(SettingKey::timingShift), 0.0), -1.0, 1.0));
}

// Reported through the store's change notification only.
void Lumora_Settings::setTimingShift(float shift) {
    store(SettingKey::timingShift, Platform::Value(shift), Report::Silent);
}

bool Lumora_Settings::midiOmni() {
    return readBool(SettingKey::midiOmni);
}

void Lumora_Settings::setMidiOmni(bool omni) {
    store(SettingKey::midiOmni, Platform::Value(omni), Report::Observer);
}

std::int32_t Lumora_Settings::midiChannel() {
    auto defaults = userDefaults();
    std::int64_t channel = defaults ? defaults->integerForKey(SettingKey::midiChannel) : 0;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(channel, 0, 15));
}

// Stored as given; reading limits it.
void Lumora_Settings::setMidiChannel(std::int32_t channel) {
    store(SettingKey::midiChannel, Platform::Value(channel), Report::Observer);
}

std::vector<std::int32_t> Lumora_Settings::unusedMidiInPorts() {
    std::vector<std::int32_t> ids;
    auto defaults = userDefaults();
    if (!defaults)
        return ids;
    auto array = defaults->arrayForKey(SettingKey::unusedMidiInPorts);
    if (!array)
        return ids;
    // A MIDI source's unique id is a signed 32-bit number; entries that are no numbers are no ids.
    for (auto const& entry : *array) {
        if (!entry.isNumber())
            continue;
        ids.push_back(static_cast<std::int32_t>(std::clamp<std::int64_t>(
            entry.integerValue(), std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())));
    }
    return ids;
}

void Lumora_Settings::setUnusedMidiInPorts(std::vector<std::int32_t> const& uniqueIds) {
    Platform::Array array(uniqueIds.begin(), uniqueIds.end());
    store(SettingKey::unusedMidiInPorts, Platform::Value(std::move(array)), Report::Observer);
}

std::uint32_t Lumora_Settings::midiMapTakeoverMode() {
    return readUnsigned(SettingKey::midiMapTakeover);
}

void Lumora_Settings::setMidiMapTakeoverMode(std::uint32_t mode) {
    store(SettingKey::midiMapTakeover, Platform::Value(mode), Report::Observer);
}

// A rate the audio output cannot run at (not finite, zero or negative) reads as the default,
// so a damaged value cannot keep the app silent at every start.
float Lumora_Settings::sampleRate() {
    auto defaults = userDefaults();
    if (!defaults)
        return 0.0f;
    double rate = defaults->doubleForKey(SettingKey::sampleRate);
    if (!std::isfinite(rate) || rate <= 0.0 || rate > std::numeric_limits<float>::max())
        return kDefaultSampleRate;
    return static_cast<float>(rate);
}

void Lumora_Settings::setSampleRate(float rate) {
    store(SettingKey::sampleRate, Platform::Value(rate), Report::Observer);
}

// A buffer of no frames reads as the default for the same reason.
std::uint32_t Lumora_Settings::audioBufferSize() {
    auto defaults = userDefaults();
    if (!defaults)
        return 0;
    std::uint32_t frames = readUnsigned(SettingKey::audioBufferSize);
    return frames == 0 ? kDefaultAudioBufferSize : frames;
}

void Lumora_Settings::setAudioBufferSize(std::uint32_t frames) {
    store(SettingKey::audioBufferSize, Platform::Value(frames), Report::Observer);
}

bool Lumora_Settings::backgroundAudio() {
    return readBool(SettingKey::backgroundAudio);
}

void Lumora_Settings::setBackgroundAudio(bool on) {
    store(SettingKey::backgroundAudio, Platform::Value(on), Report::Observer);
}

bool Lumora_Settings::useProgListAsFactoryPrisetForAUv3Host() {
    return readBool(SettingKey::useProgListAsFactoryPrisetForAUv3Host);
}

void Lumora_Settings::setUseProgListAsFactoryPrisetForAUv3Host(bool on) {
    store(SettingKey::useProgListAsFactoryPrisetForAUv3Host, Platform::Value(on), Report::Observer);
}

bool Lumora_Settings::includeArpSettingsInSoundFile() {
    return readBool(SettingKey::includeArpSettingsInSoundFile);
}

void Lumora_Settings::setIncludeArpSettingsInSoundFile(bool on) {
    store(SettingKey::includeArpSettingsInSoundFile, Platform::Value(on), Report::Observer);
}

bool Lumora_Settings::includeMidiMappingInSoundFile() {
    return readBool(SettingKey::includeMidiMappingInSoundFile);
}

void Lumora_Settings::setIncludeMidiMappingInSoundFile(bool on) {
    store(SettingKey::includeMidiMappingInSoundFile, Platform::Value(on), Report::Observer);
}

bool Lumora_Settings::includeMicroTunungInSoundFile() {
    return readBool(SettingKey::includeMicroTunungInSoundFile);
}

void Lumora_Settings::setIncludeMicroTunungInSoundFile(bool on) {
    store(SettingKey::includeMicroTunungInSoundFile, Platform::Value(on), Report::Observer);
}

bool Lumora_Settings::linearKnobMode() {
    return readBool(SettingKey::linearKnobMode);
}

void Lumora_Settings::setLinearKnobMode(bool on) {
    store(SettingKey::linearKnobMode, Platform::Value(on), Report::Observer);
}

float Lumora_Settings::keyboardSize() {
    double size = finiteOr(readDouble(SettingKey::keyboardSize), initKeyboardSize());
    return static_cast<float>(std::clamp(size, double{kMinimumKeyboardSize}, double{kMaximumKeyboardSize}));
}

void Lumora_Settings::setKeyboardSize(float size) {
    float stored = std::isnan(size) ? initKeyboardSize() : std::clamp(size, kMinimumKeyboardSize, kMaximumKeyboardSize);
    store(SettingKey::keyboardSize, Platform::Value(stored), Report::Observer);
}

bool Lumora_Settings::keyboardPianoLayout() {
    return readBool(SettingKey::keyboardPianoLayout);
}

void Lumora_Settings::setKeyboardPianoLayout(bool on) {
    store(SettingKey::keyboardPianoLayout, Platform::Value(on), Report::Observer);
}

std::uint32_t Lumora_Settings::keyboardScrollBarPos() {
    return readUnsigned(SettingKey::keyboardScrollBarPos) == 1 ? 1 : 2;
}

void Lumora_Settings::setKeyboardScrollBarPos(std::uint32_t position) {
    store(SettingKey::keyboardScrollBarPos, Platform::Value(std::uint32_t{position == 1 ? 1u : 2u}), Report::Observer);
}

std::uint32_t Lumora_Settings::keyboardHoldMode() {
    return readUnsigned(SettingKey::keyboardHoldMode);
}

void Lumora_Settings::setKeyboardHoldMode(std::uint32_t mode) {
    store(SettingKey::keyboardHoldMode, Platform::Value(mode), Report::Observer);
}

bool Lumora_Settings::popupInPluginMode() {
    return readBool(SettingKey::popupInPluginMode);
}

void Lumora_Settings::setPopupInPluginMode(bool on) {
    store(SettingKey::popupInPluginMode, Platform::Value(on), Report::Observer);
}
