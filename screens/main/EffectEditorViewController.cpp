#include "screens/main/EffectEditorViewController.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "model/framework/Shared_Information.h"
#include "platform/ui/ImageNamed.h"
#include "platform/ui/ImageView.h"
#include "screens/main/nibs/MainScreenNibs.h"

bool EffectEditorViewController::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    registerMainScreenNibs();
    return Lumora_ViewController::initWithCore(std::move(core), nibName, Platform::Bundle::main());
}

void EffectEditorViewController::viewDidLoad()
{
    PopupViewController::viewDidLoad();
    if (backgroundImageView) {
        auto bundle = Shared_Information::frameworkBundle();
        backgroundImageView->setImage(Platform::imageNamed(nibName, bundle.get()));
    }
    if (auto* container = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_ScalableContainerView>(view()))
        container->setContainerDelegate(this);
}
