#pragma once

#include "controls/viewcontroller/Lumora_ViewController.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/screen/Lumora_SettingsMainScreenInfo.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Lumora_ScalableContainer_Delegate;

namespace Lumora {
class PresetDocFileManager;
}

// The base of every main screen (the synth screen and the effect-type screen): it tells the
// settings screen that the screen has knobs and whether it has a keyboard, and opens the preset
// document browser and the settings screen as popovers or modally, as the model asks.
class Lumora_MainViewController : public Lumora_ViewController, public Lumora_SettingsMainScreenInfo {
public:
    using PanelClasses = Lumora_SettingsVwCtrlr::PanelClasses;
    using PanelViewBlock = Lumora_SettingsVwCtrlr::PanelViewBlock;
    // Makes the arpeggiator editor for the model with its container delegate (the opener).
    using ArpeggiatorEditorFactory = std::function<std::shared_ptr<Platform::ViewController>(
        std::shared_ptr<Lumora_Core> const&, Lumora_ScalableContainer_Delegate*)>;

    bool hasKnob() const override { return true; }
    bool hasKeyboard() const override { return false; }

    void showSoundPresetFileBrowserInView(Platform::View* view, std::vector<Platform::View*> passthroughViews,
                                          std::optional<Platform::Color> backgroundColor);
    void showMidiMappingPresetFileBrowserInView(Platform::View* view, std::vector<Platform::View*> passthroughViews,
                                                std::optional<Platform::Color> backgroundColor);
    // The browser over the manager, titled with the manager's name.
    void showPresetFileBrowser(Lumora::PresetDocFileManager* manager, Platform::View* view,
                               std::vector<Platform::View*> passthroughViews, std::optional<Platform::Color> backgroundColor);
    // The settings screen with the given panels (or the default list), in a navigation stack.
    void showSettingsInView(Platform::View* view, std::vector<Platform::View*> passthroughViews,
                            std::optional<Platform::Color> backgroundColor, std::optional<PanelClasses> panelClasses,
                            PanelViewBlock panelBlock);

    // Where the arpeggiator editor comes from: the arpeggiator screens register it; without one
    // the arpeggiator button opens nothing.
    static void setArpeggiatorEditorFactory(ArpeggiatorEditorFactory factory);
    static ArpeggiatorEditorFactory const& arpeggiatorEditorFactory();

    // The last sub-screen this screen presented (tests and the shells look at it).
    std::shared_ptr<Platform::ViewController> const& lastPresented() const { return lastPresented_; }

protected:
    // Modally when the model asks for it (1), else as a popover of the given size and arrows.
    void presentSubScreen(std::shared_ptr<Platform::ViewController> controller, Platform::Size contentSize,
                          Platform::View* source, std::vector<Platform::View*> passthroughViews, unsigned arrows,
                          std::optional<Platform::Color> backgroundColor);
    std::shared_ptr<Lumora_Core> sharedCore() const;

private:
    std::shared_ptr<Platform::ViewController> lastPresented_;
};
