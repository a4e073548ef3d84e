#pragma once

#include "synthesis/dsp/delay/v2/MultiTapDelay.h"

#include <cstdint>
#include <vector>

namespace Lumora::DSPv2 {

class MultiTapDelay::Implementation {
public:
    struct Glide {
        float target;
        float current;
        float step = 0.0f;
    };
    struct Tap {
        Glide time{0.5f, 0.5f};
        Glide feedback{0.0f, 0.0f};
        Glide level{1.0f, 1.0f};
        std::vector<float> scratch;
    };

    Implementation(SAMPLE_SIZE_TYPE sizeType, unsigned tapCount);
    virtual ~Implementation();

    void reset();
    // tapOutputs holds one pointer per tap (null entries skipped).
    void process(float* const* tapOutputs, const float* in, unsigned frames);
    // Renders the taps into their scratch buffers and sums them into out.
    void processSum(float* out, const float* in, unsigned frames);
    // See MultiTapDelay::idle.
    void idle(unsigned frames);
    void setTap(unsigned tap, unsigned samples, float feedback, float level);
    // A NaN or infinity that reached a tap output restarts the delay from silence and mutes the
    // block's outputs.
    void recoverFromNonFinite(float* const* tapOutputs, unsigned frames);

    std::uint32_t size() const { return size_; }
    const std::vector<Tap>& taps() const { return taps_; }

private:
    static void startGlide(Glide& g, unsigned frames);
    static void advance(Glide& g);
    static void settle(Glide& g);
    float feedbackScale() const;

    std::uint32_t size_;
    std::uint32_t mask_;
    std::vector<float> buffer_;
    std::uint32_t write_ = 0;
    // Samples written since the line was last cleared, at most its size: writing starts at index 0
    // after a clear, so reset() clears [0, written_) only (nothing for a line that is still clear,
    // as a resting effect's is when it wakes).
    std::uint32_t written_ = 0;
    std::vector<Tap> taps_;
    std::vector<float*> pointers_;
};

} // namespace Lumora::DSPv2
