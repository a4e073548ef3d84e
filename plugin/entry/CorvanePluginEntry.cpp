// The deliverable's entry: the functions a host's loader calls to open Corvane's extension. The
// principal view controller comes from the extension's interface file and creates the model
// (with the shared framework's document folders); the audio unit is asked of it. Unmangled, so
// that a loader finds them by these names.

#include <cstddef>
#include <memory>
#include <mutex>

#include "platform/audiounit/AudioUnit.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/ViewController.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"
#include "plugin/viewcontroller/PluginInterface.h"
#include "screens/main/CorvaneScreens.h"

#define CORVANE_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr Platform::AudioStatus kFailedInitialization = -10875;

// The screens, the theme and the interface file register themselves with the model's services
// and the interface-file registry; a static library's registration runs only when called, so
// it is called here, once, before any model exists.
void registerOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        Corvane::registerScreens();
        PluginInterface::registerInterface();
    });
}

// What the host holds for one audio unit: the unit, and the view controller that owns its audio
// I/O and model (the unit refers to the controller only weakly).
struct UnitHandle {
    std::shared_ptr<Lumora_Plugin_AUViewController> viewController;
    std::shared_ptr<Lumora_iOS_AudioUnit> unit;
};

std::shared_ptr<Platform::AudioUnit> makeUnit(std::shared_ptr<Lumora_Plugin_AUViewController> viewController,
                                              Platform::ComponentDescription const& description,
                                              Platform::Error* error) {
    if (viewController == nullptr) {
        if (error != nullptr)
            *error = Platform::Error(Platform::CocoaErrorDomain, kFailedInitialization,
                                     "The extension's view controller could not be made.");
        return nullptr;
    }
    auto handle = std::make_shared<UnitHandle>();
    handle->unit = viewController->createAudioUnitWithComponentDescription(description, error);
    if (handle->unit == nullptr)
        return nullptr;
    handle->viewController = std::move(viewController);
    Platform::AudioUnit* unit = handle->unit.get();
    return std::shared_ptr<Platform::AudioUnit>(std::move(handle), unit);
}

} // namespace

// Main thread: the principal view controller, as the system loads it when the host opens the
// extension; it has made the model. Nothing when it cannot be made.
CORVANE_PLUGIN_EXPORT std::shared_ptr<Platform::ViewController> CorvanePlugin_createViewController() {
    registerOnce();
    return PluginInterface::loadPrincipalViewController();
}

// The host's request to a view controller made above for its audio unit (on a thread of the
// host's choosing). A second request replaces the controller's audio I/O and unit. The answer
// keeps the view controller alive as long as the host keeps the unit; nothing (with the error)
// when the unit cannot be made.
CORVANE_PLUGIN_EXPORT std::shared_ptr<Platform::AudioUnit> CorvanePlugin_createAudioUnitWithViewController(
    std::shared_ptr<Platform::ViewController> const& viewController, Platform::ComponentDescription const& description,
    Platform::Error* error) {
    return makeUnit(std::dynamic_pointer_cast<Lumora_Plugin_AUViewController>(viewController), description, error);
}

// A host without an editor: a new principal view controller (on the main thread), asked for its
// audio unit.
CORVANE_PLUGIN_EXPORT std::shared_ptr<Platform::AudioUnit> CorvanePlugin_createAudioUnit(
    Platform::ComponentDescription const& description, Platform::Error* error) {
    registerOnce();
    return makeUnit(PluginInterface::loadPrincipalViewController(), description, error);
}

// Main thread: runs what the extension posted to its main queue (the editor's readiness, the
// echoes of parameter changes to the host, program changes) and its due timers; a host whose
// platform library is not the extension's calls it from its own main loop. Answers how many ran.
CORVANE_PLUGIN_EXPORT std::size_t CorvanePlugin_runMainQueueOnce() {
    return Platform::RunLoop::main().runOnce();
}
