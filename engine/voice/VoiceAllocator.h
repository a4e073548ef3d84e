#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "engine/midi/MidiMessage.h"
#include "engine/voice/HeldKeys.h"
#include "engine/voice/VoicePool.h"

namespace Lumora {

class Clock;
class iInstrument;
class iSynthAudioEngine;
class iVoice;
class iVoiceFactory;

// Owns every voice of an instrument for the instrument's life and moves them between the
// pools active, released, fading and free: picks the voice of a new note (stealing the oldest
// at the polyphony limit), releases on note-off with the hold pedal, runs the two mono modes
// with a return to the lowest held key, renders all sounding voices and sums them.
//
// Threads: the pools are touched only by the render thread (process and the note operations)
// and by the render-resource calls (killAllVoices, the fan-outs), which the audio I/O never
// runs during a render call. No lock guards them. Other threads may read the published
// counts and settings, which are atomics.
class VoiceAllocator {
public:
    // Mono modes, as iInstrument::monoMode_t.
    enum class MonoMode : int32_t { Poly = 0, Mono = 1, MonoLegato = 2 };

    static constexpr unsigned kDefaultMaximumFrames = 4096;

    // Prepares pools for 2 x capacity voices (at least one). The voices themselves are made by
    // createVoices, because a factory that is the instrument being built cannot make them yet.
    VoiceAllocator(const iSynthAudioEngine* engine, const iVoiceFactory* factory, unsigned capacity);
    virtual ~VoiceAllocator();

    VoiceAllocator(const VoiceAllocator&) = delete;
    VoiceAllocator& operator=(const VoiceAllocator&) = delete;

    // Makes every voice through the factory, once; later calls do nothing. Never on the render
    // thread once rendering runs.
    void createVoices();
    bool hasVoices() const { return !allVoices_.empty(); }
    // No voice sounds, releases or fades: a block would render none.
    bool silent() const { return active_.empty() && released_.empty() && fading_.empty(); }
    const iVoiceFactory* voiceFactory() const { return factory_; }
    // Only before createVoices.
    void setVoiceFactory(const iVoiceFactory* factory) { factory_ = factory; }
    // Makes the voices' and the sums' buffers hold frames samples without allocating later.
    void reserveFrames(unsigned frames);

    // One block: the note events of midi in order, then every sounding voice renders, and the
    // rendered voices are summed into the sum buffers.
    void process(iInstrument* instrument, const std::vector<const float*>& inputs, unsigned frames,
                 float sampleRate, const Clock& clock, const std::deque<MidiMessage>& midi);

    void noteOn(iInstrument* instrument, int note, int velocity, int pressure);
    void noteOff(iInstrument* instrument, int note, int velocity, int pressure);
    void holdPedal(iInstrument* instrument, bool down);
    // Releases every active voice and forgets the held keys.
    void allNoteOff(iInstrument* instrument);
    // Kills every sounding voice and frees it at once.
    void killAllVoices();

    void allocateRenderResources(iInstrument* instrument, float sampleRate);
    void deallocateRenderResources(iInstrument* instrument);
    void reset(iInstrument* instrument);

    unsigned voiceCount() const { return voiceCount_; }
    unsigned maxPolyphony() const { return maxPolyphony_.load(std::memory_order_relaxed); }
    void setMaxPolyphony(unsigned n) { maxPolyphony_.store(n, std::memory_order_relaxed); }
    MonoMode monoMode() const { return monoMode_.load(std::memory_order_relaxed); }
    void setMonoMode(MonoMode mode) { monoMode_.store(mode, std::memory_order_relaxed); }

    // Voices in the active and released pools, as published after the last change by the
    // render thread; safe to read from any thread.
    unsigned numOfSoundingVoices() const { return sounding_.load(std::memory_order_relaxed); }

    int lastNote() const { return lastNote_; }
    int lastVelocity() const { return lastVelocity_; }
    const HeldKeys& heldKeys() const { return heldKeys_; }

    // Pools and sums, for the instrument and for inspection on the render thread.
    const std::vector<std::shared_ptr<iVoice>>& allVoices() const { return allVoices_; }
    const VoicePool& activeVoices() const { return active_; }
    const VoicePool& releasedVoices() const { return released_; }
    const VoicePool& fadingVoices() const { return fading_; }
    const VoicePool& freeVoices() const { return free_; }
    std::vector<std::vector<float>>& sumBuffers() { return sums_; }
    const std::vector<std::vector<float>>& sumBuffers() const { return sums_; }

private:
    bool monoHandlingApplies() const;
    void monoNoteOn(iInstrument* instrument, bool overlap, int note, int velocity, int pressure);
    void polyNoteOn(iInstrument* instrument, bool overlap, int note, int velocity, int pressure);
    // The voice joins the back of the active pool and starts its note.
    void startVoice(iInstrument* instrument, iVoice* voice, bool retrigger, bool overlap, int note,
                    int velocity, int pressure);
    // Renders a pool; voices that stopped sounding are faded over the block and freed.
    void renderPool(VoicePool& pool, iInstrument* instrument, const std::vector<const float*>& inputs,
                    unsigned frames, float sampleRate, const Clock& clock,
                    const std::deque<MidiMessage>& midi);
    void renderFading(iInstrument* instrument, const std::vector<const float*>& inputs, unsigned frames,
                      float sampleRate, const Clock& clock, const std::deque<MidiMessage>& midi);
    void sumRenderedVoices(unsigned frames);
    // Channel c of every rendered voice that has one, summed into sum.
    void sumChannel(unsigned c, float* sum, unsigned frames);
    void freeVoice(iVoice* voice);
    void publishCounts();

    const iSynthAudioEngine* engine_;
    const iVoiceFactory* factory_;
    std::vector<std::shared_ptr<iVoice>> allVoices_;
    VoicePool active_;
    VoicePool released_;
    VoicePool fading_;
    VoicePool free_;
    std::vector<iVoice*> rendered_;
    int32_t lastNote_ = 64;
    int32_t lastVelocity_ = 64;
    HeldKeys heldKeys_;
    // The pedal as last reported, so that a voice reused while the pedal is down is held too.
    bool pedalDown_ = false;
    std::atomic<MonoMode> monoMode_{MonoMode::Poly};
    unsigned voiceCount_;
    std::atomic<unsigned> maxPolyphony_;
    std::vector<std::vector<float>> sums_;
    unsigned reservedFrames_ = kDefaultMaximumFrames;
    std::atomic<unsigned> sounding_{0};
};

} // namespace Lumora
