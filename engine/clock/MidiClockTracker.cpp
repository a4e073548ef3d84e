#include "engine/clock/MidiClockTracker.h"

#include <algorithm>

namespace Lumora {

namespace {
constexpr double kMinTempo = 20.0;
constexpr double kMaxTempo = 999.0;
} // namespace

void MidiClockTracker::addTicks(unsigned ticks) {
    if (ticks == 0) {
        return;
    }
    tickCount_ += ticks;
    blockTicks_ += ticks;
    ticksArrived_ = true;
}

void MidiClockTracker::update(unsigned frames, float sampleRate) {
    if (ticksArrived_) {
        // Only the newest ticks fit the ring; older ones would be overwritten anyway.
        unsigned const recorded = std::min(blockTicks_, kRingSize);
        for (unsigned i = 0; i < recorded; ++i) {
            recordTick(blockStart_);
        }
        measureTempo();
        sinceLastTicks_ = 0.0;
    }
    double const seconds = sampleRate > 0.0f ? double(frames) / double(sampleRate) : 0.0;
    sinceLastTicks_ += seconds;
    blockStart_ += seconds;
    ticksArrived_ = false;
    blockTicks_ = 0;
    // Blocks longer than the drop-out gap would otherwise never see a tick "recently".
    moveLockState(std::max(kDropOutSeconds, 2.0 * seconds));
}

void MidiClockTracker::recordTick(double time) {
    if (ringCount_ < kRingSize) {
        tickTimes_[(ringHead_ + ringCount_) % kRingSize] = time;
        ++ringCount_;
    } else {
        tickTimes_[ringHead_] = time;
        ringHead_ = (ringHead_ + 1) % kRingSize;
    }
}

void MidiClockTracker::clearRing() {
    ringHead_ = 0;
    ringCount_ = 0;
}

// Least-squares line through (tick index i, arrival time t_i):
//   secondsPerTick = sum((i - mean_i)(t_i - mean_t)) / sum((i - mean_i)^2).
// Arrival times are quantized to block starts; the fit spreads that error over the whole ring.
// While the ticks seen so far cannot give a slope (fewer than two, or all in one block) the
// previous measurement stays.
void MidiClockTracker::measureTempo() {
    if (ringCount_ < 2) {
        return;
    }
    double const origin = tickTimes_[ringHead_];
    double const meanIndex = (double(ringCount_) - 1.0) / 2.0;
    double meanTime = 0.0;
    for (unsigned i = 0; i < ringCount_; ++i) {
        meanTime += tickTimes_[(ringHead_ + i) % kRingSize] - origin;
    }
    meanTime /= double(ringCount_);
    double covariance = 0.0;
    double variance = 0.0;
    for (unsigned i = 0; i < ringCount_; ++i) {
        double const di = double(i) - meanIndex;
        double const dt = tickTimes_[(ringHead_ + i) % kRingSize] - origin - meanTime;
        covariance += di * dt;
        variance += di * di;
    }
    double const secondsPerTick = covariance / variance;
    if (!(secondsPerTick > 0.0)) {
        return;
    }
    double const bpm = 60.0 / (double(kTicksPerQuarterNote) * secondsPerTick);
    tempo_ = std::clamp(bpm, kMinTempo, kMaxTempo);
}

void MidiClockTracker::moveLockState(double dropOutSeconds) {
    bool const recent = sinceLastTicks_ < dropOutSeconds;
    switch (state_) {
    case Idle:
        if (recent) {
            state_ = Starting;
            // The ticks that woke the tracker count as the tick just before position 0; their
            // arrival time stays as the first point of the tempo fit.
            tickCount_ = 0;
            double const lastTickTime = blockStart_ - sinceLastTicks_;
            clearRing();
            recordTick(lastTickTime);
        }
        break;
    case Starting:
    case Locked:
        state_ = recent ? Locked : DroppingOut;
        break;
    case DroppingOut:
        state_ = recent ? Locked : Idle;
        break;
    default:
        state_ = Idle;
        break;
    }
}

} // namespace Lumora
