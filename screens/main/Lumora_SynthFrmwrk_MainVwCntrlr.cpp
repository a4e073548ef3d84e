#include "screens/main/Lumora_SynthFrmwrk_MainVwCntrlr.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/midi/MidiMessage.h"
#include "model/core/Lumora_Core.h"
#include "model/settings/Lumora_Settings.h"
#include "platform/foundation/Device.h"
#include "platform/ui/Button.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "screens/keyboard/Lumora_KeyboardScrollView.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"
#include "screens/main/CommonParam_VwCtrlr.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"
#include "screens/main/nibs/MainScreenNibs.h"

#include <algorithm>

namespace {

using Finder = UIView_Lumora_Control_Container_View;

constexpr int kSoundParametersBit = 0x10000;

int64_t currentIdiom() { return static_cast<int64_t>(Platform::Device::userInterfaceIdiom()); }

} // namespace

Lumora_SynthFrmwrk_MainVwCntrlr::Lumora_SynthFrmwrk_MainVwCntrlr() = default;

Lumora_SynthFrmwrk_MainVwCntrlr::~Lumora_SynthFrmwrk_MainVwCntrlr()
{
    if (keyboardScrollVw_)
        keyboardScrollVw_->setKeybordDelegate(nullptr);
}

char const* Lumora_SynthFrmwrk_MainVwCntrlr::mainNibNameFor(int64_t idiom, bool isPlugin)
{
    if (isPlugin)
        return pluginNibName;
    return idiom == 1 ? padAppNibName : phoneAppNibName;
}

bool Lumora_SynthFrmwrk_MainVwCntrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    registerMainScreenNibs();
    char const* nib = mainNibNameFor(currentIdiom(), core->isPlugin());
    if (!Lumora_ViewController::initWithCore(std::move(core), nib, Platform::Bundle::main()))
        return false;
    viewsInEditorFrameNib_ = Platform::Nib::loadNibNamed(editorFrameNibName, nullptr, Platform::Bundle::main());
    return true;
}

void Lumora_SynthFrmwrk_MainVwCntrlr::viewDidLoad()
{
    Lumora_MainViewController::viewDidLoad();
    int64_t const idiom = currentIdiom();
    bool const plugin = core() && core()->isPlugin();
    Platform::View* root = view();

    edtrFrmCntnrVw_ = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_EdtrFrmCntnrVw>(root);
    if (edtrFrmCntnrVw_ && edtrFrmCntnrVw_->constraintForHeight && lowHeightKeyboard_)
        edtrFrmCntnrVw_->constraintForHeight->setActive(false);

    for (auto const& object : viewsInEditorFrameNib_) {
        if (auto frame = std::dynamic_pointer_cast<Lumora_SynthFrmwrk_EdtrFrmVw>(object)) {
            edtrFrmVw_ = frame;
            break;
        }
    }
    if (edtrFrmVw_) {
        edtrFrmVw_->setIsPlugin(plugin);
        if (edtrFrmCntnrVw_)
            edtrFrmCntnrVw_->addSubview(edtrFrmVw_);
    }

    edtrVw_ = _createEditorViewFor(idiom, plugin);
    setNeedsUpdateOfScreenEdgesDeferringSystemGestures();

    kbdCntnrVw_ = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_KbdCntnrVw>(root);
    if (kbdCntnrVw_) {
        auto settings = core()->settings();
        Platform::Size const size = kbdCntnrVw_->bounds().size;
        keyboardScrollVw_ = Lumora_KeyboardScrollView::initWithFrame(
            Platform::Rect(0, 0, size.width, size.height), 8, 1, settings ? settings->keyboardSize() : 50.0,
            settings ? settings->keyboardPianoLayout() : true, Lumora_Painter::sharedInstance()->keyboardScrollBarHeight(),
            settings && settings->keyboardScrollBarPos() == 1,
            [] { return std::make_shared<Lumora_MusicalKeyView>(); });
        keyboardScrollVw_->setKeybordDelegate(this);
        kbdCntnrVw_->addSubview(keyboardScrollVw_);
        keyboardScrollVw_->scrollToNoteNumber(48, false);
        setReceivingMidi(true);
    }

    cmnPrmCntnrVw_ = Finder::findDescendantWithClass<Lumora_SynthFrmwrk_CmnPrmCntnrVw>(root);
    if (cmnPrmCntnrVw_) {
        commonParamVw_ = Lumora_SynthFrmwrk_CmnPrmVw::createInstanceFor(idiom, plugin);
        if (commonParamVw_) {
            cmnPrmCntnrVw_->addSubview(commonParamVw_);
            setupDescendantUiControlsWithView(commonParamVw_.get());
        }
    }

    sideEdgeButton_ = Finder::findDescendantWithClass<Lumora_SideEdgeButton>(root);
    viewDidLoadWithUiIdiom(idiom, plugin);
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_SynthFrmwrk_MainVwCntrlr::_createEditorViewFor(int64_t idiom,
                                                                                                bool isPlugin)
{
    auto surface = createEditorViewFor(idiom, isPlugin);
    if (!surface)
        return nullptr;
    surface->setUiIdiom(idiom);
    surface->setIsPlugin(isPlugin);
    if (edtrFrmVw_ && edtrFrmVw_->edtrCntnrScrlVw)
        edtrFrmVw_->edtrCntnrScrlVw->addSubview(surface);
    setupDescendantUiControlsWithView(surface.get());
    return surface;
}

void Lumora_SynthFrmwrk_MainVwCntrlr::viewWillLayoutSubviews()
{
    if (currentIdiom() == 1 && core() && core()->isPlugin() && isViewLoaded()) {
        float const height = static_cast<float>(view()->frame().size.height);
        if (edtrVw_ && height > surfaceSwitchHeight && edtrVw_->isPlugin())
            switchEditorSurface(false);
        else if (edtrVw_ && height <= surfaceSwitchHeight && !edtrVw_->isPlugin())
            switchEditorSurface(true);
    }
    Lumora_MainViewController::viewWillLayoutSubviews();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::switchEditorSurface(bool isPlugin)
{
    if (showControlStatusView())
        actionMidiMapping(nullptr);
    finalizeDescendantUiControlsWithView(edtrVw_.get());
    edtrVw_->removeFromSuperview();
    edtrVw_ = _createEditorViewFor(1, isPlugin);
    updateUI();
    uiLayoutDidChange(1, true);
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_SynthFrmwrk_MainVwCntrlr::createEditorViewFor(int64_t, bool)
{
    return std::make_shared<Lumora_SynthFrmwrk_EdtrVw>();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::viewDidLoadWithUiIdiom(int64_t, bool) {}
void Lumora_SynthFrmwrk_MainVwCntrlr::uiLayoutDidChange(int64_t, bool) {}
void Lumora_SynthFrmwrk_MainVwCntrlr::midiMappingUIDidShown(bool) {}

std::optional<Lumora_SynthFrmwrk_MainVwCntrlr::PanelClasses> Lumora_SynthFrmwrk_MainVwCntrlr::creationPanelViewClasses()
{
    return std::nullopt;
}

Lumora_SynthFrmwrk_MainVwCntrlr::PanelViewBlock Lumora_SynthFrmwrk_MainVwCntrlr::creationPanelViewBlock()
{
    return {};
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionLoadPrevSoundPreset(Platform::Control*)
{
    if (auto* engine = audioEngine(); engine && engine->soundPresetFileManager())
        engine->soundPresetFileManager()->loadPrevious();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionLoadNextSoundPreset(Platform::Control*)
{
    if (auto* engine = audioEngine(); engine && engine->soundPresetFileManager())
        engine->soundPresetFileManager()->loadNext();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionOpenSoundPresetBrowser(Platform::Control* sender)
{
    showSoundPresetFileBrowserInView(sender, passthroughViews_allowPassthroughMidiLearnButton(false),
                                     Lumora_Painter::sharedInstance()->popoverBackgroundColor());
}

float Lumora_SynthFrmwrk_MainVwCntrlr::editorScale() const
{
    return edtrVw_ ? static_cast<float>(edtrVw_->transform().a) : 0.0f;
}

float Lumora_SynthFrmwrk_MainVwCntrlr::scaleOfContent()
{
    return editorScale();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::presentScaledPopup(std::shared_ptr<Platform::ViewController> popup,
                                                         Platform::View* source, unsigned arrows,
                                                         std::optional<Platform::Color> backgroundColor,
                                                         bool allowMidiLearnButton)
{
    float const scale = editorScale();
    Platform::Size size = popup->view() ? popup->view()->frame().size : Platform::Size{};
    size.width *= scale;
    size.height *= scale;
    presentSubScreen(std::move(popup), size, source, passthroughViews_allowPassthroughMidiLearnButton(allowMidiLearnButton),
                     arrows, backgroundColor);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionOpenCommonParam(Platform::Control* sender)
{
    auto popup = Lumora_ViewController::newWithCore<CommonParam_VwCtrlr>(sharedCore());
    if (!popup)
        return;
    popup->setContainerDelegate(this);
    presentScaledPopup(popup, sender, 15, Lumora_Painter::sharedInstance()->commonParmBackgroundColor(), false);
    popup->setShowControlStatusView(showControlStatusView());
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionOpenArpeggiatorEditor(Platform::Control* sender)
{
    auto const& factory = arpeggiatorEditorFactory();
    if (!factory)
        return;
    auto editor = factory(sharedCore(), this);
    if (!editor)
        return;
    presentScaledPopup(std::move(editor), sender, 12, Lumora_Painter::sharedInstance()->arpeggiatorContainerHeaderColor(),
                       false);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionMidiMapping(Platform::Control*)
{
    bool const shown = !showControlStatusView();
    setShowControlStatusView(shown);
    if (edtrFrmVw_)
        edtrFrmVw_->showMidiMappingMode(shown);
    midiMappingUIDidShown(shown);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionOpenSettings(Platform::Control* sender)
{
    showSettingsInView(sender, passthroughViews_allowPassthroughMidiLearnButton(false),
                       Lumora_Painter::sharedInstance()->popoverBackgroundColor(), creationPanelViewClasses(),
                       creationPanelViewBlock());
}

void Lumora_SynthFrmwrk_MainVwCntrlr::actionToggleCommonParamVw(Platform::Control*)
{
    if (!cmnPrmCntnrVw_)
        return;
    cmnPrmCntnrVw_->toggleLayout();
    // The main view places the strip container by its ratio.
    if (Platform::View* root = view()) {
        root->setNeedsLayout();
        root->layoutIfNeeded();
    }
}

std::vector<Platform::View*> Lumora_SynthFrmwrk_MainVwCntrlr::passthroughViews_allowPassthroughMidiLearnButton(
    bool allowMidiLearnButton) const
{
    std::vector<Platform::View*> views;
    if (allowMidiLearnButton && edtrFrmVw_ && edtrFrmVw_->btnMidiMapping)
        views.push_back(edtrFrmVw_->btnMidiMapping);
    if (sideEdgeButton_)
        views.push_back(sideEdgeButton_);
    if (kbdCntnrVw_)
        views.push_back(kbdCntnrVw_);
    if (cmnPrmCntnrVw_)
        views.push_back(cmnPrmCntnrVw_);
    return views;
}

void Lumora_SynthFrmwrk_MainVwCntrlr::updateUI()
{
    Lumora_MainViewController::updateUI();
    updateUI_SoundPresetName();
}

void Lumora_SynthFrmwrk_MainVwCntrlr::updateUI_SoundPresetName()
{
    auto* engine = audioEngine();
    if (!engine || !engine->soundPresetFileManager() || !edtrFrmVw_)
        return;
    edtrFrmVw_->setSoundPresetName(engine->soundPresetFileManager()->presetName());
}

void Lumora_SynthFrmwrk_MainVwCntrlr::receiveMidi(Lumora::MidiMessage const* message)
{
    if (!keyboardScrollVw_ || !message)
        return;
    int const status = message->status();
    int const type = (status & 0xF0) < 0xF0 ? (status & 0xF0) : status;
    if (type == 0x80)
        keyboardScrollVw_->noteOff(message->data1(), message->data2());
    else if (type == 0x90)
        keyboardScrollVw_->noteOn(message->data1(), message->data2());
}

void Lumora_SynthFrmwrk_MainVwCntrlr::receiveAudioEngineNotificationWithID(int id, int param)
{
    if ((id == 1008 || id == 1009) && (param & kSoundParametersBit))
        updateUI_SoundPresetName();
    else if (id == 1011 && keyboardScrollVw_)
        keyboardScrollVw_->hold(param, true);
    else if (id == 1012 && keyboardScrollVw_)
        keyboardScrollVw_->hold(param, false);
    Lumora_MainViewController::receiveAudioEngineNotificationWithID(id, param);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::onChangeSettingWithKey(std::string const& key)
{
    if (!keyboardScrollVw_ || !core() || !core()->settings())
        return;
    auto const& settings = core()->settings();
    if (key == "keyboardSize")
        keyboardScrollVw_->resizeKeyboard(settings->keyboardSize());
    else if (key == "keyboardPianoLayout")
        keyboardScrollVw_->setIsPianoLayout(settings->keyboardPianoLayout());
    else if (key == "keyboardScrollBarPos")
        keyboardScrollVw_->moveScrollBarToBottom(settings->keyboardScrollBarPos() == 1);
}

void Lumora_SynthFrmwrk_MainVwCntrlr::keyDown(int32_t note, int32_t velocity)
{
    // A touch at the very top of a key has velocity 0, and a note-on of velocity 0 is a note-off:
    // the softest press still plays.
    if (auto* engine = audioEngine())
        engine->sendMidi(Lumora::MidiMessage(0x90, engine->safeMidiChannel(), note, std::clamp(velocity, 1, 127)));
}

void Lumora_SynthFrmwrk_MainVwCntrlr::keyUp(int32_t note, int32_t velocity)
{
    if (auto* engine = audioEngine())
        engine->sendMidi(Lumora::MidiMessage(0x80, engine->safeMidiChannel(), note, velocity));
}
