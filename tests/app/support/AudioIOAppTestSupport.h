#pragma once

// Shared pieces of the app audio I/O tests: a private data home (so the Link switch and every
// other default start unset), a small engine that records what each render call handed it, and
// a fixture that resets the process-wide stand-ins between tests. Header-only.

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/AudioIO_for_iOS_App.h"
#include "app/AudioIO_for_iOS_App_Impl.h"
#include "common/TestIsolation.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioEngineObservers.h"
#include "engine/parameter/ParameterManager.h"
#include "platform/audio/AudioSession.h"
#include "platform/audio/AudioUnitServices.h"
#include "platform/foundation/RunLoop.h"
#include "platform/midi/MidiNetworkSession.h"

namespace AppAudioTest {

using Lumora::MidiMessage;

inline Lumora::AudioIO_for_iOS_App::Config testConfig() {
    return {"Corvane Test", Platform::fourCharCode("auri"), Platform::fourCharCode("crvt"),
            Platform::fourCharCode("Tvrk"), 3};
}

inline Platform::AudioComponentDescription testDescription() {
    const auto config = testConfig();
    return {config.type, config.subtype, config.manufacturer, 0, 0};
}

// An engine that writes a constant into every output and records, per render call, the MIDI, the
// sample rate and the clock it was given. The records are read after the render thread ended.
class RecordingEngine : public Lumora::iAudioEngine {
public:
    explicit RecordingEngine(unsigned inputs = 0) : iAudioEngine(inputs, 2, {}, {}) {}

    Lumora::ParameterManager& parameterManager() override { return manager; }
    const Lumora::ParameterManager& parameterManager() const override { return manager; }
    void allocateRenderResources(float sampleRate) override { allocatedRates.push_back(sampleRate); }

    struct Call {
        unsigned frames = 0;
        float sampleRate = 0;
        double bpm = 0;
        double beatPosition = 0;
        std::vector<MidiMessage> midi;
    };

    Lumora::ParameterManager manager{"RecordingEngine", 2, nullptr};
    std::vector<Call> calls;
    std::vector<float> allocatedRates;

protected:
    void audioProcess(const std::vector<const float*>&, const std::vector<float*>& outputs, unsigned frames,
                      float sampleRate, const Lumora::Clock& clock, const MidiDeque& midi) override {
        calls.push_back({frames, sampleRate, clock.bpm(), clock.beatPosition(), {midi.begin(), midi.end()}});
        for (float* channel : outputs)
            for (unsigned i = 0; i < frames; ++i) channel[i] = 0.25f;
    }
};

// Every test starts from a fresh session, no pending injected failure and an empty main queue.
class Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        TestIsolation::useTestDataHome();
        Platform::AudioSession::sharedInstance().reset();
        for (int c = 0; c < static_cast<int>(Platform::AudioUnitCall::Count); ++c)
            Platform::AudioUnitServices::failNextCall(static_cast<Platform::AudioUnitCall>(c), 0);
        Platform::RunLoop::main().runOnce();
    }
    void TearDown() override {
        Platform::MidiNetworkSession::defaultSession().setEnabled(false);
        Platform::AudioSession::sharedInstance().reset();
        Platform::RunLoop::main().runOnce();
    }
};

} // namespace AppAudioTest
