#include "engine/voice/VoiceAllocator.h"

#include <algorithm>

#include "engine/instrument/iInstrument.h"
#include "engine/voice/ZeroFill.h"
#include "engine/voice/iVoice.h"
#include "engine/voice/iVoiceFactory.h"
#include "platform/vdsp/Vdsp.h"

namespace Lumora {

namespace {

constexpr int32_t kNoteOff = 0x80;
constexpr int32_t kNoteOn = 0x90;
constexpr int32_t kControlChange = 0xB0;
constexpr int32_t kHoldPedal = 64;

// The sum is a buffer of the allocator's own, never one of the voices' channels.
[[gnu::always_inline]] inline void addPairToBody(float* __restrict sum, const float* a, const float* b, unsigned n) {
    for (unsigned i = 0; i < n; ++i) {
        sum[i] = (sum[i] + a[i]) + b[i];
    }
}

// The three-way sum is also compiled for processors with AVX2, eight lanes wide: the same
// single-precision additions per sample, so the same bits. Two voices alone are Vdsp::add.
#if defined(__x86_64__) && defined(__GNUC__)
#define LUMORA_WIDE_VOICE_SUM 1
[[gnu::target("avx2")]] void addPairToWide(float* __restrict sum, const float* a, const float* b, unsigned n) {
    addPairToBody(sum, a, b, n);
}

const bool wideSums = Platform::Vdsp::processorHasAvx2();
#endif

void addPairTo(float* sum, const float* a, const float* b, unsigned n) {
#if defined(LUMORA_WIDE_VOICE_SUM)
    if (wideSums) {
        addPairToWide(sum, a, b, n);
        return;
    }
#endif
    addPairToBody(sum, a, b, n);
}

} // namespace

VoiceAllocator::VoiceAllocator(const iSynthAudioEngine* engine, const iVoiceFactory* factory,
                               unsigned capacity)
    : engine_(engine),
      factory_(factory),
      voiceCount_(std::max(2 * capacity, 1u)),
      maxPolyphony_(capacity) {
    for (VoicePool* pool : {&active_, &released_, &fading_, &free_}) {
        pool->reserve(voiceCount_);
    }
    rendered_.reserve(voiceCount_);
}

VoiceAllocator::~VoiceAllocator() = default;

void VoiceAllocator::createVoices() {
    if (!allVoices_.empty() || factory_ == nullptr) {
        return;
    }
    allVoices_.reserve(voiceCount_);
    for (unsigned i = 0; i < voiceCount_; ++i) {
        std::shared_ptr<iVoice> voice = factory_->createVoice(engine_);
        voice->reserveFrames(reservedFrames_);
        free_.pushBack(voice.get());
        allVoices_.push_back(std::move(voice));
    }
    sums_.assign(allVoices_.front()->numOfOutputs(), {});
    for (auto& sum : sums_) {
        sum.reserve(reservedFrames_);
    }
}

void VoiceAllocator::reserveFrames(unsigned frames) {
    reservedFrames_ = std::max(reservedFrames_, frames);
    for (auto& voice : allVoices_) {
        voice->reserveFrames(reservedFrames_);
    }
    for (auto& sum : sums_) {
        sum.reserve(reservedFrames_);
    }
}

bool VoiceAllocator::monoHandlingApplies() const {
    return monoMode() != MonoMode::Poly || maxPolyphony() == 1;
}

void VoiceAllocator::process(iInstrument* instrument, const std::vector<const float*>& inputs,
                             unsigned frames, float sampleRate, const Clock& clock,
                             const std::deque<MidiMessage>& midi) {
    for (const MidiMessage& message : midi) {
        const int note = message.data1();
        switch (message.kind()) {
        case kNoteOff:
            noteOff(instrument, note, message.data2(), instrument->keyPressure(note));
            break;
        case kControlChange:
            if (note == kHoldPedal) {
                holdPedal(instrument, message.data2() != 0);
            }
            break;
        case kNoteOn:
            noteOn(instrument, note, message.data2(), instrument->keyPressure(note));
            break;
        default:
            break;
        }
    }

    rendered_.clear();
    renderPool(active_, instrument, inputs, frames, sampleRate, clock, midi);
    renderPool(released_, instrument, inputs, frames, sampleRate, clock, midi);
    renderFading(instrument, inputs, frames, sampleRate, clock, midi);
    sumRenderedVoices(frames);
    publishCounts();
}

void VoiceAllocator::renderPool(VoicePool& pool, iInstrument* instrument,
                                const std::vector<const float*>& inputs, unsigned frames,
                                float sampleRate, const Clock& clock,
                                const std::deque<MidiMessage>& midi) {
    size_t i = 0;
    while (i < pool.size()) {
        iVoice* voice = pool.at(i);
        voice->process(instrument, inputs, frames, sampleRate, clock, midi);
        rendered_.push_back(voice);
        if (voice->isActive()) {
            ++i;
            continue;
        }
        // A voice that fell silent still fades over this block, so that a module reporting
        // "done" a little early cannot click.
        voice->fadeout(frames);
        pool.removeAt(i);
        freeVoice(voice);
    }
}

void VoiceAllocator::renderFading(iInstrument* instrument, const std::vector<const float*>& inputs,
                                  unsigned frames, float sampleRate, const Clock& clock,
                                  const std::deque<MidiMessage>& midi) {
    while (!fading_.empty()) {
        iVoice* voice = fading_.popFront();
        voice->process(instrument, inputs, frames, sampleRate, clock, midi);
        voice->fadeout(frames);
        rendered_.push_back(voice);
        freeVoice(voice);
    }
}

void VoiceAllocator::sumRenderedVoices(unsigned frames) {
    if (rendered_.empty()) {
        for (auto& sum : sums_) {
            DSP::zeroFill(sum, frames);
        }
        return;
    }
    for (size_t c = 0; c < sums_.size(); ++c) {
        auto& sum = sums_[c];
        if (sum.size() < frames) {
            sum.resize(frames);
        }
        sumChannel(static_cast<unsigned>(c), sum.data(), frames);
    }
}

// The voices are added one after another in the order they rendered, ((v0 + v1) + v2) + ...,
// two of them per pass over the block: each sample is added in the same order either way.
void VoiceAllocator::sumChannel(unsigned c, float* sum, unsigned frames) {
    const float* waiting = nullptr;
    bool first = true;
    for (iVoice* voice : rendered_) {
        if (c >= voice->numOfOutputs()) {
            continue;
        }
        auto& channel = voice->channel(c);
        if (channel.size() < frames) {
            channel.resize(frames);
        }
        if (waiting == nullptr) {
            waiting = channel.data();
            continue;
        }
        if (first) {
            Platform::Vdsp::add(waiting, channel.data(), sum, frames);
            first = false;
        } else {
            addPairTo(sum, waiting, channel.data(), frames);
        }
        waiting = nullptr;
    }
    if (waiting != nullptr) {
        if (first) {
            Platform::Vdsp::copy(waiting, sum, frames);
        } else {
            Platform::Vdsp::add(sum, waiting, sum, frames);
        }
    } else if (first) {
        Platform::Vdsp::clear(sum, frames);
    }
}

void VoiceAllocator::freeVoice(iVoice* voice) {
    voice->kill();
    free_.pushBack(voice);
}

void VoiceAllocator::noteOn(iInstrument* instrument, int note, int velocity, int pressure) {
    const bool overlap = !active_.empty();
    heldKeys_.insert(note);
    if (monoHandlingApplies()) {
        monoNoteOn(instrument, overlap, note, velocity, pressure);
    } else {
        polyNoteOn(instrument, overlap, note, velocity, pressure);
    }
    lastNote_ = note;
    lastVelocity_ = velocity;
    publishCounts();
}

void VoiceAllocator::monoNoteOn(iInstrument* instrument, bool overlap, int note, int velocity,
                                int pressure) {
    iVoice* voice = nullptr;
    if (!active_.empty()) {
        // The mono voice stays where it is, at the front of the active pool.
        voice = active_.popFront();
    } else if (!free_.empty()) {
        voice = free_.popFront();
    } else {
        voice = released_.popFront();
    }
    if (voice == nullptr) {
        return;
    }
    // Every other sounding voice makes way for the one mono voice.
    while (!active_.empty()) {
        fading_.pushBack(active_.popFront());
    }
    while (!released_.empty()) {
        fading_.pushBack(released_.popFront());
    }
    startVoice(instrument, voice, true, overlap, note, velocity, pressure);
}

void VoiceAllocator::polyNoteOn(iInstrument* instrument, bool overlap, int note, int velocity,
                                int pressure) {
    const size_t sounding = active_.size() + released_.size();
    iVoice* voice = nullptr;
    if (sounding < maxPolyphony()) {
        voice = free_.popFront();
        if (voice == nullptr) {
            voice = fading_.popFront();
            if (voice != nullptr) {
                voice->kill();
            }
        }
    } else if (!free_.empty()) {
        // At the limit: the oldest released voice, else the oldest held one, fades out over the
        // next block while a free voice takes the note.
        iVoice* stolen = !released_.empty() ? released_.popFront() : active_.popFront();
        if (stolen == nullptr) {
            return;
        }
        fading_.pushBack(stolen);
        voice = free_.popFront();
    } else {
        // Nothing free: reuse the oldest released or held voice at once, without a fade.
        voice = !released_.empty() ? released_.popFront() : active_.popFront();
        if (voice != nullptr) {
            voice->kill();
        }
    }
    if (voice != nullptr) {
        startVoice(instrument, voice, false, overlap, note, velocity, pressure);
    }
}

void VoiceAllocator::startVoice(iInstrument* instrument, iVoice* voice, bool retrigger, bool overlap,
                                int note, int velocity, int pressure) {
    active_.pushBack(voice);
    // A killed voice forgot the pedal; it must hold its note like every other voice.
    if (voice->isPedalDown() != pedalDown_) {
        voice->holdPedal(instrument, pedalDown_);
    }
    voice->noteOn(instrument, retrigger, overlap, lastNote_, note, velocity, pressure);
}

void VoiceAllocator::noteOff(iInstrument* instrument, int note, int velocity, int pressure) {
    heldKeys_.erase(note);

    // Mono return: releasing the sounding key hands the voice back to the lowest key held.
    if (monoHandlingApplies() && note == lastNote_ && !heldKeys_.empty() &&
        heldKeys_.lowest() != lastNote_) {
        noteOn(instrument, heldKeys_.lowest(), lastVelocity_, pressure);
    }

    size_t i = 0;
    while (i < active_.size()) {
        iVoice* voice = active_.at(i);
        if (voice->note() == note && voice->keyUp(instrument, note, velocity, pressure)) {
            active_.removeAt(i);
            released_.pushBack(voice);
        } else {
            ++i;
        }
    }
    publishCounts();
}

void VoiceAllocator::holdPedal(iInstrument* instrument, bool down) {
    pedalDown_ = down;
    for (auto& voice : allVoices_) {
        voice->holdPedal(instrument, down);
    }
}

void VoiceAllocator::allNoteOff(iInstrument* instrument) {
    while (!active_.empty()) {
        iVoice* voice = active_.popFront();
        voice->forceRelease(instrument);
        released_.pushBack(voice);
    }
    heldKeys_.clear();
    publishCounts();
}

void VoiceAllocator::killAllVoices() {
    for (VoicePool* pool : {&active_, &released_, &fading_}) {
        while (!pool->empty()) {
            freeVoice(pool->popFront());
        }
    }
    publishCounts();
}

void VoiceAllocator::allocateRenderResources(iInstrument* instrument, float sampleRate) {
    createVoices();
    for (auto& voice : allVoices_) {
        voice->onAllocateRenderResources(instrument, sampleRate);
    }
}

void VoiceAllocator::deallocateRenderResources(iInstrument* instrument) {
    for (auto& voice : allVoices_) {
        voice->onDeallocateRenderResources(instrument);
    }
}

void VoiceAllocator::reset(iInstrument* instrument) {
    for (auto& voice : allVoices_) {
        voice->onReset(instrument);
    }
}

void VoiceAllocator::publishCounts() {
    sounding_.store(static_cast<unsigned>(active_.size() + released_.size()),
                    std::memory_order_relaxed);
}

} // namespace Lumora
