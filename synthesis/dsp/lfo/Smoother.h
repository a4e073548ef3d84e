#pragma once

namespace Lumora::DSP {

// One-pole smoothing of a control value: each step moves value to
// x (1 - coefficient) + coefficient value, so a coefficient near 1 smooths heavily.
template <class T>
class Smoother {
public:
    explicit Smoother(T coefficient = T(0), T value = T(0))
        : coefficient_(coefficient)
        , value_(value)
    {
    }
    virtual ~Smoother() = default;

    T process(T x)
    {
        value_ = x * (T(1) - coefficient_) + coefficient_ * value_;
        return value_;
    }

    T coefficient() const { return coefficient_; }
    void setCoefficient(T c) { coefficient_ = c; }
    T value() const { return value_; }
    void setValue(T v) { value_ = v; }

private:
    T coefficient_;
    T value_;
};

} // namespace Lumora::DSP
