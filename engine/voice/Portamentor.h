#pragma once

namespace Lumora {

// Glide state of one voice: a one-pole approach of the voice's frequency towards the note's
// target, advanced once per block.
class Portamentor {
public:
    Portamentor() = default;
    virtual ~Portamentor();

    // c = 1 - exp(-2 pi p^2), limited to [0, 1]; 0 jumps to the target at once, and at p = 1
    // each step keeps 99.8 % of the remaining distance.
    static float coefficientFor(float amount);

    // Starts a glide with coefficient c from the given frequency.
    void start(float coefficient, float fromHz);
    // No glide: the next step lands on its target.
    void disable() { coefficient_ = 0.0f; }

    // One step: f := target (1 - c) + c f. Returns the new frequency.
    float advance(float targetHz) {
        frequency_ = targetHz * (1.0f - coefficient_) + coefficient_ * frequency_;
        return frequency_;
    }

    float coefficient() const { return coefficient_; }
    float frequency() const { return frequency_; }

private:
    float coefficient_ = 0.0f;
    float frequency_ = 0.0f; // Hz
};

} // namespace Lumora
