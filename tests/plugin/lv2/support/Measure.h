#pragma once

// Measurements of rendered audio for the LV2 tests.

#include <cmath>
#include <cstddef>
#include <vector>

namespace Lv2Test {

inline double rms(std::vector<float> const& x, std::size_t from = 0, std::size_t to = SIZE_MAX) {
    to = std::min(to, x.size());
    if (from >= to)
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(x[i]) * x[i];
    return std::sqrt(sum / double(to - from));
}

inline bool allFiniteAndNormal(std::vector<float> const& x) {
    for (float s : x) {
        if (!std::isfinite(s) || (s != 0.0f && std::fpclassify(s) == FP_SUBNORMAL))
            return false;
    }
    return true;
}

// The first index whose magnitude exceeds threshold; x.size() when none does.
inline std::size_t firstAbove(std::vector<float> const& x, float threshold, std::size_t from = 0) {
    for (std::size_t i = from; i < x.size(); ++i) {
        if (std::fabs(x[i]) > threshold)
            return i;
    }
    return x.size();
}

// The fundamental of a stretch by normalized autocorrelation: the first lag (between the
// periods of maxHz and minHz) whose correlation is within 10 % of the best.
inline double fundamentalHz(std::vector<float> const& x, std::size_t from, std::size_t length, double rate,
                            double minHz = 40.0, double maxHz = 2000.0) {
    std::size_t const minLag = static_cast<std::size_t>(rate / maxHz);
    std::size_t const maxLag = static_cast<std::size_t>(rate / minHz);
    std::vector<double> r(maxLag + 1, 0.0);
    double best = 0.0;
    for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
        double sum = 0.0, e0 = 0.0, e1 = 0.0;
        for (std::size_t i = from; i < from + length; ++i) {
            sum += double(x[i]) * x[i + lag];
            e0 += double(x[i]) * x[i];
            e1 += double(x[i + lag]) * x[i + lag];
        }
        r[lag] = sum / std::sqrt(e0 * e1 + 1e-30);
        best = std::max(best, r[lag]);
    }
    for (std::size_t lag = minLag + 1; lag < maxLag; ++lag) {
        if (r[lag] >= 0.9 * best && r[lag] >= r[lag - 1] && r[lag] >= r[lag + 1]) {
            // Parabolic interpolation around the peak.
            double const a = r[lag - 1], b = r[lag], c = r[lag + 1];
            double const shift = (a - c) / (2.0 * (a - 2.0 * b + c));
            return rate / (double(lag) + (std::isfinite(shift) ? shift : 0.0));
        }
    }
    return 0.0;
}

} // namespace Lv2Test

namespace Lv2Test {

// The frames where notes start: blocks of `block` frames whose loudness is at least twice that of
// the block two before and more than a third of the loudest, at least `gap` frames apart.
inline std::vector<std::size_t> onsets(std::vector<float> const& x, std::size_t block, std::size_t gap) {
    std::vector<double> levels;
    for (std::size_t i = 0; i + block <= x.size(); i += block)
        levels.push_back(rms(x, i, i + block));
    double loudest = 0.0;
    for (double l : levels)
        loudest = std::max(loudest, l);
    std::vector<std::size_t> found;
    for (std::size_t i = 2; i < levels.size(); ++i) {
        std::size_t const frame = i * block;
        if (levels[i] >= 2.0 * levels[i - 2] && levels[i] > loudest / 3.0 &&
            (found.empty() || frame - found.back() >= gap))
            found.push_back(frame);
    }
    return found;
}

} // namespace Lv2Test
