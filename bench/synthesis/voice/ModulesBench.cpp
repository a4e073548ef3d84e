// Cost of the voice modules per block: each module alone and the whole chain of one voice, at
// 48 kHz in blocks of 256 frames (items = frames rendered).
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/clock/Clock.h"
#include "engine/midi/MidiMessage.h"
#include "engine/parameter/ParameterManager.h"
#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/AMP.h"
#include "synthesis/voice/modules/Filter.h"
#include "synthesis/voice/modules/Noise.h"
#include "synthesis/voice/modules/OSC.h"
#include "synthesis/voice/modules/Pitch.h"
#include "synthesis/voice/modules/ProcessLFO.h"
#include "synthesis/voice/modules/Resonator.h"

namespace {

using namespace Lumora;
namespace M = Lumora::Corvane::Module;

constexpr float kRate = 48000.0f;
constexpr unsigned kFrames = 256;

struct Setup {
    Setup()
    {
        note.note = 60;
        note.velocity = 100;
        note.frequency = NoteNumberToHz(60);
        note.pitch = 60.0f;
        lfo.blockProcess(nullptr, 128, kFrames, kRate, 0.0f, 0);
        input.resize(kFrames);
        for (unsigned i = 0; i < kFrames; ++i)
            input[i] = 0.5f * std::sin(0.07f * float(i));
        output.resize(kFrames);
    }
    void set(Parameter& p, float normalized)
    {
        p.setNormalizedValue(normalized, ParameterObserver::Token::Document, AutomationEventType::None);
    }

    ParameterManager manager{"Bench", 2, nullptr};
    Corvane::Parameters params{&manager};
    Clock clock;
    DSP::LFO lfo{DSP::LFO::WAVEFORM_TYPE(0)};
    NoteInformation note;
    std::vector<float> input, output;
};

// Oscillator at a wave position between two groups, FM mixed in, detuned, with the sub.
void BM_Osc(benchmark::State& state)
{
    Setup s;
    s.set(s.params.osc.waveMix, 0.35f);
    s.set(s.params.osc.modDepth, 0.5f);
    s.set(s.params.osc.detune, state.range(1) ? 0.5f : 0.0f);
    s.set(s.params.osc.subLevel, 0.5f);
    M::OSC osc;
    osc.reserve(kFrames);
    osc.gateOn(VoicingType::NewNote);
    const auto quality = static_cast<AudioQuality>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(osc.process(kFrames, kRate, s.clock, s.note, s.params.osc, s.lfo, 2, quality));
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Osc)->ArgsProduct({{0, 1, 2}, {0, 1}});

void BM_Noise(benchmark::State& state)
{
    Setup s;
    s.set(s.params.noise.level, 1.0f);
    s.set(s.params.noise.type, float(state.range(0)) / 127.0f);
    M::Noise noise;
    noise.reserve(kFrames);
    noise.gateOn(VoicingType::NewNote);
    for (auto _ : state)
        benchmark::DoNotOptimize(noise.process(kFrames, kRate, s.clock, s.note, s.params.noise, 2, AudioQuality::Normal));
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Noise)->DenseRange(0, 5);

void BM_Resonator(benchmark::State& state)
{
    Setup s;
    s.set(s.params.resonator.wetOsc, 0.5f);
    s.set(s.params.resonator.feedback, 0.9f);
    M::Resonator resonator;
    resonator.reserve(kFrames);
    resonator.gateOn(VoicingType::NewNote);
    for (auto _ : state)
        benchmark::DoNotOptimize(resonator.process(nullptr, nullptr, s.input.data(), s.input.data(), kFrames, kRate,
                                                   s.clock, s.note, s.params.resonator, s.lfo, 2,
                                                   AudioQuality::Normal));
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Resonator);

void BM_Filter(benchmark::State& state)
{
    Setup s;
    s.set(s.params.filter.freq, 0.6f);
    s.set(s.params.filter.reso, 0.5f);
    s.set(s.params.filter.drive, 0.5f);
    M::Filter filter;
    filter.reserve(kFrames);
    filter.gateOn(VoicingType::NewNote);
    for (auto _ : state)
        benchmark::DoNotOptimize(filter.process(s.input.data(), kFrames, kRate, s.clock, s.note, s.params.filter, s.lfo,
                                                2, AudioQuality::Normal));
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Filter);

void BM_Amp(benchmark::State& state)
{
    Setup s;
    M::AMP amp;
    amp.reserve(kFrames);
    amp.gateOn(VoicingType::NewNote);
    for (auto _ : state)
        benchmark::DoNotOptimize(amp.process(s.output.data(), s.input.data(), kFrames, kRate, s.clock, s.note,
                                             s.params.amp, 2, AudioQuality::Normal));
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_Amp);

// One voice of the default sound, LFOs included, as the instrument and the voice run it.
void BM_VoiceChain(benchmark::State& state)
{
    Setup s;
    DSP::LFO pitchLfo, oscLfo, resonatorLfo, filterLfo;
    M::ReadbackSlot lfoOutput;
    M::Pitch pitch;
    M::OSC osc;
    M::Noise noise;
    M::Resonator resonator;
    M::Filter filter;
    M::AMP amp;
    osc.reserve(kFrames);
    noise.reserve(kFrames);
    resonator.reserve(kFrames);
    filter.reserve(kFrames);
    amp.reserve(kFrames);
    pitch.gateOn(VoicingType::NewNote);
    osc.gateOn(VoicingType::NewNote);
    noise.gateOn(VoicingType::NewNote);
    resonator.gateOn(VoicingType::NewNote);
    filter.gateOn(VoicingType::NewNote);
    amp.gateOn(VoicingType::NewNote);
    const auto q = static_cast<AudioQuality>(state.range(0));
    for (auto _ : state) {
        DSP::ScopedFlushDenormals noDenormals;
        M::processLFO(kFrames, kRate, s.clock, pitchLfo, s.params.pitch.lfo, lfoOutput);
        M::processLFO(kFrames, kRate, s.clock, oscLfo, s.params.osc.lfo, lfoOutput);
        M::processLFO(kFrames, kRate, s.clock, resonatorLfo, s.params.resonator.lfo, lfoOutput);
        M::processLFO(kFrames, kRate, s.clock, filterLfo, s.params.filter.lfo, lfoOutput);
        NoteInformation n = s.note;
        n.frequency = pitch.process(kFrames, kRate, s.clock, s.note, s.params.pitch, pitchLfo, 2, q);
        n.frequencyProvider = &pitch;
        const float* o = osc.process(kFrames, kRate, s.clock, n, s.params.osc, oscLfo, 2, q);
        const float* z = noise.process(kFrames, kRate, s.clock, n, s.params.noise, 2, q);
        const float* r = resonator.process(nullptr, nullptr, o, z, kFrames, kRate, s.clock, n, s.params.resonator,
                                           resonatorLfo, 2, q);
        const float* f = filter.process(r, kFrames, kRate, s.clock, n, s.params.filter, filterLfo, 2, q);
        benchmark::DoNotOptimize(amp.process(s.output.data(), f, kFrames, kRate, s.clock, n, s.params.amp, 2, q));
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(BM_VoiceChain)->DenseRange(0, 2);

} // namespace
