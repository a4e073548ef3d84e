#pragma once

#include "linkkit/ABLLinkViews.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <string>

struct ABLLink;

namespace Platform {
class Label;
class TextView;
} // namespace Platform

// The kit's settings table, titled "Ableton Link": the user's Link switch; while Link is on, the
// in-app notification and start/stop sync switches and the number of connected peers. Each
// ABLLink makes one and owns it; the link's deletion detaches it (deinit) first.
//
// Sections: 0 the enable cell (footer: the description while Link is off); 1 and 2 only while
// Link is on: the notifications and start/stop sync cells, and the status cell under the header
// "CONNECTED PEERS" with the browsing footer.
class ABLSettingsViewController : public Platform::TableViewController, public ABLLinkSettingsView {
public:
    static constexpr char const* titleText = "Ableton Link";
    // Where the description's "Learn more at " points.
    static constexpr char const* linkWebAddress = "https://www.ableton.com/link/";
    static constexpr double peersFooterHeight = 44;
    // The colour of the address in the description footer.
    static constexpr Platform::Color linkColor{0, 122.0 / 255, 1, 1};

    static std::shared_ptr<ABLSettingsViewController> create(ABLLink* link);

    ABLSettingsViewController() : TableViewController(Platform::TableView::Style::Grouped) {}
    // The only initialiser: the plain one refuses, as the view needs its link.
    bool init() override { return false; }
    bool initWithLink(ABLLink* link);

    void viewDidLoad() override;
    // The navigation controller's toolbar shows while this view does, and is then left as it was.
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    ABLLink* link() const { return link_; }
    // The link's user-enabled and start/stop sync flags; off once detached.
    bool isEnabled() const;
    bool isStartStopSyncEnabled() const;

    // ABLLinkSettingsView
    unsigned long numberOfPeers() const override { return peers_; }
    void setNumberOfPeers(unsigned long peers) override;
    void deinit() override;

    // Switch actions.
    void enableLink(Platform::Switch* sender);
    void enableNotifications(Platform::Switch* sender);
    void enableStartStopSync(Platform::Switch* sender);
    // The table's margins changed: every cached cell and footer is made anew.
    void viewLayoutMarginsDidChange();

    // Table.
    int numberOfSectionsInTableView(Platform::TableView*) override;
    int numberOfRowsInSection(Platform::TableView* tableView, int section) override;
    std::shared_ptr<Platform::TableViewCell> cellForRowAtIndexPath(Platform::TableView* tableView,
                                                                   Platform::IndexPath indexPath) override;
    std::string titleForHeaderInSection(int section) const;
    std::string titleForFooterInSection(int section) const;
    // The enable footer (section 0, Link off) or the peers footer (section 2, Link on).
    std::shared_ptr<Platform::View> viewForFooterInSection(int section);
    double heightForFooterInSection(int section);
    std::string titleForHeaderInSection(Platform::TableView*, int section) override { return titleForHeaderInSection(section); }
    std::shared_ptr<Platform::View> viewForFooterInSection(Platform::TableView*, int section) override
    {
        return viewForFooterInSection(section);
    }
    double heightForFooterInSection(Platform::TableView*, int section) override { return heightForFooterInSection(section); }

    // The cached parts (made on first use), for the screens and tests that look at them.
    Platform::Switch* enableSwitch();
    Platform::Switch* notificationsSwitch();
    Platform::Switch* startStopSyncSwitch();
    Platform::TableViewCell* statusCell();
    Platform::TextView* enableFooter();

private:
    std::shared_ptr<Platform::TableViewCell> makeSwitchCell(std::string const& title, std::string const& subtitle,
                                                            bool on, void (ABLSettingsViewController::*action)(Platform::Switch*));
    bool startStopSyncSupported() const;
    void dropCachedViews();

    ABLLink* link_ = nullptr;
    unsigned long peers_ = 0;
    bool toolbarWasHidden_ = true;
    std::shared_ptr<Platform::TableViewCell> enableCell_;
    std::shared_ptr<Platform::TextView> enableFooter_;
    std::shared_ptr<Platform::TableViewCell> notificationsCell_;
    std::shared_ptr<Platform::TableViewCell> startStopSyncCell_;
    std::shared_ptr<Platform::TableViewCell> statusCell_;
    std::shared_ptr<Platform::View> peersFooter_;
};
