#include "screens/tuning/MicroTuningEditorVwCtrlr.h"

#include "engine/synth/iSynthAudioEngine.h"
#include "model/core/Lumora_Core.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"
#include "screens/tuning/MicroTuningEditorKeyVw.h"
#include "screens/tuning/MicroTuningEditorNibs.h"

std::shared_ptr<MicroTuningEditorVwCtrlr> MicroTuningEditorVwCtrlr::create(std::shared_ptr<Lumora_Core> core,
                                                                           Platform::ViewController* owner)
{
    auto editor = std::make_shared<MicroTuningEditorVwCtrlr>();
    if (!editor->initWithCore(std::move(core), owner))
        return nullptr;
    return editor;
}

bool MicroTuningEditorVwCtrlr::initWithCore(std::shared_ptr<Lumora_Core> core, Platform::ViewController* owner)
{
    registerMicroTuningEditorNibs();
    if (!initWithNibName(nibName, Platform::Bundle::main()))
        return false;
    core_ = core;
    owner_.reset(owner);
    return true;
}

void MicroTuningEditorVwCtrlr::connectOutlets(Outlets const& outlets)
{
    keyViewScrollVw_.reset(outlets.keyViewScrollVw);
    keyViewContainerVw_.reset(outlets.keyViewContainerVw);
}

Lumora::iSynthAudioEngine* MicroTuningEditorVwCtrlr::synthAudioEngine() const
{
    return core_ ? dynamic_cast<Lumora::iSynthAudioEngine*>(core_->audioEngine()) : nullptr;
}

void MicroTuningEditorVwCtrlr::viewWillAppear(bool animated)
{
    if (Platform::View* container = keyViewContainerVw_.get()) {
        for (auto const& subview : container->subviews()) {
            if (auto* key = dynamic_cast<MicroTuningEditorKeyVw*>(subview.get())) {
                key->setCore(core_.lock());
                key->updateUI();
            }
        }
        if (Platform::ScrollView* scroll = keyViewScrollVw_.get())
            scroll->setContentSize(container->frame().size);
    }
    ViewController::viewWillAppear(animated);
}

void MicroTuningEditorVwCtrlr::actionShowFileMng(Platform::Control*)
{
    Lumora::iSynthAudioEngine* synth = synthAudioEngine();
    if (!synth)
        return;
    auto browser = Lumora_PrstDocFileBrwsVwCtrlr::create(synth->microtuningDocumentFileManager(), core_->isPlugin(),
                                                         false);
    if (!browser)
        return;
    browser->setEdgesForExtendedLayout(0);
    // The owner's stack is the one this editor is on; without an owner, the editor's own.
    Platform::ViewController* owner = owner_.get();
    Platform::NavigationController* navigation = owner ? owner->navigationController() : navigationController();
    if (navigation)
        navigation->pushViewController(browser, true);
}
