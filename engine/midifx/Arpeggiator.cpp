#include "engine/midifx/Arpeggiator.h"

#include <algorithm>

#include "engine/clock/Clock.h"
#include "engine/midifx/ArpeggiatorImpl.h"
#include "engine/midifx/PatternGenelators.h"

namespace Lumora::MIDI {

namespace {

bool isValidStyle(int style) { return style >= Arpeggiator::Up && style <= Arpeggiator::Programmed; }

bool isTriggered(Clock const& clock, QUANTIZATION_RATE rate) {
    switch (rate) {
    case QuarterNote: return clock.isTriggered_4();
    case EighthNote: return clock.isTriggered_8();
    case ThirtySecondNote: return clock.isTriggered_32();
    case SixteenthNote:
    default: return clock.isTriggered_16();
    }
}

double distanceToTrigger(Clock const& clock, QUANTIZATION_RATE rate) {
    switch (rate) {
    case QuarterNote: return clock.distanceToTrigger_4();
    case EighthNote: return clock.distanceToTrigger_8();
    case ThirtySecondNote: return clock.distanceToTrigger_32();
    case SixteenthNote:
    default: return clock.distanceToTrigger_16();
    }
}

int32_t gridCount(Clock const& clock, QUANTIZATION_RATE rate) {
    switch (rate) {
    case QuarterNote: return clock.beat4();
    case EighthNote: return clock.beat8();
    case ThirtySecondNote: return clock.beat32();
    case SixteenthNote:
    default: return clock.beat16();
    }
}

} // namespace

Arpeggiator::Impl::Impl(unsigned stepCapacity)
    : stepLength(std::max(stepCapacity, 1u)),
      steps(std::max(stepCapacity, 1u)),
      output(makeMidiQueue()) {
    generators_[0] = std::make_unique<UpPatternGenelator>(this);
    generators_[1] = std::make_unique<DownPatternGenelator>(this);
    generators_[2] = std::make_unique<UpDownPatternGenelator>(this);
    generators_[3] = std::make_unique<DownUpPatternGenelator>(this);
    generators_[4] = std::make_unique<RandomPatternGenelator>(this);
    generators_[5] = std::make_unique<ProgramedPatternGenelator>(this);
    patternGenerator = generators_[0].get();
}

void Arpeggiator::Impl::setStyle(ARPEGGIO_STYLE style) {
    if (!isValidStyle(style) || style == patternGenerator->style()) {
        return;
    }
    // A newly chosen order starts without a pattern length, as if it were built anew.
    patternGenerator = generators_[static_cast<std::size_t>(style - 1)].get();
    patternGenerator->setPatternLength(UINT32_MAX);
}

bool Arpeggiator::Impl::prepareProcess(PressedNoteSet const& offlinePressedNotes) {
    for (PressedNote const note : offlinePressedNotes) {
        heldKeys.insert(note);
    }
    return true;
}

bool Arpeggiator::Impl::absorbKeys(MidiQueue const& in) {
    bool noteOnCame = false;
    for (MidiMessage const& message : in) {
        if (message.kind() == 0x90) {
            heldKeys.insert(PressedNote{message.channel(), message.data1(), message.data2()});
            noteOnCame = true;
        } else if (message.kind() == 0x80) {
            if (!heldKeys.erase(message.channel(), message.data1())) {
                output.push_back(message);
            }
        } else {
            output.push_back(message);
        }
    }
    return noteOnCame;
}

// A key pressed less than a quarter of a grid step after a grid point plays at once.
bool Arpeggiator::Impl::stepFires(Clock const& clock, bool noteOnCame) const {
    if (isTriggered(clock, rate)) {
        return true;
    }
    double const d = distanceToTrigger(clock, rate);
    return noteOnCame && d >= 0.0 && d < 0.25;
}

// Every held key and its octave copies (falling back to the key's own note above 127)
// compete for the step; the order picks one.
void Arpeggiator::Impl::playStep(Clock const& clock) {
    uint32_t const counter = stepCounter.load(std::memory_order_relaxed);
    unsigned const length = stepLength.load(std::memory_order_relaxed);
    unsigned const i = counter % length;
    Step const& current = steps[i];
    if (!current.active()) {
        return;
    }
    candidates_.clear();
    for (PressedNote const key : heldKeys) {
        for (unsigned k = 0; k <= octaveRange; ++k) {
            int const shifted = key.note + 12 * static_cast<int>(k);
            candidates_.insert(PressedNote{key.channel, shifted >= 128 ? key.note : shifted, key.velocity});
        }
    }
    patternGenerator->generate(candidates_, counter, i, current, clock.timeSignature());
}

MidiQueue const& Arpeggiator::Impl::process(MidiQueue const& in, Clock const& clock) {
    output.clear();
    bool const noteOnCame = absorbKeys(in);
    if (syncToKeyOn) {
        if (noteOnCame) {
            stepCounter.store(0, std::memory_order_relaxed);
        }
    } else {
        stepCounter.store(static_cast<uint32_t>(gridCount(clock, rate)), std::memory_order_relaxed);
    }
    if (stepFires(clock, noteOnCame)) {
        if (!heldKeys.empty()) {
            playStep(clock);
        }
        if (syncToKeyOn) {
            stepCounter.fetch_add(1, std::memory_order_relaxed);
        }
    }
    MidiQueue const& notes = quantizer.process(clock);
    output.insert(output.end(), notes.begin(), notes.end());
    return output;
}

MidiQueue const& Arpeggiator::Impl::dispose() {
    output.clear();
    MidiQueue const& ended = quantizer.dispose();
    output.insert(output.end(), ended.begin(), ended.end());
    // Keys still down go on sounding without the arpeggiator.
    for (PressedNote const key : heldKeys) {
        output.emplace_back(0x90, key.channel, key.note, key.velocity);
    }
    heldKeys.clear();
    return output;
}

void Arpeggiator::Impl::allNotesOff() {
    heldKeys.clear();
    quantizer.allNotesOff();
}

Arpeggiator::Arpeggiator(unsigned stepCapacity) : impl_(std::make_unique<Impl>(stepCapacity)) {}

Arpeggiator::~Arpeggiator() = default;

void Arpeggiator::setSyncToKeyOn(bool on) { impl_->syncToKeyOn = on; }
bool Arpeggiator::syncToKeyOn() const { return impl_->syncToKeyOn; }

void Arpeggiator::setStyle(ARPEGGIO_STYLE style) { impl_->setStyle(style); }
Arpeggiator::ARPEGGIO_STYLE Arpeggiator::style() const { return impl_->patternGenerator->style(); }

void Arpeggiator::setRate(QUANTIZATION_RATE rate) { impl_->rate = rate; }
QUANTIZATION_RATE Arpeggiator::rate() const { return impl_->rate; }

void Arpeggiator::setOctaveRange(unsigned octaves) { impl_->octaveRange = std::min(octaves, kMaxOctaveRange); }
unsigned Arpeggiator::octaveRange() const { return impl_->octaveRange; }

void Arpeggiator::setDuration(float gate) { impl_->gate = gate > 0.0f ? gate : 0.0f; }
float Arpeggiator::duration() const { return impl_->gate; }

unsigned Arpeggiator::stepCapacity() const { return static_cast<unsigned>(impl_->steps.size()); }
unsigned Arpeggiator::stepLength() const { return impl_->stepLength.load(std::memory_order_relaxed); }

void Arpeggiator::setStepLength(unsigned length) {
    impl_->stepLength.store(std::clamp(length, 1u, stepCapacity()), std::memory_order_relaxed);
}

Arpeggiator::Step& Arpeggiator::step(unsigned i) { return impl_->steps[i % stepLength()]; }
Arpeggiator::Step const& Arpeggiator::step(unsigned i) const { return impl_->steps[i % stepLength()]; }

void Arpeggiator::setPatternLength(unsigned length) { impl_->patternGenerator->setPatternLength(length); }
unsigned Arpeggiator::patternLength() const { return impl_->patternGenerator->patternLength(); }

unsigned Arpeggiator::currentStepNumber() const {
    return impl_->stepCounter.load(std::memory_order_relaxed) % stepLength();
}

PressedNoteSet const& Arpeggiator::heldKeys() const { return impl_->heldKeys; }

std::size_t Arpeggiator::soundingNoteCount() const { return impl_->quantizer.soundingCount(); }

bool Arpeggiator::_prepareProcess(PressedNoteSet const& offlinePressedNotes) {
    return impl_->prepareProcess(offlinePressedNotes);
}

MidiQueue const& Arpeggiator::_process(MidiQueue const& in, Clock const& clock) {
    return impl_->process(in, clock);
}

MidiQueue const& Arpeggiator::_dispose() { return impl_->dispose(); }

void Arpeggiator::_allNotesOff() { impl_->allNotesOff(); }

} // namespace Lumora::MIDI
