#pragma once

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioEngineObservers.h"
#include "engine/audio/iAudioIO.h"
#include "engine/parameter/ParameterManager.h"

namespace EngineTest {

using Lumora::MidiMessage;

// The smallest product engine: it owns its parameter manager, writes a constant into every
// output channel and records what the cycle handed it.
class TestEngine : public Lumora::iAudioEngine {
public:
    TestEngine() : iAudioEngine(0, 2, {}, {}) {}
    TestEngine(const Lumora::PresetDocFileManagerConfig& sound,
               const Lumora::PresetDocFileManagerConfig& midiMapping)
        : iAudioEngine(0, 2, sound, midiMapping) {}

    Lumora::ParameterManager& parameterManager() override { return manager; }
    const Lumora::ParameterManager& parameterManager() const override { return manager; }

    void allNoteOff() override { ++allNoteOffCalls; }
    using iAudioEngine::takeReceivedProgram;

    Lumora::ParameterManager manager{"TestEngine", 2, nullptr};
    int allNoteOffCalls = 0;
    int midiProcessCalls = 0;
    int audioProcessCalls = 0;
    std::deque<MidiMessage> lastAudioMidi;

protected:
    const MidiDeque& midiProcess(unsigned frames, float sampleRate, const Lumora::Clock& clock,
                                 const MidiDeque& midi) override {
        ++midiProcessCalls;
        return iAudioEngine::midiProcess(frames, sampleRate, clock, midi);
    }
    void audioProcess(const std::vector<const float*>&, const std::vector<float*>& outputs,
                      unsigned frames, float, const Lumora::Clock&, const MidiDeque& midi) override {
        ++audioProcessCalls;
        lastAudioMidi = midi;
        for (float* channel : outputs) {
            for (unsigned i = 0; i < frames; ++i) channel[i] = 0.5f;
        }
    }
};

// A concrete audio I/O that records the parameter changes it observes.
class TestAudioIO : public Lumora::iAudioIO {
public:
    explicit TestAudioIO(Lumora::iAudioEngine* engine) : iAudioIO(engine) {
        didConstructSubClass(this);
    }
    void didChangeParam(const Lumora::Parameter* param, Token token,
                        Lumora::AutomationEventType) override {
        changes.emplace_back(param, token);
    }
    bool isPlugin() const override { return false; }
    Lumora::SyncMethod syncMethod() const override { return method; }
    void setSyncMethod(Lumora::SyncMethod m) override { method = m; }
    bool canProposeBpm() const override { return true; }
    void proposeBpm(double bpm) override { proposed = bpm; }

    std::vector<std::pair<const Lumora::Parameter*, Token>> changes;
    Lumora::SyncMethod method = Lumora::SyncMethod::Internal;
    double proposed = 120.0;
};

struct MidiRecorder : Lumora::iAudioEngine::MidiObserver {
    void handleMidiMessage(const MidiMessage& m) override { received.push_back(m); }
    size_t queued() { std::lock_guard l(mutex); return pending; }
    std::vector<MidiMessage> received;
};

struct NotificationRecorder : Lumora::iAudioEngine::NotificationObserver {
    void handleNotification(int id, int param) override { received.emplace_back(id, param); }
    std::vector<std::pair<int, int>> received;
    // The notifications of one id, in order.
    std::vector<int> paramsOf(int id) const {
        std::vector<int> out;
        for (const auto& [i, p] : received) if (i == id) out.push_back(p);
        return out;
    }
};

} // namespace EngineTest
