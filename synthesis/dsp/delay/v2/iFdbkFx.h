#pragma once

namespace Lumora::DSPv2 {

// An effect inside a second-generation delay's feedback path, run once per delayed sample.
class iFdbkFx {
public:
    virtual void reset() = 0;
    virtual float process(float in) = 0;

protected:
    ~iFdbkFx() = default;
};

} // namespace Lumora::DSPv2
