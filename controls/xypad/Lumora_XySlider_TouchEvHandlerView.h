#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/WeakRef.h"

// Told of each touch phase of the pad's touch handler, with one of the phase's touches.
class Lumora_XySlider_TouchEvHandlerView_Delegate {
public:
    virtual ~Lumora_XySlider_TouchEvHandlerView_Delegate() = default;
    virtual void onTouchesBegan(Platform::Touch* touch) = 0;
    virtual void onTouchesMoved(Platform::Touch* touch) = 0;
    virtual void onTouchesEnded(Platform::Touch* touch) = 0;
    virtual void onTouchesCancelled(Platform::Touch* touch) = 0;
};

// A transparent view covering the XY pad that hands every touch phase to its delegate, the pad.
class Lumora_XySlider_TouchEvHandlerView : public Platform::Control {
public:
    explicit Lumora_XySlider_TouchEvHandlerView(Platform::Rect frame = {});

    Lumora_XySlider_TouchEvHandlerView_Delegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_XySlider_TouchEvHandlerView_Delegate* delegate) { delegate_.reset(delegate); }

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

private:
    Platform::WeakRef<Lumora_XySlider_TouchEvHandlerView_Delegate> delegate_;
};
