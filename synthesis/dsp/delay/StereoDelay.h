#pragma once

#include "synthesis/dsp/delay/DelayMath.h"
#include "synthesis/dsp/delay/SampleSizeType.h"

#include <cstdint>
#include <vector>

namespace Lumora::DSP {

// A two-channel delay whose feedback can cross over: with cross ratio x a channel keeps
// fb cos^2(x pi/2) of its echo and sends fb sin^2(x pi/2) to the other channel (ratio 1 is
// ping-pong). Both channels share one write index.
class StereoDelay {
public:
    explicit StereoDelay(SAMPLE_SIZE_TYPE sizeType);
    virtual ~StereoDelay();
    StereoDelay(const StereoDelay&) = delete;
    StereoDelay& operator=(const StereoDelay&) = delete;

    virtual void reset();
    // Outputs may be the inputs.
    virtual void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames);
    // Ends the time glides on their targets, as a processed block would: for a caller that skips
    // blocks of a silent line but keeps setting its times.
    void settleGlides();

    void setInterpolation(bool on) { interpolation_ = on; }
    bool interpolation() const { return interpolation_; }
    // channel below 1 is left, any other right. Inline: a modulated time is set every block.
    void setDelayTimeBySecond(int channel, float seconds, float sampleRate)
    {
        const float size = static_cast<float>(size_);
        const float samples = DelayMath::limit(seconds * sampleRate, 1.0f, size);
        ch(channel).target = DelayMath::limit(samples / size, 1.0f / size, 1.0f);
    }
    void setFeedback(int channel, float feedback);
    void setXfeedbackRatio(int channel, float ratio);

    std::uint32_t bufferSize() const { return size_; }
    float delayTime(int channel) const { return ch(channel).target; }
    float feedback(int channel) const { return ch(channel).feedback; }
    float xfeedbackRatio(int channel) const { return ch(channel).ratio; }

protected:
    struct Channel {
        std::vector<float> buffer;
        float target = 0.5f;
        float current = -1.0f;
        float feedback = 0.5f;
        float ratio = 0.0f;
    };
    struct Gains {
        float self;
        float cross;
    };
    Channel& ch(int channel) { return channel < 1 ? left_ : right_; }
    const Channel& ch(int channel) const { return channel < 1 ? left_ : right_; }
    static Gains gainsOf(const Channel& c);
    // A NaN or infinity that reached the outputs restarts the delay from silence and mutes the block.
    void recoverFromNonFinite(float* outL, float* outR, unsigned frames);

    // Reads both channels' delayed samples for every frame, hands them to shape(yL, yR) (which
    // may filter them in place), outputs them and writes the cross-fed sums.
    template <class Shape>
    void runBlock(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, Shape&& shape);

    bool interpolation_ = false;
    std::uint32_t size_;
    std::uint32_t mask_;
    std::uint32_t write_ = 0;
    Channel left_;
    Channel right_;
    // The loop gains for the channels' feedback and cross ratio, until a setter changes either:
    // their sines would otherwise be paid on every block.
    Gains gainsL_{0.0f, 0.0f};
    Gains gainsR_{0.0f, 0.0f};
    bool gainsFresh_ = false;
};

template <class Shape>
void StereoDelay::runBlock(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                           Shape&& shape)
{
    if (frames == 0)
        return;
    if (!gainsFresh_) {
        gainsL_ = gainsOf(left_);
        gainsR_ = gainsOf(right_);
        gainsFresh_ = true;
    }
    const Gains gl = gainsL_;
    const Gains gr = gainsR_;
    float* bl = left_.buffer.data();
    float* br = right_.buffer.data();
    const float size = static_cast<float>(size_);
    const float minFraction = 1.0f / size;
    std::uint32_t w = write_;

    float curL = 0.0f, curR = 0.0f, stepL = 0.0f, stepR = 0.0f;
    std::uint32_t delayL = 0, delayR = 0;
    if (interpolation_) {
        curL = left_.current < 0.0f ? left_.target : DelayMath::limit(left_.current, minFraction, 1.0f);
        curR = right_.current < 0.0f ? right_.target : DelayMath::limit(right_.current, minFraction, 1.0f);
        stepL = (left_.target - curL) / static_cast<float>(frames);
        stepR = (right_.target - curR) / static_cast<float>(frames);
    } else {
        delayL = static_cast<std::uint32_t>(left_.target * size);
        delayR = static_cast<std::uint32_t>(right_.target * size);
    }
    for (unsigned i = 0; i < frames; ++i, ++w) {
        float yL, yR;
        if (interpolation_) {
            yL = DelayMath::readInterpolated(bl, mask_, w, curL * size);
            yR = DelayMath::readInterpolated(br, mask_, w, curR * size);
            curL += stepL;
            curR += stepR;
        } else {
            yL = bl[(w - delayL) & mask_];
            yR = br[(w - delayR) & mask_];
        }
        shape(yL, yR);
        const float xL = inL[i];
        const float xR = inR[i];
        bl[w & mask_] = xL + gl.self * yL + gr.cross * yR;
        br[w & mask_] = xR + gr.self * yR + gl.cross * yL;
        outL[i] = yL;
        outR[i] = yR;
    }
    if (interpolation_) {
        left_.current = left_.target;
        right_.current = right_.target;
    }
    write_ = w & mask_;
}

} // namespace Lumora::DSP
