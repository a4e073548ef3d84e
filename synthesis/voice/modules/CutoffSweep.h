#pragma once

namespace Lumora::Corvane::Module {

// The exponential cutoff sweep (cutoffCurve) of the last position asked for, worked out again only
// for a new position: over a held control span a filter asks for the same one block after block.
class CutoffSweep {
public:
    float operator()(float y)
    {
        if (!known_ || !(y == position_))
            moveTo(y);
        return value_;
    }

private:
    void moveTo(float y);

    float position_ = 0.0f;
    float value_ = 0.0f;
    bool known_ = false;
};

} // namespace Lumora::Corvane::Module
