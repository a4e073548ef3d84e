#include "plugin/audiounit/PluginRenderBlock.h"

#include <cmath>

#include "plugin/audiounit/HostMusicalContextInfo.h"
#include "plugin/audiounit/HostTransportStateInfo.h"

namespace Lumora::PluginRender {

namespace {

// Far beyond any timeline a host plays (about 58 days at 120 beats per minute), and well inside
// what the clock's note-grid counters can count.
constexpr double kMaximumBeatPosition = 1.0e7;

bool isCountable(double position) {
    return std::isfinite(position) && std::fabs(position) <= kMaximumBeatPosition;
}

} // namespace

void Scratch::reserve(unsigned inputChannels, unsigned outputChannels) {
    inputs.assign(inputChannels, nullptr);
    outputs.assign(outputChannels, nullptr);
    // Keeps the deque's first node, so a call's usual handful of messages needs no allocation.
    midi.resize(1);
    midi.clear();
}

SyncInformation makeSyncInformation(HostMusicalContextInfo const& context, HostTransportStateInfo const& transport,
                                    double bpmForInternalSync) {
    SyncInformation sync;
    sync.timeSignature = TimeSignature{4, 4};
    sync.beatPosition = 0.0;
    sync.barStartPosition = 0.0;
    if (!context.success()) {
        sync.state = static_cast<int32_t>(SyncMethod::Internal);
        sync.tempo = bpmForInternalSync;
        return sync;
    }
    double const numerator = context.timeSignatureNumerator();
    std::int64_t const denominator = context.timeSignatureDenominator();
    // A signature the engine cannot count (zero, negative or beyond 32 bits) stays 4/4.
    if (numerator >= 1.0 && numerator < 4294967296.0 && denominator > 0 && denominator <= 0xffffffffLL) {
        sync.timeSignature = TimeSignature{static_cast<uint32_t>(numerator), static_cast<uint32_t>(denominator)};
    }
    // A host tempo that is not a number would survive the engine's tempo limits.
    sync.tempo = std::isfinite(context.currentTempo()) ? context.currentTempo() : bpmForInternalSync;
    // A position the clock cannot count (not a number, or beyond any timeline) is not followed:
    // the engine keeps its own clock, as with a standing transport.
    if (transport.isMoving() && isCountable(context.currentBeatPosition()) &&
        isCountable(context.currentMeasureDownbeatPosition())) {
        sync.state = static_cast<int32_t>(SyncMethod::Host);
        sync.beatPosition = context.currentBeatPosition();
        sync.barStartPosition = context.currentMeasureDownbeatPosition();
    } else {
        sync.state = static_cast<int32_t>(SyncMethod::Internal);
    }
    return sync;
}

SyncInformation advancedSyncInformation(SyncInformation const& sync, unsigned frames, float sampleRate) {
    SyncInformation moved = sync;
    if (sync.state != static_cast<int32_t>(SyncMethod::Host) || frames == 0 || !(sampleRate > 0.0f) ||
        !std::isfinite(sync.tempo)) {
        return moved;
    }
    moved.beatPosition += double(frames) * sync.tempo / (60.0 * double(sampleRate));
    // Positions count beats of the signature's note value, as the engine's clock takes them (it
    // turns them into quarter notes by 4 / denominator itself): a bar holds numerator beats.
    double const barLength = double(sync.timeSignature.numerator);
    if (barLength > 0.0 && moved.beatPosition >= sync.barStartPosition + barLength) {
        double const bars = std::floor((moved.beatPosition - sync.barStartPosition) / barLength);
        moved.barStartPosition += bars * barLength;
    }
    return moved;
}

} // namespace Lumora::PluginRender
