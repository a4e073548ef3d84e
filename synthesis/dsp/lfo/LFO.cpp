#include "synthesis/dsp/lfo/LFO.h"

#include "synthesis/dsp/common/SpanLevels.h"
#include "synthesis/dsp/lfo/RandomLfoWaveGen.h"
#include "synthesis/dsp/lfo/RectangleLfoWaveGen.h"
#include "synthesis/dsp/lfo/SawTriSquLfoWaveGen.h"
#include "synthesis/dsp/lfo/SineLfoWaveGen.h"
#include "synthesis/dsp/lfo/SpikeSawLfoWaveGen.h"
#include "synthesis/dsp/lfo/StepSeqLfoWaveGen.h"
#include "synthesis/dsp/lfo/TriangleSawLfoWaveGen.h"
#include "synthesis/dsp/lfo/UsawTriDsawPlsLfoWaveGen.h"
#include "synthesis/dsp/lfo/UsawTriDsawSquRndLfoWaveGen.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace Lumora::DSP {

namespace {

// Room for the spans of a 4096-sample call at 128 samples each.
constexpr std::size_t kReservedSpans = 64;
// The running cycle count handed to the generators wraps here, where a float still counts
// every whole number exactly.
constexpr double kCycleWrap = 1048576.0;

float finiteOr(float v, float fallback)
{
    return std::isfinite(v) ? v : fallback;
}

} // namespace

LFO::LFO(WAVEFORM_TYPE type)
{
    generators_.push_back(std::make_unique<SineLfoWaveGen>());
    generators_.push_back(std::make_unique<TriangleSawLfoWaveGen>());
    generators_.push_back(std::make_unique<SpikeSawLfoWaveGen>());
    generators_.push_back(std::make_unique<RectangleLfoWaveGen>());
    generators_.push_back(std::make_unique<RandomLfoWaveGen>());
    generators_.push_back(std::make_unique<StepSeqLfoWaveGen>());
    generators_.push_back(std::make_unique<SawTriSquLfoWaveGen>());
    generators_.push_back(std::make_unique<UsawTriDsawPlsLfoWaveGen>());
    generators_.push_back(std::make_unique<UsawTriDsawSquRndLfoWaveGen>());
    current_ = getWaveGenelator(type);
    if (current_ == nullptr) // an unknown type plays the sine rather than nothing
        current_ = generators_[Sine].get();
    pure_ = current_->pure();
    levels_.reserve(kReservedSpans);
}

LFO::~LFO() = default;

LFO::WaveGenelator* LFO::getWaveGenelator(WAVEFORM_TYPE type) const
{
    for (const auto& g : generators_)
        if (g->type() == type)
            return g.get();
    return nullptr;
}

// The phase advances by the samples elapsed since the last call. A span leaves the phase at its
// own start; the next call moves it on by the elapsed samples.
void LFO::movePhase(float sampleRate, std::uint64_t sampleTime)
{
    if (wavelength_ != incrementWavelength_ || sampleRate != incrementSampleRate_) {
        const double samplesPerCycle = static_cast<double>(wavelength_) * static_cast<double>(sampleRate);
        // A zero, negative or NaN wavelength or sample rate holds the LFO where it stands.
        increment_ = samplesPerCycle > 0.0 && std::isfinite(samplesPerCycle) ? 1.0 / samplesPerCycle : 0.0;
        incrementWavelength_ = wavelength_;
        incrementSampleRate_ = sampleRate;
    }
    // A clock that went back (a reset) restarts the phase.
    double p = sampleTime >= lastSampleTime_
        ? static_cast<double>(sampleTime - lastSampleTime_) * increment_ + phase_
        : 0.0;
    lastSampleTime_ = sampleTime;
    // Most calls stay within the cycle: p lies in [0, 1) (never -0, the increment and phase being
    // at least +0), so its whole part is 0, p less it is p, and the cycle count stays.
    if (p < 1.0) {
        phase_ = static_cast<float>(p);
        if (phase_ >= 1.0f)
            phase_ = 0.0f;
        return;
    }
    if (!std::isfinite(p))
        p = 0.0;
    const double whole = std::trunc(p);
    phase_ = static_cast<float>(p - whole);
    if (phase_ >= 1.0f)
        phase_ = 0.0f;
    // The count already lies in [0, kCycleWrap), where fmod by the wrap returns it unchanged: only a
    // block that completes a cycle needs the remainder (a double fmod costs as much as the rest).
    if (whole != 0.0)
        cycleCount_ = std::fmod(cycleCount_ + whole, kCycleWrap);
    cycle_ = static_cast<float>(cycleCount_);
}

inline LFO::Step LFO::advancePhase(float sampleRate, std::uint64_t sampleTime)
{
    movePhase(sampleRate, sampleTime);
    return {shiftedPhase(), static_cast<float>(increment_)};
}

// The generators take a phase in [0, 1): a negative shift counts back from the cycle's end.
// Without a shift (of either sign) that is the phase itself, which lies in [0, 1) and is never -0,
// so the sum, its remainder and the rounding back to a float all give it unchanged.
inline float LFO::shiftedPhase() const
{
    if (phaseShift_ == 0.0f)
        return phase_;
    const double v = static_cast<double>(finiteOr(phaseShift_, 0.0f)) + phase_;
    double phi = v - std::trunc(v);
    if (phi < 0.0)
        phi += 1.0;
    const float phase = static_cast<float>(phi);
    return phase >= 1.0f ? 0.0f : phase;
}

inline float LFO::clampedShape(float shape)
{
    return std::clamp(finiteOr(shape, 0.0f), 0.0f, 1.0f);
}

std::pair<float, float> LFO::_process(float* out, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime)
{
    const Step step = advancePhase(sampleRate, sampleTime);
    return current_->process(out, n, clampedShape(shape), cycle_, step.phase, step.increment);
}

std::pair<float, float> LFO::process(float* out, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime)
{
    pendingStart_.pending = false;
    levels_.clear();
    total_ = n;
    span_ = n;
    levels_.push_back(_process(out, n, sampleRate, shape, sampleTime));
    return levels_.back();
}

void LFO::blockProcess(float* out, unsigned blockSize, unsigned n, float sampleRate, float shape,
                       std::uint64_t sampleTime)
{
    pendingStart_.pending = false;
    levels_.clear();
    total_ = n;
    if (blockSize == 0 || blockSize >= n) {
        span_ = n;
        levels_.push_back(_process(out, n, sampleRate, shape, sampleTime));
        return;
    }
    span_ = blockSize;
    for (unsigned offset = 0; offset < n; offset += blockSize) {
        const unsigned length = std::min(blockSize, n - offset);
        levels_.push_back(_process(out != nullptr ? out + offset : nullptr, length, sampleRate, shape,
                                   sampleTime + offset));
    }
}

// The phase moves span by span exactly as in blockProcess (it rounds at every span), but of the
// levels only the last is worked out: the generator is pure, so the levels skipped change nothing.
float LFO::advance(unsigned blockSize, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime)
{
    if (n == 0 || !pure_) {
        blockProcess(nullptr, blockSize, n, sampleRate, shape, sampleTime);
        return slope().second;
    }
    const unsigned span = blockSize == 0 || blockSize >= n ? n : blockSize;
    unsigned offset = 0;
    for (; offset + span < n; offset += span)
        advancePhase(sampleRate, sampleTime + offset);
    const Step step = advancePhase(sampleRate, sampleTime + offset);
    const float end = current_->endLevel(n - offset, clampedShape(shape), cycle_, step.phase, step.increment);
    pendingStart_.pending = false;
    levels_.clear();
    levels_.push_back({end, end});
    total_ = n;
    span_ = n;
    return end;
}

float LFO::advanceToStart(unsigned n, float sampleRate, float shape, std::uint64_t sampleTime)
{
    if (n == 0 || !pure_)
        return process(nullptr, n, sampleRate, shape, sampleTime).first;
    return startAt(advancePhase(sampleRate, sampleTime), n, shape);
}

float LFO::startAt(const Step& step, unsigned n, float shape)
{
    const float start = current_->startLevel(clampedShape(shape), cycle_, step.phase);
    pendingStart_.pending = false;
    levels_.clear();
    levels_.push_back({start, start});
    total_ = n;
    span_ = n;
    return start;
}

// movePhase depends on nothing but the clockwork, the sample rate and the sample time, so an LFO
// whose clockwork matches the first's ends where the first did, bit for bit.
void LFO::advanceToStart(std::span<LFO> lfos, unsigned n, float sampleRate, float shape, std::uint64_t sampleTime)
{
    if (lfos.empty())
        return;
    LFO& lead = lfos.front();
    const Clockwork before = lead.clockwork();
    lead.advanceToStart(n, sampleRate, shape, sampleTime);
    for (LFO& lfo : lfos.subspan(1)) {
        if (n == 0 || !lfo.pure_ || lfo.clockwork() != before) {
            lfo.advanceToStart(n, sampleRate, shape, sampleTime);
            continue;
        }
        lfo.followPhase(lead);
        lfo.startAt({lfo.shiftedPhase(), static_cast<float>(lfo.increment_)}, n, shape);
    }
}

LFO::Clockwork LFO::clockwork() const
{
    return {std::bit_cast<std::uint32_t>(wavelength_), std::bit_cast<std::uint32_t>(phase_),
            std::bit_cast<std::uint64_t>(cycleCount_), lastSampleTime_};
}

void LFO::followPhase(const LFO& lead)
{
    incrementWavelength_ = lead.incrementWavelength_;
    incrementSampleRate_ = lead.incrementSampleRate_;
    increment_ = lead.increment_;
    phase_ = lead.phase_;
    cycleCount_ = lead.cycleCount_;
    cycle_ = lead.cycle_;
    lastSampleTime_ = lead.lastSampleTime_;
}

float LFO::processStartOnRead(unsigned n, float sampleRate, float shape, std::uint64_t sampleTime)
{
    if (n == 0 || !pure_)
        return process(nullptr, n, sampleRate, shape, sampleTime).second;
    const Step step = advancePhase(sampleRate, sampleTime);
    const float s = clampedShape(shape);
    const float end = current_->endLevel(n, s, cycle_, step.phase, step.increment);
    // The record stays empty until the start is read: the readers' test for an empty record
    // finds the pending start at no cost to an ordinary read.
    levels_.clear();
    total_ = n;
    span_ = n;
    pendingStart_ = {s, cycle_, step.phase, end, true};
    return end;
}

// The record has room for a span from construction on, so this allocates nothing.
void LFO::workOutStart() const
{
    pendingStart_.pending = false;
    const float start = current_->startLevel(pendingStart_.shape, pendingStart_.cycle, pendingStart_.phase);
    levels_.push_back({start, pendingStart_.end});
}

void LFO::reserve(unsigned frames, unsigned blockSize)
{
    const std::size_t spans = blockSize == 0 ? 1 : (std::size_t(frames) + blockSize - 1) / blockSize;
    levels_.reserve(spans);
}

float LFO::level() const
{
    if (levels_.empty())
        return emptyLevel(0);
    return levels_.front().first;
}

float LFO::level(unsigned i) const
{
    if (levels_.empty())
        return emptyLevel(i);
    return interpolateSpans(levels_, span_, total_, i);
}

std::pair<float, float> LFO::slope() const
{
    if (levels_.empty())
        return pendingStart_.pending ? (workOutStart(), slope()) : std::pair<float, float>{0.0f, 0.0f};
    return {levels_.front().first, levels_.back().second};
}

// An empty record holds nothing yet (0) or a block whose start waits for its first reader.
float LFO::emptyLevel(unsigned i) const
{
    if (!pendingStart_.pending)
        return 0.0f;
    workOutStart();
    return level(i);
}

} // namespace Lumora::DSP
