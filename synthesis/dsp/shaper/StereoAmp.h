#pragma once

namespace Lumora::DSP {

// A stereo gain stage that ramps from the last block's gain. With rampFraction 0 the ramp is
// exclusive over the block; otherwise trunc(n * rampFraction) samples ramp (inclusively) to
// mid = last + (gain - last) * rampShape and the rest to gain. rampFraction is limited to [0, 1].
class StereoAmp {
public:
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned n, float gain,
                 float rampFraction, float rampShape);
    void reset();

    float lastGain() const { return last_; }

private:
    float last_ = -1.0f; // unset
};

} // namespace Lumora::DSP
