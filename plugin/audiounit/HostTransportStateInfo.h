#pragma once

#include <atomic>
#include <cstdint>

#include "platform/audiounit/AudioUnitTypes.h"
#include "platform/foundation/Object.h"

// Holds the host's transport-state block and its answers of the last poll (render thread).
class HostTransportStateInfo : public Platform::Object {
public:
    HostTransportStateInfo() = default;

    void initWithBlock(Platform::TransportStateBlock block) { resetWithBlock(std::move(block)); }
    // Takes the block (may be empty), forgets the last answers and counts as no success.
    void resetWithBlock(Platform::TransportStateBlock block);
    // Every value to 0; the block and the success flag stay.
    void reset();
    // Render thread: asks the block; without one, or when it answers no, the values are 0.
    bool poll();
    // The host answered and says its transport moves.
    bool isMoving() const { return success() && (transportStateFlags_ & Platform::TransportStateFlags::Moving) != 0; }

    bool success() const { return success_.load(std::memory_order_relaxed); }
    Platform::TransportStateBlock const& block() const { return block_; }
    std::uint64_t transportStateFlags() const { return transportStateFlags_; }
    double currentSamplePosition() const { return currentSamplePosition_; }
    double cycleStartBeatPosition() const { return cycleStartBeatPosition_; }
    double cycleEndBeatPosition() const { return cycleEndBeatPosition_; }

private:
    std::atomic<bool> success_{false};
    Platform::TransportStateBlock block_;
    std::uint64_t transportStateFlags_ = 0;
    double currentSamplePosition_ = 0.0;
    double cycleStartBeatPosition_ = 0.0;
    double cycleEndBeatPosition_ = 0.0;
};
