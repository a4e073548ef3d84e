#pragma once

#include "controls/layout/Lumora_ScalableContentView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/WeakRef.h"

// The owner of a scalable container: it decides the largest scale of the content and may hear of
// taps beside the content.
class Lumora_ScalableContainer_Delegate {
public:
    virtual ~Lumora_ScalableContainer_Delegate() = default;
    virtual float scaleOfContent() = 0;
    // A finger was lifted on the container's own area, outside the content. Optional.
    virtual void touchOutsideOfContent() {}
};

// A scroll view that keeps a fixed-size content (the first Lumora_ScalableContentView below it)
// fitted to its width, at most at the delegate's scale, and scrolls the rest vertically. It
// re-fits only when its size or the delegate's scale changed, and then returns to its top edge.
class Lumora_ScalableContainerView : public Platform::ScrollView {
public:
    explicit Lumora_ScalableContainerView(Platform::Rect frame = {});

    // The content set, or else (when none is set or the one set is gone) the first
    // Lumora_ScalableContentView found below the container, which is then kept.
    Lumora_ScalableContentView* contentView();
    void setContentView(Lumora_ScalableContentView* view) { contentView_.reset(view); }

    Lumora_ScalableContainer_Delegate* containerDelegate() const { return containerDelegate_.get(); }
    void setContainerDelegate(Lumora_ScalableContainer_Delegate* delegate) { containerDelegate_.reset(delegate); }
    float lastScale() const { return lastScale_; }
    void setLastScale(float scale) { lastScale_ = scale; }
    Platform::Size lastSize() const { return lastSize_; }
    void setLastSize(Platform::Size size) { lastSize_ = size; }

    void layoutSubviews() override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;

private:
    // Sets the content offset on the main run loop after a delay; the container stays alive
    // until then.
    void setContentOffsetLater(Platform::Point offset, double seconds);

    float lastScale_ = 0;
    Platform::WeakRef<Lumora_ScalableContainer_Delegate> containerDelegate_;
    Platform::WeakRef<Lumora_ScalableContentView> contentView_;
    Platform::Size lastSize_{};
};
