#pragma once

#include <cstdint>

namespace Lumora {

// Follows MIDI timing clock (24 ticks per quarter note) across render blocks: counts the ticks,
// measures their tempo and decides whether the clock is locked to them.
//
// Ticks carry no time stamp of their own: every tick handed to a block is taken to have arrived
// at that block's first frame. The tempo is the least-squares slope of tick index against
// arrival time over the last 96 ticks, so that blocks bringing several ticks each (large audio
// blocks) still measure the true tick spacing.
class MidiClockTracker {
public:
    static constexpr unsigned kRingSize = 96;
    static constexpr unsigned kTicksPerQuarterNote = 24;
    // A gap without ticks at least this long drops the lock.
    static constexpr double kDropOutSeconds = 0.125;

    enum LockState : uint32_t { Idle = 0, Starting = 1, Locked = 2, DroppingOut = 3 };

    // Ticks of the coming block.
    void addTicks(unsigned ticks);
    // After the block: records the block's ticks, measures the tempo, moves the lock state.
    void update(unsigned frames, float sampleRate);

    uint32_t tickCount() const { return tickCount_; }
    uint32_t lockState() const { return state_; }
    bool isLocked() const { return state_ == Starting || state_ == Locked; }
    double tempo() const { return tempo_; }

private:
    void recordTick(double time);
    void clearRing();
    void measureTempo();
    void moveLockState(double dropOutSeconds);

    uint32_t tickCount_ = 0;
    unsigned blockTicks_ = 0;
    bool ticksArrived_ = false;
    double tickTimes_[kRingSize] = {};
    unsigned ringHead_ = 0;  // index of the oldest entry
    unsigned ringCount_ = 0; // entries in use
    double blockStart_ = 0.0;        // seconds since construction at the current block's start
    // Seconds since the start of the last block that brought ticks; "long ago" until the first
    // ticks, so that a clock that never received any does not lock.
    double sinceLastTicks_ = 1.0e9;
    double tempo_ = 120.0;
    uint32_t state_ = Idle;
};

} // namespace Lumora
