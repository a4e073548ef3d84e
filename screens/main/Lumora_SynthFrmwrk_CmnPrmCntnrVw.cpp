#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/layout/layoutContentVw_In_ContainerVw.h"
#include "platform/ui/LayoutConstraint.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"

void Lumora_SynthFrmwrk_CmnPrmCntnrVw::awakeFromNib()
{
    altLayout_ = false;
    constraintForAspect_.reset();
    Platform::View::awakeFromNib();
}

void Lumora_SynthFrmwrk_CmnPrmCntnrVw::setAltLayout(bool alt)
{
    altLayout_ = alt;
    updateLayout();
}

void Lumora_SynthFrmwrk_CmnPrmCntnrVw::updateLayout()
{
    using Platform::LayoutConstraint;
    if (constraintForAspect_)
        removeConstraint(constraintForAspect_.get());
    double const multiplier = altLayout_ ? static_cast<double>(wideRatio) : tallRatio;
    constraintForAspect_ = LayoutConstraint::constraintWithItem(this, LayoutConstraint::Attribute::Height,
                                                                LayoutConstraint::Relation::Equal, this,
                                                                LayoutConstraint::Attribute::Width, multiplier, 0);
    addConstraint(constraintForAspect_);
}

double Lumora_SynthFrmwrk_CmnPrmCntnrVw::aspectRatio() const
{
    if (constraintForAspect_)
        return constraintForAspect_->multiplier();
    return altLayout_ ? static_cast<double>(wideRatio) : tallRatio;
}

void Lumora_SynthFrmwrk_CmnPrmCntnrVw::layoutSubviews()
{
    Platform::View::layoutSubviews();
    updateLayout();
    auto* strip = UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_SynthFrmwrk_CmnPrmVw>(this);
    if (!strip)
        return;
    layoutContentVw_In_ContainerVw(this, strip, 0, strip->originalSize(), 10, 0);
    strip->layoutIfNeeded();
}
