#pragma once

#include "synthesis/dsp/shaper/EqualPower.h"

namespace Lumora::DSP {

// A gain stage that never jumps: a gain that differs from the last block's is ramped across the
// block (exclusive ramp). The first block after construction or reset() takes its gain at once.
class Amplifier {
public:
    // out may be in. A steady gain of 0 clears out.
    void process(float* out, const float* in, unsigned n, float gain);
    void reset();

    float lastGain() const { return last_; }
    // Whether a block at this gain would only scale by it, leaving the state as it is: the last
    // block ended on this same gain, not 0. The caller may then apply the gain itself.
    bool holds(float gain) const
    {
        // Inline: asked every block by the stages that take the gain in their own pass.
        return !first_ && last_ != 0.0f && last_ == EqualPower::finiteGain(gain);
    }
    // Whether no block has run since construction or reset(), so that the next takes its gain at once.
    bool unset() const { return first_; }

private:
    bool first_ = true;
    float last_ = 0.0f;
};

} // namespace Lumora::DSP
