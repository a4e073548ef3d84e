#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

#include "engine/midi/MidiMessage.h"
#include "engine/voice/NoteInformation.h"
#include "engine/voice/Portamentor.h"
#include "engine/voice/VoicingType.h"

namespace Lumora {

class Clock;
class iInstrument;
class iSynthAudioEngine;

// The base of a voice: one note at a time. It keeps the note, its gate state and the pedal
// state, glides towards the note's target frequency and hands the subclass one
// NoteInformation per block. Voices live in the allocator's pools and are touched only by
// the render thread (and by the render-resource calls, which never overlap a render call).
class iVoice {
public:
    using NoteInformation = Lumora::NoteInformation;

    // Gate states.
    enum State : int32_t {
        StateOff = 0,
        StateNoteOn = 1,  // note-on in this block
        StateOn = 2,
        StateNoteOff = 3, // note-off in this block
    };

    iVoice(const iSynthAudioEngine* engine, unsigned numInputs, unsigned numOutputs);
    virtual ~iVoice();

    iVoice(const iVoice&) = delete;
    iVoice& operator=(const iVoice&) = delete;

    // Hooks of the render-resource life cycle; empty here.
    virtual void onAllocateRenderResources(iInstrument* instrument, float sampleRate);
    virtual void onDeallocateRenderResources(iInstrument* instrument);
    virtual void onReset(iInstrument* instrument);

    // Renders one block of the note into outputs (the voice's own channel buffers).
    virtual void process(iInstrument* instrument, const NoteInformation& note,
                         const std::vector<const float*>& inputs, const std::vector<float*>& outputs,
                         unsigned frames, float sampleRate, const Clock& clock,
                         const std::deque<MidiMessage>& midi) = 0;
    // True while the voice still sounds.
    virtual bool isActive() const = 0;
    // Stop at once and reset the modules.
    virtual void onKill() = 0;
    virtual void onNoteOn(iInstrument* instrument, VoicingType voicing, int fromNote, int note,
                          int velocity, int pressure) = 0;
    virtual void onNoteOff(iInstrument* instrument, int note, int velocity, int pressure) = 0;

    // Starts a note. retrigger: the voice is taken over by the mono modes; overlap: another
    // note was sounding when this one started; fromNote: where a glide starts.
    void noteOn(iInstrument* instrument, bool retrigger, bool overlap, int fromNote, int note,
                int velocity, int pressure);
    // The key of the note went up. Answers true when the voice was released now, false when
    // the pedal holds it.
    bool keyUp(iInstrument* instrument, int note, int velocity, int pressure);
    // All notes off: released whatever the pedal, which this voice then forgets.
    void forceRelease(iInstrument* instrument);
    void holdPedal(iInstrument* instrument, bool down);
    // Silences the voice at once and makes it idle.
    void kill();

    // One block: glide, then the subclass renders (or silence when idle); then the gate moves on.
    void process(iInstrument* instrument, const std::vector<const float*>& inputs, unsigned frames,
                 float sampleRate, const Clock& clock, const std::deque<MidiMessage>& midi);
    // Multiplies the first frames samples of every channel by a ramp falling from 1 to 1/frames.
    void fadeout(unsigned frames);

    // Makes every channel buffer able to hold frames samples without allocating later.
    void reserveFrames(unsigned frames);

    const iSynthAudioEngine* engine() const { return engine_; }
    unsigned numOfInputs() const { return numInputs_; }
    unsigned numOfOutputs() const { return numOutputs_; }
    const std::vector<float>& channel(unsigned i) const { return channels_[i]; }
    std::vector<float>& channel(unsigned i) { return channels_[i]; }

    int note() const { return note_; }
    int velocity() const { return velocity_; }
    float frequency() const { return frequency_; }
    int pressure() const { return pressure_; }
    int state() const { return state_; }
    int previousState() const { return previousState_; }
    bool isKeyDown() const { return keyDown_; }
    bool isPedalDown() const { return pedal_; }
    bool isReleasePending() const { return releasePending_; }
    const Portamentor& glide() const { return *glide_; }

private:
    void setState(int32_t state);
    void release(iInstrument* instrument, int note, int velocity, int pressure);

    const iSynthAudioEngine* engine_;
    std::vector<std::vector<float>> channels_;
    std::vector<float*> channelPointers_;
    unsigned numInputs_;
    unsigned numOutputs_;
    int32_t note_ = -1;
    int32_t velocity_ = 0;
    float frequency_ = 0.0f;
    // The note number of frequency_, kept for the frequency it was worked out for (NaN: none yet).
    float pitchFrequency_ = std::numeric_limits<float>::quiet_NaN();
    float pitch_ = 0.0f;
    int32_t pressure_ = 0;
    int32_t previousState_ = StateOff;
    int32_t state_ = StateOff;
    bool keyDown_ = false;
    bool pedal_ = false;
    bool releasePending_ = false;
    std::unique_ptr<Portamentor> glide_;
};

} // namespace Lumora
