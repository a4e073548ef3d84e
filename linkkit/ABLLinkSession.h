#pragma once

#include <cstddef>
#include <functional>
#include <mutex>

#include <ableton/link/Controller.hpp>
#include <ableton/platforms/Config.hpp>

#include "linkkit/ABLHostClock.h"
#include "linkkit/ABLLinkRenderState.h"

// One Link session on the host clock. It is the library's session controller with
// replaceable event handlers, as the library's own session class has, but it offers the
// controller's real-time-safe client-state accessor and setter in terms of the timeline
// itself (tempo, beat origin, time origin), which the render state record carries and the
// library's session-state wrapper hides.
class ABLLinkSession {
public:
    using PeerCountHandler = std::function<void(std::size_t peers)>;
    using TempoHandler = std::function<void(double bpm)>;
    using StartStopHandler = std::function<void(bool isPlaying)>;

    explicit ABLLinkSession(double bpm);
    ~ABLLinkSession();
    ABLLinkSession(ABLLinkSession const&) = delete;
    ABLLinkSession& operator=(ABLLinkSession const&) = delete;

    // Returns at once; the library joins or leaves the network on its own thread.
    void enable(bool enabled);
    bool isEnabled() const;
    void enableStartStopSync(bool enabled);
    bool isStartStopSyncEnabled() const;
    std::size_t numPeers() const;

    // Handlers run on the library's threads, under the session's handler lock.
    void setNumPeersHandler(PeerCountHandler handler);
    void setTempoHandler(TempoHandler handler);
    void setStartStopHandler(StartStopHandler handler);

    ABLHostClock const& clock() const { return clock_; }

    // Render thread only (one thread at a time): wait-free read of the client state
    // into both parts of the record, and hand-over of what the record changed.
    void captureRtSafe(ABLLinkRenderState& state) const;
    void commitRtSafe(ABLLinkRenderState const& state, ABLHostClock::Micros now);

    // What a commit hands to the library: only the parts that differ from the captured
    // ones, the start/stop state stamped with the commit time.
    static ableton::link::IncomingClientState changesOf(ABLLinkRenderState const& state, ABLHostClock::Micros now);

    static ableton::link::Timeline toLink(ABLLinkTimeline const& timeline);
    static ABLLinkTimeline fromLink(ableton::link::Timeline const& timeline);

    // A non-real-time read of the client state, for the main thread and tests.
    ableton::link::ClientState clientState() const;

private:
    using Controller = ableton::link::Controller<ableton::link::PeerCountCallback, ableton::link::TempoCallback,
        ableton::link::StartStopStateCallback, ABLHostClock, ableton::link::platform::Random,
        ableton::link::platform::IoContext>;

    std::mutex handlerMutex_;
    PeerCountHandler peerCountHandler_ = [](std::size_t) {};
    TempoHandler tempoHandler_ = [](double) {};
    StartStopHandler startStopHandler_ = [](bool) {};
    ABLHostClock clock_;
    // Last, so that it stops calling the handlers before they go.
    Controller controller_;
};
