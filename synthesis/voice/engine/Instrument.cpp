#include "synthesis/voice/engine/Instrument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "engine/synth/iSynthAudioEngine.h"
#include "synthesis/voice/engine/Voice.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/modules/ProcessLFO.h"

namespace Lumora::Corvane {

Instrument::Instrument(const iSynthAudioEngine* engine, Parameters& parameters)
    : iInstrument(engine, 0, 2, nullptr, kVoiceCapacity, kMaxPolyphony, kVolumeScale),
      parameters_(parameters) {
    // The voices can be made only now that this object, their factory, is complete.
    createVoices();
    // The master volume glides as the voices' settings do, over the same time at every block size.
    setVolumeGlideSeconds(Module::kGlideSeconds);
}

Instrument::~Instrument() = default;

std::shared_ptr<iVoice> Instrument::createVoice(const iSynthAudioEngine* engine) const {
    return std::make_shared<Voice>(engine);
}

bool Instrument::publishReadbacks() {
    bool any = voiceCount_.publish(parameters_.voiceCount);
    any = Module::publishLFOReadback(pitchLFOLevel_, parameters_.pitch.lfo) || any;
    any = Module::publishLFOReadback(oscLFOLevel_, parameters_.osc.lfo) || any;
    any = Module::publishLFOReadback(resonatorLFOLevel_, parameters_.resonator.lfo) || any;
    any = Module::publishLFOReadback(filterLFOLevel_, parameters_.filter.lfo) || any;
    any = chorus_.publishReadbacks(parameters_.chorus) || any;
    any = delay_.publishReadbacks(parameters_.delay) || any;
    return any;
}

// Room for a sleep span at least: a sleeping engine renders short blocks gathered into such spans.
void Instrument::onAllocateRenderResources(float sampleRate) {
    const unsigned frames = std::max(maximumFrames_, kSleepSpan);
    reserveFrames(frames);
    for (DSP::LFO* lfo : {&pitchLFO_, &oscLFO_, &resonatorLFO_, &filterLFO_}) {
        lfo->reserve(frames, Module::kControlBlock);
    }
    chorus_.reserve(frames);
    delay_.reserve(frames, sampleRate);
    reverb_.reserve(frames, sampleRate);
    voiceFade_.reserve(frames);
}

void Instrument::onReset() {
    chorus_.reset();
    delay_.reset();
    reverb_.reset();
    // Every line and filter is cleared: nothing has been heard since.
    quietFrames_ = 0;
    heardSignal_ = false;
}

unsigned Instrument::currentEngineVersion() const {
    const iSynthAudioEngine* owner = engine();
    const unsigned version = owner == nullptr ? 0u : owner->engineVersion();
    return version == 0 ? 2u : version;
}

void Instrument::preVoiceProcess(const Inputs&, unsigned frames, float sampleRate, const Clock& clock,
                                 const MidiBlock& midi) {
    blockEngineVersion_ = currentEngineVersion();
    voiceFade_.beginBlock();
    // The LFOs run once per block, before the voices, so every voice reads the same values. With
    // no voice sounding and no message that could start one, only their read-backs are needed.
    const bool read = !midi.empty() || numOfActiveVoices() > 0;
    runSharedLFOs(frames, sampleRate, clock, read);
}

void Instrument::runSharedLFOs(unsigned frames, float sampleRate, const Clock& clock, bool levelsRead) {
    Module::processLFO(frames, sampleRate, clock, pitchLFO_, parameters_.pitch.lfo, pitchLFOLevel_, levelsRead);
    Module::processLFO(frames, sampleRate, clock, oscLFO_, parameters_.osc.lfo, oscLFOLevel_, levelsRead);
    Module::processLFO(frames, sampleRate, clock, resonatorLFO_, parameters_.resonator.lfo, resonatorLFOLevel_,
                       levelsRead);
    Module::processLFO(frames, sampleRate, clock, filterLFO_, parameters_.filter.lfo, filterLFOLevel_, levelsRead);
}

// Nothing sounds, nothing is sent and the chain's output is silence (see processEffectChain):
// only the bookkeeping of the block is left, done exactly as a rendered block does it. Before
// anything was heard the effects' settings move as a running chain's would.
bool Instrument::restBlock(const Outputs& outputs, unsigned frames, float sampleRate, const Clock& clock) {
    if (!effectChainResting() || !voiceFade_.settled() || outputs.size() < 2) {
        return false;
    }
    runSharedLFOs(frames, sampleRate, clock, false);
    if (quietFrames_ < kQuietFramesBeforeSkip) {
        blockEngineVersion_ = currentEngineVersion();
        // rested() has cleared the outputs; the left side is the silent mono mix the chorus would be fed.
        idleEffectChain(outputs[0], outputs[1], outputs[0], frames, sampleRate, clock, blockEngineVersion_, true);
        quietFrames_ += frames;
    } else {
        ++skippedEffectBlocks_;
    }
    return true;
}

bool Instrument::sleeps() const {
    return chainRestAllowed_ && quietFrames_ >= kQuietFramesBeforeSkip && voiceFade_.settled();
}

void Instrument::audioProcess(const Inputs&, const Inputs& voiceMix, const Outputs& outputs,
                              unsigned frames, float sampleRate, const Clock& clock, const MidiBlock&) {
    // Read once in preVoiceProcess: the effects follow the same version as this block's voices.
    const unsigned version = blockEngineVersion_;
    // The slot holds the normalized value, which publishReadbacks writes as it is.
    voiceCount_.store(Parameter::concreteToNormalizedValue(Parameter::Type::UInt,
                                                           static_cast<float>(numOfActiveVoices())));

    // The chain needs the mono mix and two sides; an audio I/O that hands fewer gets silence.
    if (voiceMix.empty() || outputs.size() < 2) {
        for (float* out : outputs) {
            std::fill_n(out, frames, 0.0f);
        }
        return;
    }
    float* left = outputs[0];
    float* right = outputs[1];
    const float* mix = voiceFade_.process(voiceMix[0], frames, sampleRate, numOfActiveVoices());
    processEffectChain(left, right, mix, frames, sampleRate, clock, version);
}

namespace {

// Every sample 0 or -0: the OR of the bit patterns without their sign bits is 0. No early exit, so
// the loop runs vectorised; a block is checked every call, mostly a silent one.
bool allZero(const float* x, unsigned n) {
    std::uint32_t bits = 0;
    for (unsigned i = 0; i < n; ++i) {
        std::uint32_t b;
        std::memcpy(&b, x + i, sizeof b);
        bits |= b << 1;
    }
    return bits == 0;
}

bool allBelow(const float* x, unsigned n, float threshold) {
    return std::all_of(x, x + n, [threshold](float s) { return std::fabs(s) < threshold; });
}

} // namespace

// An idle instrument would otherwise spend its time running chorus, delay and reverb over
// silence. Once silent input has come out as silence for longer than any echo can take to
// return, the chain rests and writes zeros until a voice sounds again; it then resumes from the
// state it had. Its LFOs follow the clock's sample time, so their phase is right on resuming.
void Instrument::processEffectChain(float* left, float* right, const float* mono, unsigned frames,
                                    float sampleRate, const Clock& clock, unsigned version) {
    const bool silentInput = allZero(mono, frames);
    if (!silentInput) {
        heardSignal_ = true;
    } else if (!heardSignal_ && chainRestAllowed_ && quietFrames_ < kQuietFramesBeforeSkip) {
        // Counted as the running chain would count them, so that it stops moving its settings
        // at the same block.
        idleEffectChain(left, right, mono, frames, sampleRate, clock, version, false);
        quietFrames_ += frames;
        return;
    }
    if (silentInput && chainRestAllowed_ && quietFrames_ >= kQuietFramesBeforeSkip) {
        std::fill_n(left, frames, 0.0f);
        std::fill_n(right, frames, 0.0f);
        ++skippedEffectBlocks_;
        return;
    }
    chorus_.process(left, right, mono, frames, sampleRate, clock, parameters_.chorus, version, audioQuality());
    delay_.process(left, right, left, right, frames, sampleRate, clock, parameters_.delay, version,
                   audioQuality());
    reverb_.process(left, right, left, right, frames, sampleRate, clock, parameters_.reverb, version,
                    audioQuality());
    dcBlockerLeft_.process(left, left, frames, sampleRate, kDcBlockerCutoff);
    dcBlockerRight_.process(right, right, frames, sampleRate, kDcBlockerCutoff);

    if (silentInput && allBelow(left, frames, kSilenceThreshold) && allBelow(right, frames, kSilenceThreshold)) {
        quietFrames_ += frames;
        if (quietFrames_ >= kQuietFramesBeforeSkip) {
            // What is left of the tails is far below hearing; end them on an exact zero.
            std::fill_n(left, frames, 0.0f);
            std::fill_n(right, frames, 0.0f);
        }
    } else {
        quietFrames_ = 0;
    }
}

// A chain that has never heard a sound would only turn zeros into zeros, but its settings glide
// (delay times, sends, crossfades, LFO sweeps) as they do in a running chain, and the first note
// must find them where a running chain would have left them. So each effect moves its settings
// alone, which costs a small part of running it, and the output is exact silence as the running
// chain's would be: the DC blockers hold zeros and stay so.
void Instrument::idleEffectChain(float* left, float* right, const float* mono, unsigned frames, float sampleRate,
                                 const Clock& clock, unsigned version, bool sidesCleared) {
    chorus_.idle(mono, frames, sampleRate, clock, parameters_.chorus);
    delay_.idle(frames, sampleRate, clock, parameters_.delay, version);
    if (!sidesCleared) {
        std::fill_n(left, frames, 0.0f);
        std::fill_n(right, frames, 0.0f);
    }
    reverb_.idle(left, right, left, right, frames, sampleRate, parameters_.reverb);
}

} // namespace Lumora::Corvane
