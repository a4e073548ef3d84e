#include "screens/main/Lumora_EditorFrameMainVwCntrlr.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Device.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"
#include "screens/main/nibs/MainScreenNibs.h"

namespace {

constexpr int kSoundParametersBit = 0x10000;
constexpr int64_t kPadIdiom = 1;

} // namespace

bool Lumora_EditorFrameMainVwCntrlr::initWithCoreAndNibs(std::shared_ptr<Lumora_Core> core, char const* mainNibName,
                                                          char const* editorFrameNibName)
{
    registerMainScreenNibs();
    if (!Lumora_ViewController::initWithCore(std::move(core), mainNibName, Platform::Bundle::main()))
        return false;
    viewsInEditorFrameNib_ = Platform::Nib::loadNibNamed(editorFrameNibName, nullptr, Platform::Bundle::main());
    return true;
}

void Lumora_EditorFrameMainVwCntrlr::placeEditorFrame(Lumora_SynthFrmwrk_EdtrFrmCntnrVw* container,
                                                      std::shared_ptr<Lumora_SynthFrmwrk_EdtrFrmVw> frame,
                                                      int64_t idiom, bool isPlugin)
{
    edtrFrmCntnrVw_ = container;
    edtrFrmVw_ = std::move(frame);
    if (edtrFrmVw_) {
        edtrFrmVw_->setIsPlugin(isPlugin);
        if (edtrFrmCntnrVw_)
            edtrFrmCntnrVw_->addSubview(edtrFrmVw_);
    }
    edtrVw_ = _createEditorViewFor(idiom, isPlugin);
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_EditorFrameMainVwCntrlr::_createEditorViewFor(int64_t idiom,
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

void Lumora_EditorFrameMainVwCntrlr::viewWillLayoutSubviews()
{
    bool const padPlugin = static_cast<int64_t>(Platform::Device::userInterfaceIdiom()) == kPadIdiom && core() &&
                           core()->isPlugin();
    if (padPlugin && isViewLoaded() && edtrVw_) {
        float const height = static_cast<float>(view()->frame().size.height);
        if (height > surfaceSwitchHeight && edtrVw_->isPlugin())
            switchEditorSurface(false);
        else if (height <= surfaceSwitchHeight && !edtrVw_->isPlugin())
            switchEditorSurface(true);
    }
    Lumora_MainViewController::viewWillLayoutSubviews();
}

void Lumora_EditorFrameMainVwCntrlr::switchEditorSurface(bool isPlugin)
{
    if (showControlStatusView())
        actionMidiMapping(nullptr);
    finalizeDescendantUiControlsWithView(edtrVw_.get());
    edtrVw_->removeFromSuperview();
    edtrVw_ = _createEditorViewFor(kPadIdiom, isPlugin);
    updateUI();
    uiLayoutDidChange(kPadIdiom, true);
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_EditorFrameMainVwCntrlr::createEditorViewFor(int64_t, bool)
{
    return std::make_shared<Lumora_SynthFrmwrk_EdtrVw>();
}

void Lumora_EditorFrameMainVwCntrlr::viewDidLoadWithUiIdiom(int64_t, bool) {}
void Lumora_EditorFrameMainVwCntrlr::uiLayoutDidChange(int64_t, bool) {}
void Lumora_EditorFrameMainVwCntrlr::midiMappingUIDidShown(bool) {}

std::optional<Lumora_EditorFrameMainVwCntrlr::PanelClasses> Lumora_EditorFrameMainVwCntrlr::creationPanelViewClasses()
{
    return std::nullopt;
}

Lumora_EditorFrameMainVwCntrlr::PanelViewBlock Lumora_EditorFrameMainVwCntrlr::creationPanelViewBlock()
{
    return {};
}

void Lumora_EditorFrameMainVwCntrlr::actionLoadPrevSoundPreset(Platform::Control*)
{
    if (auto* engine = audioEngine(); engine && engine->soundPresetFileManager())
        engine->soundPresetFileManager()->loadPrevious();
}

void Lumora_EditorFrameMainVwCntrlr::actionLoadNextSoundPreset(Platform::Control*)
{
    if (auto* engine = audioEngine(); engine && engine->soundPresetFileManager())
        engine->soundPresetFileManager()->loadNext();
}

void Lumora_EditorFrameMainVwCntrlr::actionOpenSoundPresetBrowser(Platform::Control* sender)
{
    showSoundPresetFileBrowserInView(sender, passthroughViews_allowPassthroughMidiLearnButton(false),
                                     Lumora_Painter::sharedInstance()->popoverBackgroundColor());
}

void Lumora_EditorFrameMainVwCntrlr::actionMidiMapping(Platform::Control*)
{
    bool const shown = !showControlStatusView();
    setShowControlStatusView(shown);
    if (edtrFrmVw_)
        edtrFrmVw_->showMidiMappingMode(shown);
    midiMappingUIDidShown(shown);
}

void Lumora_EditorFrameMainVwCntrlr::actionOpenSettings(Platform::Control* sender)
{
    showSettingsInView(sender, passthroughViews_allowPassthroughMidiLearnButton(false),
                       Lumora_Painter::sharedInstance()->popoverBackgroundColor(), creationPanelViewClasses(),
                       creationPanelViewBlock());
}

std::vector<Platform::View*> Lumora_EditorFrameMainVwCntrlr::passthroughViews_allowPassthroughMidiLearnButton(
    bool allowMidiLearnButton) const
{
    if (allowMidiLearnButton && edtrFrmVw_ && edtrFrmVw_->btnMidiMapping)
        return {edtrFrmVw_->btnMidiMapping};
    return {};
}

void Lumora_EditorFrameMainVwCntrlr::updateUI()
{
    Lumora_MainViewController::updateUI();
    updateUI_SoundPresetName();
}

void Lumora_EditorFrameMainVwCntrlr::updateUI_SoundPresetName()
{
    auto* engine = audioEngine();
    if (engine && engine->soundPresetFileManager() && edtrFrmVw_)
        edtrFrmVw_->setSoundPresetName(engine->soundPresetFileManager()->presetName());
}

void Lumora_EditorFrameMainVwCntrlr::receiveAudioEngineNotificationWithID(int id, int param)
{
    if ((id == 1008 || id == 1009) && (param & kSoundParametersBit))
        updateUI_SoundPresetName();
    Lumora_MainViewController::receiveAudioEngineNotificationWithID(id, param);
}

float Lumora_EditorFrameMainVwCntrlr::editorScale() const
{
    return edtrVw_ ? static_cast<float>(edtrVw_->transform().a) : 0.0f;
}

float Lumora_EditorFrameMainVwCntrlr::scaleOfContent()
{
    return editorScale();
}
