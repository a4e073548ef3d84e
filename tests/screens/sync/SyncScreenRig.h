#pragma once

// The settings screen over the test synth's model, showing the sync, tempo and MIDI panels, at
// the root of a navigation controller. Header-only.

#include "model/support/ModelTestSupport.h"
#include "platform/graphics/Image.h"
#include "platform/ui/NavigationController.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/base/Lumora_SettingPanelView.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"
#include "screens/settings/sync/BluetoothMidiDevices_SettingPanelView.h"
#include "screens/settings/sync/SyncMidiPanelsNib.h"
#include "screens/settings/sync/MidiChannel_SettingPanelView.h"
#include "screens/settings/sync/MidiMappingTakeoverMode_SettingPanelView.h"
#include "screens/settings/sync/MidiMapping_SettingPanelView.h"
#include "screens/settings/sync/SyncMethod_SettingPanelView.h"
#include "screens/settings/sync/Tempo_SettingPanelView.h"
#include "screens/settings/sync/TimingShift_SettingPanelView.h"
#include "screens/settings/sync/UnusedMidiInPorts_SettingPanelView.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace SyncTest {

inline std::string picturePath(char const* name)
{
    char const* dir = std::getenv("CORVANE_SCREENS_PNG_DIR");
    std::filesystem::path folder = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    return (folder / name).string();
}

inline Lumora_SettingsVwCtrlr::PanelClasses syncPanelClasses()
{
    using C = Lumora_SettingPanelClass;
    return {C::of<SyncMethod_SettingPanelView>(), C::of<Tempo_SettingPanelView>(),
            C::of<TimingShift_SettingPanelView>(), C::of<UnusedMidiInPorts_SettingPanelView>(),
            C::of<MidiChannel_SettingPanelView>(), C::of<BluetoothMidiDevices_SettingPanelView>(),
            C::of<MidiMapping_SettingPanelView>(), C::of<MidiMappingTakeoverMode_SettingPanelView>()};
}

struct ScreenRig {
    // Plug-in rigs attach the plug-in's audio I/O instead of the app's.
    explicit ScreenRig(bool plugin = false)
    {
        if (plugin)
            rig.attachPlugin();
        else
            rig.attachApp();
        registerSyncAndMidiPanels();
        screen = Lumora_SettingsVwCtrlr::create(rig.core, syncPanelClasses());
        navigation = Platform::NavigationController::withRootViewController(screen);
        navigation->view()->setFrame(Platform::Rect(0, 0, 400, 720));
        screen->loadViewIfNeeded();
        screen->viewWillAppear(false);
        navigation->view()->layoutIfNeeded();
    }

    template <class T>
    T& panel()
    {
        auto* found = dynamic_cast<T*>(screen->panelForClass(Lumora_SettingPanelClass::of<T>()));
        if (!found)
            throw std::runtime_error(std::string("no panel ") + T::className);
        return *found;
    }

    Lumora_Settings& settings() { return *rig.core->settings(); }
    ModelTest::TestAppAudioIO* appIO() { return dynamic_cast<ModelTest::TestAppAudioIO*>(rig.io.get()); }

    ModelTest::CoreRig rig;
    std::shared_ptr<Lumora_SettingsVwCtrlr> screen;
    std::shared_ptr<Platform::NavigationController> navigation;
};

} // namespace SyncTest
