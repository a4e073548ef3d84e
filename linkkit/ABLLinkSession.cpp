#include "linkkit/ABLLinkSession.h"

#include <utility>

namespace abl = ableton::link;

ABLLinkSession::ABLLinkSession(double bpm)
    : controller_(
          abl::Tempo(bpm),
          [this](std::size_t peers) {
              std::lock_guard lock(handlerMutex_);
              peerCountHandler_(peers);
          },
          [this](abl::Tempo tempo) {
              std::lock_guard lock(handlerMutex_);
              tempoHandler_(tempo.bpm());
          },
          [this](bool isPlaying) {
              std::lock_guard lock(handlerMutex_);
              startStopHandler_(isPlaying);
          },
          clock_)
{
}

ABLLinkSession::~ABLLinkSession() = default;

void ABLLinkSession::enable(bool enabled) { controller_.enable(enabled); }

bool ABLLinkSession::isEnabled() const { return controller_.isEnabled(); }

void ABLLinkSession::enableStartStopSync(bool enabled) { controller_.enableStartStopSync(enabled); }

bool ABLLinkSession::isStartStopSyncEnabled() const { return controller_.isStartStopSyncEnabled(); }

std::size_t ABLLinkSession::numPeers() const { return controller_.numPeers(); }

void ABLLinkSession::setNumPeersHandler(PeerCountHandler handler)
{
    std::lock_guard lock(handlerMutex_);
    peerCountHandler_ = std::move(handler);
}

void ABLLinkSession::setTempoHandler(TempoHandler handler)
{
    std::lock_guard lock(handlerMutex_);
    tempoHandler_ = std::move(handler);
}

void ABLLinkSession::setStartStopHandler(StartStopHandler handler)
{
    std::lock_guard lock(handlerMutex_);
    startStopHandler_ = std::move(handler);
}

abl::Timeline ABLLinkSession::toLink(ABLLinkTimeline const& timeline)
{
    return { abl::Tempo(timeline.tempo), abl::Beats(timeline.beatOrigin),
        std::chrono::microseconds(timeline.timeOrigin) };
}

ABLLinkTimeline ABLLinkSession::fromLink(abl::Timeline const& timeline)
{
    return { timeline.tempo.bpm(), timeline.beatOrigin.microBeats(), timeline.timeOrigin.count() };
}

void ABLLinkSession::captureRtSafe(ABLLinkRenderState& state) const
{
    auto const client = controller_.clientStateRtSafe();
    state.capture(fromLink(client.timeline),
        { client.startStopState.isPlaying, client.startStopState.time.count() });
}

abl::IncomingClientState ABLLinkSession::changesOf(ABLLinkRenderState const& state, ABLHostClock::Micros now)
{
    abl::IncomingClientState changes { {}, {}, now };
    if (state.timelineChanged())
        changes.timeline = abl::OptionalTimeline { toLink(state.timeline) };
    if (state.startStopChanged())
        changes.startStopState = abl::OptionalClientStartStopState { abl::ClientStartStopState {
            state.startStop.isPlaying, std::chrono::microseconds(state.startStop.time), now } };
    return changes;
}

void ABLLinkSession::commitRtSafe(ABLLinkRenderState const& state, ABLHostClock::Micros now)
{
    // The library ignores an update without a timeline or a start/stop state.
    controller_.setClientStateRtSafe(changesOf(state, now));
}

abl::ClientState ABLLinkSession::clientState() const { return controller_.clientState(); }
