#pragma once

#include "controls/knob/Lumora_Ctrl_TravelBase.h"

// A knob turned by dragging: in linear mode the finger drags up and down (coarse) or sideways
// (fine); in rotary mode it circles the knob's centre. The mode is one flag for every knob of the
// process, read at each move. The knob is drawn by the installed theme at its shown internal
// value.
class Lumora_Ctrl_RotaryKnob_Base : public Lumora_Ctrl_TravelBase {
public:
    explicit Lumora_Ctrl_RotaryKnob_Base(Platform::Rect frame = {});

    // The drag mode of all knobs: linear (the default) or rotary. A knob being dragged follows a
    // change at its next move.
    static void setControlTypeToLinear(bool linear);
    static bool isControlTypeLinear();

    // Linear mode: points of vertical drag for the whole travel, and how many times finer a
    // sideways drag is.
    float linerResolution() const { return linerResolution_; }
    void setLinerResolution(float points) { linerResolution_ = points; }
    float linerFineResolutionRatio() const { return linerFineResolutionRatio_; }
    void setLinerFineResolutionRatio(float ratio) { linerFineResolutionRatio_ = ratio; }
    float lastAngle() const { return lastAngle_; }

    // The angle of point p (the knob's coordinates) seen from the knob's centre, in [0, 2 pi):
    // 0 straight below, growing clockwise on screen.
    float touchAngle(Platform::Point p) const;
    using Lumora_Ctrl_TravelBase::touchAngle;

    void updateInternalValue(Platform::Point p) override;
    void drawRect(Platform::Rect const& rect) override;

protected:
    void beginDrag(Platform::Point p) override;

private:
    float linerResolution_ = 250;
    float linerFineResolutionRatio_ = 20;
    float lastAngle_ = 0;
};
