#include "plugin/audiounit/HostTransportStateInfo.h"

void HostTransportStateInfo::resetWithBlock(Platform::TransportStateBlock block) {
    block_ = std::move(block);
    success_.store(false, std::memory_order_relaxed);
    reset();
}

void HostTransportStateInfo::reset() {
    transportStateFlags_ = 0;
    currentSamplePosition_ = 0.0;
    cycleStartBeatPosition_ = 0.0;
    cycleEndBeatPosition_ = 0.0;
}

bool HostTransportStateInfo::poll() {
    bool answered = false;
    if (block_) {
        std::uint64_t flags = 0;
        double position = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
        answered = block_(&flags, &position, &cycleStart, &cycleEnd);
        if (answered) {
            transportStateFlags_ = flags;
            currentSamplePosition_ = position;
            cycleStartBeatPosition_ = cycleStart;
            cycleEndBeatPosition_ = cycleEnd;
        }
    }
    if (!answered)
        reset();
    success_.store(answered, std::memory_order_relaxed);
    return answered;
}
