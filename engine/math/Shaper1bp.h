#pragma once

#include <utility>

namespace Lumora::Math {

// A response curve of two straight segments through (0, yL), (xC, yC) and (1, yR); every
// value is kept in 0..1. The default is the identity line.
class Shaper1bp {
public:
    Shaper1bp() = default;
    Shaper1bp(float yL, float xC, float yC, float yR);
    virtual ~Shaper1bp() = default;
    Shaper1bp(Shaper1bp const&) = default;
    Shaper1bp& operator=(Shaper1bp const&) = default;

    float yL() const { return yL_; }
    float xC() const { return xC_; }
    float yC() const { return yC_; }
    float yR() const { return yR_; }
    void setYL(float v);
    void setYC(float v);
    void setYR(float v);
    void set(Shaper1bp const& other);

    // The curve value at x (0..1).
    float formula(float x) const;
    float min() const;
    float max() const;
    // Smallest and largest curve value for x between a and b (in either order).
    std::pair<float, float> minmaxInRange(float a, float b) const;

    bool operator==(Shaper1bp const& other) const {
        return yL_ == other.yL_ && xC_ == other.xC_ && yC_ == other.yC_ && yR_ == other.yR_;
    }

private:
    // Into 0..1; NaN becomes 1.
    static float clampUnit(float v);

    float yL_ = 0.0f;
    float xC_ = 0.5f;
    float yC_ = 0.5f;
    float yR_ = 1.0f;
};

} // namespace Lumora::Math
