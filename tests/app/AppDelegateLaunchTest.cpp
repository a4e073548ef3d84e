// The app's start-up and life cycle: the launch in its order, the default preset, the one-time
// conversion of old-version presets, the state backup, a failed open, the Audiobus registration
// by component type, and the rule that stops audio in the background.
#include "app/support/AppShellTestSupport.h"

#include "app/TransportPanel.h"
#include "platform/audio/InterAppAudio.h"
#include "platform/audio/OutputUnit.h"
#include "platform/foundation/Containers.h"
#include "platform/ui/Window.h"

using namespace AppShellTest;
using Platform::AudioComponents::kOutputType;

namespace {

constexpr char const* kDrift = "PITCH_DRIFT";
constexpr float kDefaultDrift = 0.25f;

class AppLaunch : public AppShellFixture {};

} // namespace

TEST_F(AppLaunch, LaunchBuildsTheAppOpensAudioWithTheStoredFormatAndStartsItWhenActive) {
    sharedDefaults()->setDouble("sampleRate", 48000.0);
    sharedDefaults()->setInteger("audioBufferSize", 512);
    auto& app = launch();
    ASSERT_TRUE(app.launched);

    auto& delegate = *app.delegate;
    ASSERT_TRUE(delegate.core());
    ASSERT_NE(delegate.audioIO(), nullptr);
    EXPECT_EQ(delegate.audioEngine(), delegate.core()->audioEngine());
    EXPECT_EQ(delegate.audioIO()->config().name, "Corvane Test");
    EXPECT_EQ(delegate.audioIO()->config().subtype, Platform::fourCharCode("crvt"));
    EXPECT_EQ(delegate.audioIO()->config().version, 3u);
    EXPECT_TRUE(delegate.audioIO()->isOpen());
    EXPECT_EQ(delegate.audioIO()->sampleRate(), 48000.0f);
    EXPECT_EQ(delegate.audioIO()->bufferSize(), 512u);
    // Opening does not start audio: becoming active does.
    EXPECT_FALSE(delegate.audioIO()->isRunning());

    // No default preset in the framework: the sound starts initialized.
    EXPECT_EQ(app.presetName(), "initialized");
    EXPECT_EQ(appDefaults()->integerForKey("convertedVersion"), 2);
    EXPECT_TRUE(appDefaults()->boolForKey("restoreLastState"));

    ASSERT_TRUE(delegate.window());
    EXPECT_EQ(delegate.window()->bounds().size.width, AppShell::Application::mainScreenBounds().size.width);
    EXPECT_EQ(delegate.window()->backgroundColor(), Platform::Color::whiteColor());
    EXPECT_TRUE(app.application->isIdleTimerDisabled());

    app.application->becomeActive();
    EXPECT_TRUE(delegate.audioIO()->isRunning());
    quit();
}

TEST_F(AppLaunch, TheFrameworksDefaultPresetIsTheSoundAtLaunch) {
    {
        auto& first = launch();
        ASSERT_TRUE(first.launched);
        first.set(kDrift, 0.8f);
        writeFile(framework / "Data/Sound/Default.corvane_snd",
                  first.engine().serialize(Lumora::SerializeWhat::SoundPreset, Lumora::SerializeWhere::Document));
        quit();
    }
    appDefaults()->setBool("restoreLastState", false);
    auto& app = launch();
    ASSERT_TRUE(app.launched);
    EXPECT_EQ(app.presetName(), "Default");
    EXPECT_FLOAT_EQ(app.value(kDrift), 0.8f);
}

TEST_F(AppLaunch, OldVersionPresetsAreConvertedAtTheFirstLaunchAndAgainOnlyWhenAsked) {
    std::string const documents = Platform::Containers::documents();
    // An earlier version kept the body of the parameter text only.
    writeFile(documents + "/program/Bass/Old Bass.corvane", "Corvane\tversion:2\nPITCH_DRIFT\t0.900000\n");
    std::string const converted =
        Shared_Information::soundUserDataDirectoryPath() + "/(Old Version Presets)/Bass/Old Bass.corvane_snd";

    auto& first = launch();
    ASSERT_TRUE(first.launched);
    EXPECT_EQ(first.delegate->conversionCount(), 1);
    ASSERT_TRUE(boost::filesystem::exists(converted));
    EXPECT_NE(readFile(converted).find("PITCH_DRIFT\t0.900000"), std::string::npos);
    // The conversion passes every old preset through the engine; the app still starts with its
    // own sound, not with the last converted one.
    EXPECT_FLOAT_EQ(first.value(kDrift), kDefaultDrift);
    EXPECT_EQ(appDefaults()->integerForKey("convertedVersion"), 2);
    quit();

    boost::filesystem::remove(converted);
    auto& second = launch();
    ASSERT_TRUE(second.launched);
    EXPECT_EQ(second.delegate->conversionCount(), 0);
    EXPECT_FALSE(boost::filesystem::exists(converted));
    quit();

    appDefaults()->setBool("convertOldVersionPresets", true);
    auto& third = launch();
    ASSERT_TRUE(third.launched);
    EXPECT_EQ(third.delegate->conversionCount(), 1);
    EXPECT_TRUE(boost::filesystem::exists(converted));
    EXPECT_FALSE(appDefaults()->boolForKey("convertOldVersionPresets"));
    quit();

    auto& fourth = launch();
    EXPECT_EQ(fourth.delegate->conversionCount(), 0);
}

TEST_F(AppLaunch, EnteringTheBackgroundWritesTheBackupThatTheNextLaunchRestores) {
    auto& app = launch();
    ASSERT_TRUE(app.launched);
    app.application->becomeActive();
    app.set(kDrift, 0.7f);
    app.application->enterBackground();
    EXPECT_FALSE(app.delegate->audioIO()->isRunning());
    std::string const backup = readFile(backupPath());
    EXPECT_NE(backup.find("PITCH_DRIFT\t0.700000"), std::string::npos);
    EXPECT_FALSE(boost::filesystem::exists(backupPath() + ".writing"));
    // Termination saves nothing more.
    app.set(kDrift, 0.1f);
    quit();
    EXPECT_EQ(readFile(backupPath()), backup);

    auto& restored = launch();
    ASSERT_TRUE(restored.launched);
    EXPECT_FLOAT_EQ(restored.value(kDrift), 0.7f);
    quit();

    appDefaults()->setBool("restoreLastState", false);
    auto& fresh = launch();
    ASSERT_TRUE(fresh.launched);
    EXPECT_FLOAT_EQ(fresh.value(kDrift), kDefaultDrift);
}

TEST_F(AppLaunch, ADamagedOrMissingBackupLeavesTheDefaultSound) {
    std::string const damaged[] = {
        "",
        "no parts at all",
        std::string("\0\xff\xfe[[Parameters]]\n\x01\x02", 18),
        "[[Parameters]]\nCorvane\tversion:2\nPITCH_DRIFT\tnan\nPITCH_DRIFT\t\nPITCH_DRIFT\t1e999\n",
        "[[Arpeggiator]]\n2\n99999999999999999999\n-\n[[MicroTuning]]\n1\n:\n::\n",
    };
    for (std::string const& text : damaged) {
        writeFile(backupPath(), text);
        auto& app = launch();
        ASSERT_TRUE(app.launched) << text;
        float const drift = app.value(kDrift);
        EXPECT_TRUE(drift >= 0.0f && drift <= 1.0f) << text;
        EXPECT_FALSE(app.delegate->restore_fullState() && text.empty());
        quit();
    }
    // A folder where the backup should be: nothing restored, and the next backup is refused
    // without harm.
    boost::filesystem::remove(backupPath());
    boost::filesystem::create_directories(backupPath() + "/inside");
    auto& app = launch();
    ASSERT_TRUE(app.launched);
    EXPECT_FLOAT_EQ(app.value(kDrift), kDefaultDrift);
    EXPECT_FALSE(app.delegate->backup_fullState());
    quit();
    boost::filesystem::remove_all(backupPath());
}

TEST_F(AppLaunch, AFailedOpenEndsTheLaunchBeforeSettingsStateAudiobusAndWindow) {
    writeFile(backupPath(), "[[Parameters]]\nCorvane\tversion:2\nPITCH_DRIFT\t0.700000\n");
    Platform::AudioUnitServices::failNextCall(Platform::AudioUnitCall::Initialize);
    auto& app = launch();
    EXPECT_FALSE(app.launched);
    ASSERT_TRUE(app.delegate->core());
    ASSERT_NE(app.delegate->audioIO(), nullptr);
    EXPECT_FALSE(app.delegate->audioIO()->isOpen());
    EXPECT_FALSE(app.delegate->window());
    EXPECT_FALSE(app.delegate->audiobusController());
    EXPECT_FALSE(app.application->isIdleTimerDisabled());
    EXPECT_FLOAT_EQ(app.value(kDrift), kDefaultDrift);
    EXPECT_FALSE(appDefaults()->objectForKey("convertedVersion").has_value());
}

TEST_F(AppLaunch, AudiobusPortsFollowTheComponentType) {
    struct Case {
        char const* type;
        bool sender;
        bool filter;
    };
    for (Case const c : {Case{"auri", true, false}, Case{"aurg", true, false}, Case{"aurx", false, true},
                         Case{"aurm", false, true}, Case{"aufx", false, false}}) {
        writeInfo(std::string("AudioComponents = [{name = \"Corvane Test\", type = \"") + c.type +
                  "\", subtype = \"crvt\", manufacturer = \"Tvrk\", version = 3}]");
        testing::internal::CaptureStderr();
        auto& app = launch();
        std::string const errors = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(app.launched) << c.type;
        auto controller = app.delegate->audiobusController();
        ASSERT_TRUE(controller) << c.type;
        EXPECT_FALSE(controller->apiKey().empty());
        EXPECT_EQ(bool(app.delegate->audiobusAudioSenderPort()), c.sender) << c.type;
        EXPECT_EQ(bool(app.delegate->audiobusAudioFilterPort()), c.filter) << c.type;
        EXPECT_EQ(controller->audioSenderPorts().size(), c.sender ? 1u : 0u);
        EXPECT_EQ(controller->audioFilterPorts().size(), c.filter ? 1u : 0u);
        if (c.sender || c.filter) {
            std::shared_ptr<Platform::Audiobus::Port> port = app.delegate->audiobusAudioSenderPort();
            if (!port)
                port = app.delegate->audiobusAudioFilterPort();
            EXPECT_EQ(port->name(), "Corvane Test");
            EXPECT_EQ(port->title(), "Corvane Test");
            EXPECT_EQ(port->audioComponentDescription(),
                      (Platform::Audiobus::ComponentDescription{Lumora_AppDelegate::fourCharCode(c.type),
                                                                Platform::fourCharCode("crvt"),
                                                                Platform::fourCharCode("Tvrk"), 0, 0}));
            EXPECT_EQ(port->audioUnit(), app.delegate->audioUnit());
            EXPECT_EQ(controller->stateIODelegate(), app.delegate.get());
            EXPECT_EQ(errors.find("Audiobus"), std::string::npos);
        } else {
            EXPECT_NE(errors.find("Audiobus Initialization Error Occered: Unknown AudioComponents type was set.\n"),
                      std::string::npos);
            // The set-up ended there: no state delegate, but the window is shown.
            EXPECT_EQ(controller->stateIODelegate(), nullptr);
        }
        EXPECT_TRUE(app.delegate->window());
        quit();
    }
}

TEST_F(AppLaunch, WithoutAudioComponentsTheLibraryComponentOpensAndAudiobusIsSkipped) {
    writeInfo("");
    testing::internal::CaptureStderr();
    auto& app = launch();
    std::string const errors = testing::internal::GetCapturedStderr();
    ASSERT_TRUE(app.launched);
    auto const config = app.delegate->audioIoConfiguration();
    EXPECT_EQ(config.name, "Lumora");
    EXPECT_EQ(config.type, Platform::fourCharCode("auri"));
    EXPECT_EQ(config.subtype, Platform::fourCharCode("lmra"));
    EXPECT_EQ(config.manufacturer, Platform::fourCharCode("Tvrk"));
    EXPECT_EQ(config.version, 1u);
    EXPECT_NE(errors.find("Audiobus Initialization Error Occered: AudioComponents section was not found in pinfo.list.\n"),
              std::string::npos);
    EXPECT_FALSE(app.delegate->audiobusController());
    EXPECT_TRUE(app.delegate->window());
}

TEST(AppDelegateCodes, OnlyFourBytesMakeACode) {
    EXPECT_EQ(Lumora_AppDelegate::fourCharCode("auri"), 0x61757269u);
    EXPECT_EQ(Lumora_AppDelegate::fourCharCode("aur"), 0u);
    EXPECT_EQ(Lumora_AppDelegate::fourCharCode("aurix"), 0u);
    EXPECT_EQ(Lumora_AppDelegate::fourCharCode(""), 0u);
    EXPECT_EQ(Lumora_AppDelegate::fourCharCode("\xff\x01\x02\x03"), 0xff010203u);
}

TEST_F(AppLaunch, TheBackgroundKeepsAudioOnlyForBackgroundAudioAHostOrAudiobus) {
    auto& app = launch();
    ASSERT_TRUE(app.launched);
    auto& io = *app.delegate->audioIO();
    auto controller = app.delegate->audiobusController();
    ASSERT_TRUE(controller);

    auto background = [&] {
        app.application->becomeActive();
        EXPECT_TRUE(io.isRunning());
        boost::filesystem::remove(backupPath());
        app.application->enterBackground();
        // Whatever happens to audio, the backup is written.
        EXPECT_TRUE(boost::filesystem::exists(backupPath()));
        return io.isRunning();
    };

    EXPECT_FALSE(background());

    sharedDefaults()->setBool("backgroundAudio", true);
    EXPECT_TRUE(background());
    sharedDefaults()->setBool("backgroundAudio", false);

    {
        Platform::InterAppAudioHost host;
        ASSERT_TRUE(host.connect({Platform::fourCharCode("auri"), Platform::fourCharCode("crvt"),
                                  Platform::fourCharCode("Tvrk"), 0, 0}));
        EXPECT_TRUE(background());
    }

    controller->sessionSetConnected(true);
    EXPECT_TRUE(background());
    // Audiobus lets go while the app is in the background: audio stops now.
    controller->sessionSetConnected(false);
    EXPECT_FALSE(io.isRunning());

    // The same report while active does nothing.
    app.application->becomeActive();
    controller->sessionSetConnected(true);
    controller->sessionSetConnected(false);
    EXPECT_TRUE(io.isRunning());

    // Termination closes the audio I/O.
    app.application->terminate();
    EXPECT_FALSE(io.isOpen());
}

TEST_F(AppLaunch, AudiobusSavesAndLoadsTheWholeStateAndSwitchesCoreMidi) {
    auto& app = launch();
    ASSERT_TRUE(app.launched);
    auto controller = app.delegate->audiobusController();
    ASSERT_TRUE(controller);

    app.set(kDrift, 0.6f);
    auto saved = controller->sessionSaveState();
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1u);
    ASSERT_NE(saved->at("full_state_backup").string(), nullptr);
    EXPECT_NE(saved->at("full_state_backup").string()->find("PITCH_DRIFT\t0.600000"), std::string::npos);

    app.set(kDrift, 0.3f);
    std::string response = "untouched";
    EXPECT_TRUE(controller->sessionLoadState(*saved, &response));
    EXPECT_FLOAT_EQ(app.value(kDrift), 0.6f);
    EXPECT_EQ(response, "untouched");

    // Without a string under the key nothing is loaded.
    app.set(kDrift, 0.3f);
    controller->sessionLoadState({{"full_state_backup", Platform::Value(12)}});
    controller->sessionLoadState({{"other", Platform::Value("[[Parameters]]\nCorvane\tversion:2\nPITCH_DRIFT\t0.9\n")}});
    EXPECT_FLOAT_EQ(app.value(kDrift), 0.3f);

    testing::internal::CaptureStderr();
    EXPECT_TRUE(controller->sessionEnableReceivingCoreMIDI(false));
    EXPECT_TRUE(controller->sessionEnableReceivingCoreMIDI(true));
    std::string const errors = testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find("disableCoreMIDI:1\n"), std::string::npos);
    EXPECT_NE(errors.find("disableCoreMIDI:0\n"), std::string::npos);
    // Without a transport panel the request to show it does nothing.
    EXPECT_TRUE(controller->sessionShowInterAppAudioTransportPanel(true));
}

namespace {

struct FakePanel : AppShell::TransportPanel {
    void show(bool visible) override { shown.push_back(visible); }
    std::vector<bool> shown;
};

} // namespace

TEST_F(AppLaunch, TheTransportPanelIsMadeAtTheFirstActivationAndAddedToTheWindowOnce) {
    int made = 0;
    Platform::OutputUnit* madeFor = nullptr;
    AppShell::TransportPanel::setFactory(
        [&](Platform::OutputUnit* unit, std::shared_ptr<Platform::Audiobus::Controller> const& audiobus) {
            ++made;
            madeFor = unit;
            EXPECT_TRUE(audiobus);
            return std::make_shared<FakePanel>();
        });
    auto& app = launch();
    ASSERT_TRUE(app.launched);
    EXPECT_FALSE(app.delegate->iaaTransportView());

    app.application->becomeActive();
    auto panel = std::dynamic_pointer_cast<FakePanel>(app.delegate->iaaTransportView());
    ASSERT_TRUE(panel);
    EXPECT_EQ(madeFor, app.delegate->audioUnit());
    EXPECT_TRUE(panel->hasMyself(app.delegate->window().get()));
    auto const subviews = app.delegate->window()->subviews().size();

    app.application->enterBackground();
    app.application->becomeActive();
    EXPECT_EQ(made, 1);
    EXPECT_EQ(app.delegate->window()->subviews().size(), subviews);

    app.delegate->audiobusController()->sessionShowInterAppAudioTransportPanel(true);
    app.delegate->audiobusController()->sessionShowInterAppAudioTransportPanel(false);
    EXPECT_EQ(panel->shown, (std::vector<bool>{true, false}));
    AppShell::TransportPanel::setFactory({});
}
