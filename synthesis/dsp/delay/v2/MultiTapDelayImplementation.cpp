#include "synthesis/dsp/delay/v2/MultiTapDelayImplementation.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/delay/DelayMath.h"

#include <algorithm>
#include <cmath>

namespace Lumora::DSPv2 {

using DSP::DelayMath::isNonZeroDenormal;
using DSP::DelayMath::limit;

namespace {

// Scratch room for the blocks an engine renders, so that ordinary blocks never grow it.
constexpr std::size_t kInitialScratch = 4096;

} // namespace

MultiTapDelay::Implementation::Implementation(SAMPLE_SIZE_TYPE sizeType, unsigned tapCount)
    : size_(sampleSizeOf(sizeType))
    , mask_(size_ - 1)
    , buffer_(size_, 0.0f)
    , taps_(tapCount)
    , pointers_(tapCount, nullptr)
{
    for (Tap& tap : taps_)
        tap.scratch.assign(kInitialScratch, 0.0f);
}

MultiTapDelay::Implementation::~Implementation() = default;

void MultiTapDelay::Implementation::settle(Glide& g)
{
    if (isNonZeroDenormal(g.target))
        g.target = 0.0f;
    g.current = g.target;
    g.step = 0.0f;
}

// The taps' scratch buffers are left as they are: processSum writes every sample it reads.
void MultiTapDelay::Implementation::reset()
{
    std::fill_n(buffer_.begin(), written_, 0.0f);
    written_ = 0;
    write_ = 0;
    for (Tap& tap : taps_) {
        settle(tap.time);
        settle(tap.feedback);
        settle(tap.level);
    }
}

void MultiTapDelay::Implementation::setTap(unsigned tap, unsigned samples, float feedback, float level)
{
    if (tap >= taps_.size())
        return;
    const float size = static_cast<float>(size_);
    taps_[tap].time.target = limit(static_cast<float>(samples) / size, 1.0f / size, 1.0f);
    taps_[tap].feedback.target = limit(feedback, -1.0f, 1.0f);
    taps_[tap].level.target = std::isfinite(level) ? level : 0.0f;
}

void MultiTapDelay::Implementation::startGlide(Glide& g, unsigned frames)
{
    g.step = (g.target - g.current) / static_cast<float>(frames);
    if (isNonZeroDenormal(g.step))
        settle(g);
}

// The glide stops exactly on its target only when the distance left has become a denormal. Inlined:
// it runs three times per tap and sample.
[[gnu::always_inline]] inline void MultiTapDelay::Implementation::advance(Glide& g)
{
    g.current += g.step;
    if (isNonZeroDenormal(g.target - g.current)) {
        g.current = g.target;
        g.step = 0.0f;
    }
}

// The taps' feedback gains add up inside one loop; when they could add up to unity or more the
// whole set is scaled down to stay below it.
float MultiTapDelay::Implementation::feedbackScale() const
{
    float start = 0.0f;
    float end = 0.0f;
    for (const Tap& tap : taps_) {
        start += std::fabs(tap.feedback.current);
        end += std::fabs(tap.feedback.target);
    }
    const float largest = std::max(start, end);
    return largest > DSP::DelayMath::kMaxLoopGain ? DSP::DelayMath::kMaxLoopGain / largest : 1.0f;
}

void MultiTapDelay::Implementation::process(float* const* tapOutputs, const float* in, unsigned frames)
{
    if (frames == 0)
        return;
    for (Tap& tap : taps_) {
        startGlide(tap.time, frames);
        startGlide(tap.feedback, frames);
        startGlide(tap.level, frames);
    }
    const float fbScale = feedbackScale();
    const float size = static_cast<float>(size_);
    float* buffer = buffer_.data();
    std::uint32_t w = write_;
    const std::size_t count = taps_.size();
    for (unsigned i = 0; i < frames; ++i, ++w) {
        float sum = in[i];
        for (std::size_t t = 0; t < count; ++t) {
            Tap& tap = taps_[t];
            advance(tap.time);
            const float y = DSP::DelayMath::readInterpolated(buffer, mask_, w, tap.time.current * size);
            advance(tap.level);
            if (tapOutputs[t] != nullptr)
                tapOutputs[t][i] = y * tap.level.current;
            advance(tap.feedback);
            sum += y * tap.feedback.current * fbScale;
        }
        buffer[w & mask_] = sum;
    }
    written_ = frames >= size_ - written_ ? size_ : written_ + frames;
    write_ = w & mask_;
    recoverFromNonFinite(tapOutputs, frames);
}

// Each glide moves alone, so stepping one through the whole block and then the next leaves each
// where process, which interleaves them sample by sample, does.
void MultiTapDelay::Implementation::idle(unsigned frames)
{
    if (frames == 0)
        return;
    for (Tap& tap : taps_) {
        for (Glide* g : {&tap.time, &tap.feedback, &tap.level}) {
            startGlide(*g, frames);
            DSP::DelayMath::advanceGlide(*g, frames, [](Glide& x) { advance(x); });
        }
    }
}

void MultiTapDelay::Implementation::recoverFromNonFinite(float* const* tapOutputs, unsigned frames)
{
    bool finite = true;
    for (std::size_t t = 0; t < taps_.size() && finite; ++t)
        if (tapOutputs[t] != nullptr)
            finite = DSP::DelayMath::allFinite(tapOutputs[t], frames);
    if (finite)
        return;
    reset();
    for (std::size_t t = 0; t < taps_.size(); ++t)
        if (tapOutputs[t] != nullptr)
            Platform::Vdsp::clear(tapOutputs[t], frames);
}

void MultiTapDelay::Implementation::processSum(float* out, const float* in, unsigned frames)
{
    for (std::size_t t = 0; t < taps_.size(); ++t) {
        if (taps_[t].scratch.size() < frames)
            taps_[t].scratch.resize(frames);
        pointers_[t] = taps_[t].scratch.data();
    }
    process(pointers_.data(), in, frames);
    if (taps_.empty()) {
        Platform::Vdsp::clear(out, frames);
        return;
    }
    Platform::Vdsp::copy(taps_[0].scratch.data(), out, frames);
    for (std::size_t t = 1; t < taps_.size(); ++t)
        Platform::Vdsp::add(out, taps_[t].scratch.data(), out, frames);
}

} // namespace Lumora::DSPv2
