#include "model/framework/Shared_Information.h"
#include "model/settings/Settings.h"

#include "platform/foundation/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Lumora;
using Platform::Value;

namespace {

class RecordingObserver : public Lumora_Setting_Observer {
public:
    void onChangeSettingWithKey(std::string const& key) override {
        keys.push_back(key);
        if (onReport)
            onReport(key);
    }
    std::vector<std::string> keys;
    std::function<void(std::string const&)> onReport;
};

// Each test is a fresh installation: its own data home, so its own shared store.
class SettingsTest : public ::testing::Test {
protected:
    SettingsTest() { ::setenv("CORVANE_UI_IDIOM", "pad", 1); }
    ~SettingsTest() override { ::unsetenv("CORVANE_UI_IDIOM"); }

    std::shared_ptr<Settings> makeSettings() {
        auto settings = Platform::newObject<Settings>();
        settings->setObserver(observer);
        return settings;
    }
    // What another program (or a damaged file) leaves in the shared store.
    void storeFromOutside(char const* key, Value value) {
        Platform::UserDefaults outside(Shared_Information::sharedAppUserDefaults()->filePath());
        outside.setObject(key, std::move(value));
    }

    ScratchFolder home{true};
    std::shared_ptr<RecordingObserver> observer = std::make_shared<RecordingObserver>();
};

double const notANumber = std::numeric_limits<double>::quiet_NaN();
double const infinity = std::numeric_limits<double>::infinity();

// Every setting as a number, so one table covers them all.
struct Reading {
    char const* key;
    std::function<double(Lumora_Settings&)> read;
};

std::vector<Reading> const readings{
    {SettingKey::bootCounter, [](Lumora_Settings& s) { return s.bootCounter(); }},
    {SettingKey::convertedVersion, [](Lumora_Settings& s) { return s.convertedVersion(); }},
    {SettingKey::syncMethod, [](Lumora_Settings& s) { return s.syncMethod(); }},
    {SettingKey::tempo, [](Lumora_Settings& s) { return s.tempo(); }},
    {SettingKey::timingShift, [](Lumora_Settings& s) { return s.timingShift(); }},
    {SettingKey::midiOmni, [](Lumora_Settings& s) { return s.midiOmni(); }},
    {SettingKey::midiChannel, [](Lumora_Settings& s) { return s.midiChannel(); }},
    {SettingKey::midiMapTakeover, [](Lumora_Settings& s) { return s.midiMapTakeoverMode(); }},
    {SettingKey::sampleRate, [](Lumora_Settings& s) { return s.sampleRate(); }},
    {SettingKey::audioBufferSize, [](Lumora_Settings& s) { return s.audioBufferSize(); }},
    {SettingKey::backgroundAudio, [](Lumora_Settings& s) { return s.backgroundAudio(); }},
    {SettingKey::useProgListAsFactoryPrisetForAUv3Host,
     [](Lumora_Settings& s) { return s.useProgListAsFactoryPrisetForAUv3Host(); }},
    {SettingKey::includeArpSettingsInSoundFile, [](Lumora_Settings& s) { return s.includeArpSettingsInSoundFile(); }},
    {SettingKey::includeMidiMappingInSoundFile, [](Lumora_Settings& s) { return s.includeMidiMappingInSoundFile(); }},
    {SettingKey::includeMicroTunungInSoundFile, [](Lumora_Settings& s) { return s.includeMicroTunungInSoundFile(); }},
    {SettingKey::linearKnobMode, [](Lumora_Settings& s) { return s.linearKnobMode(); }},
    {SettingKey::keyboardSize, [](Lumora_Settings& s) { return s.keyboardSize(); }},
    {SettingKey::keyboardPianoLayout, [](Lumora_Settings& s) { return s.keyboardPianoLayout(); }},
    {SettingKey::keyboardScrollBarPos, [](Lumora_Settings& s) { return s.keyboardScrollBarPos(); }},
    {SettingKey::keyboardHoldMode, [](Lumora_Settings& s) { return s.keyboardHoldMode(); }},
    {SettingKey::popupInPluginMode, [](Lumora_Settings& s) { return s.popupInPluginMode(); }},
};

double readKey(Lumora_Settings& settings, std::string const& key) {
    for (auto const& reading : readings) {
        if (key == reading.key)
            return reading.read(settings);
    }
    ADD_FAILURE() << "no reading for " << key;
    return 0;
}

} // namespace

TEST_F(SettingsTest, AFreshStoreAnswersEveryDefaultForPadAndPhone) {
    struct Default {
        char const* key;
        double pad, phone;
    };
    Default const defaults[] = {
        {SettingKey::bootCounter, 1, 2},   // this creation counted (the phone's is the second)
        {SettingKey::convertedVersion, 0, 0},
        {SettingKey::syncMethod, 0, 0},
        {SettingKey::tempo, 120, 120},
        {SettingKey::timingShift, 0, 0},
        {SettingKey::midiOmni, 1, 1},
        {SettingKey::midiChannel, 0, 0},
        {SettingKey::midiMapTakeover, 0, 0},
        {SettingKey::sampleRate, 44100, 44100},
        {SettingKey::audioBufferSize, 512, 512},
        {SettingKey::backgroundAudio, 0, 0},
        {SettingKey::useProgListAsFactoryPrisetForAUv3Host, 0, 0},
        {SettingKey::includeArpSettingsInSoundFile, 1, 1},
        {SettingKey::includeMidiMappingInSoundFile, 0, 0},
        {SettingKey::includeMicroTunungInSoundFile, 0, 0},
        {SettingKey::linearKnobMode, 1, 1},
        {SettingKey::keyboardSize, 50, 45},
        {SettingKey::keyboardPianoLayout, 1, 1},
        {SettingKey::keyboardScrollBarPos, 2, 1},
        {SettingKey::keyboardHoldMode, 0, 0},
        {SettingKey::popupInPluginMode, 1, 1},
    };
    ASSERT_EQ(std::size(defaults), readings.size());

    auto pad = makeSettings();
    for (auto const& d : defaults)
        EXPECT_EQ(readKey(*pad, d.key), d.pad) << d.key;
    EXPECT_EQ(pad->curSndPresetDir(), "");
    EXPECT_TRUE(pad->unusedMidiInPorts().empty());
    EXPECT_EQ(pad->defaultSettings().size(), 23u);

    // Defaults are registered, never stored: only the boot counter is in the file.
    Platform::UserDefaults file(Shared_Information::sharedAppUserDefaults()->filePath());
    auto stored = file.dictionaryRepresentation();
    EXPECT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored.count(SettingKey::bootCounter), 1u);

    pad.reset();
    ::setenv("CORVANE_UI_IDIOM", "phone", 1);
    auto phone = makeSettings();
    for (auto const& d : defaults)
        EXPECT_EQ(readKey(*phone, d.key), d.phone) << d.key;
}

TEST_F(SettingsTest, StoredValuesReadWithinTheirLimits) {
    struct Case {
        char const* key;
        Value stored;
        double reads;
    };
    Case const cases[] = {
        {SettingKey::keyboardSize, Value(10.0), 30},
        {SettingKey::keyboardSize, Value(500.0), 100},
        {SettingKey::keyboardSize, Value(64.5), 64.5},
        {SettingKey::keyboardSize, Value(notANumber), 50},   // the pad's default
        {SettingKey::keyboardScrollBarPos, Value(0), 2},
        {SettingKey::keyboardScrollBarPos, Value(7), 2},
        {SettingKey::keyboardScrollBarPos, Value(1), 1},
        {SettingKey::keyboardScrollBarPos, Value(2), 2},
        {SettingKey::midiChannel, Value(20), 15},
        {SettingKey::midiChannel, Value(-3), 0},
        {SettingKey::midiChannel, Value(9), 9},
        {SettingKey::timingShift, Value(1.5), 1},
        {SettingKey::timingShift, Value(-2.0), -1},
        {SettingKey::timingShift, Value(-0.25), -0.25},
        {SettingKey::timingShift, Value(notANumber), 0},
        {SettingKey::tempo, Value(133.5), 133.5},
        {SettingKey::tempo, Value(5.0), 20},
        {SettingKey::tempo, Value(5000.0), 999},
        {SettingKey::tempo, Value(notANumber), 120},
        {SettingKey::tempo, Value(-infinity), 120},
        {SettingKey::sampleRate, Value(48000.0), 48000},
        {SettingKey::sampleRate, Value(0.0), 44100},
        {SettingKey::sampleRate, Value(-1.0), 44100},
        {SettingKey::sampleRate, Value(infinity), 44100},
        {SettingKey::sampleRate, Value(1e300), 44100},
        {SettingKey::audioBufferSize, Value(256), 256},
        {SettingKey::audioBufferSize, Value(0), 512},
        {SettingKey::audioBufferSize, Value(-5), 512},
        {SettingKey::syncMethod, Value(-1), 0},
        {SettingKey::syncMethod, Value(std::int64_t{1} << 40), 4294967295.0},
        {SettingKey::keyboardHoldMode, Value(1.9), 1},
        {SettingKey::midiOmni, Value(false), 0},
        {SettingKey::midiOmni, Value("NO"), 0},
        {SettingKey::linearKnobMode, Value(0), 0},
        {SettingKey::popupInPluginMode, Value(Platform::Array{}), 0},   // the wrong kind reads NO
    };
    auto settings = makeSettings();
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " = " + Platform::PropertyListText::writeValue(c.stored));
        storeFromOutside(c.key, c.stored);
        EXPECT_FLOAT_EQ(readKey(*settings, c.key), c.reads);
        // The stored value itself is left as it is.
        auto kept = Shared_Information::sharedAppUserDefaults()->objectForKey(c.key);
        ASSERT_TRUE(kept);
        EXPECT_EQ(Platform::PropertyListText::writeValue(*kept), Platform::PropertyListText::writeValue(c.stored));
    }

    storeFromOutside(SettingKey::unusedMidiInPorts,
                     Platform::Array{Value(5), Value("not an id"), Value(3e10), Value(-7)});
    EXPECT_EQ(settings->unusedMidiInPorts(), (std::vector<std::int32_t>{5, 2147483647, -7}));
    storeFromOutside(SettingKey::unusedMidiInPorts, Value("not a list"));
    EXPECT_TRUE(settings->unusedMidiInPorts().empty());
    storeFromOutside(SettingKey::curSndPresetDir, Value(12));
    EXPECT_EQ(settings->curSndPresetDir(), "");
}

TEST_F(SettingsTest, SettersStoreAndSynchronizeBeforeTheyReport) {
    struct Setter {
        char const* key;
        std::function<void(Lumora_Settings&)> set;
        double reads;
        bool reports;
    };
    Setter const setters[] = {
        {SettingKey::convertedVersion, [](Lumora_Settings& s) { s.setConvertedVersion(2); }, 2, false},
        {SettingKey::syncMethod, [](Lumora_Settings& s) { s.setSyncMethod(3); }, 3, true},
        {SettingKey::tempo, [](Lumora_Settings& s) { s.setTempo(97.25); }, 97.25, true},
        {SettingKey::timingShift, [](Lumora_Settings& s) { s.setTimingShift(0.25f); }, 0.25, false},
        {SettingKey::midiOmni, [](Lumora_Settings& s) { s.setMidiOmni(false); }, 0, true},
        {SettingKey::midiChannel, [](Lumora_Settings& s) { s.setMidiChannel(20); }, 15, true},
        {SettingKey::midiMapTakeover, [](Lumora_Settings& s) { s.setMidiMapTakeoverMode(1); }, 1, true},
        {SettingKey::sampleRate, [](Lumora_Settings& s) { s.setSampleRate(48000.0f); }, 48000, true},
        {SettingKey::audioBufferSize, [](Lumora_Settings& s) { s.setAudioBufferSize(256); }, 256, true},
        {SettingKey::backgroundAudio, [](Lumora_Settings& s) { s.setBackgroundAudio(true); }, 1, true},
        {SettingKey::useProgListAsFactoryPrisetForAUv3Host,
         [](Lumora_Settings& s) { s.setUseProgListAsFactoryPrisetForAUv3Host(true); }, 1, true},
        {SettingKey::includeArpSettingsInSoundFile,
         [](Lumora_Settings& s) { s.setIncludeArpSettingsInSoundFile(false); }, 0, true},
        {SettingKey::includeMidiMappingInSoundFile,
         [](Lumora_Settings& s) { s.setIncludeMidiMappingInSoundFile(true); }, 1, true},
        {SettingKey::includeMicroTunungInSoundFile,
         [](Lumora_Settings& s) { s.setIncludeMicroTunungInSoundFile(true); }, 1, true},
        {SettingKey::linearKnobMode, [](Lumora_Settings& s) { s.setLinearKnobMode(false); }, 0, true},
        {SettingKey::keyboardSize, [](Lumora_Settings& s) { s.setKeyboardSize(10.0f); }, 30, true},
        {SettingKey::keyboardPianoLayout, [](Lumora_Settings& s) { s.setKeyboardPianoLayout(false); }, 0, true},
        {SettingKey::keyboardScrollBarPos, [](Lumora_Settings& s) { s.setKeyboardScrollBarPos(5); }, 2, true},
        {SettingKey::keyboardHoldMode, [](Lumora_Settings& s) { s.setKeyboardHoldMode(1); }, 1, true},
        {SettingKey::popupInPluginMode, [](Lumora_Settings& s) { s.setPopupInPluginMode(false); }, 0, true},
    };
    auto settings = makeSettings();
    std::string const path = Shared_Information::sharedAppUserDefaults()->filePath();
    for (auto const& setter : setters) {
        SCOPED_TRACE(setter.key);
        observer->keys.clear();
        bool onDiskWhenReported = false;
        observer->onReport = [&](std::string const& key) {
            if (key != setter.key)
                return;
            Platform::UserDefaults other(path);   // as another program reads the file
            onDiskWhenReported = other.objectForKey(setter.key).has_value();
        };
        setter.set(*settings);
        EXPECT_FLOAT_EQ(readKey(*settings, setter.key), setter.reads);
        // The store's change always reaches the observer as "TimingShift"; the setter then
        // reports its own key, except the silent ones.
        std::vector<std::string> expected{SettingKey::timingShift};
        if (setter.reports)
            expected.push_back(setter.key);
        EXPECT_EQ(observer->keys, expected);
        if (setter.reports) {
            EXPECT_TRUE(onDiskWhenReported);
        }
    }
    observer->onReport = nullptr;

    // The keyboard size is limited before it is stored, the MIDI channel only when read.
    Platform::UserDefaults file(path);
    EXPECT_EQ(file.doubleForKey(SettingKey::keyboardSize), 30.0);
    EXPECT_EQ(file.integerForKey(SettingKey::midiChannel), 20);
    EXPECT_EQ(file.integerForKey(SettingKey::keyboardScrollBarPos), 2);

    observer->keys.clear();
    settings->setCurSndPresetDir("User:/Bass");
    settings->setUnusedMidiInPorts({-12, 99});
    EXPECT_EQ(settings->curSndPresetDir(), "User:/Bass");
    EXPECT_EQ(settings->unusedMidiInPorts(), (std::vector<std::int32_t>{-12, 99}));
    EXPECT_EQ(observer->keys, (std::vector<std::string>{SettingKey::timingShift, SettingKey::timingShift,
                                                        SettingKey::unusedMidiInPorts}));
}

TEST_F(SettingsTest, AnyChangeOfTheDefaultsReportsTheTimingShiftOnTheChangingThread) {
    auto settings = makeSettings();
    std::thread::id reportedOn;
    observer->onReport = [&](std::string const&) { reportedOn = std::this_thread::get_id(); };
    std::thread other([] {
        // Another store of the process, for example the app's own defaults.
        ScratchFolder folder;
        Platform::UserDefaults(folder / "own.defaults").setBool("restoreLastState", false);
    });
    auto otherId = other.get_id();
    other.join();
    EXPECT_EQ(observer->keys, std::vector<std::string>{SettingKey::timingShift});
    EXPECT_EQ(reportedOn, otherId);

    // With no observer nothing is reported; a vanished observer is not called.
    observer->keys.clear();
    settings->setObserver({});
    settings->setTempo(100);
    EXPECT_TRUE(observer->keys.empty());
    settings->setObserver(observer);
    observer.reset();
    settings->setTempo(110);
    EXPECT_EQ(settings->tempo(), 110);
}

TEST_F(SettingsTest, EveryCreationCountsOneBootInEitherProgram) {
    auto first = makeSettings();
    EXPECT_EQ(first->bootCounter(), 1u);
    auto second = makeSettings();
    EXPECT_EQ(first->bootCounter(), 2u);

    // The other program starts, counts its boot and changes the tempo; this one sees both.
    pid_t child = ::fork();
    if (child == 0) {
        auto theirs = Platform::newObject<Settings>();
        theirs->setTempo(87);
        ::_exit(theirs->bootCounter() == 3 ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(first->bootCounter(), 3u);
    EXPECT_EQ(first->tempo(), 87);
    EXPECT_EQ(first->incBootCounter(), 4u);
}

TEST_F(SettingsTest, SettingsThatAreGoneHearNothing) {
    auto settings = makeSettings();
    settings.reset();
    observer->keys.clear();
    Shared_Information::sharedAppUserDefaults()->setInteger("anything", 1);
    EXPECT_TRUE(observer->keys.empty());
}

TEST(SettingsWithoutStore, AnswersZeroWithinLimitsAndOnlyReports) {
    ::setenv("CORVANE_UI_IDIOM", "phone", 1);
    auto settings = Platform::newObject<Lumora_Settings>();
    ASSERT_TRUE(settings);
    auto observer = std::make_shared<RecordingObserver>();
    settings->setObserver(observer);
    EXPECT_EQ(settings->bootCounter(), 0u);
    EXPECT_EQ(settings->incBootCounter(), 1u);   // counted, but nowhere kept
    EXPECT_EQ(settings->bootCounter(), 0u);
    EXPECT_FALSE(settings->midiOmni());
    EXPECT_EQ(settings->midiChannel(), 0);
    EXPECT_EQ(settings->timingShift(), 0.0f);
    EXPECT_EQ(settings->keyboardSize(), 30.0f);
    EXPECT_EQ(settings->keyboardScrollBarPos(), 2u);
    EXPECT_EQ(settings->sampleRate(), 0.0f);
    EXPECT_EQ(settings->audioBufferSize(), 0u);
    EXPECT_EQ(settings->tempo(), 20.0);   // zero lies below the clock's range
    EXPECT_EQ(settings->curSndPresetDir(), "");
    settings->setMidiChannel(4);
    settings->setTimingShift(0.5f);
    EXPECT_EQ(settings->midiChannel(), 0);
    EXPECT_EQ(observer->keys, std::vector<std::string>{SettingKey::midiChannel});
    EXPECT_EQ(settings->defaultSettings().at(SettingKey::keyboardSize), Value(45.0f));
    ::unsetenv("CORVANE_UI_IDIOM");
}
