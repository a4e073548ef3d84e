#pragma once

#include <cstdint>

#include "linkkit/ABLHostClock.h"

// A session timeline: beats = beat origin + (time - time origin) / microseconds per beat.
struct ABLLinkTimeline {
    double tempo = 120.0;          // beats per minute
    std::int64_t beatOrigin = 0;   // microbeats (beats x 1,000,000)
    std::int64_t timeOrigin = 0;   // microseconds of host time

    friend bool operator==(ABLLinkTimeline const&, ABLLinkTimeline const&) = default;
};

struct ABLLinkStartStopState {
    bool isPlaying = false;
    std::int64_t time = 0;         // microseconds of host time

    friend bool operator==(ABLLinkStartStopState const&, ABLLinkStartStopState const&) = default;
};

// The render thread's view of a Link session for one render cycle: what was captured
// from the session, and a working copy that the render thread may change and commit.
// Every operation is constant time, allocates nothing and takes no lock.
struct ABLLinkRenderState {
    ABLLinkTimeline capturedTimeline;
    ABLLinkStartStopState capturedStartStop;
    ABLLinkTimeline timeline;
    ABLLinkStartStopState startStop;
    double hostTimeFactor = ABLHostClock::kMicrosPerTick;   // microseconds per host tick

    // Both the captured and the working parts take the session's state.
    void capture(ABLLinkTimeline const& sessionTimeline, ABLLinkStartStopState const& sessionStartStop);

    bool timelineChanged() const { return timeline != capturedTimeline; }
    bool startStopChanged() const { return startStop != capturedStartStop; }

    double tempo() const { return timeline.tempo; }

    // The new tempo is limited to [20, 999]; the beat at the given host time stays where it is.
    void changeTempo(std::uint64_t hostTime, double tempo);

    // The beat at the host time, aligned so that its phase within the quantum is the phase of
    // the beats elapsed since the time origin; a quantum of 0 gives the plain timeline beat.
    double beatAt(std::uint64_t hostTime, double quantum) const;

    // Host ticks to microseconds, to the nearest integer, halves away from zero.
    std::int64_t hostTimeToMicros(std::uint64_t hostTime) const;
};
