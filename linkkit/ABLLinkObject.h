#pragma once

#include <atomic>
#include <memory>

#include "linkkit/ABLLinkCallbacks.h"
#include "linkkit/ABLLinkRenderState.h"

class ABLLinkSession;
class ABLLinkSettingsView;

// The object behind the plain function interface (linkkit/ABLLink.h); the kit's settings view
// works on it directly. Networking runs exactly while applied-enabled is true, which follows
// "active and user-enabled".
struct ABLLink {
    explicit ABLLink(double bpm);
    ~ABLLink();
    ABLLink(ABLLink const&) = delete;
    ABLLink& operator=(ABLLink const&) = delete;

    ABLLinkCallbacks& callbacks() { return *callbacks_; }
    std::shared_ptr<ABLLinkCallbacks> const& sharedCallbacks() const { return callbacks_; }
    // Replaces every callback with a no-op.
    void clearCallbacks();

    void setActive(bool active);
    bool isActive() const { return active_; }

    // Any thread.
    bool isUserEnabled() const { return userEnabled_.load(); }
    // The settings switch: the flag only; the caller then applies the enable state.
    void setUserEnabled(bool enabled) { userEnabled_.store(enabled); }
    bool isAppliedEnabled() const { return appliedEnabled_.load(); }
    // Asks the session to enable or disable itself when "active and user-enabled" differs
    // from what it was last asked; returns at once.
    void applyEnableState();

    bool isStartStopSyncEnabled() const { return startStopSync_.load(); }
    void setStartStopSyncEnabled(bool enabled);

    // The kit's handler of the session's peer count, on the main thread.
    void handlePeerCount(unsigned long peers);

    std::shared_ptr<ABLLinkSettingsView> const& settingsViewController() const { return settingsView_; }
    ABLLinkSession& session() { return *session_; }
    ABLLinkRenderState& renderState() { return renderState_; }

private:
    void installSessionHandlers();

    std::shared_ptr<ABLLinkCallbacks> callbacks_;
    bool active_ = true;
    std::atomic<bool> userEnabled_ { false };
    std::unique_ptr<ABLLinkSession> session_;
    std::atomic<bool> appliedEnabled_ { false };
    std::atomic<bool> startStopSync_ { false };
    std::shared_ptr<ABLLinkSettingsView> settingsView_;
    ABLLinkRenderState renderState_;
};
