#include "screens/main/Lumora_EffectorFrmwrk_MainVwCntrlr.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/presentation/PopoverMessageViewController.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioIO.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Device.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrVw.h"

bool Lumora_EffectorFrmwrk_MainVwCntrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    return initWithCoreAndNibs(std::move(core), mainNibName, editorFrameNibName);
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::viewDidLoad()
{
    Lumora_MainViewController::viewDidLoad();
    auto const idiom = static_cast<int64_t>(Platform::Device::userInterfaceIdiom());
    bool const plugin = core() && core()->isPlugin();
    placeEditorFrame<Lumora_EffectorFrmwrk_EdtrFrmVw>(
        UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_EffectorFrmwrk_EdtrFrmCntnrVw>(view()), idiom,
        plugin);
    viewDidLoadWithUiIdiom(idiom, plugin);
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
    Platform::View* source = edtrFrmVw() ? edtrFrmVw()->btnSoundOnOff : nullptr;
    popoverViewController(message, message->contentSize(), source, {}, 1, Platform::Color::whiteColor());
}

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> Lumora_EffectorFrmwrk_MainVwCntrlr::createEditorViewFor(int64_t, bool)
{
    return std::make_shared<Lumora_EffectorFrmwrk_EdtrVw>();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::actionSoundOnOff(Platform::Control*)
{
    if (auto* engine = audioEngine())
        engine->setMute(!engine->isMuted());
    updateUI_muteButton();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::updateUI()
{
    Lumora_EditorFrameMainVwCntrlr::updateUI();
    updateUI_muteButton();
}

void Lumora_EffectorFrmwrk_MainVwCntrlr::updateUI_muteButton()
{
    auto* engine = audioEngine();
    auto* frameView = edtrFrmVw();
    if (!engine || !frameView || !frameView->btnSoundOnOff)
        return;
    bool const muted = engine->isMuted();
    frameView->btnSoundOnOff->setImageName(std::string(muted ? "SoundOff" : "SoundOn"));
    frameView->btnSoundOnOff->setSelected(muted);
}
