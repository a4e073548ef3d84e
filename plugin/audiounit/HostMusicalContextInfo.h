#pragma once

#include <atomic>
#include <cstdint>

#include "platform/audiounit/AudioUnitTypes.h"
#include "platform/foundation/Object.h"

// Holds the host's musical-context block and its answers of the last poll. The render thread
// polls it once per render call; the success flag is also read from the main thread (whether a
// tempo may be proposed), so it is atomic.
class HostMusicalContextInfo : public Platform::Object {
public:
    HostMusicalContextInfo() = default;

    void initWithBlock(Platform::MusicalContextBlock block) { resetWithBlock(std::move(block)); }
    // Takes the block (may be empty), forgets the last answers and counts as no success.
    // Not on the render thread: it copies the block.
    void resetWithBlock(Platform::MusicalContextBlock block);
    // Every value to 0; the block and the success flag stay.
    void reset();
    // Render thread: asks the block; without one, or when it answers no, the values are 0 and
    // success is false.
    bool poll();

    bool success() const { return success_.load(std::memory_order_relaxed); }
    Platform::MusicalContextBlock const& block() const { return block_; }
    double currentTempo() const { return currentTempo_; }
    double timeSignatureNumerator() const { return timeSignatureNumerator_; }
    std::int64_t timeSignatureDenominator() const { return timeSignatureDenominator_; }
    double currentBeatPosition() const { return currentBeatPosition_; }
    std::int64_t sampleOffsetToNextBeat() const { return sampleOffsetToNextBeat_; }
    double currentMeasureDownbeatPosition() const { return currentMeasureDownbeatPosition_; }

private:
    std::atomic<bool> success_{false};
    Platform::MusicalContextBlock block_;
    double currentTempo_ = 0.0;
    double timeSignatureNumerator_ = 0.0;
    std::int64_t timeSignatureDenominator_ = 0;
    double currentBeatPosition_ = 0.0;
    std::int64_t sampleOffsetToNextBeat_ = 0;
    double currentMeasureDownbeatPosition_ = 0.0;
};
