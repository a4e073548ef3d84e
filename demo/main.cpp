// Drives the engine's render cycle through a small offline audio I/O with a MIDI phrase and
// prints what the render thread handed to the screens' observers.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "engine/audio/MasterParameters.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioEngineObservers.h"
#include "engine/audio/iAudioIO.h"
#include "engine/parameter/ParameterManager.h"

namespace {

using Lumora::MidiMessage;
using MidiDeque = std::deque<MidiMessage>;

std::string describe(const MidiMessage& m) {
    char text[64];
    std::snprintf(text, sizeof text, "%02X %3d %3d", m.status(), m.data1(), m.data2());
    return text;
}

const char* notificationName(int id) {
    switch (id) {
    case Lumora::iAudioEngine::TempoChanged: return "TempoChanged";
    case Lumora::iAudioEngine::SixteenthTick: return "SixteenthTick";
    default: return "Notification";
    }
}

// A product engine in miniature: a sine per held note, scaled by the master volume.
class DemoEngine : public Lumora::iAudioEngine {
public:
    DemoEngine() : iAudioEngine(0, 2, {}, {}) {}
    using iAudioEngine::takeReceivedProgram;
    Lumora::ParameterManager& parameterManager() override { return manager_; }
    const Lumora::ParameterManager& parameterManager() const override { return manager_; }
    void allNoteOff() override {
        std::printf("    engine: all notes off\n");
        held_.clear();
    }

protected:
    void audioProcess(const std::vector<const float*>&, const std::vector<float*>& outputs,
                      unsigned frames, float sampleRate, const Lumora::Clock&,
                      const MidiDeque& midi) override {
        for (const MidiMessage& m : midi) {
            if (m.kind() == 0x90) held_.push_back(m.data1());
            if (m.kind() == 0x80) std::erase(held_, m.data1());
        }
        const float volume = parameterManager().getParameter(1100)->normalizedValue();
        for (unsigned i = 0; i < frames; ++i) {
            float s = 0.0f;
            for (int note : held_) {
                s += 0.2f * std::sin(phase_ * Lumora::NoteNumberToHz(note) * 6.2831853f);
            }
            phase_ += 1.0 / sampleRate;
            for (float* out : outputs) out[i] = s * volume;
        }
    }

private:
    Lumora::ParameterManager manager_{"Demo", 2, nullptr};
    std::vector<int> held_;
    double phase_ = 0.0;
};

// The offline audio I/O: renders blocks on the caller's thread.
class OfflineAudioIO : public Lumora::iAudioIO {
public:
    explicit OfflineAudioIO(Lumora::iAudioEngine* engine) : iAudioIO(engine) {
        didConstructSubClass(this);
    }
    void didChangeParam(const Lumora::Parameter* p, Token token,
                        Lumora::AutomationEventType) override {
        std::printf("    audio I/O: %s -> %s (token %d)\n", p->serializedName().c_str(),
                    p->displayValue_from(p->concreteValue()).c_str(), static_cast<int>(token));
    }
    bool isPlugin() const override { return false; }
    Lumora::SyncMethod syncMethod() const override { return Lumora::SyncMethod::Internal; }
    void setSyncMethod(Lumora::SyncMethod) override {}
    bool canProposeBpm() const override { return true; }
    void proposeBpm(double bpm) override { tempo = bpm; }
    double tempo = 120.0;
};

struct PrintingMidiObserver : Lumora::iAudioEngine::MidiObserver {
    void handleMidiMessage(const MidiMessage& m) override {
        std::printf("    screen MIDI: %s\n", describe(m).c_str());
    }
};

struct PrintingNotificationObserver : Lumora::iAudioEngine::NotificationObserver {
    void handleNotification(int id, int param) override {
        std::printf("    screen notification: %d %s %d\n", id, notificationName(id), param);
    }
};

float peak(const std::vector<float>& block) {
    float p = 0.0f;
    for (float s : block) p = std::max(p, std::fabs(s));
    return p;
}

} // namespace

int main() {
    constexpr unsigned kFrames = 2048;
    constexpr float kRate = 48000.0f;
    constexpr int kBlocks = 14;

    DemoEngine engine;
    PrintingMidiObserver midiObserver;
    PrintingNotificationObserver notificationObserver;
    engine.addMidiNoteObserver(&midiObserver);
    engine.addNotificationObserver(&notificationObserver);
    OfflineAudioIO io(&engine);
    engine.setMidiInChannel(0);

    const MidiMessage tick(0xF8, 0, 0);
    std::vector<MidiDeque> phrase(kBlocks);
    phrase[0] = {MidiMessage(0x90, 60, 100), tick};
    phrase[1] = {MidiMessage(0x93, 64, 100), MidiMessage(0xC0, 5, 0), tick};  // channel 4 is filtered
    phrase[2] = {MidiMessage(0x90, 67, 90), tick, tick};
    phrase[4] = {MidiMessage(0x80, 60, 0), tick};
    phrase[6] = {MidiMessage(0xB0, 123, 0), tick};
    phrase[8] = {MidiMessage(0x90, 72, 80)};

    std::vector<float> left(kFrames), right(kFrames);
    const std::vector<float*> outputs = {left.data(), right.data()};
    Lumora::SyncInformation sync;
    sync.tempo = 132.0;

    for (int block = 0; block < kBlocks; ++block) {
        std::printf("block %d\n", block);
        if (block == 3) {
            std::printf("  on-screen key 65 pressed\n");
            engine.sendMidi(MidiMessage(0x90, engine.safeMidiChannel(), 65, 110));
            engine.parameterManager().getParameter(1100)->setNormalizedValue(
                0.5f, Lumora::ParameterObserver::Token::ViewController,
                Lumora::AutomationEventType::SetValue);
        }
        engine.setMute(block == 5);
        if (block == 10) {
            sync.tempo = 96.0;
        }
        const MidiDeque& processed = io.renderBlock({}, outputs, kFrames, kRate, phrase[block], sync);
        std::printf("  processed MIDI (%zu):", processed.size());
        for (const MidiMessage& m : processed) std::printf(" [%s]", describe(m).c_str());
        std::printf("\n  output peak %.3f%s\n", peak(left), engine.isMuted() ? " (muted)" : "");
        if (const int program = engine.takeReceivedProgram(); program >= 0) {
            std::printf("  program change received: %d\n", program);
        }
        // The screens' timer: drain what the render thread queued.
        midiObserver.dispatch();
        notificationObserver.dispatch();
    }
    return 0;
}
