#include "engine/math/Shaper1bp.h"

#include <algorithm>
#include <cmath>

namespace Lumora::Math {

Shaper1bp::Shaper1bp(float yL, float xC, float yC, float yR)
    : yL_(clampUnit(yL)), xC_(clampUnit(xC)), yC_(clampUnit(yC)), yR_(clampUnit(yR)) {}

float Shaper1bp::clampUnit(float v) {
    if (std::isnan(v)) {
        return 1.0f;
    }
    return std::clamp(v, 0.0f, 1.0f);
}

void Shaper1bp::setYL(float v) { yL_ = clampUnit(v); }
void Shaper1bp::setYC(float v) { yC_ = clampUnit(v); }
void Shaper1bp::setYR(float v) { yR_ = clampUnit(v); }

void Shaper1bp::set(Shaper1bp const& other) {
    yL_ = clampUnit(other.yL_);
    xC_ = clampUnit(other.xC_);
    yC_ = clampUnit(other.yC_);
    yR_ = clampUnit(other.yR_);
}

// Left of the breakpoint the line (0, yL)-(xC, yC), from it on the line (xC, yC)-(1, yR).
// xC = 0 never uses the first line; xC = 1 reduces the second to the point (1, yC).
float Shaper1bp::formula(float x) const {
    if (x < xC_) {
        return yL_ + (yC_ - yL_) / xC_ * x;
    }
    if (xC_ < 1.0f) {
        return yC_ + (yR_ - yC_) / (1.0f - xC_) * (x - xC_);
    }
    return yC_;
}

float Shaper1bp::min() const { return std::min({yL_, yC_, yR_}); }
float Shaper1bp::max() const { return std::max({yL_, yC_, yR_}); }

// Each segment is monotonic, so the extremes over [lo, hi] lie at its ends, or at the
// breakpoint when [lo, hi] spans a peak or a valley.
std::pair<float, float> Shaper1bp::minmaxInRange(float a, float b) const {
    if (a == b) {
        float const y = formula(a);
        return {y, y};
    }
    if (yL_ == yC_ && yC_ == yR_) {
        return {yL_, yL_};
    }
    float const lo = std::min(a, b);
    float const hi = std::max(a, b);
    float const fLo = formula(lo);
    float const fHi = formula(hi);
    auto ordered = [&](bool rising) { return rising ? std::pair{fLo, fHi} : std::pair{fHi, fLo}; };
    if (yL_ <= yC_ && yC_ <= yR_) {
        return ordered(true);
    }
    if (yL_ >= yC_ && yC_ >= yR_) {
        return ordered(false);
    }
    if (hi <= xC_) {
        return ordered(yL_ <= yC_);
    }
    if (xC_ <= lo) {
        return ordered(yC_ <= yR_);
    }
    if (fLo <= yC_) {
        return {std::min(fLo, fHi), yC_};
    }
    return {yC_, std::max(fLo, fHi)};
}

} // namespace Lumora::Math
