#include "linkkit/ABLLinkRenderState.h"

#include <cmath>

#include <ableton/link/ClientSessionTimelines.hpp>
#include <ableton/link/Phase.hpp>

#include "linkkit/ABLLinkSession.h"

namespace abl = ableton::link;

void ABLLinkRenderState::capture(ABLLinkTimeline const& sessionTimeline, ABLLinkStartStopState const& sessionStartStop)
{
    capturedTimeline = sessionTimeline;
    timeline = sessionTimeline;
    capturedStartStop = sessionStartStop;
    startStop = sessionStartStop;
}

std::int64_t ABLLinkRenderState::hostTimeToMicros(std::uint64_t hostTime) const
{
    return std::llround(hostTimeFactor * static_cast<double>(hostTime));
}

void ABLLinkRenderState::changeTempo(std::uint64_t hostTime, double bpm)
{
    // A tempo that is not a number has no place to be limited to.
    if (std::isnan(bpm))
        return;
    auto const at = std::chrono::microseconds(hostTimeToMicros(hostTime));
    auto current = ABLLinkSession::toLink(timeline);
    // A timeline through (t, beat at t) at the new tempo; the beat origin keeps its value
    // and moves to the time where that timeline passes it.
    auto const through = abl::clampTempo(abl::Timeline { abl::Tempo(bpm), current.toBeats(at), at });
    current.tempo = through.tempo;
    current.timeOrigin = through.fromBeats(current.beatOrigin);
    timeline = ABLLinkSession::fromLink(current);
}

double ABLLinkRenderState::beatAt(std::uint64_t hostTime, double quantum) const
{
    if (!std::isfinite(quantum))
        quantum = 0.0;
    auto const at = std::chrono::microseconds(hostTimeToMicros(hostTime));
    return abl::toPhaseEncodedBeats(ABLLinkSession::toLink(timeline), at, abl::Beats(quantum)).floating();
}
