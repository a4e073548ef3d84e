#include "plugin/audiounit/HostMusicalContextInfo.h"

void HostMusicalContextInfo::resetWithBlock(Platform::MusicalContextBlock block) {
    block_ = std::move(block);
    success_.store(false, std::memory_order_relaxed);
    reset();
}

void HostMusicalContextInfo::reset() {
    currentTempo_ = 0.0;
    timeSignatureNumerator_ = 0.0;
    timeSignatureDenominator_ = 0;
    currentBeatPosition_ = 0.0;
    sampleOffsetToNextBeat_ = 0;
    currentMeasureDownbeatPosition_ = 0.0;
}

bool HostMusicalContextInfo::poll() {
    bool answered = false;
    if (block_) {
        double tempo = 0.0, numerator = 0.0, beat = 0.0, downbeat = 0.0;
        std::int64_t denominator = 0, offset = 0;
        answered = block_(&tempo, &numerator, &denominator, &beat, &offset, &downbeat);
        if (answered) {
            currentTempo_ = tempo;
            timeSignatureNumerator_ = numerator;
            timeSignatureDenominator_ = denominator;
            currentBeatPosition_ = beat;
            sampleOffsetToNextBeat_ = offset;
            currentMeasureDownbeatPosition_ = downbeat;
        }
    }
    if (!answered)
        reset();
    success_.store(answered, std::memory_order_relaxed);
    return answered;
}
