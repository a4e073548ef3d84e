#pragma once

#include "engine/clock/ClockAdapter.h"

namespace Lumora {

// The engine's clock with swing and a timing shift applied to its position and note grids.
// Tempo, signature, beat counter and running totals stay those of the adapted clock.
// Render thread only; process() once per cycle, after the clock's pre step.
class GrooveClockAdapter : public ClockAdapter {
public:
    GrooveClockAdapter() = default;
    ~GrooveClockAdapter() override = default;

    // swing: 0 for none, 1 for full triplet swing; shift: in beats, positive is later.
    void process(Clock const* clock, double swing, double shift);

    // Moves the midpoint of every unit of x to 0.5 + swing / 6 and stretches both halves
    // linearly around it.
    static double swingWarp(double x, double swing);

    double beatPosition() const override { return warpedBeatPosition_; }
    double beatPosition_bar() const override { return warpedBarPosition_; }
    double quaterNotePosition() const override { return warpedBeatPosition_ * beatPerQuaterNote(); }

    bool isTriggered_4() const override { return grids_[0].triggered; }
    bool isTriggered_6() const override { return grids_[1].triggered; }
    bool isTriggered_8() const override { return grids_[2].triggered; }
    bool isTriggered_12() const override { return grids_[3].triggered; }
    bool isTriggered_16() const override { return grids_[4].triggered; }
    bool isTriggered_32() const override { return grids_[5].triggered; }

    double distanceToTrigger_4() const override { return distanceToTrigger(grids_[0]); }
    double distanceToTrigger_6() const override { return distanceToTrigger(grids_[1]); }
    double distanceToTrigger_8() const override { return distanceToTrigger(grids_[2]); }
    double distanceToTrigger_12() const override { return distanceToTrigger(grids_[3]); }
    double distanceToTrigger_16() const override { return distanceToTrigger(grids_[4]); }
    double distanceToTrigger_32() const override { return distanceToTrigger(grids_[5]); }

    double distanceToNextTrigger_4() const override { return distanceToNextTrigger(grids_[0]); }
    double distanceToNextTrigger_6() const override { return distanceToNextTrigger(grids_[1]); }
    double distanceToNextTrigger_8() const override { return distanceToNextTrigger(grids_[2]); }
    double distanceToNextTrigger_12() const override { return distanceToNextTrigger(grids_[3]); }
    double distanceToNextTrigger_16() const override { return distanceToNextTrigger(grids_[4]); }
    double distanceToNextTrigger_32() const override { return distanceToNextTrigger(grids_[5]); }

    int32_t beat4() const override { return grids_[0].count; }
    int32_t beat6() const override { return grids_[1].count; }
    int32_t beat8() const override { return grids_[2].count; }
    int32_t beat12() const override { return grids_[3].count; }
    int32_t beat16() const override { return grids_[4].count; }
    int32_t beat32() const override { return grids_[5].count; }

    Counter const& beat4Counter() const override { return grids_[0]; }
    Counter const& beat6Counter() const override { return grids_[1]; }
    Counter const& beat8Counter() const override { return grids_[2]; }
    Counter const& beat12Counter() const override { return grids_[3]; }
    Counter const& beat16Counter() const override { return grids_[4]; }
    Counter const& beat32Counter() const override { return grids_[5]; }

private:
    double warpedBeatPosition_ = 0.0;
    double warpedBarPosition_ = 0.0;
    Counter grids_[kGridCount]{};
};

} // namespace Lumora
