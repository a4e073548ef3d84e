#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace Lumora::DSP {

// The level at sample i of a block rendered as spans of spanLength samples, each recorded as its
// (start, end) levels; the last span holds the rest of the block's total samples. Within a span
// the level runs linearly from start at its first sample to end at its last; a span of one sample
// is its start. Samples beyond the block read the last span. spans must not be empty.
inline float interpolateSpans(const std::vector<std::pair<float, float>>& spans, std::size_t spanLength,
                              std::size_t total, std::size_t i)
{
    const std::size_t last = spans.size() - 1;
    const std::size_t k = spanLength == 0 ? 0 : std::min(i / spanLength, last);
    const std::size_t offset = k * spanLength;
    const std::size_t length = k == last ? (total > offset ? total - offset : 0) : spanLength;
    const auto [start, end] = spans[k];
    if (length <= 1)
        return start;
    const float t = std::min(1.0f, static_cast<float>(i - offset) / static_cast<float>(length - 1));
    return start + (end - start) * t;
}

} // namespace Lumora::DSP
