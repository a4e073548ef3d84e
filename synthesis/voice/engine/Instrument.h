#pragma once

#include <atomic>
#include <memory>

#include "engine/instrument/iInstrument.h"
#include "engine/voice/iVoiceFactory.h"
#include "synthesis/dsp/filter/DCBlockingFilter.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/effects/Chorus.h"
#include "synthesis/voice/effects/Delay.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/effects/ReadbackSlot.h"
#include "synthesis/voice/effects/Reverb.h"
#include "synthesis/voice/engine/VoiceMixFade.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora::Corvane {

// The product's instrument: its own voice factory, four modulation LFOs that every voice reads
// (pitch, oscillator, resonator, filter) and the effect chain over the mono voice mix: chorus
// into stereo, delay, reverb and DC blocking.
//
// Threads: built and destroyed on the main thread; render resources are allocated while no
// render call runs; everything else on the render thread, except publishReadbacks.
class Instrument : public iInstrument, public iVoiceFactory {
public:
    static constexpr unsigned kVoiceCapacity = 24;
    static constexpr unsigned kMaxPolyphony = 8;
    static constexpr float kVolumeScale = 2.0f;
    static constexpr float kDcBlockerCutoff = 20.0f;
    // The largest block a host asks for unless it says otherwise.
    static constexpr unsigned kDefaultMaximumFrames = 1024;
    // Below this magnitude the effect chain's output counts as silence: the effects' own rest
    // threshold.
    static constexpr float kSilenceThreshold = Module::kRestThreshold;
    // Frames of silent output over silent input after which no tail can still be on its way: as
    // long as each effect waits before it rests on its own.
    static constexpr unsigned long long kQuietFramesBeforeSkip = Module::kQuietFramesBeforeRest;
    // The frames a sleeping engine gathers short render calls into: two control spans, so that an
    // idle engine at any short block costs what it costs at blocks of 256 frames.
    static constexpr unsigned kSleepSpan = 2 * Module::kControlBlock;

    Instrument(const iSynthAudioEngine* engine, Parameters& parameters);
    ~Instrument() override;

    std::shared_ptr<iVoice> createVoice(const iSynthAudioEngine* engine) const override;

    // The largest block the buffers are sized for when render resources are allocated; a longer
    // block still renders, but grows the buffers on the render thread. Not while rendering.
    void setMaximumFrames(unsigned frames) { maximumFrames_ = frames == 0 ? 1 : frames; }
    unsigned maximumFrames() const { return maximumFrames_; }

    // The engine version of the current block: parameter 1180, with 0 taken as 2.
    unsigned engineVersion() const { return blockEngineVersion_; }

    Parameters& parameters() { return parameters_; }
    const Parameters& parameters() const { return parameters_; }
    const DSP::LFO& pitchLFO() const { return pitchLFO_; }
    const DSP::LFO& oscLFO() const { return oscLFO_; }
    const DSP::LFO& resonatorLFO() const { return resonatorLFO_; }
    const DSP::LFO& filterLFO() const { return filterLFO_; }

    // The effects, for display and inspection. Each rests on its own while it is not heard (a send
    // at 0, a chorus at wet 0); the whole chain rests besides once the instrument is silent.
    const Module::Chorus& chorus() const { return chorus_; }
    const Module::Delay& delay() const { return delay_; }
    const Module::Reverb& reverb() const { return reverb_; }

    // Render thread: whether the effect chain is resting (silent input, every tail ended, or
    // nothing heard since start or reset), and how many blocks it has skipped so far once tails
    // ended (blocks before anything was heard are not counted).
    bool effectChainResting() const {
        return chainRestAllowed_ && (!heardSignal_ || quietFrames_ >= kQuietFramesBeforeSkip);
    }
    unsigned long long skippedEffectBlocks() const { return skippedEffectBlocks_; }
    // A chain that may not rest always runs in full (for comparisons and measurements).
    void allowEffectChainRest(bool allowed) { chainRestAllowed_ = allowed; }
    // Render thread, after sleeps() answered true and nothing rendered since: whether the sleep
    // holds still. Only another thread can end it: a kill, a sound load holding the voices, the
    // chain's rest forbidden.
    bool sleepHolds() const { return !killPending() && chainRestAllowed_ && voiceFade_.settled(); }

    // The fade of the voice mix that a sound load holds while it changes the settings.
    VoiceMixFade& voiceFade() { return voiceFade_; }

    // Main thread: moves the values the render thread computed for display (the active voice
    // count, the levels of the four LFOs and of the effects' LFOs) into their read-back
    // parameters. Answers whether any was new. The render thread never writes those parameters
    // itself: their locks and observers may be held by a screen.
    bool publishReadbacks();

protected:
    void onAllocateRenderResources(float sampleRate) override;
    void onReset() override;
    void preVoiceProcess(const Inputs& inputs, unsigned frames, float sampleRate, const Clock& clock,
                         const MidiBlock& midi) override;
    void audioProcess(const Inputs& inputs, const Inputs& voiceMix, const Outputs& outputs,
                      unsigned frames, float sampleRate, const Clock& clock,
                      const MidiBlock& midi) override;
    bool restBlock(const Outputs& outputs, unsigned frames, float sampleRate, const Clock& clock) override;
    // The chain has slept since its tails ended and no sound load holds the voices.
    bool sleeps() const override;

private:
    unsigned currentEngineVersion() const;
    // The four shared LFOs over the block; levelsRead as in processLFO.
    void runSharedLFOs(unsigned frames, float sampleRate, const Clock& clock, bool levelsRead);

    void processEffectChain(float* left, float* right, const float* mono, unsigned frames, float sampleRate,
                            const Clock& clock, unsigned version);
    // sidesCleared: left and right hold zeros already.
    void idleEffectChain(float* left, float* right, const float* mono, unsigned frames, float sampleRate,
                         const Clock& clock, unsigned version, bool sidesCleared);

    Parameters& parameters_;
    DSP::LFO pitchLFO_{DSP::LFO::Sine};
    DSP::LFO oscLFO_{DSP::LFO::Sine};
    DSP::LFO resonatorLFO_{DSP::LFO::Sine};
    DSP::LFO filterLFO_{DSP::LFO::Sine};
    Module::Chorus chorus_;
    Module::Delay delay_;
    Module::Reverb reverb_;
    VoiceMixFade voiceFade_;
    DSP::DCBlockingFilter dcBlockerLeft_;
    DSP::DCBlockingFilter dcBlockerRight_;
    unsigned maximumFrames_ = kDefaultMaximumFrames;
    unsigned blockEngineVersion_ = 2;
    // Frames the chain has answered silent input with silence; at kQuietFramesBeforeSkip it rests.
    unsigned long long quietFrames_ = 0;
    // Whether any sound has entered the chain since it was made or reset. Until then every line
    // and filter holds zeros, and only the effects' settings move (idleEffectChain).
    bool heardSignal_ = false;
    bool chainRestAllowed_ = true;
    unsigned long long skippedEffectBlocks_ = 0;
    // Values for display, left by the render thread for publishReadbacks.
    Module::ReadbackSlot voiceCount_;
    Module::ReadbackSlot pitchLFOLevel_;
    Module::ReadbackSlot oscLFOLevel_;
    Module::ReadbackSlot resonatorLFOLevel_;
    Module::ReadbackSlot filterLFOLevel_;
};

} // namespace Lumora::Corvane
