#include "engine/instrument/iInstrument.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

#include "engine/math/PowerOfTwo.h"
#include "engine/text/MultiPartText.h"
#include "engine/tuning/MicroTuning.h"
#include "engine/voice/iVoice.h"
#include "engine/voice/iVoiceFactory.h"
#include "platform/vdsp/Vdsp.h"

namespace Lumora {

namespace {

constexpr int32_t kKeyPressure = 0xA0;
constexpr int32_t kPitchBend = 0xE0;
const std::string kMicroTuningPart = "MicroTuning";

// The steady gain, also eight lanes wide on processors with AVX2: the same single-precision
// product per sample, so the same bits.
#if defined(__x86_64__) && defined(__GNUC__)
#define LUMORA_WIDE_VOLUME 1
const bool wideVolume = Platform::Vdsp::processorHasAvx2();

// Scales in place and answers whether every sample was +0 before: the OR of their bit patterns
// is taken in the same pass.
[[gnu::target("avx2")]] bool scaleFindingZeros(float* out, float gain, unsigned n) {
    const __m256 g = _mm256_set1_ps(gain);
    __m256i bits = _mm256_setzero_si256();
    unsigned i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m256 x = _mm256_loadu_ps(out + i);
        bits = _mm256_or_si256(bits, _mm256_castps_si256(x));
        _mm256_storeu_ps(out + i, _mm256_mul_ps(x, g));
    }
    std::uint32_t rest = 0;
    for (; i < n; ++i) {
        std::uint32_t b;
        std::memcpy(&b, out + i, sizeof b);
        rest |= b;
        out[i] = out[i] * gain;
    }
    return rest == 0 && _mm256_testz_si256(bits, bits) != 0;
}

bool scaleAllFindingZeros(const std::vector<float*>& outputs, float gain, unsigned n) {
    bool zeros = true;
    for (float* out : outputs) {
        zeros &= scaleFindingZeros(out, gain, n);
    }
    return zeros;
}

#endif

bool usableGain(float gain) { return std::isfinite(gain) && gain >= 0.0f; }

} // namespace

iInstrument::iInstrument(const iSynthAudioEngine* engine, unsigned numInputs, unsigned numOutputs,
                         const iVoiceFactory* voiceFactory, unsigned voiceCapacity, unsigned maxPolyphony,
                         float volumeScale)
    : engine_(engine),
      allocator_(std::make_unique<VoiceAllocator>(engine, voiceFactory, voiceCapacity)),
      numInputs_(numInputs),
      numOutputs_(numOutputs),
      volumeScale_(volumeScale),
      volumeGain_(volume_ * volumeScale),
      microTuning_(std::make_unique<MicroTuning>()) {
    setMaxPolyphony(maxPolyphony);
}

iInstrument::~iInstrument() = default;

void iInstrument::createVoices() {
    if (allocator_->voiceFactory() == nullptr) {
        allocator_->setVoiceFactory(dynamic_cast<const iVoiceFactory*>(this));
    }
    allocator_->createVoices();
    voiceSums_.assign(allocator_->sumBuffers().size(), nullptr);
}

void iInstrument::reserveFrames(unsigned frames) {
    allocator_->reserveFrames(frames);
}

void iInstrument::setMaxPolyphony(unsigned n) {
    allocator_->setMaxPolyphony(std::min(n, polyphonicCapacity()));
}

void iInstrument::setVolume(float volume) {
    volume_ = std::max(volume, 0.0f);
}

void iInstrument::setVolumeWithoutRamp(float volume) {
    setVolume(volume);
    volumeTarget_ = volume_;
    volumeGain_ = volume_ * volumeScale_;
    volumeLeft_ = 0;
}

void iInstrument::setPitchBendRange(int down, int up) {
    setPitchSetting(bendRangeDown_, static_cast<int32_t>(down));
    setPitchSetting(bendRangeUp_, static_cast<int32_t>(up));
}

// The count is read before the entry: a store counted after it is then found by the next question.
float iInstrument::workOutNoteFrequency(int note) const {
    const uint32_t tuning = microTuning_->changes();
    const auto entry = microTuning_->data(note); // the entry of the note's pitch class
    const float hz = noteNumberToHz(note, entry.offset, entry.detune);
    if (note >= 0 && note <= 127) {
        noteFrequencies_[static_cast<size_t>(note)] = {pitchSettingChanges_, tuning, hz};
    }
    return hz;
}

float iInstrument::noteNumberToHz(int note, int32_t offset, float detune) const {
    const int tuned = std::clamp(note + offset, 0, 127);
    const int range = pitchBend_ < 0.0f ? bendRangeDown_ : bendRangeUp_;
    const float bend = pitchBend_ * static_cast<float>(std::abs(range));
    // Every shift in semitones becomes a factor 2^(s / 12).
    return NoteNumberToHz(tuned) * Math::powerOfTwo(detune / 12.0f) *
           Math::powerOfTwo((tune_ + static_cast<float>(transpose_)) / 12.0f) * Math::powerOfTwo(bend / 12.0f);
}

void iInstrument::allNoteOff() {
    allocator_->allNoteOff(this);
}

void iInstrument::allocateRenderResources(float sampleRate) {
    createVoices();
    allocator_->allocateRenderResources(this, sampleRate);
    onAllocateRenderResources(sampleRate);
}

void iInstrument::deallocateRenderResources() {
    killRequested_.store(true, std::memory_order_release);
    allocator_->deallocateRenderResources(this);
    onDeallocateRenderResources();
}

void iInstrument::reset() {
    allocator_->reset(this);
    onReset();
}

void iInstrument::audioProcess(const Inputs& inputs, const Outputs& outputs, unsigned frames,
                               float sampleRate, const Clock& clock, const MidiBlock& midi) {
    if (!allocator_->hasVoices()) {
        // Only when the owner never allocated render resources: the voices are made here once.
        createVoices();
    }
    if (killRequested_.load(std::memory_order_relaxed) && killRequested_.exchange(false, std::memory_order_acquire)) {
        allocator_->killAllVoices();
    }
    if (midi.empty() && rested(outputs, frames, sampleRate, clock)) {
        return;
    }
    scanControllers(midi);
    preVoiceProcess(inputs, frames, sampleRate, clock, midi);
    allocator_->process(this, inputs, frames, sampleRate, clock, midi);

    auto& sums = allocator_->sumBuffers();
    for (size_t c = 0; c < sums.size(); ++c) {
        if (sums[c].size() < frames) {
            sums[c].resize(frames);
        }
        voiceSums_[c] = sums[c].data();
    }
    audioProcess(inputs, voiceSums_, outputs, frames, sampleRate, clock, midi);
    applyVolume(outputs, frames, sampleRate);
    postVolumeProcess(outputs, frames, sampleRate, clock, midi);
}

bool iInstrument::voicesAndVolumeAtRest() const {
    return allocator_->silent() && volume_ == volumeTarget_ && volumeLeft_ == 0 &&
           volumeGain_ == volumeTarget_ * volumeScale_;
}

bool iInstrument::rested(const Outputs& outputs, unsigned frames, float sampleRate, const Clock& clock) {
    if (!voicesAndVolumeAtRest()) {
        return false;
    }
    for (float* out : outputs) {
        Platform::Vdsp::clear(out, frames);
    }
    if (!restBlock(outputs, frames, sampleRate, clock)) {
        return false;
    }
    silentBlock_ = true;
    return true;
}

void iInstrument::scanControllers(const MidiBlock& midi) {
    for (const MidiMessage& message : midi) {
        switch (message.kind()) {
        case kKeyPressure:
            keyPressures_[static_cast<size_t>(message.data1() & 127)] = message.data2();
            break;
        case kPitchBend:
            setPitchSetting(pitchBend_, message.toPitchBend());
            break;
        default:
            break;
        }
    }
}

void iInstrument::aimVolume(unsigned frames, float sampleRate) {
    if (volume_ == volumeTarget_) {
        return;
    }
    // A new line from the gain the last block ended on, so a volume set once (or several times
    // between blocks) changes along one line and never jumps.
    volumeTarget_ = volume_;
    const float seconds = volumeGlideSeconds_ * sampleRate;
    volumeLeft_ = seconds > 0.0f ? std::max(1u, static_cast<unsigned>(seconds + 0.5f)) : frames;
    if (volumeLeft_ <= 1) {
        // A line of one sample or none is a jump.
        volumeLeft_ = 0;
        volumeGain_ = volumeTarget_ * volumeScale_;
        return;
    }
    volumeStep_ = (volumeTarget_ * volumeScale_ - volumeGain_) / static_cast<float>(volumeLeft_);
}

void iInstrument::applyVolume(const Outputs& outputs, unsigned frames, float sampleRate) {
    aimVolume(frames, sampleRate);
    const float target = volumeTarget_ * volumeScale_;
    const float start = volumeGain_;
    // Linear from start, reaching the target volumeLeft_ samples on (the first sample of the next
    // block when the line spans this one), then holding it. Where the line stands depends only on
    // the samples it has run, not on how they were split into blocks.
    const unsigned ramp = std::min(frames, volumeLeft_);
    volumeLeft_ -= ramp;
    volumeGain_ = volumeLeft_ == 0 ? target : target - volumeStep_ * static_cast<float>(volumeLeft_);
#if defined(LUMORA_WIDE_VOLUME)
    if (ramp == 0 && wideVolume) {
        // Silent samples at a usable gain stay +0 when scaled, so the block is scaled whether
        // silent or not and the check rides along.
        silentBlock_ = scaleAllFindingZeros(outputs, target, frames) && usableGain(start) && usableGain(volumeGain_);
        return;
    }
#endif
    silentBlock_ = unchangedByVolume(outputs, frames, start, volumeGain_);
    if (frames == 0 || silentBlock_) {
        return;
    }
    for (float* out : outputs) {
        if (ramp == 0) {
            Platform::Vdsp::scale(out, target, out, frames);
            continue;
        }
        Platform::Vdsp::rampMultiply(out, start, volumeStep_, out, ramp);
        if (ramp < frames) {
            Platform::Vdsp::scale(out + ramp, target, out + ramp, frames - ramp);
        }
    }
}

bool iInstrument::unchangedByVolume(const Outputs& outputs, unsigned frames, float start, float target) const {
    if (!usableGain(start) || !usableGain(target)) {
        return false;
    }
    // OR of the bit patterns, without an early exit so that the loop vectorises: an idle engine
    // checks a silent block every time.
    std::uint32_t bits = 0;
    for (const float* out : outputs) {
        for (unsigned i = 0; i < frames; ++i) {
            std::uint32_t b;
            std::memcpy(&b, out + i, sizeof b);
            bits |= b;
        }
    }
    return bits == 0;
}

bool iInstrument::restBlock(const Outputs&, unsigned, float, const Clock&) { return false; }

bool iInstrument::sleeps() const { return false; }

// The subclass's sleep first: while anything sounds or its tails ring, it is the one that ends
// the question, at every block.
bool iInstrument::silentUntilMidi() const {
    return sleeps() && !killPending() && voicesAndVolumeAtRest();
}

void iInstrument::onAllocateRenderResources(float) {}
void iInstrument::onDeallocateRenderResources() {}
void iInstrument::onReset() {}

iInstrument::MidiBlock iInstrument::midiProcess(unsigned, float, const Clock&, const MidiBlock& midi) {
    return midi;
}

void iInstrument::preVoiceProcess(const Inputs&, unsigned, float, const Clock&, const MidiBlock&) {}

void iInstrument::audioProcess(const Inputs&, const Inputs& voiceSums, const Outputs& outputs,
                               unsigned frames, float, const Clock&, const MidiBlock&) {
    if (voiceSums.size() == outputs.size()) {
        for (size_t c = 0; c < outputs.size(); ++c) {
            Platform::Vdsp::copy(voiceSums[c], outputs[c], frames);
        }
    } else if (voiceSums.size() == 1 && outputs.size() > 1) {
        for (float* out : outputs) {
            Platform::Vdsp::copy(voiceSums[0], out, frames);
        }
    }
}

void iInstrument::postVolumeProcess(const Outputs& outputs, unsigned frames, float, const Clock&,
                                    const MidiBlock&) {
    if (silentBlock_) {
        return;
    }
    for (float* out : outputs) {
        Platform::Vdsp::clip(out, -1.0f, 1.0f, out, frames);
    }
}

void iInstrument::serialize(SerializeWhat what, MultiPartText& text) const {
    if (sharesBit(what, SerializeWhat::MicroTuningPart)) {
        text.append(kMicroTuningPart, microTuning_->serialize());
    }
}

bool iInstrument::deserialize(SerializeWhat what, const MultiPartText& text, SerializeWhere) {
    if (!sharesBit(what, SerializeWhat::MicroTuningPart)) {
        return true;
    }
    return microTuning_->deserialize(text.partText(kMicroTuningPart));
}

void iInstrument::initialize(SerializeWhat what, SerializeWhere) {
    if (sharesBit(what, SerializeWhat::MicroTuningPart)) {
        microTuning_->reset();
    }
}

} // namespace Lumora
