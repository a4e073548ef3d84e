#include "engine/clock/Clock.h"

#include <cmath>

#include "engine/clock/MidiClockTracker.h"

namespace Lumora {

namespace {
enum GridIndex { G4 = 0, G6, G8, G12, G16, G32 };

double quarterNotesPerBeat(TimeSignature const& ts) {
    return ts.denominator != 0 ? 4.0 / double(ts.denominator) : 1.0;
}
} // namespace

Clock::Clock() : tracker_(std::make_unique<MidiClockTracker>()) {}

Clock::~Clock() = default;

double Clock::distanceToTrigger(Counter const& counter) {
    double const f = counter.fraction;
    return f < 0.5 ? f : f - 1.0;
}

double Clock::distanceToNextTrigger(Counter const& counter) {
    return 1.0 - counter.fraction;
}

double Clock::barPositionOf(double beatPosition, uint32_t numerator) {
    // Below 2^53 every whole beat is an integer of 64 bits, and the remainder of integers is
    // exact either way. A zero remainder of a negative count is -0 from fmod and +0 here; both
    // leave the fraction, never -0 itself, as it is.
    constexpr double kExactIntegers = 9007199254740992.0;
    if (numerator != 0 && std::fabs(beatPosition) < kExactIntegers) {
        auto whole = static_cast<int64_t>(beatPosition);
        whole -= static_cast<double>(whole) > beatPosition ? 1 : 0;
        double const fraction = (beatPosition - static_cast<double>(whole)) + 0.0;
        auto beats = static_cast<double>(whole % static_cast<int64_t>(numerator));
        if (beats < 0.0) {
            beats += double(numerator);
        }
        return fraction + beats;
    }
    double const whole = std::floor(beatPosition);
    double const fraction = beatPosition - whole;
    if (numerator == 0) {
        return beatPosition;
    }
    double beats = std::fmod(whole, double(numerator));
    if (beats < 0.0) {
        beats += double(numerator);
    }
    return fraction + beats;
}

void Clock::pre_process(TimeSignature const& ts, double bpm, double beatPosition, double barPosition) {
    timeSignature_ = ts;
    previousTempo_ = tempo_;
    tempo_ = bpm;
    beatPosition_ = beatPosition;
    barPosition_ = barPosition;

    rewound_ = beatPosition == 0.0 || lastPosition_ > beatPosition;
    lastPosition_ = beatPosition;

    bool const silent = isSilentJump(rewound_, beatPosition);
    updateCounter(beatCounter_, beatPosition, silent);
    double const q = quarterNotesPerBeat(ts) * beatPosition;
    for (int i = 0; i < kGridCount; ++i) {
        updateCounter(grids_[i], q * kGridScale[i], silent);
    }
}

void Clock::advance(unsigned frames, float sampleRate) {
    sampleTime_ += frames;
    if (sampleRate > 0.0f) {
        absoluteTime_ += double(frames) / double(sampleRate);
    }
}

void Clock::internalSync_pre(TimeSignature const& ts, double bpm, bool restart) {
    syncMode_ = SyncInternal;
    if (restart) {
        pre_process(ts, bpm, 0.0, 0.0);
    } else {
        pre_process(ts, bpm, nextBeatPosition_, nextBarPosition_);
    }
}

void Clock::internalSync_post(unsigned frames, float sampleRate) {
    if (sampleRate > 0.0f) {
        nextBeatPosition_ = beatPosition_ + tempo_ / 60.0 * double(frames) / double(sampleRate);
    } else {
        nextBeatPosition_ = beatPosition_;
    }
    nextBarPosition_ = barPositionOf(nextBeatPosition_, timeSignature_.numerator);
    advance(frames, sampleRate);
}

void Clock::hostSync_pre(TimeSignature const& ts, double bpm, double beatPosition, double barPosition) {
    syncMode_ = SyncHost;
    // A position that cannot be counted (not a number, infinite, or beyond 1e7 beats, about 58
    // days at 120 bpm) leaves the clock where it stands, with no trigger.
    constexpr double kLargestPosition = 1.0e7;
    if (!(std::fabs(beatPosition) <= kLargestPosition) || !(std::fabs(barPosition) <= kLargestPosition)) {
        beatPosition = beatPosition_;
        barPosition = barPosition_;
    }
    if (barPosition == 0.0) {
        // Without a bar start from the host, the position within the bar, counted in the
        // signature the clock had until now.
        barPosition = barPositionOf(beatPosition, timeSignature_.numerator);
    }
    pre_process(ts, bpm, beatPosition, barPosition);
}

void Clock::hostSync_post(unsigned frames, float sampleRate) {
    advance(frames, sampleRate);
}

void Clock::midiSync_pre(TimeSignature const& ts, double bpm, bool restart, unsigned ticks) {
    tracker_->addTicks(ticks);
    if (tracker_->isLocked()) {
        if (restart) {
            pre_process(ts, tracker_->tempo(), 0.0, 0.0);
        } else {
            pre_process(ts, tracker_->tempo(), nextBeatPosition_, nextBarPosition_);
        }
    } else {
        internalSync_pre(ts, bpm, restart);
    }
    syncMode_ = SyncMidi;
}

// While locked, the next block starts at the last tick received: with n ticks counted since
// the lock began the position is (n - 1) / 24 quarter notes. Just after the lock begins n is 0,
// one tick before zero, so the position is slightly negative and the first tick then crosses 0.
void Clock::midiSync_post(unsigned frames, float sampleRate) {
    tracker_->update(frames, sampleRate);
    if (!tracker_->isLocked()) {
        internalSync_post(frames, sampleRate);
        return;
    }
    double const ticks = double(int64_t(tracker_->tickCount()) - 1);
    double const beatsPerQuarterNote = 1.0 / quarterNotesPerBeat(timeSignature_);
    nextBeatPosition_ = ticks / double(MidiClockTracker::kTicksPerQuarterNote) * beatsPerQuarterNote;
    nextBarPosition_ = barPositionOf(nextBeatPosition_, timeSignature_.numerator);
    advance(frames, sampleRate);
}

bool Clock::isMidiClockLocked() const { return tracker_->isLocked(); }
uint32_t Clock::midiClockLockState() const { return tracker_->lockState(); }
double Clock::midiClockTempo() const { return tracker_->tempo(); }

TimeSignature const& Clock::timeSignature() const { return timeSignature_; }
double Clock::bpm() const { return tempo_; }
bool Clock::isTempoChanged() const { return tempo_ != previousTempo_; }
uint64_t Clock::sampleTime() const { return sampleTime_; }
double Clock::absoluteTime() const { return absoluteTime_; }
double Clock::beatPosition() const { return beatPosition_; }
double Clock::beatPosition_bar() const { return barPosition_; }
double Clock::quaterNotePosition() const { return beatPosition() * beatPerQuaterNote(); }
bool Clock::isRewinded() const { return rewound_; }
double Clock::secPerBeat() const { return 60.0 / bpm(); }
double Clock::beatPerSec() const { return bpm() / 60.0; }
double Clock::beatPerQuaterNote() const { return quarterNotesPerBeat(timeSignature()); }
double Clock::secPerQuaterNote() const { return beatPerQuaterNote() * secPerBeat(); }

bool Clock::isTriggered_beat() const { return beatCounter().triggered; }
bool Clock::isTriggered_4() const { return beat4Counter().triggered; }
bool Clock::isTriggered_6() const { return beat6Counter().triggered; }
bool Clock::isTriggered_8() const { return beat8Counter().triggered; }
bool Clock::isTriggered_12() const { return beat12Counter().triggered; }
bool Clock::isTriggered_16() const { return beat16Counter().triggered; }
bool Clock::isTriggered_32() const { return beat32Counter().triggered; }

double Clock::distanceToTrigger_beat() const { return distanceToTrigger(beatCounter()); }
double Clock::distanceToTrigger_4() const { return distanceToTrigger(beat4Counter()); }
double Clock::distanceToTrigger_6() const { return distanceToTrigger(beat6Counter()); }
double Clock::distanceToTrigger_8() const { return distanceToTrigger(beat8Counter()); }
double Clock::distanceToTrigger_12() const { return distanceToTrigger(beat12Counter()); }
double Clock::distanceToTrigger_16() const { return distanceToTrigger(beat16Counter()); }
double Clock::distanceToTrigger_32() const { return distanceToTrigger(beat32Counter()); }

double Clock::distanceToNextTrigger_beat() const { return distanceToNextTrigger(beatCounter()); }
double Clock::distanceToNextTrigger_4() const { return distanceToNextTrigger(beat4Counter()); }
double Clock::distanceToNextTrigger_6() const { return distanceToNextTrigger(beat6Counter()); }
double Clock::distanceToNextTrigger_8() const { return distanceToNextTrigger(beat8Counter()); }
double Clock::distanceToNextTrigger_12() const { return distanceToNextTrigger(beat12Counter()); }
double Clock::distanceToNextTrigger_16() const { return distanceToNextTrigger(beat16Counter()); }
double Clock::distanceToNextTrigger_32() const { return distanceToNextTrigger(beat32Counter()); }

int32_t Clock::beat() const {
    auto const denominator = static_cast<int32_t>(timeSignature().denominator);
    if (denominator == 0) {
        return beatCounter().count;
    }
    int32_t const b = beatCounter().count % denominator;
    return b < 0 ? b + denominator : b;
}
int32_t Clock::beat4() const { return beat4Counter().count; }
int32_t Clock::beat6() const { return beat6Counter().count; }
int32_t Clock::beat8() const { return beat8Counter().count; }
int32_t Clock::beat12() const { return beat12Counter().count; }
int32_t Clock::beat16() const { return beat16Counter().count; }
int32_t Clock::beat32() const { return beat32Counter().count; }

Clock::Counter const& Clock::beatCounter() const { return beatCounter_; }
Clock::Counter const& Clock::beat4Counter() const { return grids_[G4]; }
Clock::Counter const& Clock::beat6Counter() const { return grids_[G6]; }
Clock::Counter const& Clock::beat8Counter() const { return grids_[G8]; }
Clock::Counter const& Clock::beat12Counter() const { return grids_[G12]; }
Clock::Counter const& Clock::beat16Counter() const { return grids_[G16]; }
Clock::Counter const& Clock::beat32Counter() const { return grids_[G32]; }

} // namespace Lumora
