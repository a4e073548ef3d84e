#pragma once

namespace Lumora::PerSampleDSP {

// One-pole low pass for one sample at a time, used inside feedback loops:
// y = (1 - a) x + a state. c is the pass value the coefficient was derived from.
class OnePoleLpf {
public:
    virtual ~OnePoleLpf() = default;

    float process(float x)
    {
        float y = (1.0f - a_) * x + a_ * state_;
        // A decaying state would otherwise sink into denormal numbers.
        if (y < 1.0e-30f && y > -1.0e-30f)
            y = 0.0f;
        state_ = y;
        return y;
    }
    void set(float c, float a);
    void reset() { state_ = 0.0f; }

    float c() const { return c_; }
    float a() const { return a_; }
    float state() const { return state_; }

private:
    float c_ = 0.9f;
    float a_ = 0.19f;
    float state_ = 0.0f;
};

} // namespace Lumora::PerSampleDSP
