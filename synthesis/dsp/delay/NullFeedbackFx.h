#pragma once

#include "synthesis/dsp/delay/iFeedbackFx.h"

namespace Lumora::DSP {

// The effect that does nothing.
class NullFeedbackFx : public iFeedbackFx {
public:
    virtual ~NullFeedbackFx() = default;
    bool isThrough() const override { return true; }
    void reset() override {}
    float process(float in) override { return in; }
};

} // namespace Lumora::DSP
