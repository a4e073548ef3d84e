#include "synthesis/dsp/envelope/MultiPointEnvelopeImpl.h"

#include "platform/vdsp/Vdsp.h"

#include <algorithm>

namespace Lumora::DSP::ENV {

namespace {

// Levels below this are treated as silence, so that squaring never lands in the denormal range
// and NaN (which fails every comparison) becomes 0.
constexpr float kSilence = 1.0e-12f;

float clampLevel(float x)
{
    return x > kSilence ? std::min(x, 1.0f) : 0.0f;
}

float positive(float x)
{
    return x > 0.0f ? x : 0.0f;
}

} // namespace

MultiPointEnvelope::Impl::Impl(unsigned pointCount, unsigned sustainIndex)
    : points_(std::max(pointCount, 2u))
    , sustainIndex_(std::min(std::max(pointCount, 2u) - 2u, sustainIndex))
{
}

MultiPointEnvelope::Impl::~Impl() = default;

bool MultiPointEnvelope::Impl::isLastIndexPastSustain(unsigned index) const
{
    return index > sustainIndex_ && index + 1 == points_.size();
}

void MultiPointEnvelope::Impl::setEnvPoint(unsigned index, std::uint32_t samples, float level)
{
    if (index == 0) {
        points_[0] = {};
    } else if (isLastIndexPastSustain(index)) {
        points_[index] = {samples, 0.0f};
    } else if (index < points_.size()) {
        points_[index] = {samples, level};
    }
}

void MultiPointEnvelope::Impl::changeStatus(STATUS status)
{
    status_ = status;
    position_ = 0;
    switch (status) {
    case Releasing: segment_ = sustainIndex_ + 1; break;
    case Sustaining: segment_ = sustainIndex_; break;
    case Running: segment_ = 1; break;
    case Idle:
        segment_ = 0;
        levelBefore_ = 0.0f;
        current_ = 0.0f;
        break;
    }
}

void MultiPointEnvelope::Impl::gateOn(VoicingType type)
{
    if (type == VoicingType::Legato)
        return;
    changeStatus(Running);
    if (type == VoicingType::NewNote) {
        levelBefore_ = 0.0f;
        current_ = 0.0f;
    }
}

void MultiPointEnvelope::Impl::gateOff()
{
    changeStatus(Releasing);
}

void MultiPointEnvelope::Impl::kill()
{
    changeStatus(Idle);
}

float MultiPointEnvelope::Impl::jumpLevel(unsigned k, float current) const
{
    const float target = points_[k].level;
    return target >= 0.0f ? clampLevel(target) : current;
}

void MultiPointEnvelope::Impl::runIdle(context_t& ctx) const
{
    ctx.run = ctx.remaining;
    ctx.startLevel = 0.0f;
    ctx.endLevel = 0.0f;
    ctx.position += ctx.run;
}

void MultiPointEnvelope::Impl::runSustaining(context_t& ctx) const
{
    ctx.run = ctx.remaining;
    ctx.startLevel = ctx.endLevel = clampLevel(points_[sustainIndex_].level);
    ctx.position += ctx.run;
}

// The attack and decay keep their nominal slope whatever level they start from, so a retriggered
// attack reaches the top early and holds there until the segment's time has passed.
void MultiPointEnvelope::Impl::runRunning(context_t& ctx) const
{
    const unsigned k = ctx.segment;
    if (k == 0 || k > sustainIndex_) {
        // Only reachable with a sustain index of 0: there is nothing to run, so hold.
        ctx.run = 0;
        ctx.statusChanged = true;
        ctx.nextStatus = Sustaining;
        return;
    }
    const std::uint32_t length = points_[k].samples;
    const std::uint32_t left = length > ctx.position ? length - ctx.position : 0;
    const float current = ctx.startLevel;
    if (length == 0) {
        ctx.run = 0;
        ctx.endLevel = jumpLevel(k, current);
    } else {
        ctx.run = std::min(left, ctx.remaining);
        const float slope = (positive(points_[k].level) - positive(points_[k - 1].level)) / static_cast<float>(length);
        ctx.endLevel = clampLevel(current + slope * static_cast<float>(ctx.run));
    }
    if (ctx.run < left) {
        ctx.position += ctx.run;
    } else if (k == sustainIndex_) {
        ctx.statusChanged = true;
        ctx.nextStatus = Sustaining;
    } else {
        ctx.position = 0;
        ++ctx.segment;
    }
}

// The release always lands on its target when its segment ends, from wherever it started.
void MultiPointEnvelope::Impl::runReleasing(context_t& ctx) const
{
    const unsigned k = ctx.segment;
    if (k == 0 || k >= points_.size()) {
        ctx.run = 0;
        ctx.statusChanged = true;
        ctx.nextStatus = Idle;
        return;
    }
    const std::uint32_t length = points_[k].samples;
    const std::uint32_t left = length > ctx.position ? length - ctx.position : 0;
    const float current = ctx.startLevel;
    if (length == 0) {
        ctx.run = 0;
        ctx.endLevel = jumpLevel(k, current);
    } else if (left == 0) {
        ctx.run = 0;
        ctx.endLevel = current;
    } else {
        ctx.run = std::min(left, ctx.remaining);
        const float slope = (positive(points_[k].level) - current) / static_cast<float>(left);
        ctx.endLevel = clampLevel(current + slope * static_cast<float>(ctx.run));
    }
    if (ctx.run < left) {
        ctx.position += ctx.run;
    } else if (k + 1 >= points_.size()) {
        ctx.statusChanged = true;
        ctx.nextStatus = Idle;
    } else {
        ctx.position = 0;
        ++ctx.segment;
    }
}

void MultiPointEnvelope::Impl::_process(context_t& ctx) const
{
    ctx.startLevel = clampLevel(ctx.endLevel);
    ctx.statusChanged = false;
    switch (ctx.status) {
    case Idle: runIdle(ctx); break;
    case Running: runRunning(ctx); break;
    case Sustaining: runSustaining(ctx); break;
    case Releasing: runReleasing(ctx); break;
    }
}

// The whole call inside one stretch of constant slope, the usual case for a block much shorter than
// the envelope's times: the same sums as one pass of the general loop, without its bookkeeping.
bool MultiPointEnvelope::Impl::processWithinSegment(float* out, unsigned frames)
{
    if (status_ == Sustaining) {
        sustain(frames);
        // Flat at the sustain level from the first sample, as the general loop writes it.
        if (out != nullptr)
            writeRun(out, current_, current_, frames);
        return true;
    }
    if (status_ != Running || segment_ == 0 || segment_ > sustainIndex_)
        return false;
    const std::uint32_t length = points_[segment_].samples;
    if (length == 0 || length <= position_ || length - position_ <= frames)
        return false;
    const float start = clampLevel(current_);
    const float slope =
        (positive(points_[segment_].level) - positive(points_[segment_ - 1].level)) / static_cast<float>(length);
    const float end = clampLevel(start + slope * static_cast<float>(frames));
    position_ += frames;
    if (out != nullptr)
        writeRun(out, start, end, frames);
    levelBefore_ = current_;
    current_ = end;
    return true;
}

std::pair<float, float> MultiPointEnvelope::Impl::sustain(unsigned frames)
{
    position_ += frames;
    levelBefore_ = current_;
    current_ = clampLevel(points_[sustainIndex_].level);
    return {levelBefore_, current_};
}

void MultiPointEnvelope::Impl::writeRun(float* out, float start, float end, unsigned run)
{
    if (run == 1)
        out[0] = end;
    else
        Platform::Vdsp::rampInclusive(start, end, out, run);
}

std::pair<float, float> MultiPointEnvelope::Impl::process(float* out, unsigned frames)
{
    if (frames > 0 && processWithinSegment(out, frames))
        return {levelBefore_, current_};
    context_t ctx;
    ctx.status = status_;
    ctx.segment = segment_;
    ctx.position = position_;
    ctx.remaining = frames;
    ctx.startLevel = ctx.endLevel = current_;
    const float before = current_;

    // Every pass either consumes frames or moves to a later segment or status, and idle and
    // sustaining consume everything, so the loop ends.
    while (ctx.remaining > 0) {
        _process(ctx);
        if (out != nullptr && ctx.run > 0) {
            writeRun(out, ctx.startLevel, ctx.endLevel, ctx.run);
            out += ctx.run;
        }
        ctx.remaining -= ctx.run;
        if (ctx.statusChanged) {
            changeStatus(ctx.nextStatus);
            ctx.status = status_;
            ctx.segment = segment_;
            ctx.position = position_;
            if (status_ == Idle)
                ctx.startLevel = ctx.endLevel = 0.0f;
        }
    }
    segment_ = ctx.segment;
    position_ = ctx.position;
    levelBefore_ = before;
    current_ = ctx.endLevel;
    return {levelBefore_, current_};
}

} // namespace Lumora::DSP::ENV
