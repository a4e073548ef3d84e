#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Lumora_Core;
class Lumora_SettingPanelView;

// The settings screen: a scrolling column of panels under a header bar with the product's name,
// version and maker. Every panel of the panel file "SettingsPanelVws" is made with the screen;
// the ones shown are those of the opener's class list, or else of the default list that the
// engine's capabilities, the deliverable and the main screen call for, plus any the opener's
// block makes. The opener makes the screen the root of a navigation controller: sub-screens of
// the panels are pushed there.
class Lumora_SettingsVwCtrlr : public Platform::ViewController {
public:
    static constexpr char const* nibName = "SettingsVwCtrlr";
    static constexpr char const* panelNibName = "SettingsPanelVws";

    using PanelClasses = std::vector<Lumora_SettingPanelClass>;
    // Answers one more panel for an index, or none to stop.
    using PanelViewBlock = std::function<std::shared_ptr<Lumora_SettingPanelView>(unsigned index)>;

    // A new screen; none when the interface file cannot be loaded or there is no model.
    static std::shared_ptr<Lumora_SettingsVwCtrlr> create(std::shared_ptr<Lumora_Core> core,
                                                          std::optional<PanelClasses> creationPanelViewClasses = {},
                                                          PanelViewBlock creationPanelViewBlock = {});

    // The screen has no other initialiser.
    bool init() override { return false; }
    bool initWithCore(std::shared_ptr<Lumora_Core> core, std::optional<PanelClasses> creationPanelViewClasses,
                      PanelViewBlock creationPanelViewBlock);

    Lumora_Core* core() const { return core_.get(); }
    std::vector<std::shared_ptr<Lumora_SettingPanelView>> const& panelViews() const { return panelViews_; }
    std::vector<std::shared_ptr<Lumora_SettingPanelView>> const& addedPanelViews() const { return addedPanelViews_; }
    std::optional<PanelClasses> const& creationPanelClasses() const { return creationPanelClasses_; }

    // Outlets, connected by the interface file.
    Platform::View* titleBarView() const { return titleBarView_.get(); }
    Platform::ScrollView* pannelContainerView() const { return pannelContainerView_.get(); }
    Platform::Label* labelProductName() const { return labelProductName_.get(); }
    Platform::Label* labelProductManufacture() const { return labelProductManufacture_.get(); }
    Platform::View* txtVwInfoPlaceholder() const { return txtVwInfoPlaceholder_.get(); }
    Platform::Button* closeButton() const { return closeButton_.get(); }

    struct Outlets {
        Platform::View* titleBarView = nullptr;
        Platform::ScrollView* pannelContainerView = nullptr;
        Platform::Label* labelProductName = nullptr;
        Platform::Label* labelProductManufacture = nullptr;
        Platform::View* txtVwInfoPlaceholder = nullptr;
        Platform::Button* closeButton = nullptr;
    };
    void connectOutlets(Outlets const& outlets);

    void viewDidLoad() override;
    // Places the header across the top and the panel container below it (the interface file's
    // relations are not solved by the platform layer).
    void viewWillLayoutSubviews() override;
    // Stacks the shown panels, each at its own height, across the container's width.
    void viewDidLayoutSubviews() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // The first panel of the file of that class or a subclass of it; none when the file has none.
    Lumora_SettingPanelView* panelForClass(Lumora_SettingPanelClass const& panelClass) const;
    // Adds the file's panel of each class in turn (classes without one are skipped); answers how
    // many were added.
    unsigned addPannelViewsWithClass(PanelClasses const& classes);
    void addPannelView(std::shared_ptr<Lumora_SettingPanelView> const& panel);

    // The default list for the model as it is now.
    PanelClasses defaultPanelClasses() const;

    void didPressCloseButton(Platform::Control* sender);

private:
    Lumora_CoreRef core_;
    std::vector<std::shared_ptr<Lumora_SettingPanelView>> panelViews_;
    std::vector<std::shared_ptr<Lumora_SettingPanelView>> addedPanelViews_;
    std::optional<PanelClasses> creationPanelClasses_;
    PanelViewBlock creationPanelViewBlock_;

    Platform::WeakRef<Platform::View> titleBarView_;
    Platform::WeakRef<Platform::ScrollView> pannelContainerView_;
    Platform::WeakRef<Platform::Label> labelProductName_;
    Platform::WeakRef<Platform::Label> labelProductManufacture_;
    Platform::WeakRef<Platform::View> txtVwInfoPlaceholder_;
    Platform::WeakRef<Platform::Button> closeButton_;
};

// Registers the interface files "SettingsVwCtrlr" and "SettingsPanelVws" and the panels of
// every family linked here (once; making a settings screen does it too).
void registerSettingsNibs();
