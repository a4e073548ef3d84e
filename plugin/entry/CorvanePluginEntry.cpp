// The deliverable's entry: the one function a host's loader calls to make Corvane's audio unit.

#include <memory>

#include "platform/audiounit/AudioUnit.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "synthesis/voice/engine/AudioEngine.h"

namespace {

constexpr char const* kProductName = "Corvane";
constexpr int kParameterTextVersion = 2;

// One instance of the instrument: the product engine and the audio I/O attached to it, which
// owns the audio unit. The audio I/O goes before the engine.
struct PluginInstance {
    std::unique_ptr<Lumora::Corvane::AudioEngine> engine;
    std::unique_ptr<Lumora::AudioIO_for_iOS_Plugin> audioIO;

    ~PluginInstance() {
        audioIO.reset();
        engine.reset();
    }
};

} // namespace

// Makes the engine, attaches the audio I/O and answers its audio unit, which keeps the whole
// instance alive; nothing (with the error) when the unit cannot be made. Unmangled, so that a
// loader finds it by this name.
extern "C" __attribute__((visibility("default"))) std::shared_ptr<Platform::AudioUnit>
CorvanePlugin_createAudioUnit(Platform::ComponentDescription const& description, Platform::Error* error) {
    auto instance = std::make_shared<PluginInstance>();
    instance->engine = std::make_unique<Lumora::Corvane::AudioEngine>(Lumora::iSynthAudioEngine::Config{}, kProductName,
                                                                      kParameterTextVersion);
    instance->audioIO = std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(instance->engine.get());
    std::shared_ptr<Lumora_iOS_AudioUnit> unit = instance->audioIO->createAudioUnit(description, error, nullptr);
    if (unit == nullptr)
        return nullptr;
    return std::shared_ptr<Platform::AudioUnit>(instance, unit.get());
}
