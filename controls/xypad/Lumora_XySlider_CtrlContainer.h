#pragma once

#include "controls/agent/Lumora_Ctrl_InvisibleAgent.h"
#include "controls/xypad/Lumora_XySlider_TouchEvHandlerView.h"
#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"

#include <cstdint>
#include <memory>

// A two-dimensional pad: one finger dragged over it changes two parameters at once, horizontal
// movement the first and vertical movement the second; a double tap returns both to their
// defaults. The pad holds no values: it drives two invisible value holders placed inside it,
// tagged with the parameters' ids, which the parameter-bound view controller binds like any
// knob. The pad only does the touch arithmetic, and draws nothing (its look comes from the
// views placed with it).
class Lumora_XySlider_CtrlContainer : public Platform::View,
                                      public Lumora_XySlider_TouchEvHandlerView_Delegate,
                                      public Lumora_ControlDelegate {
public:
    explicit Lumora_XySlider_CtrlContainer(Platform::Rect frame = {});

    int32_t paramID_x() const { return paramID_x_; }
    void setParamID_x(int32_t id) { paramID_x_ = id; }
    int32_t paramID_y() const { return paramID_y_; }
    void setParamID_y(int32_t id) { paramID_y_ = id; }
    // Full-range changes per pad extent; drags use it clamped to 0.1..2.0.
    float sensitivity() const { return sensitivity_; }
    void setSensitivity(float sensitivity) { sensitivity_ = sensitivity; }
    Lumora_XySlider_TouchEvHandlerView* touchEvView() const { return touchEvView_.get(); }
    void setTouchEvView(std::shared_ptr<Lumora_XySlider_TouchEvHandlerView> view) { touchEvView_ = std::move(view); }
    Lumora_Ctrl_InvisibleAgent* cntrl_x() const { return cntrl_x_.get(); }
    void setCntrl_x(Lumora_Ctrl_InvisibleAgent* agent) { cntrl_x_.reset(agent); }
    Lumora_Ctrl_InvisibleAgent* cntrl_y() const { return cntrl_y_.get(); }
    void setCntrl_y(Lumora_Ctrl_InvisibleAgent* agent) { cntrl_y_.reset(agent); }
    Platform::Point lastTouchPoint() const { return lastTouchPoint_; }
    void setLastTouchPoint(Platform::Point point) { lastTouchPoint_ = point; }

    // The holders' normalized values and defaults; 0 without a holder, where writes go nowhere.
    float value_x() const;
    void setValue_x(float value);
    float value_y() const;
    void setValue_y(float value);
    float default_x() const;
    float default_y() const;

    // An interface file adds the holders after the pad is made: the touch handler goes back on
    // top and an unset sensitivity becomes 1.0.
    void awakeFromNib() override;
    // Finds the holders among the direct subviews by tag, then lays the touch handler over the
    // whole pad.
    void layoutSubviews() override;
    void drawRect(Platform::Rect const&) override {}

    void Lumora_Control_valueChanged(Lumora_Control* control, float value) override;

    void onTouchesBegan(Platform::Touch* touch) override;
    void onTouchesMoved(Platform::Touch* touch) override;
    void onTouchesEnded(Platform::Touch* touch) override;
    void onTouchesCancelled(Platform::Touch* touch) override;

private:
    void initialize_XySlider();

    int32_t paramID_x_ = 0;
    int32_t paramID_y_ = 0;
    float sensitivity_ = 0;
    std::shared_ptr<Lumora_XySlider_TouchEvHandlerView> touchEvView_;
    Platform::WeakRef<Lumora_Ctrl_InvisibleAgent> cntrl_x_;
    Platform::WeakRef<Lumora_Ctrl_InvisibleAgent> cntrl_y_;
    Platform::Point lastTouchPoint_{};
};
