#pragma once

namespace Lumora::DSP {

// A setting that moves to a new target along a straight line of a fixed number of samples instead
// of jumping, so that a knob turned under a held note changes the sound without a step. A new
// target taken mid-glide starts a fresh line from where the glide stands, so a controller that
// moves every block is followed smoothly, at most one glide time behind. The glide counts
// samples, not blocks: it ends at the same sample whatever the block size.
//
// Until the first target, or after snapNext(), the next target is taken at once: a voice that
// starts a note has nothing audible to glide from.
class LinearGlide {
public:
    // Aims at target, over frames samples when it differs from the current target (at once for
    // frames 0). A target that is not finite is ignored.
    void setTarget(float target, unsigned frames)
    {
        // Inline for the usual call, the target already in force (and so finite).
        if (!unset_ && frames != 0 && target == target_)
            return;
        retarget(target, frames);
    }
    // Moves n samples along the line and answers the value reached.
    float advance(unsigned n);
    // The next setTarget jumps.
    void snapNext() { unset_ = true; }

    float value() const { return value_; }
    float target() const { return target_; }
    bool gliding() const { return remaining_ > 0; }
    // Samples left until the target is reached.
    unsigned remaining() const { return remaining_; }

private:
    void retarget(float target, unsigned frames);

    float value_ = 0.0f;
    float target_ = 0.0f;
    float step_ = 0.0f;
    unsigned remaining_ = 0;
    bool unset_ = true;
};

} // namespace Lumora::DSP
