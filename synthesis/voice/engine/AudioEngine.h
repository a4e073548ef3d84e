#pragma once

#include <chrono>
#include <string>

#include "engine/parameter/ParameterManager.h"
#include "engine/synth/iSynthAudioEngine.h"
#include "synthesis/voice/engine/Instrument.h"
#include "synthesis/voice/parameters/Parameters.h"
#include "synthesis/voice/parameters/ParametersConverter.h"

namespace Lumora::Corvane {

// The product's engine: the synth frame with Corvane's parameter manager, parameter table,
// old-key converter and instrument. MIDI in, stereo audio out.
//
// Threads: built on the main thread before an audio I/O attaches; rendered by the audio I/O's
// render thread; publishReadbacks runs on the main thread (the model's timer).
class AudioEngine : public iSynthAudioEngine {
public:
    // name and version make the header line of the "Parameters" text ("Corvane", 2).
    AudioEngine(const iSynthAudioEngine::Config& config, const std::string& name, int version);
    ~AudioEngine() override;

    unsigned numOfAudioEngineVersions() const override { return 2; }
    unsigned numOfAudioQualitySelections() const override { return 3; }

    ParameterManager& parameterManager() override { return manager_; }
    const ParameterManager& parameterManager() const override { return manager_; }
    Instrument& instrument() override { return instrument_; }
    const Instrument& instrument() const override { return instrument_; }

    Parameters& parameters() { return parameters_; }
    const Parameters& parameters() const { return parameters_; }

    // The largest block the audio I/O will ask for; buffers are sized for it when render
    // resources are allocated. Call before allocateRenderResources.
    void setMaximumFramesToRender(unsigned frames) { instrument_.setMaximumFrames(frames); }
    unsigned maximumFramesToRender() const { return instrument_.maximumFrames(); }

    // Main thread: writes the read-back values of the last blocks into their parameters, so
    // that the render thread never takes a parameter's or an observer's lock for them.
    bool publishReadbacks();

    // A sound loaded or initialized while voices sound fades them out, changes the settings and
    // fades them back in (VoiceMixFade); the loading thread waits for the fade-out, at most
    // kLoadFadeTimeout. Other parts load as they always did.
    bool deserialize(SerializeWhat what, const std::string& text, SerializeWhere where) override;
    void initialize(SerializeWhat what, SerializeWhere where) override;

    static constexpr std::chrono::milliseconds kLoadFadeTimeout{100};
    // No block rendered for this long: nothing renders meanwhile, the load goes on at once.
    static constexpr std::chrono::milliseconds kRenderStall{20};

protected:
    // The part hook of the same name stays as the frame has it.
    using iSynthAudioEngine::deserialize;

    // Renders with denormals flushed to zero, so that decaying tails never slow the render
    // thread or leave denormal samples in the output.
    void audioProcess(const std::vector<const float*>& inputs, const std::vector<float*>& outputs,
                      unsigned frames, float sampleRate, const Clock& clock,
                      const MidiDeque& midi) override;
    // A sleeping engine renders short calls gathered into spans of Instrument::kSleepSpan.
    unsigned gatheringSpan() const override;
    // Asks only what another thread can change: the MIDI effects' switches and the instrument's
    // sleep.
    bool stillRestsUntilMidi() const override;

private:
    ParameterManager manager_;
    Parameters parameters_;
    Parameters::Converter converter_;
    Instrument instrument_;
};

} // namespace Lumora::Corvane
