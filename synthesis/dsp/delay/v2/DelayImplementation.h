#pragma once

#include "synthesis/dsp/delay/v2/Delay.h"

#include <vector>

namespace Lumora::DSPv2 {

class Delay::Implementation {
public:
    Implementation(SAMPLE_SIZE_TYPE sizeType, iFdbkFx* fx, bool interpolation, float limit);
    virtual ~Implementation();

    void reset();
    void process(float* out, const float* in, unsigned frames);
    // See Delay::idle.
    void idle(unsigned frames);

    void setFraction(float fraction);
    void setFeedBack(float feedback);
    void setFeedForward(float feedForward);

    std::uint32_t size() const { return size_; }
    float targetFraction() const { return target_; }
    float currentFraction() const { return current_; }
    float delaySamples() const { return target_ * static_cast<float>(size_); }
    float feedBack() const { return feedback_; }
    float feedForward() const { return feedForward_; }

private:
    template <class Read>
    void run(float* out, const float* in, unsigned frames, Read&& read);
    template <bool kFx, class Read>
    void runWith(float* out, const float* in, unsigned frames, Read& read);

    std::uint32_t size_;
    std::uint32_t mask_;
    std::vector<float> buffer_;
    bool interpolation_;
    float limit_;
    std::uint32_t write_ = 0;
    // Samples written since the line was last cleared, at most its size: writing starts at index 0
    // after a clear, so reset() clears [0, written_) only (nothing for a line that is still clear,
    // as a resting effect's is when it wakes).
    std::uint32_t written_ = 0;
    float target_ = 0.5f;
    float current_ = -1.0f;
    float feedback_ = 0.0f;
    float feedForward_ = 0.0f;
    iFdbkFx* fx_;
};

} // namespace Lumora::DSPv2
