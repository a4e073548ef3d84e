#pragma once

#include <memory>

struct ABLLink;

// The kit's user interface as the session object sees it: the settings view controller that
// each ABLLink creates and owns (it keeps the peer count that the connected event is judged
// against) and the peer-count banner.
class ABLLinkSettingsView {
public:
    virtual ~ABLLinkSettingsView() = default;

    virtual unsigned long numberOfPeers() const = 0;
    virtual void setNumberOfPeers(unsigned long peers) = 0;
    // Detaches the view from its link before the link goes away.
    virtual void deinit() = 0;
};

// Makes the settings view controller of a new link (the link is still being constructed).
std::shared_ptr<ABLLinkSettingsView> ABLLinkMakeSettingsView(ABLLink& link);

// Shows the banner for a new peer count.
void ABLLinkShowPeersNotification(unsigned long peers);
