#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Bundle.h"
#include "platform/graphics/Font.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/Nib.h"
#include "platform/ui/TextView.h"
#include "screens/settings/base/Lumora_SettingPanelView.h"
#include "screens/settings/screen/Lumora_SettingsMainScreenInfo.h"

#include <algorithm>

namespace {

// The platform's data-detector bit for web and mail links.
constexpr unsigned dataDetectorLink = 1u << 1;
constexpr double infoFontSize = 14;

// Header texts are dark on a light header colour and light on a dark one, so they read in
// every theme.
Platform::Color headerTextColor(std::optional<Platform::Color> const& header)
{
    if (!header)
        return Platform::Color::blackColor();
    double const luma = 0.299 * header->red() + 0.587 * header->green() + 0.114 * header->blue();
    return luma > 0.6 ? Platform::Color::withWhite(0.1) : Platform::Color::whiteColor();
}

} // namespace

std::shared_ptr<Lumora_SettingsVwCtrlr> Lumora_SettingsVwCtrlr::create(std::shared_ptr<Lumora_Core> core,
                                                                      std::optional<PanelClasses> creationPanelViewClasses,
                                                                      PanelViewBlock creationPanelViewBlock)
{
    auto screen = std::make_shared<Lumora_SettingsVwCtrlr>();
    if (!screen->initWithCore(std::move(core), std::move(creationPanelViewClasses), std::move(creationPanelViewBlock)))
        return nullptr;
    return screen;
}

bool Lumora_SettingsVwCtrlr::initWithCore(std::shared_ptr<Lumora_Core> core,
                                          std::optional<PanelClasses> creationPanelViewClasses,
                                          PanelViewBlock creationPanelViewBlock)
{
    if (!core)
        return false;
    registerSettingsNibs();
    std::shared_ptr<Platform::Bundle> bundle = Platform::Bundle::main();
    if (!Platform::Nib::isRegistered(nibName) || !ViewController::initWithNibName(nibName, bundle))
        return false;
    core_ = core;

    // Every panel of the file is made now, with the model; only the added ones are shown (and
    // only those observe the model).
    for (auto const& object : Platform::Nib::loadNibNamed(panelNibName, nullptr, bundle)) {
        if (auto panel = std::dynamic_pointer_cast<Lumora_SettingPanelView>(object)) {
            panel->setCore(core_.lock());
            panelViews_.push_back(std::move(panel));
        }
    }
    addedPanelViews_.clear();
    creationPanelClasses_ = std::move(creationPanelViewClasses);
    creationPanelViewBlock_ = std::move(creationPanelViewBlock);
    return true;
}

void Lumora_SettingsVwCtrlr::connectOutlets(Outlets const& outlets)
{
    titleBarView_.reset(outlets.titleBarView);
    pannelContainerView_.reset(outlets.pannelContainerView);
    labelProductName_.reset(outlets.labelProductName);
    labelProductManufacture_.reset(outlets.labelProductManufacture);
    txtVwInfoPlaceholder_.reset(outlets.txtVwInfoPlaceholder);
    closeButton_.reset(outlets.closeButton);
}

// ---------------------------------------------------------------------------------------------
// View

void Lumora_SettingsVwCtrlr::viewDidLoad()
{
    ViewController::viewDidLoad();
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();

    std::optional<Platform::Color> const headerColor = painter->popoverHeaderColor();
    Platform::Color const textColor = headerTextColor(headerColor);
    if (Platform::View* bar = titleBarView())
        bar->setBackgroundColor(headerColor);
    if (Platform::Label* name = labelProductName()) {
        name->setText(core_->productName() + " v" + core_->productVersion());
        name->setTextColor(textColor);
    }
    if (Platform::Label* maker = labelProductManufacture()) {
        maker->setText(core_->productManufacture());
        maker->setTextColor(textColor.withAlphaComponent(0.8));
    }

    if (Platform::View* placeholder = txtVwInfoPlaceholder()) {
        Platform::Rect const frame = placeholder->frame();
        auto info = std::make_shared<Platform::TextView>(Platform::Rect(0, 0, frame.width(), frame.height()));
        info->setDataDetectorTypes(dataDetectorLink);
        info->setEditable(false);
        info->setSelectable(true);
        info->setTextAlignment(Platform::TextAlignment::Right);
        info->setBackgroundColor(Platform::Color::clearColor());
        info->setFont(Platform::Font::withName("HelveticaNeue-Thin", infoFontSize));
        info->setText(core_->productURL() + "\n" + core_->productMailAddress());
        info->setTextColor(textColor);
        // The header stretches the placeholder in its own layout pass, which runs after this
        // screen's: the text follows the placeholder's size by itself rather than waiting for
        // another pass of the screen.
        info->setAutoresizingMask(Platform::Autoresizing::FlexibleWidth | Platform::Autoresizing::FlexibleHeight);
        placeholder->setBackgroundColor(Platform::Color::clearColor());
        placeholder->addSubview(info);
    }

    unsigned const count = addPannelViewsWithClass(creationPanelClasses_ ? *creationPanelClasses_ : defaultPanelClasses());
    if (creationPanelViewBlock_) {
        for (unsigned index = count;; ++index) {
            std::shared_ptr<Lumora_SettingPanelView> panel = creationPanelViewBlock_(index);
            if (!panel)
                break;
            addPannelView(panel);
        }
    }

    if (auto tint = painter->tintColor())
        UIView_Lumora_Control_Container_View::setTintColorToDecendants(view(), *tint);
}

void Lumora_SettingsVwCtrlr::viewWillLayoutSubviews()
{
    ViewController::viewWillLayoutSubviews();
    Platform::View* root = isViewLoaded() ? view() : nullptr;
    if (!root)
        return;
    Platform::Rect const bounds = root->bounds();
    double top = 0;
    if (Platform::View* bar = titleBarView()) {
        Platform::Rect frame = bar->frame();
        bar->setFrame(Platform::Rect(0, 0, bounds.width(), frame.height()));
        top = frame.height();
    }
    if (Platform::ScrollView* container = pannelContainerView())
        container->setFrame(Platform::Rect(0, top, bounds.width(), std::max(0.0, bounds.height() - top)));
}

// Panels keep the heights the file gave them and take the container's width, one below the other.
void Lumora_SettingsVwCtrlr::viewDidLayoutSubviews()
{
    ViewController::viewDidLayoutSubviews();
    Platform::ScrollView* container = pannelContainerView();
    if (!container)
        return;
    double const width = container->bounds().width();
    double y = 0;
    for (auto const& panel : addedPanelViews_) {
        double const height = panel->frame().height();
        panel->setFrame(Platform::Rect(0, y, width, height));
        y += height;
    }
    container->setContentSize(Platform::Size{width, y});
}

// The screen has its own header bar; pushed sub-screens get the navigation bar back.
void Lumora_SettingsVwCtrlr::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    if (Platform::NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(true, false);
}

void Lumora_SettingsVwCtrlr::viewWillDisappear(bool animated)
{
    ViewController::viewWillDisappear(animated);
    if (Platform::NavigationController* navigation = navigationController())
        navigation->setNavigationBarHidden(false, false);
}

// ---------------------------------------------------------------------------------------------
// Panels

Lumora_SettingPanelView* Lumora_SettingsVwCtrlr::panelForClass(Lumora_SettingPanelClass const& panelClass) const
{
    if (!panelClass.isKindOf)
        return nullptr;
    for (auto const& panel : panelViews_)
        if (panelClass.isKindOf(panel.get()))
            return panel.get();
    return nullptr;
}

unsigned Lumora_SettingsVwCtrlr::addPannelViewsWithClass(PanelClasses const& classes)
{
    unsigned added = 0;
    for (Lumora_SettingPanelClass const& panelClass : classes) {
        Lumora_SettingPanelView* panel = panelForClass(panelClass);
        if (!panel)
            continue;
        addPannelView(std::static_pointer_cast<Lumora_SettingPanelView>(panel->sharedView()));
        ++added;
    }
    return added;
}

void Lumora_SettingsVwCtrlr::addPannelView(std::shared_ptr<Lumora_SettingPanelView> const& panel)
{
    if (!panel)
        return;
    panel->setOwnerSettingVwCtrlr(this);
    if (Platform::ScrollView* container = pannelContainerView())
        container->addSubview(panel);
    addedPanelViews_.push_back(panel);
}

Lumora_SettingsVwCtrlr::PanelClasses Lumora_SettingsVwCtrlr::defaultPanelClasses() const
{
    Lumora::iAudioEngine* engine = core_->audioEngine();
    bool const plugin = core_->isPlugin();
    auto const* mainScreen = dynamic_cast<Lumora_SettingsMainScreenInfo const*>(core_->mainViewController().get());
    bool const hasKnob = mainScreen && mainScreen->hasKnob();
    bool const hasKeyboard = mainScreen && mainScreen->hasKeyboard();

    bool const noteInput = engine && engine->supportsNoteInput();
    bool const masterVolume = engine && engine->hasMasterVolume();
    bool const tuning = engine && engine->supportsTuning();
    bool const clockSync = engine && engine->supportsClockSync();
    bool const timingShift = engine && engine->supportsTimingShift();
    bool const versions = engine && engine->numOfAudioEngineVersions() >= 2;
    bool const qualities = engine && engine->numOfAudioQualitySelections() >= 2;
    bool const midiInput = engine && engine->supportsMidiInput();
    bool const midiMapping = engine && engine->supportsMidiMapping();
    bool const arpeggiator = engine && engine->hasArpeggiator();

    struct Row {
        char const* name;
        bool shown;
    };
    Row const rows[] = {
        {"AllNoteOff_SettingPanelView", noteInput},
        {"MasterVolume_SettingPanelView", masterVolume},
        {"MasterTranspose_SettingPanelView", tuning},
        {"MasterTune_SettingPanelView", tuning},
        {"MicroTuning_SettingPanelView", tuning},
        {"MaxPolyphony_SettingPanelView", tuning},
        {"SyncMethod_SettingPanelView", clockSync && !plugin},
        {"Tempo_SettingPanelView", clockSync && !plugin},
        {"TimingShift_SettingPanelView", timingShift},
        {"AudioEngineVersion_SettingPanelView", versions},
        {"AudioQuality_SettingPanelView", qualities},
        {"AudioBufferSize_SettingPanelView", !plugin},
        {"BackgroundAudio_SettingPanelView", !plugin},
        {"UnusedMidiInPorts_SettingPanelView", midiInput && !plugin},
        {"MidiChannel_SettingPanelView", midiInput && !plugin},
        {"BluetoothMidiDevices_SettingPanelView", midiInput && !plugin},
        {"MidiMapping_SettingPanelView", midiMapping},
        {"MidiMappingTakeoverMode_SettingPanelView", midiMapping},
        {"UsePgListAsFctryForAUv3Host_SettingPanelView", plugin},
        {"IncludeArpSettingsInSoundFile_SettingPanelView", arpeggiator},
        {"IncludeMidiMappingInSoundFile_SettingPanelView", midiMapping},
        {"IncludeMicroTuningInSoundFile_SettingPanelView", tuning},
        {"LinearKnobMode_SettingPanelView", hasKnob},
        {"KeyboardSize_SettingPanelView", hasKeyboard},
        {"KeyboardPianoStyle_SettingPanelView", hasKeyboard},
        {"KeyboardScrollPosition_SettingPanelView", hasKeyboard},
        {"MasterKbHoldMode_SettingPanelView", noteInput},
        {"PopupInPluginMode_SettingPanelView", plugin},
        {"About_SettingPanelView", true},
    };
    PanelClasses classes;
    for (Row const& row : rows)
        if (row.shown)
            classes.push_back(Lumora_SettingPanelClass::named(row.name));
    return classes;
}

// The screen is the root of the navigation controller that was presented: closing dismisses
// what the screen presents, else that navigation controller.
void Lumora_SettingsVwCtrlr::didPressCloseButton(Platform::Control*)
{
    if (presentedViewController() || presentingViewController()) {
        dismissViewControllerAnimated(true);
        return;
    }
    if (Platform::NavigationController* navigation = navigationController())
        navigation->dismissViewControllerAnimated(true);
}
