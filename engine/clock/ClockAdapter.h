#pragma once

#include "engine/clock/Clock.h"

namespace Lumora {

// A clock that answers every query from another clock. Subclasses replace the queries whose
// view of time they change.
class ClockAdapter : public Clock {
public:
    explicit ClockAdapter(Clock const* clock = nullptr) : adapted_(clock) {}
    ~ClockAdapter() override = default;

    Clock const* adaptedClock() const { return adapted_; }
    void setAdaptedClock(Clock const* clock) { adapted_ = clock; }

    TimeSignature const& timeSignature() const override { return adapted_->timeSignature(); }
    double bpm() const override { return adapted_->bpm(); }
    bool isTempoChanged() const override { return adapted_->isTempoChanged(); }
    uint64_t sampleTime() const override { return adapted_->sampleTime(); }
    double absoluteTime() const override { return adapted_->absoluteTime(); }
    double beatPosition() const override { return adapted_->beatPosition(); }
    double beatPosition_bar() const override { return adapted_->beatPosition_bar(); }
    double quaterNotePosition() const override { return adapted_->quaterNotePosition(); }
    bool isRewinded() const override { return adapted_->isRewinded(); }
    double secPerBeat() const override { return adapted_->secPerBeat(); }
    double beatPerSec() const override { return adapted_->beatPerSec(); }
    double beatPerQuaterNote() const override { return adapted_->beatPerQuaterNote(); }
    double secPerQuaterNote() const override { return adapted_->secPerQuaterNote(); }

    bool isTriggered_beat() const override { return adapted_->isTriggered_beat(); }
    bool isTriggered_4() const override { return adapted_->isTriggered_4(); }
    bool isTriggered_6() const override { return adapted_->isTriggered_6(); }
    bool isTriggered_8() const override { return adapted_->isTriggered_8(); }
    bool isTriggered_12() const override { return adapted_->isTriggered_12(); }
    bool isTriggered_16() const override { return adapted_->isTriggered_16(); }
    bool isTriggered_32() const override { return adapted_->isTriggered_32(); }

    double distanceToTrigger_beat() const override { return adapted_->distanceToTrigger_beat(); }
    double distanceToTrigger_4() const override { return adapted_->distanceToTrigger_4(); }
    double distanceToTrigger_6() const override { return adapted_->distanceToTrigger_6(); }
    double distanceToTrigger_8() const override { return adapted_->distanceToTrigger_8(); }
    double distanceToTrigger_12() const override { return adapted_->distanceToTrigger_12(); }
    double distanceToTrigger_16() const override { return adapted_->distanceToTrigger_16(); }
    double distanceToTrigger_32() const override { return adapted_->distanceToTrigger_32(); }

    double distanceToNextTrigger_beat() const override { return adapted_->distanceToNextTrigger_beat(); }
    double distanceToNextTrigger_4() const override { return adapted_->distanceToNextTrigger_4(); }
    double distanceToNextTrigger_6() const override { return adapted_->distanceToNextTrigger_6(); }
    double distanceToNextTrigger_8() const override { return adapted_->distanceToNextTrigger_8(); }
    double distanceToNextTrigger_12() const override { return adapted_->distanceToNextTrigger_12(); }
    double distanceToNextTrigger_16() const override { return adapted_->distanceToNextTrigger_16(); }
    double distanceToNextTrigger_32() const override { return adapted_->distanceToNextTrigger_32(); }

    int32_t beat() const override { return adapted_->beat(); }
    int32_t beat4() const override { return adapted_->beat4(); }
    int32_t beat6() const override { return adapted_->beat6(); }
    int32_t beat8() const override { return adapted_->beat8(); }
    int32_t beat12() const override { return adapted_->beat12(); }
    int32_t beat16() const override { return adapted_->beat16(); }
    int32_t beat32() const override { return adapted_->beat32(); }

    Counter const& beatCounter() const override { return adapted_->beatCounter(); }
    Counter const& beat4Counter() const override { return adapted_->beat4Counter(); }
    Counter const& beat6Counter() const override { return adapted_->beat6Counter(); }
    Counter const& beat8Counter() const override { return adapted_->beat8Counter(); }
    Counter const& beat12Counter() const override { return adapted_->beat12Counter(); }
    Counter const& beat16Counter() const override { return adapted_->beat16Counter(); }
    Counter const& beat32Counter() const override { return adapted_->beat32Counter(); }

private:
    Clock const* adapted_;
};

} // namespace Lumora
