#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "engine/instrument/AudioQuality.h"
#include "engine/midi/MidiMessage.h"
#include "engine/parameter/Serializer.h"
#include "engine/tuning/MicroTuning.h"
#include "engine/voice/VoiceAllocator.h"

namespace Lumora {

class Clock;
class iSynthAudioEngine;
class iVoiceFactory;
class MultiPartText;

// The base of every playable instrument: turns one block of processed MIDI into one block of
// audio. It records pitch bend and key pressure, lets its voice allocator play and sum the
// voices, gives the subclass hooks before and after the voices, applies a click-free master
// volume and clips. It owns the micro-tuning table and computes every voice's target frequency.
//
// Threads: audioProcess, the setters and allNoteOff run on the render thread; the render-
// resource calls and reset come from the audio I/O while no render call runs. The micro-tuning
// table is also written by the main thread or a host thread (deserialize, initialize, the
// editor) while the render thread reads it.
class iInstrument {
public:
    enum PORTAMENTO_MODE : int32_t {
        PORTAMENTO_ALWAYS = 0, // glide into every note
        PORTAMENTO_LEGATO = 1, // glide only into a note that overlaps a sounding one
    };
    using monoMode_t = VoiceAllocator::MonoMode;

    using Inputs = std::vector<const float*>;
    using Outputs = std::vector<float*>;
    using MidiBlock = std::deque<MidiMessage>;

    // Prepares 2 x voiceCapacity voices. The voices are made by createVoices, at the latest
    // when render resources are allocated: a subclass that is its own voice factory is not
    // built yet while this constructor runs, so it cannot make voices here. A null factory
    // means the instrument itself, which must then derive from iVoiceFactory.
    iInstrument(const iSynthAudioEngine* engine, unsigned numInputs, unsigned numOutputs,
                const iVoiceFactory* voiceFactory, unsigned voiceCapacity, unsigned maxPolyphony,
                float volumeScale);
    virtual ~iInstrument();

    iInstrument(const iInstrument&) = delete;
    iInstrument& operator=(const iInstrument&) = delete;

    // Makes all voices now (once). A subclass may call it at the end of its constructor.
    void createVoices();
    // Makes every block buffer hold frames samples, so that no longer block allocates later.
    // Not on the render thread.
    void reserveFrames(unsigned frames);

    // Setters, called on the render thread before every block.
    void setMaxPolyphony(unsigned n);
    void setVolume(float volume);
    // Sets the volume with nothing to glide from: the next block starts at it.
    void setVolumeWithoutRamp(float volume);
    // A new volume glides there over this many seconds, the same at every block size; at 0 (the
    // default) over the block that first renders it.
    void setVolumeGlideSeconds(float seconds) { volumeGlideSeconds_ = seconds; }
    void setTranspose(int semitones) { setPitchSetting(transpose_, semitones); }
    void setTune(float semitones) { setPitchSetting(tune_, semitones); }
    // down applies while the bend is negative, up while it is zero or positive.
    void setPitchBendRange(int down, int up);
    void setPortamentoMode(PORTAMENTO_MODE mode) { portamentoMode_ = mode; }
    void setPortamento(float amount) { portamento_ = amount; }
    void setMonoMode(monoMode_t mode) { allocator_->setMonoMode(mode); }
    void setAudioQuality(AudioQuality quality) { audioQuality_.store(quality, std::memory_order_relaxed); }

    AudioQuality audioQuality() const { return audioQuality_.load(std::memory_order_relaxed); }
    PORTAMENTO_MODE portamentoMode() const { return portamentoMode_; }
    float portamento() const { return portamento_; }
    monoMode_t monoMode() const { return allocator_->monoMode(); }
    int transpose() const { return transpose_; }
    float tune() const { return tune_; }
    float pitchBend() const { return pitchBend_; }
    float volume() const { return volume_; }
    float volumeScale() const { return volumeScale_; }
    // Latest polyphonic key pressure of a note (masked to 0..127).
    int keyPressure(int note) const { return keyPressures_[static_cast<size_t>(note & 127)]; }

    unsigned polyphonicCapacity() const { return allocator_->voiceCount() / 2; }
    unsigned maxPolyphony() const { return allocator_->maxPolyphony(); }
    // Voices holding or releasing a note (fading ones do not count); any thread.
    unsigned numOfActiveVoices() const { return allocator_->numOfSoundingVoices(); }
    MicroTuning* microTuning() { return microTuning_.get(); }
    const MicroTuning* microTuning() const { return microTuning_.get(); }
    const VoiceAllocator& voiceAllocator() const { return *allocator_; }
    unsigned numOfInputs() const { return numInputs_; }
    unsigned numOfOutputs() const { return numOutputs_; }
    const iSynthAudioEngine* engine() const { return engine_; }

    // Target frequency of a note in Hz: micro-tuning, tune, transpose and pitch bend applied.
    // Every sounding voice asks once per block; the answer is kept per note until a setting it
    // depends on changes.
    float noteNumberToHz(int note) const {
        if (note >= 0 && note <= 127) {
            const NoteFrequency& known = noteFrequencies_[static_cast<size_t>(note)];
            if (known.hz >= 0.0f && known.settings == pitchSettingChanges_ &&
                known.tuning == microTuning_->changes()) {
                return known.hz;
            }
        }
        return workOutNoteFrequency(note);
    }

    // Releases every active voice and forgets every held key.
    void allNoteOff();

    void allocateRenderResources(float sampleRate);
    // Stops every sounding voice, then lets the voices release their resources. The voices
    // leave their pools at the start of the next render call, so that only the render thread
    // ever moves them: no block after this call plays an earlier note.
    void deallocateRenderResources();
    void reset();

    // One block of audio into outputs from the block's MIDI.
    void audioProcess(const Inputs& inputs, const Outputs& outputs, unsigned frames, float sampleRate,
                      const Clock& clock, const MidiBlock& midi);

    // Render thread: every block from now on answers silence until a message comes (or a setting
    // moves the volume): no voice sounds or fades, the volume stands still and the subclass sleeps.
    bool silentUntilMidi() const;
    // Any thread: deallocateRenderResources asked for every voice to stop with the next block.
    bool killPending() const { return killRequested_.load(std::memory_order_relaxed); }

    // The "MicroTuning" part of the engine state.
    void serialize(SerializeWhat what, MultiPartText& text) const;
    bool deserialize(SerializeWhat what, const MultiPartText& text, SerializeWhere where);
    void initialize(SerializeWhat what, SerializeWhere where);

    // Not called by the engine; answers the MIDI it is given.
    virtual MidiBlock midiProcess(unsigned frames, float sampleRate, const Clock& clock,
                                  const MidiBlock& midi);

protected:
    virtual void onAllocateRenderResources(float sampleRate);
    virtual void onDeallocateRenderResources();
    virtual void onReset();
    // Before any voice runs in a block.
    virtual void preVoiceProcess(const Inputs& inputs, unsigned frames, float sampleRate,
                                 const Clock& clock, const MidiBlock& midi);
    // Turns the summed voice channels into the outputs: channel to channel when the counts
    // match, one channel to every output when the voices are mono, else nothing.
    virtual void audioProcess(const Inputs& inputs, const Inputs& voiceSums, const Outputs& outputs,
                              unsigned frames, float sampleRate, const Clock& clock,
                              const MidiBlock& midi);
    // After the master volume; clips every sample to [-1, 1].
    virtual void postVolumeProcess(const Outputs& outputs, unsigned frames, float sampleRate,
                                   const Clock& clock, const MidiBlock& midi);

    // A block without MIDI, without a voice to render and with the volume at rest, its outputs
    // already cleared: a subclass whose output would be exact silence does the block's own
    // bookkeeping here and answers true, and nothing else runs (no voice pass, volume or clip,
    // which would all leave zeros as they are). Answering false renders the block in full. The
    // base never rests.
    virtual bool restBlock(const Outputs& outputs, unsigned frames, float sampleRate, const Clock& clock);
    // Whether every block without voices would rest (restBlock) and give silence until one sounds.
    // The base never sleeps.
    virtual bool sleeps() const;

private:
    void scanControllers(const MidiBlock& midi);
    void applyVolume(const Outputs& outputs, unsigned frames, float sampleRate);
    // Starts a new line to the set volume when it changed.
    void aimVolume(unsigned frames, float sampleRate);
    // Every output sample +0 and both ends of the volume ramp finite and not negative: the ramp
    // and the clip would write back the same +0s.
    bool unchangedByVolume(const Outputs& outputs, unsigned frames, float start, float target) const;
    // No voice sounds or fades and the gain stands at the set volume: a block of silent voices
    // would come out of the volume stage unchanged.
    bool voicesAndVolumeAtRest() const;
    // The outputs cleared and the subclass resting; see restBlock.
    bool rested(const Outputs& outputs, unsigned frames, float sampleRate, const Clock& clock);
    // The frequency of a note with the micro-tuning entry given.
    float noteNumberToHz(int note, int32_t offset, float detune) const;
    // The frequency of a note from the settings as they stand, kept for the next question.
    float workOutNoteFrequency(int note) const;
    // A setting the note frequencies depend on; a change of value (compared as numbers: a shift of
    // -0 is a factor 1 as +0 is) is counted, so that the frequencies kept are worked out again.
    template <class T>
    void setPitchSetting(T& setting, T value) {
        if (!(setting == value)) {
            ++pitchSettingChanges_;
        }
        setting = value;
    }

    const iSynthAudioEngine* engine_;
    std::unique_ptr<VoiceAllocator> allocator_;
    unsigned numInputs_;
    unsigned numOutputs_;
    float pitchBend_ = 0.0f;
    std::array<int, 128> keyPressures_{};
    float volumeScale_;
    float volume_ = 0.5f;
    // The gain (volume times scale) the last block ended on: the start of the next block's ramp.
    float volumeGain_;
    // The line the gain follows: the volume it ends at, its step per sample and the samples left.
    float volumeTarget_ = 0.5f;
    float volumeStep_ = 0.0f;
    unsigned volumeLeft_ = 0;
    float volumeGlideSeconds_ = 0.0f;
    // This block's outputs are exact silence, which the clip leaves as it is.
    bool silentBlock_ = false;
    int32_t transpose_ = 0;
    float tune_ = 0.0f;
    int32_t bendRangeDown_ = 2;
    int32_t bendRangeUp_ = 2;
    PORTAMENTO_MODE portamentoMode_ = PORTAMENTO_LEGATO;
    float portamento_ = 0.0f;
    std::atomic<AudioQuality> audioQuality_{AudioQuality::Normal};
    std::unique_ptr<MicroTuning> microTuning_;
    // Changes of pitch bend, tune, transpose and the bend ranges so far (a bend may change in every
    // block: 64 bits never wrap).
    uint64_t pitchSettingChanges_ = 0;
    // The last frequency worked out for each note, with the counts of changes to the settings and
    // to the micro-tuning table it was worked out after: every block asks again for each sounding
    // note, whose settings rarely move. Touched by the render thread only (and by callers outside
    // rendering).
    struct NoteFrequency {
        uint64_t settings = 0;
        uint32_t tuning = 0;
        float hz = -1.0f; // none yet
    };
    mutable std::array<NoteFrequency, 128> noteFrequencies_{};
    Inputs voiceSums_;
    // Set when render resources were released; the render thread then kills every voice.
    std::atomic<bool> killRequested_{false};
};

} // namespace Lumora
