#include "synthesis/voice/engine/Instrument.h"

#include <algorithm>
#include <cmath>

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

void Instrument::onAllocateRenderResources(float sampleRate) {
    reserveFrames(maximumFrames_);
    for (DSP::LFO* lfo : {&pitchLFO_, &oscLFO_, &resonatorLFO_, &filterLFO_}) {
        lfo->reserve(maximumFrames_, Module::kControlBlock);
    }
    chorus_.reserve(maximumFrames_);
    delay_.reserve(maximumFrames_, sampleRate);
    reverb_.reserve(maximumFrames_, sampleRate);
    voiceFade_.reserve(maximumFrames_);
}

void Instrument::onReset() {
    chorus_.reset();
    delay_.reset();
    reverb_.reset();
    // The smoothed settings start over too; let them settle before the chain may rest again.
    quietFrames_ = 0;
}

unsigned Instrument::currentEngineVersion() const {
    const iSynthAudioEngine* owner = engine();
    const unsigned version = owner == nullptr ? 0u : owner->engineVersion();
    return version == 0 ? 2u : version;
}

void Instrument::preVoiceProcess(const Inputs&, unsigned frames, float sampleRate, const Clock& clock,
                                 const MidiBlock&) {
    blockEngineVersion_ = currentEngineVersion();
    voiceFade_.beginBlock();
    // The LFOs run once per block, before the voices, so every voice reads the same values.
    Module::processLFO(frames, sampleRate, clock, pitchLFO_, parameters_.pitch.lfo, pitchLFOLevel_);
    Module::processLFO(frames, sampleRate, clock, oscLFO_, parameters_.osc.lfo, oscLFOLevel_);
    Module::processLFO(frames, sampleRate, clock, resonatorLFO_, parameters_.resonator.lfo, resonatorLFOLevel_);
    Module::processLFO(frames, sampleRate, clock, filterLFO_, parameters_.filter.lfo, filterLFOLevel_);
}

void Instrument::audioProcess(const Inputs&, const Inputs& voiceMix, const Outputs& outputs,
                              unsigned frames, float sampleRate, const Clock& clock, const MidiBlock&) {
    const unsigned version = currentEngineVersion();
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

bool allZero(const float* x, unsigned n) {
    return std::all_of(x, x + n, [](float s) { return s == 0.0f; });
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
    if (silentInput && effectChainResting()) {
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
        if (effectChainResting()) {
            // What is left of the tails is far below hearing; end them on an exact zero.
            std::fill_n(left, frames, 0.0f);
            std::fill_n(right, frames, 0.0f);
        }
    } else {
        quietFrames_ = 0;
    }
}

} // namespace Lumora::Corvane
