#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/Application.h"
#include "app/AudioIO_for_iOS_App.h"
#include "app/URL.h"
#include "platform/audiobus/AudiobusController.h"
#include "platform/ui/Responder.h"

class Lumora_Core;
class Lumora_Settings;

namespace Lumora {
class iAudioEngine;
class iAudioIO;
} // namespace Lumora

namespace Platform {
class OutputUnit;
class Window;
} // namespace Platform

namespace AppShell {
class TransportPanel;
}

// The standalone app's delegate: builds the program at launch (model object, audio I/O, settings,
// default preset, restored state, Audiobus registration, window), runs audio while the app is
// active and stops it in the background unless something still needs it, keeps a backup of the
// whole engine state that every entry into the background rewrites, saves and loads that state
// for Audiobus, and takes documents that other apps hand over. The product's subclass supplies
// the model object and what is its own (AppDelegate).
//
// Threads: everything on the main thread, except the Audiobus state methods and blocks and the
// controller's key-value reports, which come on threads of the session's choosing.
class Lumora_AppDelegate : public Platform::Responder,
                           public AppShell::ApplicationDelegate,
                           public Platform::Audiobus::StateIODelegate,
                           public Platform::Audiobus::KeyValueObserver {
public:
    // The app's own keys of its standard defaults.
    static constexpr char const* restoreLastStateKey = "restoreLastState";
    // The backup's file name in the temporary directory, and its key in the Audiobus state.
    static constexpr char const* fullStateBackupName = "full_state_backup";

    Lumora_AppDelegate();
    // Closes the audio I/O; the audio I/O object goes before the model object.
    ~Lumora_AppDelegate() override;

    // ---- the product's parts
    virtual std::shared_ptr<Lumora_Core> createCore();
    virtual std::string audiobusApiKey();
    // Once at launch, after the model loaded the default preset.
    virtual void didFinishCreateAudioIO(Lumora::iAudioIO* audioIO, Lumora::iAudioEngine* engine,
                                        std::shared_ptr<Lumora_Settings> const& settings, bool isPlugin);
    // Imports one document file; the base unpacks packed documents.
    virtual bool openURL(AppShell::URL const& url);

    // The app's audio component from the main bundle's "AudioComponents" entry.
    Lumora::AudioIO_for_iOS_App::Config audioIoConfiguration();
    // A string of exactly four bytes as a code, its first byte most significant; 0 otherwise.
    static std::uint32_t fourCharCode(std::string const& text);

    // ---- ApplicationDelegate
    bool application_didFinishLaunchingWithOptions(AppShell::Application& application,
                                                   Platform::Dictionary const& options) override;
    void applicationDidBecomeActive(AppShell::Application& application) override;
    void applicationWillResignActive(AppShell::Application&) override {}
    void applicationDidEnterBackground(AppShell::Application& application) override;
    void applicationWillEnterForeground(AppShell::Application&) override {}
    void applicationWillTerminate(AppShell::Application& application) override;
    bool application_openURL(AppShell::Application& application, AppShell::URL const& url,
                             Platform::Dictionary const& options) override;

    // ---- audio
    bool startpAudioIO();
    // Stops audio when the app is in the background and nothing needs it running.
    void stopAudioIO_whenBackground();
    void observeValueForKeyPath(std::string const& keyPath, void const* object, void* context) override;

    // ---- the state backup
    std::string backupFilePath();
    // Replaces the backup only once the new one is wholly written; false when it could not.
    bool backup_fullState();
    // False when there is no readable backup or the engine could not read it.
    bool restore_fullState();

    // ---- StateIODelegate
    Platform::Dictionary audiobusStateDictionaryForCurrentState() override;
    void loadStateFromAudiobusStateDictionary(Platform::Dictionary const& dictionary,
                                              std::string* responseMessage) override;

    // ---- what the delegate holds
    std::shared_ptr<Lumora_Core> core() const { return core_; }
    Lumora::AudioIO_for_iOS_App* audioIO() const { return audioIO_.get(); }
    Platform::OutputUnit* audioUnit() const;
    Lumora::iAudioEngine* audioEngine() const;
    std::shared_ptr<Platform::Window> window() const { return window_; }
    std::shared_ptr<AppShell::TransportPanel> iaaTransportView() const { return iaaTransportView_; }
    std::shared_ptr<Platform::Audiobus::Controller> audiobusController() const { return audiobusController_; }
    std::shared_ptr<Platform::Audiobus::AudioSenderPort> audiobusAudioSenderPort() const { return senderPort_; }
    std::shared_ptr<Platform::Audiobus::AudioFilterPort> audiobusAudioFilterPort() const { return filterPort_; }

private:
    void setUpAudiobus();
    void makeAudiobusPorts(Platform::Dictionary const& component);
    void stopObservingAudiobus();
    void makeWindow(AppShell::Application& application);
    bool isInBackground() const;

    // Declared first so that it is released last, after the audio I/O object.
    std::shared_ptr<Lumora_Core> core_;
    std::unique_ptr<Lumora::AudioIO_for_iOS_App> audioIO_;
    std::shared_ptr<Platform::Window> window_;
    std::shared_ptr<AppShell::TransportPanel> iaaTransportView_;
    std::shared_ptr<Platform::Audiobus::Controller> audiobusController_;
    std::shared_ptr<Platform::Audiobus::AudioSenderPort> senderPort_;
    std::shared_ptr<Platform::Audiobus::AudioFilterPort> filterPort_;
    std::weak_ptr<Platform::Object> application_;
    bool observingAudiobus_ = false;
};
