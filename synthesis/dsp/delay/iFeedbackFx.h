#pragma once

namespace Lumora::DSP {

// An effect inside a delay's feedback path, run once per delayed sample.
class iFeedbackFx {
public:
    // True when the effect passes samples through unchanged.
    virtual bool isThrough() const = 0;
    virtual void reset() = 0;
    virtual float process(float in) = 0;

protected:
    ~iFeedbackFx() = default;
};

} // namespace Lumora::DSP
