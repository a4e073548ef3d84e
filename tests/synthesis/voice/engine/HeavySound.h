#pragma once

// The heaviest sound the engine makes, shared by the sound-reference test and the benchmarks.

#include "engine/parameter/ParameterManager.h"
#include "synthesis/voice/engine/AudioEngine.h"

namespace EngineTest {

// High quality, FM with its envelope and LFO moving, detuned oscillators with the sub, band-pass
// noise, the resonator on oscillator and noise with feedback, both filter stages driven, and
// chorus, delay (with its filter and time modulation) and reverb type 1 all sending.
inline void makeHeavySound(Lumora::Corvane::AudioEngine& engine) {
    const auto set = [](Lumora::Parameter& p, float value) {
        p.setConcreteValue(value, Lumora::ParameterObserver::Token::Mixed);
    };
    if (Lumora::Parameter* quality = engine.parameterManager().getParameter("MASTER_AUDIO_QUALITY")) {
        set(*quality, 2.0f);
    }
    auto& p = engine.parameters();
    set(p.osc.modDepth, 0.5f);
    set(p.osc.modEnvDepth, 0.4f);
    set(p.osc.modLfoDepth, 0.3f);
    set(p.osc.detune, 0.35f);
    set(p.osc.subLevel, 0.5f);
    set(p.noise.type, 3.0f);
    set(p.noise.level, 0.4f);
    set(p.resonator.wetOsc, 0.5f);
    set(p.resonator.wetNoise, 0.5f);
    set(p.resonator.feedback, 0.6f);
    set(p.resonator.lfoDepth, 0.2f);
    set(p.filter.type, 1.0f);
    set(p.filter.freq, 0.7f);
    set(p.filter.reso, 0.4f);
    set(p.filter.drive, 0.5f);
    set(p.filter.lfoDepth, 0.2f);
    set(p.chorus.wet, 0.5f);
    set(p.chorus.spread, 0.5f);
    set(p.delay.send, 0.4f);
    set(p.delay.timeModDepth, 0.2f);
    set(p.delay.filter.wet, 0.5f);
    set(p.delay.filter.drive, 0.3f);
    set(p.reverb.send, 0.4f);
    set(p.reverb.type, 1.0f);
}

} // namespace EngineTest
