#include "controls/layout/Lumora_ScalableContainerView.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/layout/layoutContentVw_In_ContainerVw.h"
#include "platform/foundation/RunLoop.h"

Lumora_ScalableContainerView::Lumora_ScalableContainerView(Platform::Rect frame) : Platform::ScrollView(frame)
{
    // A touch on a control inside starts at once instead of waiting to see whether it scrolls.
    setDelaysContentTouches(false);
}

Lumora_ScalableContentView* Lumora_ScalableContainerView::contentView()
{
    if (Lumora_ScalableContentView* view = contentView_.get())
        return view;
    Lumora_ScalableContentView* found =
        UIView_Lumora_Control_Container_View::findDescendantWithClass<Lumora_ScalableContentView>(this);
    contentView_.reset(found);
    return found;
}

void Lumora_ScalableContainerView::layoutSubviews()
{
    Platform::ScrollView::layoutSubviews();

    Platform::Size const size = bounds().size;
    bool const changed = size.width != lastSize_.width || size.height != lastSize_.height;
    lastSize_ = size;

    Lumora_ScalableContainer_Delegate* delegate = containerDelegate();
    float const scale = delegate ? delegate->scaleOfContent() : 1.0f;
    float const previous = lastScale_;
    lastScale_ = scale;

    if (previous == scale && !changed)
        return;
    Lumora_ScalableContentView* content = contentView();
    if (!content)
        return;
    // Fit the width, at most at the owner's scale, never shrinking an overflow: a taller content
    // scrolls.
    Platform::Size const fitted = layoutContentVw_In_ContainerVw(this, content, 1, content->originalSize(), scale, 0);
    setContentSize(fitted);
    // Nudge and return, so that the container ends at its top edge after every re-fit.
    setContentOffsetLater({0, 1}, 0.010);
    setContentOffsetLater({0, 0}, 0.020);
}

void Lumora_ScalableContainerView::setContentOffsetLater(Platform::Point offset, double seconds)
{
    std::shared_ptr<Object> keep = weak_from_this().lock();
    if (!keep)
        return;  // not a shared view: nothing could keep it alive until then
    auto self = std::static_pointer_cast<Lumora_ScalableContainerView>(keep);
    Platform::RunLoop::main().scheduledTimer(seconds, false,
                                             [self, offset](Platform::Timer&) { self->setContentOffset(offset); });
}

void Lumora_ScalableContainerView::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    Platform::Touch* touch = touches.anyObject();
    if (touch && touch->view() == this)
        if (Lumora_ScalableContainer_Delegate* delegate = containerDelegate())
            delegate->touchOutsideOfContent();
    Platform::ScrollView::touchesEnded(touches, event);
}
