#include "synthesis/dsp/delay/StereoDelay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSP {

StereoDelay::StereoDelay(SAMPLE_SIZE_TYPE sizeType)
    : size_(sampleSizeOf(sizeType))
    , mask_(size_ - 1)
{
    left_.buffer.assign(size_, 0.0f);
    right_.buffer.assign(size_, 0.0f);
}

StereoDelay::~StereoDelay() = default;

void StereoDelay::reset()
{
    for (Channel* c : {&left_, &right_}) {
        std::fill(c->buffer.begin(), c->buffer.end(), 0.0f);
        c->current = -1.0f;
    }
    write_ = 0;
}

void StereoDelay::settleGlides()
{
    if (!interpolation_)
        return;
    left_.current = left_.target;
    right_.current = right_.target;
}

void StereoDelay::setFeedback(int channel, float feedback)
{
    ch(channel).feedback = DelayMath::limit(feedback, -1.0f, 1.0f);
    gainsFresh_ = false;
}

void StereoDelay::setXfeedbackRatio(int channel, float ratio)
{
    ch(channel).ratio = DelayMath::limit(ratio, -1.0f, 1.0f);
    gainsFresh_ = false;
}

// self = fb cos^2(x pi/2), written as fb sin^2((1 - x) pi/2); cross = fb sin^2(x pi/2). The
// two add up to fb for each channel, so with |fb| below 1 the loop is stable.
StereoDelay::Gains StereoDelay::gainsOf(const Channel& c)
{
    constexpr float halfPi = 3.1415927f * 0.5f;
    const float fb = DelayMath::loopGain(c.feedback);
    const float x = std::fabs(c.ratio);
    const float s = std::sin((1.0f - x) * halfPi);
    const float k = std::sin(x * halfPi);
    return {fb * s * s, fb * k * k};
}

void StereoDelay::recoverFromNonFinite(float* outL, float* outR, unsigned frames)
{
    if (DelayMath::allFinite(outL, frames) && DelayMath::allFinite(outR, frames))
        return;
    reset();
    std::fill(outL, outL + frames, 0.0f);
    std::fill(outR, outR + frames, 0.0f);
}

void StereoDelay::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames)
{
    ScopedFlushDenormals noDenormals;
    runBlock(outL, outR, inL, inR, frames, [](float&, float&) {});
    recoverFromNonFinite(outL, outR, frames);
}

} // namespace Lumora::DSP
