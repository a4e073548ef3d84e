#include "engine/clock/GrooveClockAdapter.h"

#include <algorithm>
#include <cmath>

namespace Lumora {

// With f the fraction of x (floor split, so the warp repeats every unit also below 0 and is
// continuous there) and s = 0.5 + w / 6:
//   f <= s: 0.5 * f / s          f > s: 0.5 + 0.5 * (f - s) / (1 - s)
double GrooveClockAdapter::swingWarp(double x, double swing) {
    if (swing == 0.0) {
        return x;
    }
    // The swing amount is stored in 0..1; outside it the split point could reach 1.
    swing = std::clamp(swing, 0.0, 1.0);
    double const whole = std::floor(x);
    double const f = x - whole;
    double const s = 0.5 + swing / 6.0;
    double const warped = f <= s ? 0.5 * f / s : 0.5 + 0.5 * (f - s) / (1.0 - s);
    return whole + warped;
}

// The warp's unit is half a beat, so every eighth note (in 4/4) is swung and the sixteenth in
// its middle falls later.
void GrooveClockAdapter::process(Clock const* clock, double swing, double shift) {
    setAdaptedClock(clock);
    warpedBeatPosition_ = swingWarp(2.0 * (clock->beatPosition() - shift), swing) / 2.0;
    warpedBarPosition_ = swingWarp(2.0 * (clock->beatPosition_bar() - shift), swing) / 2.0;
    double const q = quaterNotePosition();
    bool const silent = isSilentJump(clock->isRewinded(), warpedBeatPosition_);
    for (int i = 0; i < kGridCount; ++i) {
        updateCounter(grids_[i], q * kGridScale[i], silent);
    }
}

} // namespace Lumora
