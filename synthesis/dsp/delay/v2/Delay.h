#pragma once

#include "synthesis/dsp/delay/SampleSizeType.h"
#include "synthesis/dsp/delay/v2/iFdbkFx.h"

#include <cstdint>
#include <memory>

namespace Lumora::DSPv2 {

// One read point with feedback and feed-forward: s = in + feedback y is written,
// out = y + feedForward s. Feed-forward 0 is a feedback comb; feed-forward = -feedback an
// all-pass. With interpolation on, a changed time glides linearly across the next block.
class Delay {
public:
    class Implementation;

    Delay(SAMPLE_SIZE_TYPE sizeType, iFdbkFx* fx, bool interpolation, float limit);
    virtual ~Delay();
    Delay(const Delay&) = delete;
    Delay& operator=(const Delay&) = delete;

    virtual void reset();
    // out may be in.
    virtual void process(float* out, const float* in, unsigned frames);
    // A block of silent input while the line (and its feedback effect) holds only zeros: the
    // settings move as process would move them, and nothing is written. process would give
    // zeros, and where a line of zeros is written makes no difference.
    void idle(unsigned frames);

    void setDelayTimeBySecond(float seconds, float sampleRate);
    void setDelayTimeBySamples(unsigned samples);
    void setFeedBack(float feedback);
    void setFeedForward(float feedForward);
    void setSettings_bySample(unsigned samples, float feedback, float feedForward);

    const Implementation& implementation() const { return *impl_; }

private:
    std::unique_ptr<Implementation> impl_;
};

} // namespace Lumora::DSPv2
