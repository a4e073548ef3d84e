#pragma once

#include "synthesis/dsp/delay/DelayMath.h"
#include "synthesis/dsp/delay/SampleSizeType.h"

#include <cstdint>
#include <vector>

namespace Lumora::DSP {

// A mono delay line with feedback. The delay time is a fraction of the buffer, in [1/size, 1];
// with interpolation on, a changed time glides linearly across the next block, and the first
// block after construction or reset() starts at its time without a glide.
class SingleDelay {
public:
    SingleDelay(SAMPLE_SIZE_TYPE sizeType, bool interpolation, float limit);
    virtual ~SingleDelay();
    SingleDelay(const SingleDelay&) = delete;
    SingleDelay& operator=(const SingleDelay&) = delete;

    // limit: the largest weight the later of two neighbouring samples may get.
    virtual void setInterpolation(bool on, float limit);
    virtual bool interpolation() const { return interpolation_; }
    virtual std::uint32_t bufferSize() const { return size_; }
    virtual float delayTime() const { return target_; }
    // Inline: a swept line is set every block.
    virtual void setDelayTime(float fraction) { target_ = DelayMath::limit(fraction, minFraction(), 1.0f); }
    virtual float feedback() const { return feedback_; }
    virtual void setFeedback(float feedback);
    virtual void reset();
    // Takes over another line's samples, write index and glide (lines of equal size).
    virtual void copyBuffer(const SingleDelay* other);
    // out may be in.
    virtual void process(float* out, const float* in, unsigned frames);
    // Writes a block of input into the line as process would with no feedback, without reading
    // it: a line whose echoes are not heard keeps its recent input for when they are again. The
    // time glide ends on its target, as at the end of a processed block.
    virtual void feed(const float* in, unsigned frames);

    void setDelayTimeBySecond(float seconds, float sampleRate);
    float currentDelayTime() const { return current_; }

protected:
    float minFraction() const { return 1.0f / static_cast<float>(size_); }
    // A NaN or infinity that got into the loop would circulate for good: when one reaches the
    // output, the line starts again from silence and the block is muted. Answers true then.
    bool recoverFromNonFinite(float* out, unsigned frames);

    // Runs one block: for every frame, reads the delayed sample y, then writes what
    // frame(i, y, writeIndex) answers at the write index. The write index handed over is the
    // unmasked position of the frame, for extra reads before the write.
    template <class Frame>
    void runBlock(unsigned frames, Frame&& frame);

    bool interpolation_;
    float limit_;
    std::uint32_t size_;
    std::uint32_t mask_;
    std::vector<float> buffer_;
    float target_ = 0.5f;
    float current_ = -1.0f;
    float feedback_ = 0.5f;
    std::uint32_t write_ = 0;
    // Samples written since the line was last cleared, at most its size. Writing starts at index 0
    // after a clear, so only [0, written_) can hold anything: reset() clears that much rather than
    // the whole line, and nothing for a line cleared before (a voice's kill and its next note start
    // both reset its line; a short note's line is mostly silence).
    std::uint32_t written_ = 0;

    void noteWritten(unsigned frames)
    {
        written_ = frames >= size_ - written_ ? size_ : written_ + frames;
    }
};

template <class Frame>
void SingleDelay::runBlock(unsigned frames, Frame&& frame)
{
    if (frames == 0)
        return;
    float* buffer = buffer_.data();
    std::uint32_t w = write_;
    if (interpolation_) {
        const float size = static_cast<float>(size_);
        float current = current_ < 0.0f ? target_ : DelayMath::limit(current_, minFraction(), 1.0f);
        const float step = (target_ - current) / static_cast<float>(frames);
        for (unsigned i = 0; i < frames; ++i, ++w) {
            const float y = DelayMath::readInterpolated(buffer, mask_, w, current * size, limit_);
            buffer[w & mask_] = frame(i, y, w);
            current += step;
        }
        current_ = target_;
    } else {
        // target_ lies in [1/size, 1], so the delay is 1 .. size samples.
        const auto delay = static_cast<std::uint32_t>(target_ * static_cast<float>(size_));
        for (unsigned i = 0; i < frames; ++i, ++w) {
            const float y = buffer[(w - delay) & mask_];
            buffer[w & mask_] = frame(i, y, w);
        }
    }
    noteWritten(frames);
    write_ = w & mask_;
}

} // namespace Lumora::DSP
