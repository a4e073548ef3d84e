#include "synthesis/voice/engine/Voice.h"

#include <cmath>

#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/engine/Instrument.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane {

namespace {

// The resonator's output route: 1 sends it through the filter, any other value around it.
constexpr unsigned kRouteThroughFilter = 1;

// Fractional note number of a frequency; a silent (non-positive) frequency keeps the note's own.
float pitchOf(float frequency, float fallback) {
    if (!(frequency > 0.0f) || !std::isfinite(frequency)) {
        return fallback;
    }
    return 69.0f + 12.0f * std::log2(frequency / 440.0f);
}

} // namespace

Voice::Voice(const iSynthAudioEngine* engine) : iVoice(engine, 0, 1) {}

Voice::~Voice() = default;

void Voice::onAllocateRenderResources(iInstrument* instrument, float) {
    const unsigned frames = static_cast<Instrument*>(instrument)->maximumFrames();
    reserveFrames(frames);
    Module::grow(work_, frames);
    spanLeft_ = 0;
    osc_.reserve(frames);
    noise_.reserve(frames);
    resonator_.reserve(frames);
    filter_.reserve(frames);
    amp_.reserve(frames);
}

void Voice::process(iInstrument* instrument, const NoteInformation& incoming,
                    const std::vector<const float*>&, const std::vector<float*>& outputs,
                    unsigned frames, float sampleRate, const Clock& clock,
                    const std::deque<MidiMessage>&) {
    auto* synth = static_cast<Instrument*>(instrument);
    const Parameters& params = synth->parameters();
    const unsigned version = synth->engineVersion();
    const AudioQuality quality = synth->audioQuality();
    const Module::Span span = nextSpan(frames, version, incoming.frequency, synth->voiceFade().fading());

    if (span != Module::Span::Continues) {
        const float f = pitch_.process(frames, sampleRate, clock, incoming, params.pitch, synth->pitchLFO(),
                                       version, quality, span);
        // The later modules hear the modulated pitch, and may ask the pitch module for it at any
        // sample of the block.
        note_.note = incoming.note;
        note_.velocity = incoming.velocity;
        note_.frequency = f;
        note_.pitch = pitchOf(f, static_cast<float>(incoming.note));
        note_.frequencyProvider = &pitch_;
        throughFilter_ = Module::choice(params.resonator.outputRoute) == kRouteThroughFilter;
    } else {
        pitch_.continueSpan(frames);
    }
    note_.previousState = incoming.previousState;
    note_.state = incoming.state;
    note_.pressure = incoming.pressure;
    const NoteInformation& note = note_;

    const float* oscillator = osc_.process(frames, sampleRate, clock, note, params.osc, synth->oscLFO(),
                                           version, quality, span);
    const float* noise = noise_.process(frames, sampleRate, clock, note, params.noise, version, quality, span);
    const float* dry = nullptr;
    const float* resonated = nullptr;
    const float* resonator =
        resonator_.process(&dry, &resonated, oscillator, noise, frames, sampleRate, clock, note,
                           params.resonator, synth->resonatorLFO(), version, quality, span);

    const float* filtered = nullptr;
    if (throughFilter_) {
        filtered = filter_.process(resonator, frames, sampleRate, clock, note, params.filter,
                                   synth->filterLFO(), version, quality, span);
    } else {
        // The resonator bypasses the filter: only the dry signal is filtered.
        const float* filteredDry = filter_.process(dry, frames, sampleRate, clock, note, params.filter,
                                                   synth->filterLFO(), version, quality, span);
        float* sum = Module::grow(work_, frames);
        Platform::Vdsp::add(filteredDry, resonated, sum, frames);
        filtered = sum;
    }

    amp_.process(outputs[0], filtered, frames, sampleRate, clock, note, params.amp, version, quality, span);
}

// Blocks of a whole span or more, and engine version 1, render on their own. Shorter blocks share
// spans: one opens where the last span has no room left for it, where a gate change or a kill
// broke it, or where the note's frequency moved (a portamento or a pitch bend under way is
// followed block by block), and holds for the blocks that fit in the rest.
inline Module::Span Voice::nextSpan(unsigned frames, unsigned version, float noteFrequency, bool mixFading) {
    if (frames == 0 || frames >= Module::kControlBlock || Module::isFirstEngineVersion(version)) {
        spanLeft_ = 0;
        return Module::Span::Whole;
    }
    if (spanLeft_ >= frames && noteFrequency == spanFrequency_ && !mixFading) {
        spanLeft_ -= frames;
        return Module::Span::Continues;
    }
    spanLeft_ = Module::kControlBlock - frames;
    spanFrequency_ = noteFrequency;
    return Module::Span::Opens;
}

bool Voice::isActive() const { return amp_.isActive(); }

void Voice::onKill() {
    spanLeft_ = 0;
    pitch_.kill();
    osc_.kill();
    noise_.kill();
    resonator_.kill();
    filter_.kill();
    amp_.kill();
}

void Voice::onNoteOn(iInstrument*, VoicingType voicing, int, int, int, int) {
    spanLeft_ = 0;
    pitch_.gateOn(voicing);
    osc_.gateOn(voicing);
    noise_.gateOn(voicing);
    resonator_.gateOn(voicing);
    filter_.gateOn(voicing);
    amp_.gateOn(voicing);
}

void Voice::onNoteOff(iInstrument*, int, int, int) {
    spanLeft_ = 0;
    pitch_.gateOff();
    osc_.gateOff();
    noise_.gateOff();
    resonator_.gateOff();
    filter_.gateOff();
    amp_.gateOff();
}

} // namespace Lumora::Corvane
