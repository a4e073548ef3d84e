#pragma once

#include "model/settings/Lumora_Setting_Observer.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/UserDefaults.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Lumora::SettingKey {
inline constexpr char const* bootCounter = "bootCounter";
inline constexpr char const* convertedVersion = "convertedVersion";
inline constexpr char const* curSndPresetDir = "curSndPresetDir";
inline constexpr char const* syncMethod = "syncMethod";
inline constexpr char const* tempo = "Tempo";
inline constexpr char const* timingShift = "TimingShift";
inline constexpr char const* midiOmni = "midiOmni";
inline constexpr char const* midiChannel = "midiChannel";
inline constexpr char const* unusedMidiInPorts = "unusedMidiInPorts";
inline constexpr char const* midiMapTakeover = "midiMapTakeover";
inline constexpr char const* sampleRate = "sampleRate";
inline constexpr char const* audioBufferSize = "audioBufferSize";
inline constexpr char const* backgroundAudio = "backgroundAudio";
inline constexpr char const* useProgListAsFactoryPrisetForAUv3Host = "useProgListAsFactoryPrisetForAUv3Host";
inline constexpr char const* includeArpSettingsInSoundFile = "includeArpSettingsInSoundFile";
inline constexpr char const* includeMidiMappingInSoundFile = "includeMidiMappingInSoundFile";
inline constexpr char const* includeMicroTunungInSoundFile = "includeMicroTunungInSoundFile";
inline constexpr char const* linearKnobMode = "linearKnobMode";
inline constexpr char const* keyboardSize = "keyboardSize";
inline constexpr char const* keyboardPianoLayout = "keyboardPianoLayout";
inline constexpr char const* keyboardScrollBarPos = "keyboardScrollBarPos";
inline constexpr char const* keyboardHoldMode = "keyboardHoldMode";
inline constexpr char const* popupInPluginMode = "popupInPluginMode";
} // namespace Lumora::SettingKey

// The user's settings, each one key of a user-defaults store with a registered default. Getters
// read the store every time (so a value another program stored is seen) and keep every value
// within what its users can take; setters write and synchronize the store at once, and most then
// tell the observer the key. The store's change notification, whatever changed, is reported to
// the observer as "TimingShift": that is how a changed timing shift reaches the model.
//
// The base class has no store: every getter answers zero, NO or nothing before its limits, and
// every setter only notifies. Settings (the product's class) chooses the shared store.
class Lumora_Settings : public Platform::Object {
public:
    Lumora_Settings() = default;
    ~Lumora_Settings() override;

    // Registers the defaults, starts observing the store's changes, counts the boot.
    bool init() override;

    std::shared_ptr<Lumora_Setting_Observer> observer() const { return observer_.lock(); }
    void setObserver(std::weak_ptr<Lumora_Setting_Observer> observer) { observer_ = std::move(observer); }

    virtual std::shared_ptr<Platform::UserDefaults> userDefaults();
    virtual Platform::Dictionary defaultSettings();
    virtual float initKeyboardSize();
    virtual bool initKeyboardPianoLayout();
    virtual std::uint32_t initKeyboardScrollBarPos();

    void userDefaultChanged(Platform::Notification const& notification);

    std::uint32_t bootCounter();
    std::uint32_t incBootCounter();

    std::uint32_t convertedVersion();
    void setConvertedVersion(std::uint32_t version);

    std::string curSndPresetDir();
    void setCurSndPresetDir(std::string const& directory);

    std::uint32_t syncMethod();
    void setSyncMethod(std::uint32_t method);

    double tempo();   // 20..999 beats per minute
    void setTempo(double tempo);

    float timingShift();   // -1..1
    void setTimingShift(float shift);

    bool midiOmni();
    void setMidiOmni(bool omni);

    std::int32_t midiChannel();   // 0..15
    void setMidiChannel(std::int32_t channel);

    std::vector<std::int32_t> unusedMidiInPorts();
    void setUnusedMidiInPorts(std::vector<std::int32_t> const& uniqueIds);

    std::uint32_t midiMapTakeoverMode();
    void setMidiMapTakeoverMode(std::uint32_t mode);

    float sampleRate();
    void setSampleRate(float rate);

    std::uint32_t audioBufferSize();
    void setAudioBufferSize(std::uint32_t frames);

    bool backgroundAudio();
    void setBackgroundAudio(bool on);

    bool useProgListAsFactoryPrisetForAUv3Host();
    void setUseProgListAsFactoryPrisetForAUv3Host(bool on);

    bool includeArpSettingsInSoundFile();
    void setIncludeArpSettingsInSoundFile(bool on);

    bool includeMidiMappingInSoundFile();
    void setIncludeMidiMappingInSoundFile(bool on);

    bool includeMicroTunungInSoundFile();
    void setIncludeMicroTunungInSoundFile(bool on);

    bool linearKnobMode();
    void setLinearKnobMode(bool on);

    float keyboardSize();   // 30..100
    void setKeyboardSize(float size);

    bool keyboardPianoLayout();
    void setKeyboardPianoLayout(bool on);

    std::uint32_t keyboardScrollBarPos();   // 1 or 2
    void setKeyboardScrollBarPos(std::uint32_t position);

    std::uint32_t keyboardHoldMode();
    void setKeyboardHoldMode(std::uint32_t mode);

    bool popupInPluginMode();
    void setPopupInPluginMode(bool on);

private:
    enum class Report { Observer, Silent };

    void store(char const* key, Platform::Value value, Report report);
    bool readBool(char const* key);
    std::uint32_t readUnsigned(char const* key);
    double readDouble(char const* key);

    std::weak_ptr<Lumora_Setting_Observer> observer_;
    Platform::NotificationCenter::ObserverToken defaultsObservation_ = 0;
};
