#pragma once

#include "screens/settings/about/About_ViewController.h"
#include "screens/settings/about/About_SettingPanelView.h"

// The standalone app's About screen: the shared one, acknowledging also the two outside SDKs
// that only the app links.
class About_ViewController_App : public About_ViewController {
public:
    static constexpr char const* audiobusVersion = "3.0.15";

protected:
    std::string additionalAcknowledgments() const override;
};

// The app's About panel, in place of the shared one: its button opens the app's About screen.
class About_SettingPanelView_App : public About_SettingPanelView {
public:
    using About_SettingPanelView::About_SettingPanelView;

    void actionShowAppAbout(Platform::Control* sender);
};
