#pragma once

#include "synthesis/dsp/delay/OnePoleLpf.h"
#include "synthesis/dsp/delay/iFeedbackFx.h"

namespace Lumora::DSP {

// Damps the recirculating signal with a one-pole low pass.
class LpfFeedbackFx : public iFeedbackFx {
public:
    virtual ~LpfFeedbackFx() = default;
    bool isThrough() const override { return false; }
    void reset() override { lpf_.reset(); }
    float process(float in) override { return lpf_.process(in); }

    PerSampleDSP::OnePoleLpf& lpf() { return lpf_; }
    const PerSampleDSP::OnePoleLpf& lpf() const { return lpf_; }

private:
    PerSampleDSP::OnePoleLpf lpf_;
};

} // namespace Lumora::DSP
