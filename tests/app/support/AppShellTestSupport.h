#pragma once

// Shared pieces of the app delegate tests: a program with its own data home, main bundle (whose
// information property list a test writes), framework bundle and temporary directory, and a
// launch of the app as the system does it. Header-only.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include <boost/filesystem/operations.hpp>

#include "app/AppDelegate.h"
#include "app/Application.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/ParameterObserver.h"
#include "model/core/Lumora_Core.h"
#include "model/framework/Shared_Information.h"
#include "platform/audio/AudioSession.h"
#include "platform/audio/AudioUnitServices.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/TemporaryDirectory.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/foundation/support/ScratchFolder.h"
#include "platform/midi/MidiNetworkSession.h"

namespace AppShellTest {

inline void writeFile(std::string const& path, std::string const& text) {
    boost::filesystem::create_directories(boost::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

inline std::string readFile(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One temporary directory for the whole test program, so that the engine's wave-table cache is
// made once; the state backup in it is removed before every test.
inline std::string const& sharedTemporaryDirectory() {
    static ScratchFolder folder;
    static bool set = (::setenv("CORVANE_TMPDIR", folder.path().c_str(), 1),
                       ::setenv("CORVANE_STATE_HOME", folder.path().c_str(), 1), true);
    (void)set;
    return folder.path();
}

inline constexpr char const* kTestComponent =
    R"(AudioComponents = [{name = "Corvane Test", type = "auri", subtype = "crvt", manufacturer = "Tvrk", version = 3}])";

// The app as the system starts it.
struct LaunchedApp {
    std::shared_ptr<AppShell::Application> application;
    std::shared_ptr<AppDelegate> delegate;
    bool launched = false;

    Lumora::iAudioEngine& engine() const { return *delegate->core()->audioEngine(); }
    Lumora::Parameter& parameter(std::string const& key) const {
        Lumora::Parameter* p = engine().parameterManager().getParameter(key);
        if (p == nullptr)
            throw std::runtime_error("no parameter " + key);
        return *p;
    }
    float value(std::string const& key) const { return parameter(key).normalizedValue(); }
    void set(std::string const& key, float value) const {
        parameter(key).setNormalizedValue(value, Lumora::ParameterObserver::Token::ViewController, Lumora::AutomationEventType::None);
    }
    std::string presetName() const { return engine().soundPresetFileManager()->presetName(); }
};

class AppShellFixture : public ::testing::Test {
protected:
    AppShellFixture() {
        sharedTemporaryDirectory();
        ::setenv("CORVANE_FRAMEWORK_BUNDLE", framework.path().c_str(), 1);
        writeInfo(kTestComponent);
    }
    ~AppShellFixture() override {
        ::unsetenv("CORVANE_MAIN_BUNDLE");
        ::unsetenv("CORVANE_FRAMEWORK_BUNDLE");
    }
    void SetUp() override {
        boost::system::error_code ignored;
        boost::filesystem::remove(backupPath(), ignored);
        Platform::AudioSession::sharedInstance().reset();
        for (int c = 0; c < static_cast<int>(Platform::AudioUnitCall::Count); ++c)
            Platform::AudioUnitServices::failNextCall(static_cast<Platform::AudioUnitCall>(c), 0);
        Platform::RunLoop::main().runOnce();
    }
    void TearDown() override {
        apps.clear();
        Platform::MidiNetworkSession::defaultSession().setEnabled(false);
        Platform::AudioSession::sharedInstance().reset();
        Platform::RunLoop::main().runOnce();
    }

    // The main bundle's information property list: an identifier and the given lines. The
    // program reads a bundle's list once, so each list goes into a bundle folder of its own.
    void writeInfo(std::string const& lines) {
        std::string const folder = bundle / ("App" + std::to_string(++bundles) + ".app");
        writeFile(folder + "/Info.txt", "CFBundleIdentifier = \"com.corvane.test\"\n" + lines + "\n");
        ::setenv("CORVANE_MAIN_BUNDLE", folder.c_str(), 1);
    }

    static std::string backupPath() { return Platform::temporaryDirectory() + "full_state_backup"; }
    static std::shared_ptr<Platform::UserDefaults> appDefaults() { return Platform::UserDefaults::standard(); }
    static std::shared_ptr<Platform::UserDefaults> sharedDefaults() {
        return Shared_Information::sharedAppUserDefaults();
    }

    // A new app, launched; the test's earlier apps stay alive unless released.
    LaunchedApp& launch() {
        LaunchedApp app;
        app.application = Platform::newObject<AppShell::Application>();
        app.delegate = Platform::newObject<AppDelegate>();
        app.application->setDelegate(app.delegate);
        app.launched = app.application->launch();
        apps.push_back(std::move(app));
        return apps.back();
    }
    // Ends the most recent app as the system ends it.
    void quit() {
        if (apps.empty())
            return;
        apps.back().application->terminate();
        apps.pop_back();
        Platform::RunLoop::main().runOnce();
    }

    ScratchFolder home{true};
    ScratchFolder bundle;
    int bundles = 0;
    ScratchFolder framework;
    std::vector<LaunchedApp> apps;
};

} // namespace AppShellTest
