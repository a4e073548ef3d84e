#pragma once

#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/viewcontroller/Lumora_ViewController.h"
#include "platform/ui/WeakRef.h"

// The base of the product's scaled popups: their scalable container shows the content at most
// at the opener's scale (the editor's), and a touch beside the content closes the popup.
class PopupViewController : public Lumora_ViewController, public Lumora_ScalableContainer_Delegate {
public:
    float scaleOfContent() override;
    void touchOutsideOfContent() override;

    Lumora_ScalableContainer_Delegate* containerDelegate() const { return containerDelegate_.get(); }
    void setContainerDelegate(Lumora_ScalableContainer_Delegate* delegate) { containerDelegate_.reset(delegate); }

private:
    Platform::WeakRef<Lumora_ScalableContainer_Delegate> containerDelegate_;
};
