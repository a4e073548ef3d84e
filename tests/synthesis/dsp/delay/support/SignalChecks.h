#pragma once

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <vector>

// Measurements shared by the delay, reverb and LFO tests.
namespace SignalChecks {

// 0, or a finite number of normal magnitude: no NaN, no infinity, no denormal.
inline bool isClean(float x)
{
    return std::isfinite(x) && (x == 0.0f || std::fabs(x) >= FLT_MIN);
}

inline std::size_t firstUnclean(const float* x, std::size_t n)
{
    for (std::size_t i = 0; i < n; ++i)
        if (!isClean(x[i]))
            return i;
    return n;
}

inline float peak(const float* x, std::size_t n)
{
    float p = 0.0f;
    for (std::size_t i = 0; i < n; ++i)
        p = std::fmax(p, std::fabs(x[i]));
    return p;
}

inline double energy(const float* x, std::size_t n)
{
    double e = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        e += static_cast<double>(x[i]) * x[i];
    return e;
}

inline float largestStep(const std::vector<float>& x)
{
    float s = 0.0f;
    for (std::size_t i = 1; i < x.size(); ++i)
        s = std::fmax(s, std::fabs(x[i] - x[i - 1]));
    return s;
}

// Deterministic white noise in [-1, 1).
class Noise {
public:
    float next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(static_cast<int>(state_)) * (1.0f / 2147483648.0f);
    }

private:
    unsigned state_ = 12345u;
};

} // namespace SignalChecks
