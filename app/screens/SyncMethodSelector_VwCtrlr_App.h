#pragma once

#include "screens/settings/sync/SyncMethodSelector_VwCtrlr.h"

#include <memory>

struct ABLLink;

namespace Platform {
class ViewController;
}

// The standalone app's sync-method selector: a fourth row, "Ableton Link", opens the Link kit's
// settings view instead of choosing a method, and the stored method follows the user's Link
// switch: switching Link on makes Link the sync method; switching it off while Link was in use
// returns to the internal clock; leaving Link off changes nothing.
class SyncMethodSelector_VwCtrlr_App : public SyncMethodSelector_VwCtrlr {
public:
    static constexpr int linkRow = 3;

    static std::shared_ptr<SyncMethodSelector_VwCtrlr_App> create(std::shared_ptr<Lumora_Core> const& core);

    ~SyncMethodSelector_VwCtrlr_App() override;

    void viewDidLoad() override;
    void didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath) override;
    // Run when the selector comes on screen and when it goes away.
    void onCloseAbLinkSettings() override;

    // The Link kit calls this when the user switches Link; context is the selector.
    static void isEnabledCallback(bool isEnabled, void* context);

    Platform::ViewController* abletonLinkSettings() const { return vcAbletonLinkSettings_.get(); }
    bool openAbLinkSettings() const { return openAbLinkSettings_; }
    bool lastAbLinkEnabled() const { return lastAbLinkEnabled_; }

private:
    // The Link object of the app's audio I/O now (a reopened audio I/O has a new one).
    ABLLink* appLink() const;

    std::shared_ptr<Platform::ViewController> vcAbletonLinkSettings_;
    ABLLink* registeredLink_ = nullptr;
    bool openAbLinkSettings_ = false;
    bool lastAbLinkEnabled_ = false;
};
