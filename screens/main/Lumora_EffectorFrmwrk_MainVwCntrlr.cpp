#include "screens/main/Lumora_EffectorFrmwrk_MainVwCntrlr.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/presentation/PopoverMessageViewController.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioIO.h"
#include "engine/documents/PresetDocFileManager.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Device.h"
#include "platform/ui/Button.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrVw.h"
#include "screens/main/nibs/MainScreenNibs.h"

namespace {

constexpr int kSoundParametersBit = 0x10000;

int64_t currentIdiom() { return static_cast<int64_t>(Platform::Device::userInterfaceIdiom()); }

} // namespace

bool Lumora_EffectorFrmwrk_MainVwCntrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    registerMainScreenNibs();
    if (!Lumora_ViewController::initWithCore(std::move(core), mainNibName, Platform::Bundle::main()))
        return false;
    viewsInEditorFrameNib_ = Platform::Nib::loadNibNamed(editorFrameNibName, nullptr, Platform::Bundle::main());
    return true;
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::viewDidLoad()
{
    Lumora_MainViewController::viewDidLoad();
    int64_t const idiom = currentIdiom();
    bool const plugin = core() && core()->isPlugin();
    edtrFrmCntnrVw_ =
        UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_EffectorFrmwrk_EdtrFrmCntnrVw>(view());
    for (auto const& object : viewsInEditorFrameNib_) {
        if (auto frame = std::dynamic_pointer_cast<Lumora_EffectorFrmwrk_EdtrFrmVw>(object)) {
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
    viewDidLoadWithUiIdiom(idiom, plugin);
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_EffectorFrmwrk_MainVwCntrlr::_createEditorViewFor(int64_t idiom,
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

void Lumora_EffectorFrmwrk_MainVwCntrlr::viewWillLayoutSubviews()
{
    if (currentIdiom() == 1 && core() && core()->isPlugin() && isViewLoaded() && edtrVw_) {
        float const height = static_cast<float>(view()->frame().size.height);
        if (height > surfaceSwitchHeight && edtrVw_->isPlugin())
            switchEditorSurface(false);
        else if (height <= surfaceSwitchHeight && !edtrVw_->isPlugin())
            switchEditorSurface(true);
    }
    Lumora_MainViewController::viewWillLayoutSubviews();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::switchEditorSurface(bool isPlugin)
{
    if (showControlStatusView())
        actionMidiMapping(nullptr);
    finalizeDescendantUiControlsWithView(edtrVw_.get());
    edtrVw_->removeFromSuperview();
    edtrVw_ = _createEditorViewFor(1, isPlugin);
    updateUI();
    uiLayoutDidChange(1, true);
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::viewDidAppear(bool animated)
{
    Lumora_MainViewController::viewDidAppear(animated);
    auto* engine = audioEngine();
    auto* io = audioIO();
    if (!engine || !io || io->isPlugin() || !engine->isMuted())
        return;
    auto message = PopoverMessageViewController::withMessage(mutedMessage);
    if (!message)
        return;
    Platform::View* source = edtrFrmVw_ ? edtrFrmVw_->btnSoundOnOff : nullptr;
    popoverViewController(message, message->contentSize(), source, {}, 1, Platform::Color::whiteColor());
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_EffectorFrmwrk_MainVwCntrlr::createEditorViewFor(int64_t, bool)
{
    return std::make_shared<Lumora_EffectorFrmwrk_EdtrVw>();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::viewDidLoadWithUiIdiom(int64_t, bool) {}
void Lumora_EffectorFrmwrk_MainVwCntrlr::uiLayoutDidChange(int64_t, bool) {}
void Lumora_EffectorFrmwrk_MainVwCntrlr::midiMappingUIDidShown(bool) {}

std::optional<Lumora_EffectorFrmwrk_MainVwCntrlr::PanelClasses>
Lumora_EffectorFrmwrk_MainVwCntrlr::creationPanelViewClasses()
{
    return std::nullopt;
}

Lumora_EffectorFrmwrk_MainVwCntrlr::PanelViewBlock Lumora_EffectorFrmwrk_MainVwCntrlr::creationPanelViewBlock()
{
    return {};
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionLoadPrevSoundPreset(Platform::Control*)
{
    if (auto* engine = audioEngine(); engine && engine->soundPresetFileManager())
        engine->soundPresetFileManager()->loadPrevious();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionLoadNextSoundPreset(Platform::Control*)
{
    if (auto* engine = audioEngine(); engine && engine->soundPresetFileManager())
        engine->soundPresetFileManager()->loadNext();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionOpenSoundPresetBrowser(Platform::Control* sender)
{
    showSoundPresetFileBrowserInView(sender, passthroughViews_allowPassthroughMidiLearnButton(false),
                                     Lumora_Painter::sharedInstance()->popoverBackgroundColor());
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionMidiMapping(Platform::Control*)
{
    bool const shown = !showControlStatusView();
    setShowControlStatusView(shown);
    if (edtrFrmVw_)
        edtrFrmVw_->showMidiMappingMode(shown);
    midiMappingUIDidShown(shown);
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionOpenSettings(Platform::Control* sender)
{
    showSettingsInView(sender, passthroughViews_allowPassthroughMidiLearnButton(false),
                       Lumora_Painter::sharedInstance()->popoverBackgroundColor(), creationPanelViewClasses(),
                       creationPanelViewBlock());
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionSoundOnOff(Platform::Control*)
{
    if (auto* engine = audioEngine())
        engine->setMute(!engine->isMuted());
    updateUI_muteButton();
}

std::vector<Platform::View*> Lumora_EffectorFrmwrk_MainVwCntrlr::passthroughViews_allowPassthroughMidiLearnButton(
    bool allowMidiLearnButton) const
{
    if (allowMidiLearnButton && edtrFrmVw_ && edtrFrmVw_->btnMidiMapping)
        return {edtrFrmVw_->btnMidiMapping};
    return {};
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::updateUI()
{
    Lumora_MainViewController::updateUI();
    updateUI_SoundPresetName();
    updateUI_muteButton();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::updateUI_SoundPresetName()
{
    auto* engine = audioEngine();
    if (engine && engine->soundPresetFileManager() && edtrFrmVw_)
        edtrFrmVw_->setSoundPresetName(engine->soundPresetFileManager()->presetName());
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::updateUI_muteButton()
{
    auto* engine = audioEngine();
    if (!engine || !edtrFrmVw_ || !edtrFrmVw_->btnSoundOnOff)
        return;
    bool const muted = engine->isMuted();
    edtrFrmVw_->btnSoundOnOff->setImageName(std::string(muted ? "SoundOff" : "SoundOn"));
    edtrFrmVw_->btnSoundOnOff->setSelected(muted);
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::receiveAudioEngineNotificationWithID(int id, int param)
{
    if ((id == 1008 || id == 1009) && (param & kSoundParametersBit))
        updateUI_SoundPresetName();
    Lumora_MainViewController::receiveAudioEngineNotificationWithID(id, param);
}

float Lumora_EffectorFrmwrk_MainVwCntrlr::scaleOfContent()
{
    return edtrVw_ ? static_cast<float>(edtrVw_->transform().a) : 0.0f;
}
