#include "linkkit/ABLLinkObject.h"

#include "linkkit/ABLLinkKeys.h"
#include "linkkit/ABLLinkSession.h"
#include "linkkit/ABLLinkViews.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/UserDefaults.h"

ABLLink::ABLLink(double bpm)
    : callbacks_(std::make_shared<ABLLinkCallbacks>())
    , session_(std::make_unique<ABLLinkSession>(bpm))
{
    renderState_.timeline.tempo = session_->clientState().timeline.tempo.bpm();
    renderState_.capturedTimeline = renderState_.timeline;
    settingsView_ = ABLLinkMakeSettingsView(*this);
    installSessionHandlers();

    auto const defaults = Platform::UserDefaults::standard();
    userEnabled_.store(defaults->boolForKey(kABLLinkEnabledKey));
    callbacks_->isEnabled(userEnabled_.load());
    applyEnableState();

    setStartStopSyncEnabled(defaults->boolForKey(kABLStartStopSyncEnabledKey));
}

ABLLink::~ABLLink()
{
    if (settingsView_)
        settingsView_->deinit();
    clearCallbacks();
}

// Each handler runs on a Link thread and only queues the event for the main thread, with
// its own reference to the callbacks record.
void ABLLink::installSessionHandlers()
{
    auto const callbacks = callbacks_;
    session_->setNumPeersHandler([callbacks](std::size_t peers) {
        Platform::RunLoop::main().post([callbacks, peers] { callbacks->peerCount(static_cast<unsigned long>(peers)); });
    });
    session_->setTempoHandler([callbacks](double bpm) {
        Platform::RunLoop::main().post([callbacks, bpm] { callbacks->tempo(bpm); });
    });
    session_->setStartStopHandler([callbacks](bool isPlaying) {
        Platform::RunLoop::main().post([callbacks, isPlaying] { callbacks->startStop(isPlaying); });
    });
}

void ABLLink::clearCallbacks()
{
    *callbacks_ = ABLLinkCallbacks {};
}

void ABLLink::setActive(bool active)
{
    active_ = active;
    applyEnableState();
}

void ABLLink::applyEnableState()
{
    bool const desired = active_ && userEnabled_.load();
    if (appliedEnabled_.exchange(desired) != desired)
        session_->enable(desired);
}

// The session is told too, so that the switch really sends and follows start/stop commands.
void ABLLink::setStartStopSyncEnabled(bool enabled)
{
    startStopSync_.store(enabled);
    session_->enableStartStopSync(enabled);
}

void ABLLink::handlePeerCount(unsigned long peers)
{
    if (!appliedEnabled_.load())
        return;
    unsigned long const previous = settingsView_ ? settingsView_->numberOfPeers() : 0;
    if (peers > 0 && previous == 0)
        callbacks_->connected(true);
    else if (peers == 0 && previous > 0)
        callbacks_->connected(false);

    ABLLinkShowPeersNotification(peers);
    if (settingsView_)
        settingsView_->setNumberOfPeers(peers);

    Platform::NotificationCenter::defaultCenter().post(kABLLinkNumberOfPeersChangedNotification, nullptr,
        Platform::Dictionary { { kABLLinkNumberOfPeersKey, Platform::Value(static_cast<std::uint64_t>(peers)) } });
}
