#pragma once

// A synth engine built on the sine/DC test instrument, with an attached audio I/O and
// recording observers: enough to drive the synth engine base and its state text without the
// product's synth. Header-only.

#include <algorithm>
#include <cmath>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio/EngineTestSupport.h"
#include "engine/audio/MasterParameters.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/support/TestVoice.h"
#include "engine/synth/SynthCommonParameters.h"
#include "engine/synth/iSynthAudioEngine.h"

namespace SynthTest {

using Lumora::MidiMessage;
using Deque = std::deque<MidiMessage>;

// The smallest synth product: it owns its parameter manager and a test instrument.
class TestSynth : public Lumora::iSynthAudioEngine {
public:
    explicit TestSynth(const Config& config = {}, const Lumora::Testing::TestSetup& setup = {})
        : iSynthAudioEngine(0, 2, config), synth(setup) {}

    Lumora::ParameterManager& parameterManager() override { return manager; }
    const Lumora::ParameterManager& parameterManager() const override { return manager; }
    Lumora::iInstrument& instrument() override { return synth; }
    const Lumora::iInstrument& instrument() const override { return synth; }

    Lumora::Parameter& param(int id) { return *manager.getParameter(id); }
    // Sets a parameter by its concrete value, as a screen would.
    void set(int id, float concrete) { param(id).setConcreteValue(concrete, Lumora::ParameterObserver::Token::ViewController); }

    Lumora::ParameterManager manager{"TestSynth", 2, nullptr};
    Lumora::Testing::TestInstrument synth;
};

inline constexpr unsigned kFrames = 64;
inline constexpr float kRate = 48000.0f;

// A test synth with its audio I/O, two output buffers and recording observers.
struct SynthRig {
    explicit SynthRig(const Lumora::iSynthAudioEngine::Config& config = {},
                      const Lumora::Testing::TestSetup& setup = {})
        : engine(config, setup) {
        engine.addMidiNoteObserver(&midi);
        engine.addNotificationObserver(&notes);
        io = std::make_unique<EngineTest::TestAudioIO>(&engine);
        engine.allocateRenderResources(kRate);
    }

    // One render call; answers the processed MIDI.
    std::vector<MidiMessage> render(const Deque& in = {}, Lumora::SyncInformation sync = {}) {
        std::vector<float*> outputs = {left.data(), right.data()};
        const Deque& out = io->renderBlock({}, outputs, kFrames, kRate, in, sync);
        return {out.begin(), out.end()};
    }

    float peak() const {
        float p = 0.0f;
        for (float v : left) p = std::max(p, std::abs(v));
        return p;
    }

    TestSynth engine;
    std::unique_ptr<EngineTest::TestAudioIO> io;
    EngineTest::MidiRecorder midi;
    EngineTest::NotificationRecorder notes;
    std::vector<float> left = std::vector<float>(kFrames, 0.0f);
    std::vector<float> right = std::vector<float>(kFrames, 0.0f);
};

inline MidiMessage noteOn(int note, int velocity = 100, int channel = 0) {
    return MidiMessage(0x90 | channel, note, velocity);
}
inline MidiMessage noteOff(int note, int channel = 0) { return MidiMessage(0x80 | channel, note, 0); }

inline int countStatus(const std::vector<MidiMessage>& midi, int kind) {
    return static_cast<int>(std::count_if(midi.begin(), midi.end(), [kind](const MidiMessage& m) {
        return m.kind() == kind;
    }));
}

} // namespace SynthTest
