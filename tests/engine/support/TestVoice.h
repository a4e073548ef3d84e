#pragma once

// A small voice and instrument for measuring voice allocation and mixing without the
// product's synth. Header-only, so that it adds nothing to the engine tests that do not use it.

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/clock/Clock.h"
#include "engine/instrument/iInstrument.h"
#include "engine/voice/iVoice.h"
#include "engine/voice/iVoiceFactory.h"

namespace Lumora::Testing {

// A voice that plays a sine at the note's glided frequency, or a constant level, with an
// instant attack and a linear release of a fixed number of frames. It counts its calls.
class TestVoice : public iVoice {
public:
    enum class Shape { Sine, Dc };

    TestVoice(const iSynthAudioEngine* engine, unsigned numOutputs, Shape shape, float level,
              unsigned releaseFrames)
        : iVoice(engine, 0, numOutputs), shape_(shape), level_(level), releaseFrames_(releaseFrames) {}

    void process(iInstrument*, const NoteInformation& info, const std::vector<const float*>&,
                 const std::vector<float*>& outputs, unsigned frames, float sampleRate, const Clock&,
                 const std::deque<MidiMessage>&) override {
        ++blocks;
        lastInfo = info;
        const double increment = static_cast<double>(info.frequency) / sampleRate;
        for (unsigned i = 0; i < frames; ++i) {
            float gain = 0.0f;
            if (gate_) {
                gain = 1.0f;
            } else if (releaseLeft_ > 0) {
                gain = static_cast<float>(releaseLeft_) / static_cast<float>(releaseFrames_);
                --releaseLeft_;
            }
            float value = level_;
            if (shape_ == Shape::Sine) {
                value *= static_cast<float>(std::sin(2.0 * std::numbers::pi * phase_));
                phase_ += increment;
                phase_ -= std::floor(phase_);
            }
            outputs[0][i] = gain * value;
        }
        for (size_t c = 1; c < outputs.size(); ++c) {
            for (unsigned i = 0; i < frames; ++i) {
                outputs[c][i] = outputs[0][i];
            }
        }
    }

    bool isActive() const override { return gate_ || releaseLeft_ > 0; }

    void onKill() override {
        ++kills;
        gate_ = false;
        releaseLeft_ = 0;
        phase_ = 0.0;
    }

    void onNoteOn(iInstrument*, VoicingType voicing, int fromNote, int, int, int) override {
        ++noteOns;
        lastVoicing = voicing;
        lastFromNote = fromNote;
        gate_ = true;
    }

    void onNoteOff(iInstrument*, int, int, int) override {
        ++noteOffs;
        if (gate_) {
            gate_ = false;
            releaseLeft_ = releaseFrames_;
        }
    }

    int blocks = 0;
    int kills = 0;
    int noteOns = 0;
    int noteOffs = 0;
    VoicingType lastVoicing = VoicingType::NewNote;
    int lastFromNote = -1;
    NoteInformation lastInfo;

private:
    Shape shape_;
    float level_;
    unsigned releaseFrames_;
    bool gate_ = false;
    unsigned releaseLeft_ = 0;
    double phase_ = 0.0;
};

// Options of a test instrument.
struct TestSetup {
    unsigned capacity = 24;
    unsigned maxPolyphony = 8;
    unsigned outputs = 2;
    unsigned voiceOutputs = 1;
    TestVoice::Shape shape = TestVoice::Shape::Dc;
    float level = 1.0f;
    unsigned releaseFrames = 256;
    float volumeScale = 1.0f;
};

// An instrument that is its own voice factory, as the product's is (the null factory names
// the instrument itself).
class TestInstrument : public iInstrument, public iVoiceFactory {
public:
    explicit TestInstrument(const TestSetup& setup = {})
        : iInstrument(nullptr, 0, setup.outputs, nullptr, setup.capacity, setup.maxPolyphony,
                      setup.volumeScale),
          setup_(setup) {}

    std::shared_ptr<iVoice> createVoice(const iSynthAudioEngine* engine) const override {
        return std::make_shared<TestVoice>(engine, setup_.voiceOutputs, setup_.shape, setup_.level,
                                           setup_.releaseFrames);
    }

    static TestVoice& voice(const iVoice* v) { return *const_cast<TestVoice*>(static_cast<const TestVoice*>(v)); }
    TestVoice& voice(size_t i) const { return voice(voiceAllocator().allVoices()[i].get()); }

    // Renders one block into the instrument's own output buffers.
    void render(unsigned frames, const std::deque<MidiMessage>& midi = {}) {
        out.assign(setup_.outputs, std::vector<float>(frames, 0.0f));
        std::vector<float*> pointers;
        for (auto& channel : out) {
            pointers.push_back(channel.data());
        }
        audioProcess({}, pointers, frames, kSampleRate, clock, midi);
    }

    static constexpr float kSampleRate = 44100.0f;
    Clock clock;
    std::vector<std::vector<float>> out;

private:
    TestSetup setup_;
};

inline MidiMessage noteOn(int note, int velocity = 100) { return MidiMessage(0x90, note, velocity); }
inline MidiMessage noteOff(int note, int velocity = 0) { return MidiMessage(0x80, note, velocity); }
inline MidiMessage pedal(bool down) { return MidiMessage(0xB0, 64, down ? 127 : 0); }

} // namespace Lumora::Testing
