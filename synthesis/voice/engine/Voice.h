#pragma once

#include <deque>
#include <vector>

#include "engine/voice/iVoice.h"
#include "synthesis/voice/modules/AMP.h"
#include "synthesis/voice/modules/Filter.h"
#include "synthesis/voice/modules/Noise.h"
#include "synthesis/voice/modules/OSC.h"
#include "synthesis/voice/modules/Pitch.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/modules/Resonator.h"

namespace Lumora::Corvane {

class Instrument;

// One polyphonic voice: pitch, oscillator, noise, resonator, filter and amplifier in a chain,
// rendering mono into its single output channel. It lives as long as its amplifier envelope.
class Voice : public iVoice {
public:
    explicit Voice(const iSynthAudioEngine* engine);
    ~Voice() override;

    // Sizes every module's buffers for the instrument's largest block, so that rendering never
    // allocates.
    void onAllocateRenderResources(iInstrument* instrument, float sampleRate) override;

    void process(iInstrument* instrument, const NoteInformation& note,
                 const std::vector<const float*>& inputs, const std::vector<float*>& outputs,
                 unsigned frames, float sampleRate, const Clock& clock,
                 const std::deque<MidiMessage>& midi) override;
    bool isActive() const override;
    void onKill() override;
    void onNoteOn(iInstrument* instrument, VoicingType voicing, int fromNote, int note, int velocity,
                  int pressure) override;
    void onNoteOff(iInstrument* instrument, int note, int velocity, int pressure) override;

    const Module::Pitch& pitchModule() const { return pitch_; }
    const Module::AMP& ampModule() const { return amp_; }

private:
    Module::Span nextSpan(unsigned frames, unsigned version, float noteFrequency, bool mixFading);

    std::vector<float> work_;
    // The note as the modules hear it, its pitch held over a span of short blocks.
    NoteInformation note_;
    // The resonator's route, read where a span opens.
    bool throughFilter_ = true;
    // Frames left in the span of short blocks in force (0 when none is), and the note frequency
    // it opened with.
    unsigned spanLeft_ = 0;
    float spanFrequency_ = 0.0f;
    Module::Pitch pitch_;
    Module::OSC osc_;
    Module::Noise noise_;
    Module::Resonator resonator_;
    Module::Filter filter_;
    Module::AMP amp_;
};

} // namespace Lumora::Corvane
