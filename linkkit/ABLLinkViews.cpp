#include "linkkit/ABLLinkViews.h"

namespace {

// Until the kit's views are built, a link's settings view only keeps the peer count, and no
// banner is shown.
class ABLHeadlessSettingsView final : public ABLLinkSettingsView {
public:
    unsigned long numberOfPeers() const override { return peers_; }
    void setNumberOfPeers(unsigned long peers) override { peers_ = peers; }
    void deinit() override {}

private:
    unsigned long peers_ = 0;
};

} // namespace

std::shared_ptr<ABLLinkSettingsView> ABLLinkMakeSettingsView(ABLLink&)
{
    return std::make_shared<ABLHeadlessSettingsView>();
}

void ABLLinkShowPeersNotification(unsigned long) {}
