#include "synthesis/dsp/delay/SingleDelay.h"

#include "synthesis/dsp/common/ScopedFlushDenormals.h"

#include <algorithm>

namespace Lumora::DSP {

SingleDelay::SingleDelay(SAMPLE_SIZE_TYPE sizeType, bool interpolation, float limit)
    : interpolation_(interpolation)
    , limit_(DelayMath::limit(limit, 0.0f, 1.0f))
    , size_(sampleSizeOf(sizeType))
    , mask_(size_ - 1)
    , buffer_(size_, 0.0f)
{
}

SingleDelay::~SingleDelay() = default;

void SingleDelay::setInterpolation(bool on, float limit)
{
    interpolation_ = on;
    limit_ = DelayMath::limit(limit, 0.0f, 1.0f);
}

void SingleDelay::setDelayTimeBySecond(float seconds, float sampleRate)
{
    const float samples = DelayMath::limit(seconds * sampleRate, 1.0f, static_cast<float>(size_));
    setDelayTime(samples / static_cast<float>(size_));
}

void SingleDelay::setFeedback(float feedback)
{
    feedback_ = DelayMath::limit(feedback, -1.0f, 1.0f);
}

void SingleDelay::reset()
{
    std::fill_n(buffer_.begin(), written_, 0.0f);
    written_ = 0;
    write_ = 0;
    current_ = -1.0f;
}

void SingleDelay::copyBuffer(const SingleDelay* other)
{
    if (other == nullptr || other == this || other->size_ != size_)
        return;
    std::copy(other->buffer_.begin(), other->buffer_.end(), buffer_.begin());
    write_ = other->write_;
    written_ = other->written_;
    current_ = other->current_;
}

bool SingleDelay::recoverFromNonFinite(float* out, unsigned frames)
{
    if (DelayMath::allFinite(out, frames))
        return false;
    reset();
    std::fill(out, out + frames, 0.0f);
    return true;
}

void SingleDelay::feed(const float* in, unsigned frames)
{
    float* buffer = buffer_.data();
    // At most two copies: up to the end of the buffer, then from its start.
    std::uint32_t w = write_;
    unsigned done = 0;
    while (done < frames) {
        const unsigned run = std::min<unsigned>(frames - done, size_ - w);
        std::copy_n(in + done, run, buffer + w);
        done += run;
        w = (w + run) & mask_;
    }
    write_ = w;
    noteWritten(frames);
    if (interpolation_ && frames > 0)
        current_ = target_;
}

void SingleDelay::process(float* out, const float* in, unsigned frames)
{
    ScopedFlushDenormals noDenormals;
    const float g = DelayMath::loopGain(feedback_);
    runBlock(frames, [&](unsigned i, float y, std::uint32_t) {
        const float x = in[i];
        out[i] = y;
        return x + g * y;
    });
    recoverFromNonFinite(out, frames);
}

} // namespace Lumora::DSP
