#pragma once

#include <memory>
#include <mutex>

#include "engine/audio/iAudioIO.h"
#include "platform/audiounit/AudioUnitTypes.h"
#include "platform/foundation/Error.h"
#include "plugin/audioio/RenderThreadEchoes.h"

class Lumora_iOS_AudioUnit;
class Lumora_Plugin_AUViewController;

namespace Platform {
class Timer;
}

namespace Lumora {

// The engine's view of the plug-in's host: it runs as a plug-in synced to the host, forwards
// tempo proposals to the audio unit, and echoes parameter changes to the host's parameter tree
// on the main queue. It owns the audio unit it creates.
//
// Threads: built and destroyed on the host's thread that asks for an audio unit; parameter
// changes arrive on any thread (only posting; inside a render call only marking, which a
// main-thread timer hands on); the sync operations run on the main thread.
class AudioIO_for_iOS_Plugin : public iAudioIO_for_Plugin {
public:
    // Attaches itself to the engine, which then makes its master and common parameters.
    explicit AudioIO_for_iOS_Plugin(iAudioEngine* engine);
    // Detaches the audio unit (which then renders silence), then itself from the engine.
    ~AudioIO_for_iOS_Plugin() override;

    void didChangeParam(const Parameter* param, Token token, AutomationEventType event) override;
    bool isPlugin() const override { return true; }
    SyncMethod syncMethod() const override { return SyncMethod::Host; }
    void setSyncMethod(SyncMethod) override {}
    // True while the host gives no musical context, and before the audio unit exists.
    bool canProposeBpm() const override;
    void proposeBpm(double bpm) override;

    // Makes the audio unit for this audio I/O, in place of any earlier one; nothing when it
    // cannot be made (the error says why).
    std::shared_ptr<Lumora_iOS_AudioUnit> createAudioUnit(Platform::ComponentDescription const& description,
                                                          Platform::Error* error,
                                                          std::shared_ptr<Lumora_Plugin_AUViewController> const& viewController);
    std::shared_ptr<Lumora_iOS_AudioUnit> audioUnit() const;

private:
    mutable std::mutex unitLock_;
    std::shared_ptr<Lumora_iOS_AudioUnit> audioUnit_;
    std::shared_ptr<RenderThreadEchoes> renderThreadEchoes_ = std::make_shared<RenderThreadEchoes>();
    std::shared_ptr<Platform::Timer> echoTimer_;
};

} // namespace Lumora
