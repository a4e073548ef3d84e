#include "app/Lumora_AppDelegate.h"

#include "app/StateLocations.h"

#include <cstdio>
#include <exception>

#include <boost/filesystem/operations.hpp>

#include "app/Exception.h"
#include "app/TransportPanel.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/files/FileSystem.h"
#include "engine/parameter/Serializer.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/TemporaryDirectory.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

using Lumora::SerializeWhat;
using Lumora::SerializeWhere;

namespace {

// Tells the delegate's own key-value registrations from those of a base class.
char observationContext;

constexpr char const* kAudioComponentsKey = "AudioComponents";

// The controller's properties whose changes may let the audio stop while in the background.
constexpr char const* kObservedAudiobusKeyPaths[] = {Platform::Audiobus::connectedKeyPath,
                                                     Platform::Audiobus::memberOfActiveAudiobusSessionKeyPath};

// The first entry of the main bundle's "AudioComponents"; null when the list is missing, empty
// or not a list of dictionaries.
Platform::Dictionary const* firstAudioComponent() {
    Platform::Value const* components = Platform::Bundle::main()->objectForInfoDictionaryKey(kAudioComponentsKey);
    if (components == nullptr || components->array() == nullptr || components->array()->empty())
        return nullptr;
    return components->array()->front().dictionary();
}

std::string stringEntry(Platform::Dictionary const& entry, char const* key) {
    auto found = entry.find(key);
    if (found == entry.end())
        return {};
    return found->second.stringValue().value_or(std::string());
}

std::uint32_t codeEntry(Platform::Dictionary const& entry, char const* key) {
    return Lumora_AppDelegate::fourCharCode(stringEntry(entry, key));
}

} // namespace

Lumora_AppDelegate::Lumora_AppDelegate() = default;

Lumora_AppDelegate::~Lumora_AppDelegate() {
    stopObservingAudiobus();
    if (audiobusController_ && audiobusController_->stateIODelegate() == this)
        audiobusController_->setStateIODelegate(nullptr);
    if (audioIO_)
        audioIO_->close();
    audioIO_.reset();
}

std::shared_ptr<Lumora_Core> Lumora_AppDelegate::createCore() { return nullptr; }

std::string Lumora_AppDelegate::audiobusApiKey() { return {}; }

void Lumora_AppDelegate::didFinishCreateAudioIO(Lumora::iAudioIO*, Lumora::iAudioEngine*,
                                                std::shared_ptr<Lumora_Settings> const&, bool) {}

std::uint32_t Lumora_AppDelegate::fourCharCode(std::string const& text) {
    if (text.size() != 4)
        return 0;
    std::uint32_t code = 0;
    for (char c : text)
        code = (code << 8) | static_cast<std::uint8_t>(c);
    return code;
}

Lumora::AudioIO_for_iOS_App::Config Lumora_AppDelegate::audioIoConfiguration() {
    Platform::Dictionary const* entry = firstAudioComponent();
    if (entry == nullptr)
        return {"Lumora", fourCharCode("auri"), fourCharCode("lmra"), fourCharCode("Tvrk"), 1};
    Lumora::AudioIO_for_iOS_App::Config config;
    config.name = stringEntry(*entry, "name");
    config.type = codeEntry(*entry, "type");
    config.subtype = codeEntry(*entry, "subtype");
    config.manufacturer = codeEntry(*entry, "manufacturer");
    auto version = entry->find("version");
    config.version = version == entry->end() ? 0 : static_cast<std::uint32_t>(version->second.integerValue());
    return config;
}

Platform::OutputUnit* Lumora_AppDelegate::audioUnit() const { return audioIO_ ? audioIO_->audioUnit() : nullptr; }

Lumora::iAudioEngine* Lumora_AppDelegate::audioEngine() const { return audioIO_ ? audioIO_->audioEngine() : nullptr; }

// ---- launch

bool Lumora_AppDelegate::application_didFinishLaunchingWithOptions(AppShell::Application& application,
                                                                   Platform::Dictionary const&) {
    application_ = application.weak_from_this();
    core_ = createCore();
    // Without a model there is no engine to play: the launch ends as a failed open does.
    if (!core_ || core_->audioEngine() == nullptr || !core_->settings())
        return false;
    Lumora::iAudioEngine* engine = core_->audioEngine();

    // An open audio I/O is closed before it goes: its output unit is not released otherwise.
    if (audioIO_)
        audioIO_->close();
    audioIO_.reset();
    audioIO_ = std::make_unique<Lumora::AudioIO_for_iOS_App>(engine, audioIoConfiguration());

    std::shared_ptr<Lumora_Settings> settings = core_->settings();
    if (!audioIO_->open(settings->audioBufferSize(), settings->sampleRate()))
        return false;

    core_->applySettings();
    core_->didFinishCreateAudioIO(audioIO_.get(), engine, settings, false);
    didFinishCreateAudioIO(audioIO_.get(), engine, settings, false);

    auto defaults = Platform::UserDefaults::standard();
    defaults->registerDefaults({{restoreLastStateKey, Platform::Value(true)}});
    if (defaults->boolForKey(restoreLastStateKey))
        restore_fullState();

    setUpAudiobus();
    makeWindow(application);
    return true;
}

void Lumora_AppDelegate::makeWindow(AppShell::Application& application) {
    window_ = std::make_shared<Platform::Window>(AppShell::Application::mainScreenBounds());
    window_->setBackgroundColor(Platform::Color::whiteColor());
    // Without registered screens (a shell's own tests) the window stays empty.
    if (auto root = std::dynamic_pointer_cast<Platform::ViewController>(core_->mainViewController()))
        window_->setRootViewController(root);
    application.setIdleTimerDisabled(true);
}

// ---- Audiobus

void Lumora_AppDelegate::setUpAudiobus() {
    try {
        Platform::Dictionary const* entry = firstAudioComponent();
        if (entry == nullptr)
            throw Lumora::Exception::RuntimeError("AudioComponents section was not found in pinfo.list.");
        audiobusController_ = Platform::newObject<Platform::Audiobus::Controller>();
        if (audiobusController_)
            audiobusController_->initWithApiKey(audiobusApiKey());
        makeAudiobusPorts(*entry);
        if (!audiobusController_)
            return;

        for (char const* keyPath : kObservedAudiobusKeyPaths)
            audiobusController_->addObserver(this, keyPath, &observationContext);
        observingAudiobus_ = true;

        std::weak_ptr<Lumora_AppDelegate> weak = weakSelf<Lumora_AppDelegate>();
        audiobusController_->setEnableReceivingCoreMIDIBlock([weak](bool receive) {
            auto self = weak.lock();
            if (!self)
                return;
            Lumora::iAudioEngine* engine = self->audioEngine();
            auto* io = engine ? dynamic_cast<Lumora::AudioIO_for_iOS_App*>(engine->audioIO()) : nullptr;
            if (io != nullptr) {
                io->setCoreMidiDisabled(!receive);
                std::fprintf(stderr, "disableCoreMIDI:%d\n", !receive ? 1 : 0);
            }
        });
        audiobusController_->setShowInterAppAudioTransportPanelBlock([weak](bool show) {
            auto self = weak.lock();
            if (self && self->iaaTransportView_)
                self->iaaTransportView_->show(show);
        });
        audiobusController_->setStateIODelegate(this);
    } catch (Lumora::Exception::RuntimeError const& error) {
        std::fprintf(stderr, "Audiobus Initialization Error Occered: %s\n", error.what());
    }
}

void Lumora_AppDelegate::makeAudiobusPorts(Platform::Dictionary const& component) {
    std::string const name = stringEntry(component, "name");
    std::string const type = stringEntry(component, "type");
    Platform::Audiobus::ComponentDescription const description{
        fourCharCode(type), codeEntry(component, "subtype"), codeEntry(component, "manufacturer"), 0, 0};
    if (type == "aurg" || type == "auri") {
        auto port = std::make_shared<Platform::Audiobus::AudioSenderPort>();
        if (port->initWithName(name, name, description, audioUnit())) {
            senderPort_ = port;
            if (audiobusController_)
                audiobusController_->addAudioSenderPort(port);
        }
    } else if (type == "aurx" || type == "aurm") {
        auto port = std::make_shared<Platform::Audiobus::AudioFilterPort>();
        if (port->initWithName(name, name, description, audioUnit())) {
            filterPort_ = port;
            if (audiobusController_)
                audiobusController_->addAudioFilterPort(port);
        }
    } else {
        throw Lumora::Exception::RuntimeError("Unknown AudioComponents type was set.");
    }
}

void Lumora_AppDelegate::stopObservingAudiobus() {
    if (!observingAudiobus_ || !audiobusController_)
        return;
    for (char const* keyPath : kObservedAudiobusKeyPaths)
        audiobusController_->removeObserver(this, keyPath, &observationContext);
    observingAudiobus_ = false;
}

void Lumora_AppDelegate::observeValueForKeyPath(std::string const&, void const*, void* context) {
    // Registrations of a base class would be handed on here; the responder has none.
    if (context == &observationContext)
        stopAudioIO_whenBackground();
}

// ---- life cycle

void Lumora_AppDelegate::applicationDidBecomeActive(AppShell::Application&) {
    startpAudioIO();
    if (!iaaTransportView_)
        iaaTransportView_ = AppShell::TransportPanel::make(audioUnit(), audiobusController_);
    if (iaaTransportView_ && window_ && !iaaTransportView_->hasMyself(window_.get()))
        window_->addSubview(iaaTransportView_);
}

void Lumora_AppDelegate::applicationDidEnterBackground(AppShell::Application&) {
    stopAudioIO_whenBackground();
    backup_fullState();
}

void Lumora_AppDelegate::applicationWillTerminate(AppShell::Application&) {
    if (audioIO_)
        audioIO_->close();
}

bool Lumora_AppDelegate::startpAudioIO() { return audioIO_ && audioIO_->start(); }

bool Lumora_AppDelegate::isInBackground() const {
    auto application = std::static_pointer_cast<AppShell::Application>(application_.lock());
    return application && application->applicationState() == AppShell::Application::State::Background;
}

void Lumora_AppDelegate::stopAudioIO_whenBackground() {
    if (!isInBackground() || !audioIO_)
        return;
    std::shared_ptr<Lumora_Settings> settings = core_ ? core_->settings() : nullptr;
    if (settings && settings->backgroundAudio())
        return;
    if (audioIO_->isInterAppAudioConnected() || audioIO_->isLinkActive())
        return;
    if (audiobusController_ && audiobusController_->connected())
        return;
    audioIO_->stop();
}

// ---- the state backup

std::string Lumora_AppDelegate::backupFilePath() { return AppShell::stateDirectory() + fullStateBackupName; }

bool Lumora_AppDelegate::backup_fullState() {
    Lumora::iAudioEngine* engine = audioEngine();
    if (engine == nullptr)
        return false;
    std::string const text = engine->serialize(SerializeWhat::FullState, SerializeWhere::StateBackup);
    // Written beside the backup and moved over it, so that a crash or a full disk while writing
    // leaves the last good backup rather than a torn one.
    std::string const path = backupFilePath();
    std::string const partial = path + ".writing";
    if (!Lumora::filesystem::writeTextToFile(partial, text, false)) {
        std::remove(partial.c_str());
        return false;
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        return false;
    }
    return true;
}

bool Lumora_AppDelegate::restore_fullState() {
    Lumora::iAudioEngine* engine = audioEngine();
    if (engine == nullptr)
        return false;
    // No backup yet (the first start, or a cleared temporary directory) is no error.
    std::string const path = backupFilePath();
    if (!Lumora::filesystem::is_regular_file(path))
        return false;
    auto [read, text] = Lumora::filesystem::readTextFromFile(path, false);
    if (!read)
        return false;
    // A damaged backup must never stop the app from starting: it then keeps the default preset.
    try {
        return engine->deserialize(SerializeWhat::FullState, text, SerializeWhere::StateBackup);
    } catch (std::exception const& error) {
        std::fprintf(stderr, "ERROR! : restore_fullState: %s\n", error.what());
        return false;
    }
}

// ---- the Audiobus state

Platform::Dictionary Lumora_AppDelegate::audiobusStateDictionaryForCurrentState() {
    Lumora::iAudioEngine* engine = audioEngine();
    std::string text = engine ? engine->serialize(SerializeWhat::FullState, SerializeWhere::InterAppHostState) : std::string();
    return {{fullStateBackupName, Platform::Value(std::move(text))}};
}

void Lumora_AppDelegate::loadStateFromAudiobusStateDictionary(Platform::Dictionary const& dictionary, std::string*) {
    Lumora::iAudioEngine* engine = audioEngine();
    auto found = dictionary.find(fullStateBackupName);
    if (engine == nullptr || found == dictionary.end() || found->second.string() == nullptr)
        return;
    try {
        engine->deserialize(SerializeWhat::FullState, *found->second.string(), SerializeWhere::InterAppHostState);
    } catch (std::exception const& error) {
        std::fprintf(stderr, "ERROR! : loadStateFromAudiobusStateDictionary: %s\n", error.what());
    }
}

// ---- documents handed over

bool Lumora_AppDelegate::application_openURL(AppShell::Application&, AppShell::URL const& url,
                                             Platform::Dictionary const&) {
    if (!url.isFileURL())
        return false;
    if (Lumora::filesystem::exists(url.path()))
        return openURL(url);
    if (!url.startAccessingSecurityScopedResource())
        return false;
    bool opened = false;
    if (Lumora::filesystem::exists(url.path())) {
        opened = openURL(url);
    } else {
        AppShell::FileCoordinator coordinator;
        coordinator.coordinateReadingItemAtURL(url, 0, [&](AppShell::URL const& readable) { opened = openURL(readable); });
    }
    url.stopAccessingSecurityScopedResource();
    return opened;
}

bool Lumora_AppDelegate::openURL(AppShell::URL const& url) {
    Lumora::iAudioEngine* engine = audioEngine();
    if (engine == nullptr)
        return false;
    try {
        return engine->unpackPresetFile(url.path());
    } catch (std::exception const& error) {
        std::fprintf(stderr, "ERROR! : openURL(%s): %s\n", url.path().c_str(), error.what());
        return false;
    }
}
