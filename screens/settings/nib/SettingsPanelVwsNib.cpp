// The interface file "SettingsPanelVws": one top-level view per panel class, each with its
// title, its controls (outlets of the panel) and the controls' actions aimed at the panel. The
// file holds every panel registered with Lumora_SettingPanelRegistry; this file registers the
// engine and sound panels, the audio, document and keyboard panels and the About panel.

#include "screens/settings/nib/SettingsPanelVwsNib.h"

#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "screens/settings/about/About_SettingPanelView.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/panels/AllNoteOff_SettingPanelView.h"
#include "screens/settings/panels/AudioBufferSize_SettingPanelView.h"
#include "screens/settings/panels/AudioEngineVersion_SettingPanelView.h"
#include "screens/settings/panels/AudioQuality_SettingPanelView.h"
#include "screens/settings/panels/BackgroundAudio_SettingPanelView.h"
#include "screens/settings/panels/IncludeArpSettingsInSoundFile_SettingPanelView.h"
#include "screens/settings/panels/IncludeMicroTuningInSoundFile_SettingPanelView.h"
#include "screens/settings/panels/IncludeMidiMappingInSoundFile_SettingPanelView.h"
#include "screens/settings/panels/KeyboardPianoStyle_SettingPanelView.h"
#include "screens/settings/panels/KeyboardScrollPosition_SettingPanelView.h"
#include "screens/settings/panels/KeyboardSize_SettingPanelView.h"
#include "screens/settings/panels/LinearKnobMode_SettingPanelView.h"
#include "screens/settings/panels/MasterKbHoldMode_SettingPanelView.h"
#include "screens/settings/panels/MasterTranspose_SettingPanelView.h"
#include "screens/settings/panels/MasterTune_SettingPanelView.h"
#include "screens/settings/panels/MasterVolume_SettingPanelView.h"
#include "screens/settings/panels/MaxPolyphony_SettingPanelView.h"
#include "screens/settings/panels/MicroTuning_SettingPanelView.h"
#include "screens/settings/panels/PopupInPluginMode_SettingPanelView.h"
#include "screens/settings/panels/SampleRate_SettingPanelView.h"
#include "screens/settings/panels/UsePgListAsFctryForAUv3Host_SettingPanelView.h"
#include "screens/settings/sync/SyncMidiPanelsNib.h"
#include "screens/tuning/MicroTuningEditorNibs.h"

#include <mutex>

using Platform::Rect;
using Pin = Lumora_PinnedPartsView::Pin;
using namespace SettingsPanelVwsNib;

namespace SettingsPanelVwsNib {

void addTitle(Lumora_SettingPanelView& panel, std::string const& title, double titleWidth)
{
    auto label = std::make_shared<Platform::Label>(Rect(margin, 0, titleWidth, rowHeight));
    label->setText(title);
    label->setFont(Platform::Font::systemFont(Platform::Font::systemFontSize() + 1));
    panel.addPart(label, Pin::Left);
}

void addHairline(Lumora_SettingPanelView& panel)
{
    double const height = panel.frame().height();
    auto line = std::make_shared<Platform::View>(Rect(margin, height - 1, fileWidth - margin, 1));
    line->setBackgroundColor(Platform::Color::withWhite(0.85));
    panel.addPart(line, Pin::Stretch);
    panel.setBackgroundColor(Platform::Color::whiteColor());
}

std::shared_ptr<Platform::Button> addButton(Lumora_SettingPanelView& panel, std::string const& title, double width)
{
    auto button = std::make_shared<Platform::Button>(
        Rect(fileWidth - margin - width, centred(0, controlHeight), width, controlHeight), Platform::Button::Type::System);
    button->setTitle(title, Platform::ControlState::Normal);
    panel.addPart(button, Pin::Right);
    return button;
}

std::shared_ptr<Platform::Label> addValueLabel(Lumora_SettingPanelView& panel, double width)
{
    auto label = std::make_shared<Platform::Label>(Rect(fileWidth - margin - width, 0, width, rowHeight));
    label->setTextAlignment(Platform::TextAlignment::Right);
    label->setFont(Platform::Font::boldSystemFont(Platform::Font::systemFontSize() + 1));
    panel.addPart(label, Pin::Right);
    return label;
}

void addValueRow(Lumora_SettingPanelView& panel, Lumora_SliderStepperOutlets& outlets, double minimum, double maximum,
                 double labelWidth)
{
    if (labelWidth > 0)
        outlets.label.reset(addValueLabel(panel, labelWidth).get());
    double const rowTop = rowHeight - 8;
    auto slider = std::make_shared<Platform::Slider>(
        Rect(margin, rowTop, fileWidth - 3 * margin - stepperWidth, controlHeight));
    slider->setMinimumValue(static_cast<float>(minimum));
    slider->setMaximumValue(static_cast<float>(maximum));
    auto stepper = std::make_shared<Platform::Stepper>(
        Rect(fileWidth - margin - stepperWidth, rowTop, stepperWidth, controlHeight));
    stepper->setMinimumValue(minimum);
    stepper->setMaximumValue(maximum);
    panel.addPart(slider, Pin::Stretch);
    panel.addPart(stepper, Pin::Right);
    outlets.slider.reset(slider.get());
    outlets.stepper.reset(stepper.get());
}

} // namespace SettingsPanelVwsNib

namespace {

constexpr double valueWidth = 56;
constexpr auto valueChanged = Platform::ControlEvents::ValueChanged;
constexpr auto touchUpInside = Platform::ControlEvents::TouchUpInside;

std::shared_ptr<Platform::Switch> addSwitch(Lumora_SettingPanelView_forSwitch& panel)
{
    auto control = std::make_shared<Platform::Switch>(
        Rect(fileWidth - margin - switchWidth, centred(0, 31), switchWidth, 31));
    panel.addPart(control, Pin::Right);
    panel.setSwCtrl(control.get());
    aim(*control, &panel, &Lumora_SettingPanelView_forSwitch::actionValueChanged, valueChanged);
    return control;
}

// A segmented control on the right of the title row, or across a second row when wide.
std::shared_ptr<Platform::SegmentedControl> makeSegments(Lumora_SettingPanelView& panel,
                                                         std::vector<std::string> titles, double width,
                                                         bool secondRow)
{
    double const top = secondRow ? rowHeight - 6 : 0;
    Rect const frame = secondRow ? Rect(margin, centred(top, controlHeight), fileWidth - 2 * margin, controlHeight)
                                 : Rect(fileWidth - margin - width, centred(top, controlHeight), width, controlHeight);
    auto control = std::make_shared<Platform::SegmentedControl>(frame, std::move(titles));
    panel.addPart(control, secondRow ? Pin::Stretch : Pin::Right);
    return control;
}

template <class T>
std::shared_ptr<T> segmentsPanel(std::string const& title, std::vector<std::string> titles, double width,
                                 bool secondRow = false)
{
    auto panel = makePanel<T>(secondRow ? rowHeight + 36 : rowHeight, title);
    auto control = makeSegments(*panel, std::move(titles), width, secondRow);
    panel->setSgmntCtrl(control.get());
    aim(*control, panel.get(), &T::actionValueChanged, valueChanged);
    return panel;
}

template <class T>
std::shared_ptr<T> switchPanel(std::string const& title)
{
    auto panel = makePanel<T>(rowHeight, title, fileWidth - 3 * margin - switchWidth);
    addSwitch(*panel);
    return panel;
}

// ---------------------------------------------------------------------------------------------
// Engine and sound

std::shared_ptr<Lumora_SettingPanelView> allNoteOff()
{
    auto panel = makePanel<AllNoteOff_SettingPanelView>(rowHeight, "Sounding Notes", 150);
    auto button = addButton(*panel, "All Notes Off", 130);
    button->addTarget(panel.get(), &AllNoteOff_SettingPanelView::action, touchUpInside);
    return panel;
}

std::shared_ptr<Lumora_SettingPanelView> masterVolume()
{
    auto panel = makePanel<MasterVolume_SettingPanelView>(rowHeight, "Master Volume", 130);
    auto slider = std::make_shared<Platform::Slider>(
        Rect(margin + 136, centred(0, controlHeight), fileWidth - 2 * margin - 136, controlHeight));
    panel->addPart(slider, Pin::Stretch);
    panel->setSlider(slider.get());
    slider->addTarget(panel.get(), &MasterVolume_SettingPanelView::actionValueChanged, valueChanged);
    return panel;
}

std::shared_ptr<Lumora_SettingPanelView> microTuning()
{
    auto panel = makePanel<MicroTuning_SettingPanelView>(rowHeight, "Micro Tuning", 180);
    auto button = addButton(*panel, "Edit", 80);
    button->addTarget(panel.get(), &MicroTuning_SettingPanelView::actionShowMicroTuningEditorVw, touchUpInside);
    return panel;
}

// ---------------------------------------------------------------------------------------------
// About

std::shared_ptr<Lumora_SettingPanelView> about()
{
    auto panel = makePanel<About_SettingPanelView>(rowHeight, "About", 180);
    auto button = addButton(*panel, "Show", 80);
    button->addTarget(panel.get(), &About_SettingPanelView::actionShowAbout, touchUpInside);
    return panel;
}

std::vector<std::shared_ptr<Platform::Object>> buildPanelFile(Platform::Nib::Context const&)
{
    std::vector<std::shared_ptr<Platform::Object>> objects;
    for (auto& panel : Lumora_SettingPanelRegistry::instantiatePanels())
        objects.push_back(std::move(panel));
    return objects;
}

void registerPanels()
{
    using R = Lumora_SettingPanelRegistry;
    R::registerPanel<AllNoteOff_SettingPanelView>(allNoteOff);
    R::registerPanel<MasterVolume_SettingPanelView>(masterVolume);
    R::registerPanel<MasterTranspose_SettingPanelView>(
        [] { return valuePanel<MasterTranspose_SettingPanelView>("Master Transpose", -12, 12, valueWidth, true); });
    R::registerPanel<MasterTune_SettingPanelView>(
        [] { return valuePanel<MasterTune_SettingPanelView>("Master Tune (cents)", -100, 100, valueWidth, true); });
    R::registerPanel<MicroTuning_SettingPanelView>(microTuning);
    // The polyphony's range is the parameter's, taken when the panel enters the screen.
    R::registerPanel<MaxPolyphony_SettingPanelView>(
        [] { return valuePanel<MaxPolyphony_SettingPanelView>("Maximum Polyphony", 1, 24, valueWidth, true); });
    // The version segments are made from the engine's count when the panel enters the screen.
    R::registerPanel<AudioEngineVersion_SettingPanelView>([] {
        return segmentsPanel<AudioEngineVersion_SettingPanelView>("Audio Engine Version", {"1", "2"}, 120);
    });
    R::registerPanel<AudioQuality_SettingPanelView>([] {
        return segmentsPanel<AudioQuality_SettingPanelView>("Audio Quality", {"Eco", "Normal", "High"}, 180);
    });

    R::registerPanel<SampleRate_SettingPanelView>(
        [] { return makePanel<SampleRate_SettingPanelView>(rowHeight, "Sample Rate"); });
    R::registerPanel<AudioBufferSize_SettingPanelView>([] {
        return segmentsPanel<AudioBufferSize_SettingPanelView>("Audio Buffer Size (frames)",
                                                               {"64", "128", "256", "512", "1024"}, 0, true);
    });
    R::registerPanel<BackgroundAudio_SettingPanelView>(
        [] { return switchPanel<BackgroundAudio_SettingPanelView>("Background Audio"); });
    R::registerPanel<UsePgListAsFctryForAUv3Host_SettingPanelView>([] {
        return switchPanel<UsePgListAsFctryForAUv3Host_SettingPanelView>("Programs as Host Presets");
    });
    R::registerPanel<IncludeArpSettingsInSoundFile_SettingPanelView>([] {
        return switchPanel<IncludeArpSettingsInSoundFile_SettingPanelView>("Arpeggiator in Sound Files");
    });
    R::registerPanel<IncludeMidiMappingInSoundFile_SettingPanelView>([] {
        return switchPanel<IncludeMidiMappingInSoundFile_SettingPanelView>("MIDI Mapping in Sound Files");
    });
    R::registerPanel<IncludeMicroTuningInSoundFile_SettingPanelView>([] {
        return switchPanel<IncludeMicroTuningInSoundFile_SettingPanelView>("Micro Tuning in Sound Files");
    });
    R::registerPanel<LinearKnobMode_SettingPanelView>([] {
        return segmentsPanel<LinearKnobMode_SettingPanelView>("Knob Drag", {"Linear", "Circular"}, 160);
    });
    R::registerPanel<KeyboardSize_SettingPanelView>(
        [] { return valuePanel<KeyboardSize_SettingPanelView>("Keyboard Key Size", 30, 100, valueWidth, true); });
    R::registerPanel<KeyboardPianoStyle_SettingPanelView>([] {
        return segmentsPanel<KeyboardPianoStyle_SettingPanelView>("Keyboard Style", {"Piano", "Even"}, 160);
    });
    R::registerPanel<KeyboardScrollPosition_SettingPanelView>([] {
        return segmentsPanel<KeyboardScrollPosition_SettingPanelView>("Keyboard Scroll Bar", {"Below", "Above"}, 160);
    });
    R::registerPanel<MasterKbHoldMode_SettingPanelView>(
        [] { return switchPanel<MasterKbHoldMode_SettingPanelView>("Keyboard Hold Toggles Keys"); });
    R::registerPanel<PopupInPluginMode_SettingPanelView>(
        [] { return switchPanel<PopupInPluginMode_SettingPanelView>("Sub-Screens as Popovers"); });

    R::registerPanel<About_SettingPanelView>(about);
}

} // namespace

void registerSettingsPanelVwsNib()
{
    static std::once_flag once;
    std::call_once(once, [] {
        registerPanels();
        registerSyncAndMidiPanels();
        registerMicroTuningEditorSubScreen();
        Platform::Nib::registerNib("SettingsPanelVws", buildPanelFile);
    });
}
