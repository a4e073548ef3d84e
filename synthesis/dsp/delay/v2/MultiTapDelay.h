#pragma once

#include "synthesis/dsp/delay/SampleSizeType.h"

#include <memory>
#include <vector>

namespace Lumora::DSPv2 {

// One buffer read by several taps, each with a delay time, a feedback gain and an output level
// that glide linearly across every block from where they stand towards their targets.
class MultiTapDelay {
public:
    class Implementation;

    MultiTapDelay(SAMPLE_SIZE_TYPE sizeType, unsigned tapCount);
    virtual ~MultiTapDelay();
    MultiTapDelay(const MultiTapDelay&) = delete;
    MultiTapDelay& operator=(const MultiTapDelay&) = delete;

    virtual void reset();
    // out takes the sum of all taps.
    virtual void process(float* out, const float* in, unsigned frames);
    // One output per tap (null entries skipped).
    virtual void process(const std::vector<float*>& tapOutputs, const float* in, unsigned frames);
    virtual void process(float** tapOutputs, const float* in, unsigned frames);
    // A block of silent input while the line holds only zeros: the taps' glides move exactly as
    // process would move them, and nothing is written. process would give zeros on every tap, and
    // where a line of zeros is written makes no difference.
    void idle(unsigned frames);

    void setTapSettings_bySamples(unsigned tap, unsigned samples, float feedback, float level);

    const Implementation& implementation() const { return *impl_; }

private:
    std::unique_ptr<Implementation> impl_;
};

} // namespace Lumora::DSPv2
