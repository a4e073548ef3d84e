#pragma once

#include "controls/knob/Lumora_Ctrl_TravelBase.h"
#include "engine/parameter/Parameter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

// Arithmetic of switch positions, shared by every switched control.
namespace Lumora_SwitchPositions {

// The position of internal value v among n positions spaced r apart: 0 below r/2, n - 1 above
// 1 - r/2, otherwise the smallest inner i with v < (i + 1/2) r. A value exactly on a boundary
// takes the upper position.
int32_t calcSwitchPosition(float v, float r, int32_t n);

// What a parameter's type makes of a knob or slider bound to it; fields left empty keep what
// the control had.
struct Configuration {
    bool isBipole = false;
    bool isSwitched = false;
    std::optional<int32_t> numOfSwitches;
    std::optional<int32_t> snapOptions;
    std::optional<float> snap;
    // The concrete value of position 0 of an unsigned parameter (its minimum).
    int32_t switchOffset = 0;
};
Configuration configurationFor(Lumora::Parameter const& parameter);

} // namespace Lumora_SwitchPositions

// The switched layer over a travel control (rotary knob, slider): n positions at internal values
// i r (r = 1 / (n - 1)), capture of the value on chosen positions, and, for a switched control, a
// position-valued external value with its 0..127 normalized encoding. A continuous control uses
// only the capture: with the leaf classes' defaults it holds at its centre.
//
// The raw internal value keeps accumulating under a capture, so the finger must travel out of the
// window before the control leaves the position.
template <class Base>
class Lumora_Ctrl_SwitchedLayer : public Base {
public:
    // Snap options: which positions capture.
    static constexpr int32_t SnapInner = 1;
    static constexpr int32_t SnapFirst = 2;
    static constexpr int32_t SnapLast = 4;

    explicit Lumora_Ctrl_SwitchedLayer(Platform::Rect frame = {}) : Base(frame) {}

    bool isSwitched() const { return isSwitched_; }
    void setIsSwitched(bool switched) { isSwitched_ = switched; }
    bool snapped() const { return snapped_; }
    void setSnapped(bool snapped) { snapped_ = snapped; }
    int32_t numOfSwitches() const { return numOfSwitches_; }
    // Fewer than two positions make two.
    void setNumOfSwitches(int32_t count) { numOfSwitches_ = std::max<int32_t>(count, 2); }
    float snap() const { return snap_; }
    void setSnap(float snap) { snap_ = snap; }
    int32_t snapOptions() const { return snapOptions_; }
    void setSnapOptions(int32_t options) { snapOptions_ = options; }
    float snappedInternalValue() const { return snappedInternalValue_; }
    void setSnappedInternalValue(float value) { snappedInternalValue_ = value; }
    int32_t switchPosition() const { return switchPosition_; }
    void setSwitchPosition(int32_t position) { switchPosition_ = position; }
    int32_t switchDefaultPosition() const { return switchDefaultPosition_; }
    void setSwitchDefaultPosition(int32_t position) { switchDefaultPosition_ = position; }
    // The value that position 0 of a unipolar switched control stands for: the minimum of a
    // bound unsigned parameter, so that its positions cover min ... max; 0 otherwise.
    int32_t switchOffset() const { return switchOffset_; }
    void setSwitchOffset(int32_t offset) { switchOffset_ = offset; }

    float switchResolution() const { return 1.0f / static_cast<float>(numOfSwitches_ - 1); }
    int32_t calcSwitchPosition(float v) const
    {
        return Lumora_SwitchPositions::calcSwitchPosition(v, switchResolution(), numOfSwitches_);
    }
    bool isSnapPosition(int32_t position) const
    {
        if (position == 0)
            return snapOptions_ & SnapFirst;
        if (position == numOfSwitches_ - 1)
            return snapOptions_ & SnapLast;
        return snapOptions_ & SnapInner;
    }
    // External value of a position (shifted so that the centre is 0 when bipolar, or by the
    // offset when unipolar) and back.
    float convertInternalSwPos(float position) const
    {
        check();
        if (this->isBipole())
            return std::trunc(position) - static_cast<float>(centrePosition());
        return position + static_cast<float>(switchOffset_);
    }
    float convertExternalSwPos(float value) const
    {
        check();
        if (this->isBipole())
            return std::trunc(value) + static_cast<float>(centrePosition());
        return value - static_cast<float>(switchOffset_);
    }

    float internalValue() const override { return snapped_ ? snappedInternalValue_ : this->trueInternaValue(); }

    // Finds the position of v and whether it captures v, then stores v.
    void setInternalValue(float v) override
    {
        if (std::isnan(v))
            return;
        if (isSwitched_)
            check();
        float const r = switchResolution();
        switchPosition_ = calcSwitchPosition(v);
        float const target = static_cast<float>(switchPosition_) * r;
        if (isSnapPosition(switchPosition_) && std::fabs(target - v) < std::fabs(r * snap_)) {
            snappedInternalValue_ = target;
            snapped_ = true;
        } else {
            snapped_ = false;
        }
        Base::setInternalValue(v);
    }

    float value() const override
    {
        return isSwitched_ ? convertInternalSwPos(static_cast<float>(switchPosition_)) : Base::value();
    }
    void setValue(float value) override
    {
        if (std::isnan(value))
            return;
        SuspendedCapture suspended(*this);
        if (!isSwitched_) {
            Base::setValue(value);
            return;
        }
        float const p = convertExternalSwPos(value);
        switchPosition_ = clampedPosition(p);
        setInternalValue(p * switchResolution());
    }
    float defaultValue() const override
    {
        return isSwitched_ ? convertInternalSwPos(static_cast<float>(switchDefaultPosition_)) : Base::defaultValue();
    }
    void setDefaultValue(float value) override
    {
        if (std::isnan(value))
            return;
        if (!isSwitched_) {
            Base::setDefaultValue(value);
            return;
        }
        float const p = convertExternalSwPos(value);
        switchDefaultPosition_ = clampedPosition(p);
        this->setInternalDefaultValue(p * switchResolution());
    }
    float normalizedValue() const override
    {
        return isSwitched_ ? Lumora::Parameter::concreteToNormalizedValue(encodingType(), value())
                           : Base::normalizedValue();
    }
    void setNormalizedValue(float value) override
    {
        if (std::isnan(value))
            return;
        if (isSwitched_)
            setValue(Lumora::Parameter::normalizedToConcreteValue(encodingType(), value));
        else
            Base::setNormalizedValue(value);
    }
    float normalizedDefaultValue() const override
    {
        return isSwitched_ ? Lumora::Parameter::concreteToNormalizedValue(encodingType(), defaultValue())
                           : Base::normalizedDefaultValue();
    }
    void setNormalizedDefaultValue(float value) override
    {
        if (std::isnan(value))
            return;
        if (isSwitched_)
            setDefaultValue(Lumora::Parameter::normalizedToConcreteValue(encodingType(), value));
        else
            Base::setNormalizedDefaultValue(value);
    }

    // A switched control settles exactly on its position at touch-up; the position, capture and
    // external value stay as they are.
    void onFinishChangeValue() override
    {
        if (isSwitched_)
            this->storeInternalValue(static_cast<float>(switchPosition_) * switchResolution());
    }

protected:
    // Applies what the bound parameter's type asks for (leaf classes, before the base binding).
    void configureFromParameter(Lumora::Parameter const& parameter)
    {
        auto const c = Lumora_SwitchPositions::configurationFor(parameter);
        this->setIsBipole(c.isBipole);
        isSwitched_ = c.isSwitched;
        if (c.numOfSwitches)
            setNumOfSwitches(*c.numOfSwitches);
        if (c.snapOptions)
            snapOptions_ = *c.snapOptions;
        if (c.snap)
            snap_ = *c.snap;
        switchOffset_ = c.switchOffset;
    }

private:
    // A value set by code is never captured: the window is closed for the operation.
    struct SuspendedCapture {
        explicit SuspendedCapture(Lumora_Ctrl_SwitchedLayer& layer) : layer_(layer), saved_(layer.snap_)
        {
            layer.snap_ = 0;
        }
        ~SuspendedCapture() { layer_.snap_ = saved_; }
        Lumora_Ctrl_SwitchedLayer& layer_;
        float saved_;
    };

    // A bipolar control needs an odd count, so that the middle position stands for 0.
    void check() const
    {
        if (this->isBipole() && numOfSwitches_ % 2 == 0)
            ++numOfSwitches_;
    }
    // The engine's integer parameter whose 0..127 encoding a position-valued external value travels
    // in: p / 127 (unipolar), or (e + 64) / 127 for a signed one.
    Lumora::Parameter::Type encodingType() const
    {
        return this->isBipole() ? Lumora::Parameter::Type::SInt : Lumora::Parameter::Type::UInt;
    }
    int32_t centrePosition() const { return (numOfSwitches_ - 1) / 2; }
    int32_t clampedPosition(float p) const
    {
        return static_cast<int32_t>(std::clamp(std::trunc(p), 0.0f, static_cast<float>(numOfSwitches_ - 1)));
    }

    bool isSwitched_ = false;
    bool snapped_ = false;
    mutable int32_t numOfSwitches_ = 3;
    float snap_ = 0;
    int32_t snapOptions_ = SnapInner | SnapFirst | SnapLast;
    float snappedInternalValue_ = 0;
    int32_t switchPosition_ = 0;
    int32_t switchDefaultPosition_ = 0;
    int32_t switchOffset_ = 0;
};
