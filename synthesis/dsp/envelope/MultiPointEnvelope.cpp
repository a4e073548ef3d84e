#include "synthesis/dsp/envelope/MultiPointEnvelope.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/common/SpanLevels.h"
#include "synthesis/dsp/envelope/MultiPointEnvelopeImpl.h"

#include <algorithm>

namespace Lumora::DSP::ENV {

namespace {

// Room for the control blocks of a 4096-frame call at 128 frames each, so that ordinary render
// calls never grow the record.
constexpr std::size_t kReservedBlocks = 64;

// Seconds times rate as a whole number of samples: truncated, negative or NaN giving 0, and
// limited to what the counter holds.
std::uint32_t toSamples(float seconds, float sampleRate)
{
    const double samples = static_cast<double>(seconds) * static_cast<double>(sampleRate);
    if (!(samples > 0.0))
        return 0;
    if (samples >= 4294967295.0)
        return 4294967295u;
    return static_cast<std::uint32_t>(samples);
}

} // namespace

MultiPointEnvelope::MultiPointEnvelope(unsigned pointCount, unsigned sustainIndex)
    : points_(std::max(pointCount, 2u))
    , impl_(std::make_unique<Impl>(pointCount, sustainIndex))
{
    blocks_.reserve(kReservedBlocks);
}

MultiPointEnvelope::~MultiPointEnvelope() = default;

void MultiPointEnvelope::setEnvPoint(unsigned index, float seconds, float level)
{
    const unsigned last = pointCount() - 1;
    if (level != level) // NaN
        level = 0.0f;
    if (index > last)
        return;
    Point p{};
    if (index > impl_->sustainIndex() && index == last)
        p = {seconds, 0.0f};
    else if (index != 0)
        p = {seconds, level};
    if (p.seconds != points_[index].seconds || p.level != points_[index].level) {
        points_[index] = p;
        timesStale_ = true;
    }
}

void MultiPointEnvelope::gateOn(VoicingType type)
{
    impl_->gateOn(type);
}

void MultiPointEnvelope::gateOff()
{
    impl_->gateOff();
}

void MultiPointEnvelope::kill()
{
    impl_->kill();
}

bool MultiPointEnvelope::isActive() const
{
    return impl_->status() != Impl::Idle;
}

// A voice sets its points every block, mostly unchanged; only a change is converted to samples.
void MultiPointEnvelope::convertTimes(float sampleRate)
{
    if (!timesStale_ && sampleRate == convertedRate_)
        return;
    timesStale_ = false;
    convertedRate_ = sampleRate;
    for (unsigned i = 1; i < pointCount(); ++i)
        impl_->setEnvPoint(i, toSamples(points_[i].seconds, sampleRate), points_[i].level);
}

std::pair<float, float> MultiPointEnvelope::processControlBlock(float* out, unsigned frames, float sampleRate)
{
    convertTimes(sampleRate);
    const auto levels = impl_->process(out, frames);
    if (out != nullptr && squareOutput_)
        Platform::Vdsp::square(out, out, frames);
    blocks_.push_back(levels);
    return levels;
}

std::pair<float, float> MultiPointEnvelope::process(float* out, unsigned frames, float sampleRate)
{
    ScopedFlushDenormals noDenormals;
    blocks_.clear();
    totalFrames_ = frames;
    blockLength_ = frames;
    return processControlBlock(out, frames, sampleRate);
}

// Sustaining, a block is flat at the sustain level from its first sample (Impl::process), and
// rendered it would be that level squared in square output mode, the product output() takes. With
// the times converted for this rate already, the sustain is all that process() would run: a voice
// held through short blocks asks for it block after block.
bool MultiPointEnvelope::sustainBlock(unsigned frames, float sampleRate, float& level)
{
    if (frames == 0 || impl_->status() != Impl::Sustaining)
        return false;
    if (timesStale_ || !(sampleRate == convertedRate_)) {
        level = output(process(nullptr, frames, sampleRate).second);
        return true;
    }
    totalFrames_ = frames;
    blockLength_ = frames;
    const auto levels = impl_->sustain(frames);
    // The record of one control block: most often the last call's, overwritten.
    if (blocks_.size() == 1) {
        blocks_.front() = levels;
    } else {
        blocks_.clear();
        blocks_.push_back(levels);
    }
    level = output(levels.second);
    return true;
}

void MultiPointEnvelope::blockProcess(float* out, unsigned blockLength, unsigned frames, float sampleRate)
{
    ScopedFlushDenormals noDenormals;
    blocks_.clear();
    totalFrames_ = frames;
    if (blockLength == 0 || blockLength >= frames) {
        blockLength_ = frames;
        processControlBlock(out, frames, sampleRate);
        return;
    }
    blockLength_ = blockLength;
    for (unsigned offset = 0; offset < frames; offset += blockLength) {
        const unsigned n = std::min(blockLength, frames - offset);
        processControlBlock(out != nullptr ? out + offset : nullptr, n, sampleRate);
    }
}

float MultiPointEnvelope::level() const
{
    return output(blocks_.empty() ? impl_->currentLevel() : blocks_.front().first);
}

float MultiPointEnvelope::level(unsigned frame) const
{
    if (blocks_.empty())
        return output(impl_->currentLevel());
    return output(interpolateSpans(blocks_, blockLength_, totalFrames_, frame));
}

float MultiPointEnvelope::currentLevel() const
{
    return output(impl_->currentLevel());
}

std::pair<float, float> MultiPointEnvelope::slope() const
{
    if (blocks_.empty()) {
        const float current = output(impl_->currentLevel());
        return {current, current};
    }
    return {output(blocks_.front().first), output(blocks_.back().second)};
}

} // namespace Lumora::DSP::ENV
