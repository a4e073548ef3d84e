#include "screens/main/MainViewController.h"

#include "controls/painter/Lumora_Painter.h"
#include "screens/main/EditorSurfaceView.h"
#include "screens/main/EffectEditorViewController.h"

std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> MainViewController::createEditorViewFor(int64_t idiom, bool isPlugin)
{
    return EditorSurfaceView::createInstanceFor(idiom, isPlugin);
}

void MainViewController::midiMappingUIDidShown(bool shown)
{
    if (effectEditorVwCtrlr_)
        effectEditorVwCtrlr_->setShowControlStatusView(shown);
}

void MainViewController::actionShowEffectEditor(Platform::Control* sender)
{
    effectEditorVwCtrlr_ = Lumora_ViewController::newWithCore<EffectEditorViewController>(sharedCore());
    if (effectEditorVwCtrlr_)
        popupViewController(effectEditorVwCtrlr_, sender);
}

void MainViewController::popupViewController(std::shared_ptr<PopupViewController> popup, Platform::View* sender)
{
    if (!popup)
        return;
    popup->setContainerDelegate(this);
    presentScaledPopup(popup, sender, 15, Lumora_Painter::sharedInstance()->containerBackgroundColor(), true);
    popup->setShowControlStatusView(showControlStatusView());
}
