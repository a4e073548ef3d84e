#include "screens/main/CommonParam_VwCtrlr.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Device.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
#include "screens/main/nibs/MainScreenNibs.h"

bool CommonParam_VwCtrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    registerMainScreenNibs();
    bool const plugin = core && core->isPlugin();
    if (!Lumora_ViewController::initWithCore(std::move(core), nibName, Platform::Bundle::main()))
        return false;
    Platform::View* root = view();
    if (root && cmnPrmCntnrVw) {
        auto strip = Lumora_SynthFrmwrk_CmnPrmVw::createInstanceFor(
            static_cast<int64_t>(Platform::Device::userInterfaceIdiom()), plugin);
        if (strip) {
            commonParamVw_ = strip;
            cmnPrmCntnrVw->addSubview(strip);
            setupDescendantUiControlsWithView(strip.get());
        }
    }
    return true;
}

void CommonParam_VwCtrlr::viewDidLoad()
{
    Lumora_ViewController::viewDidLoad();
    if (auto* container = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_ScalableContainerView>(view()))
        container->setContainerDelegate(this);
    updateUI();
}

CommonParam_VwCtrlr::Token CommonParam_VwCtrlr::parameterObserverToken() const
{
    return Token::CommonParamPopup;
}

float CommonParam_VwCtrlr::scaleOfContent()
{
    if (auto* delegate = containerDelegate_.get())
        return delegate->scaleOfContent();
    return 1.0f;
}

void CommonParam_VwCtrlr::touchOutsideOfContent()
{
    dismissViewControllerAnimated(true);
}
