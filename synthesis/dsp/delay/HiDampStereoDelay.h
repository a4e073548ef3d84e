#pragma once

#include "synthesis/dsp/delay/OnePoleLpf.h"
#include "synthesis/dsp/delay/StereoDelay.h"

namespace Lumora::DSP {

// The stereo delay with a one-pole low pass on each channel's echo: what is heard and what is
// fed back (to its own and to the other channel) is the damped signal.
class HiDampStereoDelay : public StereoDelay {
public:
    explicit HiDampStereoDelay(SAMPLE_SIZE_TYPE sizeType);

    void reset() override;
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames) override;

    // damping 0 passes everything (a = 0); 1 freezes the filter (a = 1). Channel 0 left, 1 right.
    void setHiDamp(int channel, float damping);
    const PerSampleDSP::OnePoleLpf& damping(int channel) const { return channel < 1 ? lpfL_ : lpfR_; }

private:
    PerSampleDSP::OnePoleLpf lpfL_;
    PerSampleDSP::OnePoleLpf lpfR_;
};

} // namespace Lumora::DSP
