#pragma once

#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/viewcontroller/Lumora_ViewController.h"
#include "platform/ui/WeakRef.h"

#include <memory>

class Lumora_SynthFrmwrk_CmnPrmVw;

// The common-parameter popup: the strip of common parameters in a scalable container, shown at
// the editor's scale, for the main views without a strip of their own. Made anew for each
// opening from the interface file "SynthFrmwrk_CommonParam_VwCtrlr".
class CommonParam_VwCtrlr : public Lumora_ViewController, public Lumora_ScalableContainer_Delegate {
public:
    static constexpr char const* nibName = "SynthFrmwrk_CommonParam_VwCtrlr";

    bool initWithCore(std::shared_ptr<Lumora_Core> core) override;
    void viewDidLoad() override;
    Token parameterObserverToken() const override;

    // The opener's scale (the editor's), or 1 without an opener.
    float scaleOfContent() override;
    void touchOutsideOfContent() override;

    Lumora_ScalableContainer_Delegate* containerDelegate() const { return containerDelegate_.get(); }
    void setContainerDelegate(Lumora_ScalableContainer_Delegate* delegate) { containerDelegate_.reset(delegate); }

    Lumora_SynthFrmwrk_CmnPrmVw* commonParamVw() const { return commonParamVw_.get(); }

    // Outlet: the place for the strip.
    Platform::View* cmnPrmCntnrVw = nullptr;

private:
    Platform::WeakRef<Lumora_ScalableContainer_Delegate> containerDelegate_;
    std::shared_ptr<Lumora_SynthFrmwrk_CmnPrmVw> commonParamVw_;
};
