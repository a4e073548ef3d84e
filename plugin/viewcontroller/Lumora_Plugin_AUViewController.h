#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "model/core/Lumora_CoreObservers.h"
#include "platform/audiounit/AudioUnit.h"
#include "platform/audiounit/AudioUnitTypes.h"
#include "platform/foundation/Error.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/ViewController.h"

namespace Lumora {
class AudioIO_for_iOS_Plugin;
class iAudioEngine;
class iAudioIO;
class Parameter;
} // namespace Lumora

class Lumora_Core;
class Lumora_Settings;
class Lumora_iOS_AudioUnit;

// The extension's principal view controller and the factory that the host asks for an audio
// unit. It creates the model when the system loads it from the extension's interface file;
// each request for an audio unit makes a new audio I/O for the model's engine (in place of the
// previous one), which makes the unit; the model then replays the settings and loads the
// default sound, and once both the view and the unit exist the main screen is presented full
// screen over this controller.
//
// Ownership: this controller owns the audio I/O, the audio I/O owns the unit, and the unit
// refers back to this controller weakly, so that the host's references alone decide how long
// the instance lives. The audio I/O goes before the model, and so before the engine.
//
// Threads: loading, the view and the readiness step run on the main thread; the factory call
// runs on a thread of the host's choosing and posts only the readiness step to the main queue.
class Lumora_Plugin_AUViewController : public Platform::ViewController, public Lumora_ParamObserver {
public:
    // A size of editor the host can show, as the host offers it.
    using ViewConfiguration = Platform::AudioUnitViewConfiguration;

    // Points of the editor on a phone or pad; a Mac shows it enlarged by kMacScale.
    static constexpr Platform::Size kPreferredEditorSize{1024, 573};
    static constexpr float kMacScale = 1.3f;

    Lumora_Plugin_AUViewController();
    ~Lumora_Plugin_AUViewController() override;

    // What the system calls when it makes this controller from the interface file: the base's
    // initialization, then the model.
    virtual bool initWithCoder();
    // The product's model; the library makes none.
    virtual std::shared_ptr<Lumora_Core> createCore();

    void viewDidLoad() override;

    // The host's request for an audio unit; nothing (with the platform's error) when the unit
    // cannot be made or there is no engine.
    std::shared_ptr<Lumora_iOS_AudioUnit> createAudioUnitWithComponentDescription(
        Platform::ComponentDescription const& description, Platform::Error* error);

    // Called at the end of each factory call, after the model loaded its sound.
    virtual void didFinishCreateAudioIO(Lumora::iAudioIO* audioIO, Lumora::iAudioEngine* engine,
                                        std::shared_ptr<Lumora_Settings> const& settings, bool isPlugin);
    // Main thread, once the view and the unit exist: presents the main screen, or, without one,
    // shows the engine's state in this controller.
    virtual void didReadyViewAndAudioUnit();

    void didChangeParam(Lumora::Parameter const* param, Token token) override;
    Token parameterObserverToken() const override { return Token::ViewController; }
    virtual void updateUI() {}
    virtual void updateUIWithParam(Lumora::Parameter const*) {}

    // The indexes of the host's configurations that the editor can be shown in, ascending.
    virtual std::vector<std::size_t> supportedViewConfigurations(std::vector<ViewConfiguration> const& available) const;
    // The configuration the host shows the editor in; the editor lays itself out by its own size.
    virtual void selectViewConfiguration(ViewConfiguration const&) {}
    // 1024 x 573 points, or 1.3 times that on a Mac.
    static Platform::Size preferredEditorSize();

    std::shared_ptr<Lumora_Core> const& core() const { return core_; }
    // The current audio I/O's unit; nothing before the first request.
    std::shared_ptr<Lumora_iOS_AudioUnit> audioUnit() const;
    // The engine the audio I/O drives; nothing before the first request.
    Lumora::iAudioEngine* audioEngine() const;

private:
    // Replaces the audio I/O: the previous one detaches from the engine before the new one
    // attaches, so that the engine ends with the new one.
    Lumora::AudioIO_for_iOS_Plugin* replaceAudioIO(Lumora::iAudioEngine* engine);
    void postReadinessStep();
    bool isPresentingMainScreen(Platform::ViewController const* mainScreen) const;

    std::shared_ptr<Lumora_Core> core_;
    std::mutex factoryLock_;
    mutable std::mutex audioIOLock_;
    std::unique_ptr<Lumora::AudioIO_for_iOS_Plugin> audioIO_;
    bool observingModel_ = false;
};
