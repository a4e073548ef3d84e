#pragma once

#include "engine/synth/iSynthAudioEngine.h"
#include "model/core/Lumora_Core.h"

// The product's model object: Corvane's engine over the shared framework's document folders,
// its settings in the shared store, its main screen and its theme. Both shells create one with
// Platform::newObject<Core>() on the main thread.
class Core : public Lumora_Core {
public:
    // The model's own initialization, then the product's theme (when the drawing kit is linked),
    // so that nothing drawn before the model is complete uses it.
    bool init() override;

    std::unique_ptr<Lumora::iAudioEngine> createAudioEngine() override;
    std::shared_ptr<Lumora_Settings> createSettings() override;
    // The product's main screen, when the screens are linked; null headless.
    std::shared_ptr<Platform::Object> createMainViewController() override;
    std::optional<std::string> defaultSoundPresetPath() override;

    std::string productName() override { return "Corvane"; }
    std::string productCopyrightYear() override { return "2019-2026"; }

    // The document kinds of the product, with the shared framework's folders.
    static Lumora::iSynthAudioEngine::Config makeAudioEngineConfig();

    // The version of the "Parameters" text the engine writes.
    static constexpr int parameterTextVersion = 2;

protected:
    // The values the render thread measured for display become parameter changes of this tick.
    void willDeliverChanges() override;
};
