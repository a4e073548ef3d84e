// A render thread plays while the main thread does everything a user and a host do at once:
// restores whole states, loads sounds, moves parameters, learns and replaces MIDI mappings and
// switches the arpeggiator. Bounded in rounds and time. Under ThreadSanitizer
// (CORVANE_TSAN=ON, scripts/tsan.sh) a data race fails the run; under the other builds a use of
// freed memory or a broken block does.

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include <gtest/gtest.h>

#include "engine/state/StateTestSupport.h"
#include "engine/tuning/MicroTuning.h"

using namespace Lumora;
using namespace SynthTest;
using Common = iSynthAudioEngine::SynthCommonParameters::Common;
using SynthMaster = iSynthAudioEngine::SynthCommonParameters::Master;

TEST(ConcurrentUse, RenderingWhileStatesSoundsParametersMappingsAndTheArpeggiatorChange) {
    StateTest::DocumentFolders folders;
    SynthRig rig(folders.config());
    TestSynth& engine = rig.engine;
    auto stateWith = [&engine](float tune, int arpeggiator, const char* mapping) {
        engine.set(SynthMaster::Tune, tune);
        engine.set(Common::Arpeggiator, arpeggiator);
        engine.synth.microTuning()->setDetune(2, tune / 2);
        engine.arpeggiatorData().swing = tune < 0 ? 0.25f : 0.75f;
        engine.midiParamMapper().deserialize(mapping, &engine.parameterManager());
        return engine.serialize(SerializeWhat::FullState, SerializeWhere::PluginHostState);
    };
    const std::string a = stateWith(-0.5f, 0, "COMMON_VOLUME\t-1\t176\t7\n");
    const std::string b = stateWith(0.5f, 1, "COMMON_PORTAMENTO\t-1\t176\t5\n");
    const std::string sound = engine.serialize(SerializeWhat::SoundPreset, SerializeWhere::Document);

    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::atomic<bool> finite{true};
    std::thread render([&] {
        for (int i = 0; running.load(); ++i) {
            Deque midi;
            if (i % 8 == 0)
                midi.push_back(noteOn(48 + i % 24));
            if (i % 8 == 4)
                midi.push_back(noteOff(48 + (i - 4) % 24));
            midi.push_back(MidiMessage(0xB0, i % 2 ? 7 : 5, i % 128));
            rig.render(midi);
            for (float v : rig.left)
                if (!std::isfinite(v))
                    finite = false;
            ++blocks;
        }
    });

    auto const until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    for (int round = 0; round < 3000 && std::chrono::steady_clock::now() < until; ++round) {
        switch (round % 6) {
        case 0: engine.deserialize(SerializeWhat::FullState, round % 12 ? a : b, SerializeWhere::PluginHostState); break;
        case 1: engine.deserialize(SerializeWhat::SoundPreset, sound, SerializeWhere::Document); break;
        case 2: engine.set(Common::Volume, float(round % 10) / 10.0f); break;
        case 3:
            engine.midiParamMapper().startLearning(Common::Volume);
            engine.midiParamMapper().newElement(Common::Portamento, MidiParamMapper::MidiKey(-1, 0xB0, 5),
                                                Math::Shaper1bp());
            break;
        case 4: engine.set(Common::Arpeggiator, round % 4 ? 1 : 0); break;
        case 5: engine.arpeggiatorData().steps[round % 16].transpose = round % 12; break;
        }
        rig.notes.dispatch();
        std::this_thread::yield();
    }
    running = false;
    render.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_TRUE(finite.load());
}
