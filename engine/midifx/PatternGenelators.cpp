#include "engine/midifx/PatternGenelators.h"

#include <algorithm>
#include <cmath>

namespace Lumora::MIDI {

using Generator = Arpeggiator::Impl::iPatternGenelator;

PressedNote Generator::candidateFromBottom(PressedNoteSet const& candidates, uint64_t j) {
    if (candidates.empty()) {
        return PressedNote{};
    }
    return candidates.nth(static_cast<std::size_t>(j % candidates.size()));
}

PressedNote Generator::candidateFromTop(PressedNoteSet const& candidates, uint64_t j) {
    if (candidates.empty()) {
        return PressedNote{};
    }
    std::size_t const n = candidates.size();
    return candidates.nth(n - 1 - static_cast<std::size_t>(j % n));
}

uint32_t Generator::positionInPattern(uint32_t stepCounter) const {
    uint32_t const p = usesPatternLength() ? patternLength() : UINT32_MAX;
    return p == 0 ? stepCounter : stepCounter % p;
}

void Generator::generateAscending(PressedNoteSet const& candidates, uint32_t stepCounter,
                                  Step const& step, TimeSignature const& ts) {
    scheduleNote(candidateFromBottom(candidates, positionInPattern(stepCounter)), step, ts);
}

void Generator::generateDescending(PressedNoteSet const& candidates, uint32_t stepCounter,
                                   Step const& step, TimeSignature const& ts) {
    scheduleNote(candidateFromTop(candidates, positionInPattern(stepCounter)), step, ts);
}

void Generator::scheduleNote(PressedNote const& candidate, Step const& step, TimeSignature const& ts) {
    if (candidate.velocity < 1) {
        return;
    }
    float const scaled = step.velocity() * static_cast<float>(candidate.velocity);
    int const velocity = std::max(1, static_cast<int>(std::min(scaled, 255.0f)));
    owner_->quantizer.schedule(candidate.channel, candidate.note + step.transpose(), velocity, 0,
                               noteLengthInBeats(step.duration(), ts));
}

// A step lasts 4 / denominator beats at the quarter rate, halved per finer rate. The gate
// shortens only the last, fractional step of a note that spans several steps.
double Generator::noteLengthInBeats(float stepDuration, TimeSignature const& ts) const {
    double rateFactor = 0.0;
    switch (owner_->rate) {
    case QuarterNote: rateFactor = 1.0; break;
    case EighthNote: rateFactor = 0.5; break;
    case SixteenthNote: rateFactor = 0.25; break;
    case ThirtySecondNote: rateFactor = 0.125; break;
    default: break;
    }
    double const denominator = ts.denominator == 0 ? 4.0 : static_cast<double>(ts.denominator);
    double const base = 4.0 / denominator * rateFactor;
    double const gate = owner_->gate;
    double const d = stepDuration;
    if (d > 1.0) {
        double whole = 0.0;
        double const fraction = std::modf(d, &whole);
        return base * whole + base * fraction * gate;
    }
    return base * d * gate;
}

void UpPatternGenelator::generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned,
                                  Arpeggiator::Step const& step, TimeSignature const& ts) {
    generateAscending(candidates, stepCounter, step, ts);
}

void DownPatternGenelator::generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned,
                                    Arpeggiator::Step const& step, TimeSignature const& ts) {
    generateDescending(candidates, stepCounter, step, ts);
}

namespace {
// Odd turns of the step index through the candidate count run the other way.
bool isOddTurn(unsigned stepIndex, std::size_t candidateCount) {
    return candidateCount != 0 && ((stepIndex / candidateCount) % 2) == 1;
}
} // namespace

void UpDownPatternGenelator::generate(PressedNoteSet const& candidates, uint32_t stepCounter,
                                      unsigned stepIndex, Arpeggiator::Step const& step,
                                      TimeSignature const& ts) {
    if (isOddTurn(stepIndex, candidates.size())) {
        generateDescending(candidates, stepCounter, step, ts);
    } else {
        generateAscending(candidates, stepCounter, step, ts);
    }
}

void DownUpPatternGenelator::generate(PressedNoteSet const& candidates, uint32_t stepCounter,
                                      unsigned stepIndex, Arpeggiator::Step const& step,
                                      TimeSignature const& ts) {
    if (isOddTurn(stepIndex, candidates.size())) {
        generateAscending(candidates, stepCounter, step, ts);
    } else {
        generateDescending(candidates, stepCounter, step, ts);
    }
}

// xorshift32: a full-period sequence of 2^32 - 1 values, plenty for picking among notes.
uint32_t RandomPatternGenelator::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

void RandomPatternGenelator::generate(PressedNoteSet const& candidates, uint32_t, unsigned,
                                      Arpeggiator::Step const& step, TimeSignature const& ts) {
    if (candidates.empty()) {
        return;
    }
    scheduleNote(candidateFromBottom(candidates, next() % candidates.size()), step, ts);
}

void ProgramedPatternGenelator::generate(PressedNoteSet const& candidates, uint32_t, unsigned,
                                         Arpeggiator::Step const& step, TimeSignature const& ts) {
    if (candidates.empty()) {
        return;
    }
    auto const n = static_cast<int64_t>(candidates.size());
    int64_t const q = step.program();
    if (q >= 0) {
        scheduleNote(candidateFromBottom(candidates, static_cast<uint64_t>(std::min(q, n - 1))), step, ts);
    } else {
        scheduleNote(candidateFromTop(candidates, static_cast<uint64_t>(-std::max(q, -n) - 1)), step, ts);
    }
}

} // namespace Lumora::MIDI
