// The sync, tempo and MIDI panels of the interface file "SettingsPanelVws", in the look of the
// file's other panels: title on the left, controls on the right, value rows below.

#include "screens/settings/sync/SyncMidiPanelsNib.h"

#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/nib/SettingsPanelVwsNib.h"
#include "screens/settings/sync/BluetoothMidiDevices_SettingPanelView.h"
#include "screens/settings/sync/MidiChannel_SettingPanelView.h"
#include "screens/settings/sync/MidiMappingTakeoverMode_SettingPanelView.h"
#include "screens/settings/sync/MidiMapping_SettingPanelView.h"
#include "screens/settings/sync/SyncMethod_SettingPanelView.h"
#include "screens/settings/sync/Tempo_SettingPanelView.h"
#include "screens/settings/sync/TimingShift_SettingPanelView.h"
#include "screens/settings/sync/UnusedMidiInPorts_SettingPanelView.h"

#include <mutex>

namespace {

using Platform::Rect;
using Pin = Lumora_PinnedPartsView::Pin;
using namespace SettingsPanelVwsNib;

constexpr double valueWidth = 64;
constexpr auto valueChanged = Platform::ControlEvents::ValueChanged;
constexpr auto touchUpInside = Platform::ControlEvents::TouchUpInside;

// A panel whose one part is a button on the right of its title.
template <class T>
std::shared_ptr<T> buttonPanel(std::string const& title, std::string const& buttonTitle, double width,
                               void (T::*action)(Platform::Control*))
{
    auto panel = makePanel<T>(rowHeight, title, fileWidth - 3 * margin - width);
    addButton(*panel, buttonTitle, width)->addTarget(panel.get(), action, touchUpInside);
    return panel;
}

std::shared_ptr<Lumora_SettingPanelView> syncMethod()
{
    auto panel = buttonPanel<SyncMethod_SettingPanelView>("Sync Method", "Change", 80,
                                                          &SyncMethod_SettingPanelView::actionShowSyncMethodSelector);
    auto name = std::make_shared<Platform::Label>(Rect(fileWidth - 2 * margin - 80 - 130, 0, 130, rowHeight));
    name->setTextAlignment(Platform::TextAlignment::Right);
    name->setFont(Platform::Font::boldSystemFont(Platform::Font::systemFontSize() + 1));
    panel->addPart(name, Pin::Right);
    panel->setLableSyncMethod(name.get());
    return panel;
}

std::shared_ptr<Lumora_SettingPanelView> midiChannel()
{
    auto panel = makePanel<MidiChannel_SettingPanelView>(valuePanelHeight, "MIDI Channel", 140);
    auto label = addValueLabel(*panel, valueWidth);
    double const rowTop = rowHeight - 8;
    auto omniTitle = std::make_shared<Platform::Label>(Rect(margin, rowTop, 50, controlHeight));
    omniTitle->setText("Omni");
    panel->addPart(omniTitle, Pin::Left);
    auto omni = std::make_shared<Platform::Switch>(Rect(margin + 56, rowTop, switchWidth, 31));
    panel->addPart(omni, Pin::Left);
    auto stepper = std::make_shared<Platform::Stepper>(Rect(fileWidth - margin - stepperWidth, rowTop, stepperWidth, controlHeight));
    stepper->setMinimumValue(0);
    stepper->setMaximumValue(15);
    panel->addPart(stepper, Pin::Right);
    panel->setOutlets(omni.get(), stepper.get(), label.get());
    omni->addTarget(panel.get(), &MidiChannel_SettingPanelView::actionValueChanged, valueChanged);
    stepper->addTarget(panel.get(), &MidiChannel_SettingPanelView::actionValueChanged, valueChanged);
    return panel;
}

std::shared_ptr<Lumora_SettingPanelView> takeoverMode()
{
    double const width = 130;
    auto panel = makePanel<MidiMappingTakeoverMode_SettingPanelView>(rowHeight, "Mapping Takeover",
                                                                     fileWidth - 3 * margin - width);
    auto control = std::make_shared<Platform::SegmentedControl>(
        Rect(fileWidth - margin - width, centred(0, controlHeight), width, controlHeight),
        std::vector<std::string>{"Jump", "Pick-up"});
    panel->addPart(control, Pin::Right);
    panel->setSgmntCtrl(control.get());
    control->addTarget(static_cast<Lumora_SettingPanelView_forSegments*>(panel.get()),
                       &Lumora_SettingPanelView_forSegments::actionValueChanged, valueChanged);
    return panel;
}

void registerPanels()
{
    using R = Lumora_SettingPanelRegistry;
    R::registerPanel<SyncMethod_SettingPanelView>(syncMethod);
    R::registerPanel<Tempo_SettingPanelView>(
        [] { return valuePanel<Tempo_SettingPanelView>("Tempo (BPM)", 20, 999, valueWidth, true); });
    R::registerPanel<TimingShift_SettingPanelView>(
        [] { return valuePanel<TimingShift_SettingPanelView>("Timing Shift", -100, 100, valueWidth, true); });
    R::registerPanel<UnusedMidiInPorts_SettingPanelView>([] {
        return buttonPanel<UnusedMidiInPorts_SettingPanelView>("MIDI Input Ports", "Select", 80,
                                                               &UnusedMidiInPorts_SettingPanelView::actionShowMidiInPorsList);
    });
    R::registerPanel<MidiChannel_SettingPanelView>(midiChannel);
    R::registerPanel<BluetoothMidiDevices_SettingPanelView>([] {
        return buttonPanel<BluetoothMidiDevices_SettingPanelView>(
            "Bluetooth MIDI Devices", "Connect", 90, &BluetoothMidiDevices_SettingPanelView::actionShowBluetoothMidiDevices);
    });
    R::registerPanel<MidiMapping_SettingPanelView>([] {
        return buttonPanel<MidiMapping_SettingPanelView>("MIDI Mapping", "Files", 80,
                                                         &MidiMapping_SettingPanelView::actionShowMidiMappingFileMng);
    });
    R::registerPanel<MidiMappingTakeoverMode_SettingPanelView>(takeoverMode);
}

} // namespace

void registerSyncAndMidiPanels()
{
    static std::once_flag once;
    std::call_once(once, registerPanels);
}
