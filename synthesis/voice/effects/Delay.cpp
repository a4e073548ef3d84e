#include "synthesis/voice/effects/Delay.h"

#include <cmath>

#include "engine/clock/Clock.h"
#include "platform/vdsp/Vdsp.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

constexpr float kShortestWavelength = 0.02f;
constexpr float kCrossfadeCurve = 1.5f;
constexpr float kDcCutoffHz = 20.0f;
constexpr unsigned kSaturatorType = 1;

// Seconds of one sixteenth note; an unusable tempo counts as 120 beats per minute.
float sixteenthSeconds(double bpm)
{
    if (!(bpm > 0.0) || !std::isfinite(bpm))
        bpm = 120.0;
    return static_cast<float>(60.0 / bpm * 0.25);
}

} // namespace

Delay::Delay() : echo_(SAMPLE_SIZE_131072)
{
    echo_.setInterpolation(true);
}

void Delay::reserve(unsigned maxFrames, float)
{
    for (std::vector<float>* v : {&sentL_, &sentR_, &echoL_, &echoR_, &filteredL_, &filteredR_, &unblocked_})
        grow(*v, maxFrames);
    saturatorL_.reserve(maxFrames);
    saturatorR_.reserve(maxFrames);
    // The filter LFO keeps one level pair per 128-sample span.
    filterLfo_.reserve(maxFrames, kControlBlock);
}

void Delay::reset()
{
    clearSignal();
    crossfaderL_.reset();
    crossfaderR_.reset();
    sendL_.reset();
    sendR_.reset();
    sendGain_.snapNext();
    wet_.snapNext();
    rest_.resting = false;
}

// Everything that carries the signal from block to block, but none of the settings' glides.
void Delay::clearSignal()
{
    echo_.reset();
    highPassL_.reset();
    highPassR_.reset();
    filterL_.reset();
    filterR_.reset();
    saturatorL_.reset();
    saturatorR_.reset();
    dcBlockerL_.reset();
    dcBlockerR_.reset();
    driveSounded_ = false;
    rest_.clear();
}

bool Delay::publishReadbacks(Parameters::Delay& p)
{
    const bool time = timeModRateOutput_.publish(p.timeModLfo.output);
    const bool filter = filterRateOutput_.publish(p.filter.lfo.output);
    return time || filter;
}

void Delay::send(unsigned frames, const float* inL, const float* inR, const Parameters::Delay& p)
{
    float* sentL = grow(sentL_, frames);
    float* sentR = grow(sentR_, frames);
    const float s = unit(p.send);
    sendGain_.setTarget(s * s, glideFrames_);
    forEachGlideValue(sendGain_, frames, [&](unsigned at, unsigned length, float gain) {
        sendL_.process(sentL + at, inL + at, length, gain);
        sendR_.process(sentR + at, inR + at, length, gain);
    });
    highPassL_.setParam(highPassCutoff_, 0.0f);
    highPassR_.setParam(highPassCutoff_, 0.0f);
    highPassL_.process(sentL, sentL, frames);
    highPassR_.process(sentR, sentR, frames);
}

// Both the inputs and the tempo are compared every block (the key takes its inputs even when the
// tempo alone moved). A tempo that is NaN never matches and is worked out every block.
void Delay::followSettings(float sampleRate, const Clock& clock, const Parameters::Delay& p)
{
    const float timeModRate = p.timeModLfo.rate.normalizedValue();
    const float filterRate = p.filter.lfo.rate.normalizedValue();
    const float feedbackSetting = p.feedback.normalizedValue();
    const float crossSetting = p.crossFeedback.normalizedValue();
    const float hiDampSetting = p.hiDamp.normalizedValue();
    const float hpf = p.hpf.normalizedValue();
    const bool settingsMoved =
        settingsKey_.changed({timeModRate, filterRate, p.timeL.normalizedValue(), p.timeR.normalizedValue(),
                              feedbackSetting, crossSetting, hiDampSetting, hpf, sampleRate});
    const double bpm = clock.bpm();
    const bool tempoMoved = !(bpm == bpm_);
    if (!settingsMoved && !tempoMoved)
        return;
    bpm_ = bpm;
    timeLfo_.setWavelength(rateWavelength(clamp01(timeModRate), kShortestWavelength));
    timeLfo_.setPhaseShift(0.0f);
    filterLfo_.setWavelength(rateWavelength(clamp01(filterRate), kShortestWavelength));
    filterLfo_.setPhaseShift(0.0f);

    // 1 .. 8 sixteenths.
    const float sixteenth = sixteenthSeconds(bpm);
    targetTimeL_ = sixteenth * static_cast<float>(choice(p.timeL) + 1);
    targetTimeR_ = sixteenth * static_cast<float>(choice(p.timeR) + 1);

    const float feedback = clamp01(feedbackSetting);
    const float cross = clamp01(crossSetting);
    const float hd = clamp01(hiDampSetting);
    for (int channel : {0, 1}) {
        echo_.setFeedback(channel, feedback);
        echo_.setXfeedbackRatio(channel, cross);
        echo_.setHiDamp(channel, hd * std::fabs(hd) * 0.9f);
    }
    highPassCutoff_ = cutoffCurve(clamp01(hpf) * 0.8f);
    glideFrames_ = glideFrames(sampleRate);
}

void Delay::setEcho(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Delay& p)
{
    // Only the level at the block's end is read: the block's start is not worked out.
    const float level = timeLfo_.advance(0, frames, sampleRate, 0.0f, clock.sampleTime());
    timeModRateOutput_.store(level);
    const float depth = unit(p.timeModDepth);
    const float modulation = (2.0f * level - 1.0f) * depth * depth * 0.01f;

    // Gliding 4 % of the way to the target each block.
    timeL_.process(targetTimeL_);
    timeR_.process(targetTimeR_);
    echo_.setDelayTimeBySecond(0, timeL_.value() + modulation, sampleRate);
    echo_.setDelayTimeBySecond(1, timeR_.value() + modulation, sampleRate);
}

// A block of one span moves the phase once either way, and is one filter segment, which reads the
// LFO at its start only (as does the read-back): its end level is not worked out. Only a longer
// block must go span by span.
float Delay::runFilterLfo(unsigned frames, float sampleRate, const Clock& clock, const Parameters::DelayFilter& f)
{
    if (frames <= kControlBlock)
        filterLfo_.advanceToStart(frames, sampleRate, 0.0f, clock.sampleTime());
    else
        filterLfo_.blockProcess(nullptr, kControlBlock, frames, sampleRate, 0.0f, clock.sampleTime());
    filterRateOutput_.store(filterLfo_.level());
    wet_.setTarget(unit(f.wet), glideFrames_);
    return wet_.target();
}

// Crossfades the echoes with their filtered copies along the wet amount's glide.
void Delay::crossfadeEchoes(unsigned frames)
{
    float* echoL = echoL_.data();
    float* echoR = echoR_.data();
    const float* filteredL = filteredL_.data();
    const float* filteredR = filteredR_.data();
    forEachGlideValue(wet_, frames, [&](unsigned at, unsigned length, float wet) {
        crossfaderL_.process(echoL + at, echoL + at, filteredL + at, length, wet, kCrossfadeCurve);
        crossfaderR_.process(echoR + at, echoR + at, filteredR + at, length, wet, kCrossfadeCurve);
    });
}

// Over silent echoes the crossfades only move: to where the wet amount's glide ends the block.
void Delay::moveCrossfades(unsigned frames)
{
    const float wet = wet_.advance(frames);
    crossfaderL_.process(nullptr, nullptr, nullptr, 0, wet, kCrossfadeCurve);
    crossfaderR_.process(nullptr, nullptr, nullptr, 0, wet, kCrossfadeCurve);
}

// At wet 0 the section is skipped, but only once its crossfades have glided down to the
// unfiltered echo: skipping while the filtered share is still heard would be a step.
bool Delay::filterSectionRuns(const Parameters::DelayFilter& f, float wet) const
{
    const bool fading = crossfaderL_.lastWeightB() > 0.0f || crossfaderR_.lastWeightB() > 0.0f;
    return f.enabled && (wet > 0.0f || fading);
}

void Delay::filterEchoes(unsigned frames, float sampleRate, const Clock& clock, const Parameters::DelayFilter& f,
                         unsigned engineVersion)
{
    const float wet = runFilterLfo(frames, sampleRate, clock, f);
    if (!filterSectionRuns(f, wet)) {
        wet_.advance(frames);
        return;
    }

    const float depth = unit(f.modDepth) * 0.8f;
    const float q = depth * depth;
    const float cutoff = unit(f.freq);
    const float resonance = unit(f.reso);
    float* echoL = echoL_.data();
    float* echoR = echoR_.data();
    float* filteredL = grow(filteredL_, frames);
    float* filteredR = grow(filteredR_, frames);
    forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned length) {
        const float x = clamp01(cutoff * (1.0f - q + q * filterLfo_.level(offset)));
        const float frequency = cutoffCurve(x);
        filterL_.setParam(frequency, resonance);
        filterR_.setParam(frequency, resonance);
        filterL_.process(filteredL + offset, echoL + offset, length);
        filterR_.process(filteredR + offset, echoR + offset, length);
    });

    driveEchoes(frames, sampleRate, unit(f.drive));
    crossfadeEchoes(frames);
}

// The drive stage and its DC blockers run while the drive is above 0. Neither may switch at once:
// the saturator glides from and back to the dry signal, and a DC blocker at 20 Hz alone moves a
// low echo by a good part of itself. So a blocker starts afresh (its first output is its input),
// and where the drive returns to 0 the stage runs one block more, in which the saturator glides to
// dry and the blockers' correction fades out.
void Delay::driveEchoes(unsigned frames, float sampleRate, float drive)
{
    const bool driven = drive > 0.0f;
    const bool wasDriven = driveSounded_;
    driveSounded_ = driven;
    if (!driven && !wasDriven)
        return;
    if (driven && !wasDriven) {
        dcBlockerL_.reset();
        dcBlockerR_.reset();
    }
    float* channels[2] = {filteredL_.data(), filteredR_.data()};
    Saturator* saturators[2] = {&saturatorL_, &saturatorR_};
    DSP::DCBlockingFilter* blockers[2] = {&dcBlockerL_, &dcBlockerR_};
    float* unblocked = grow(unblocked_, frames);
    for (int c = 0; c < 2; ++c) {
        float* x = channels[c];
        saturators[c]->process(x, x, frames, drive, kSaturatorType);
        if (driven) {
            blockers[c]->process(x, x, frames, sampleRate, kDcCutoffHz);
            continue;
        }
        // x + (blocked - x) (1 - i / (frames - 1)): from the blocked signal to the plain one.
        Platform::Vdsp::copy(x, unblocked, frames);
        blockers[c]->process(x, x, frames, sampleRate, kDcCutoffHz);
        Platform::Vdsp::subtract(unblocked, x, unblocked, frames);
        const float step = frames > 1 ? 1.0f / static_cast<float>(frames - 1) : 0.0f;
        Platform::Vdsp::rampMultiplyAdd(unblocked, frames > 1 ? 0.0f : 1.0f, step, x, frames);
    }
}

// A block that sends nothing moves the send's glide, and its gain stages to where it ends.
void Delay::moveSend(float gain, unsigned frames)
{
    sendGain_.setTarget(gain, glideFrames_);
    const float reached = sendGain_.advance(frames);
    if (!sendL_.unset() && !sendR_.unset() && standsAt(sendL_.lastGain(), reached) &&
        standsAt(sendR_.lastGain(), reached))
        return;
    float* sentL = grow(sentL_, frames);
    float* sentR = grow(sentR_, frames);
    sendL_.process(sentL, sentL, 0, reached);
    sendR_.process(sentR, sentR, 0, reached);
}

// A closed send whose ramp has ended puts exact zeros into the line; once nothing is left in it
// (cleared, or its echoes quiet for longer than it can hold one) the echoes stay silence.
bool Delay::canRest(float sendGain) const
{
    const bool closed =
        !(sendGain != 0.0f) && (rest_.cleared || (sendL_.lastGain() == 0.0f && sendR_.lastGain() == 0.0f));
    return rest_.may(closed);
}

// A resting block keeps every setting moving as a running block over a silent line would: the
// send ramps stay at 0, the delay times and both LFOs advance (their levels are shown), the
// filter section's crossfades follow their wet amount. Only the signal is not computed.
void Delay::rest(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Delay& p)
{
    if (!rest_.cleared)
        clearSignal();
    moveSend(0.0f, frames);
    setEcho(frames, sampleRate, clock, p);
    echo_.settleGlides();
    const float wet = runFilterLfo(frames, sampleRate, clock, p.filter);
    if (filterSectionRuns(p.filter, wet))
        moveCrossfades(frames);
    else
        wet_.advance(frames);
}

// The filter section of a block over silent echoes. Only the last segment's design stays in
// force, and the filters' states stay at rest. The saturators' crossfades end on their weights as
// a whole block would.
void Delay::idleFilterSection(unsigned frames, float sampleRate, const Clock& clock, const Parameters::DelayFilter& f,
                              unsigned engineVersion)
{
    const float wet = runFilterLfo(frames, sampleRate, clock, f);
    if (!filterSectionRuns(f, wet)) {
        wet_.advance(frames);
        return;
    }
    unsigned last = 0;
    forEachSegment(frames, engineVersion, [&](unsigned offset, unsigned) { last = offset; });
    const float depth = unit(f.modDepth) * 0.8f;
    const float q = depth * depth;
    const float x = clamp01(unit(f.freq) * (1.0f - q + q * filterLfo_.level(last)));
    const float frequency = cutoffCurve(x);
    filterL_.setParam(frequency, unit(f.reso));
    filterR_.setParam(frequency, unit(f.reso));

    const float drive = unit(f.drive);
    const bool driven = drive > 0.0f;
    const bool wasDriven = driveSounded_;
    driveSounded_ = driven;
    if (driven || wasDriven) {
        saturatorL_.idle(drive);
        saturatorR_.idle(drive);
    }
    moveCrossfades(frames);
}

void Delay::idle(unsigned frames, float sampleRate, const Clock& clock, Parameters::Delay& p, unsigned engineVersion)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate))
        return;
    followSettings(sampleRate, clock, p);
    idleBlock(frames, sampleRate, clock, p, engineVersion);
    // Nothing has been heard, so there is nothing to glide from: the next setting is taken at
    // once (the gain stages still ramp over the block from their last gains).
    sendGain_.snapNext();
    wet_.snapNext();
}

void Delay::idleBlock(unsigned frames, float sampleRate, const Clock& clock, const Parameters::Delay& p,
                      unsigned engineVersion)
{
    const float s = unit(p.send);
    rest_.resting = canRest(s * s);
    if (rest_.resting) {
        rest(frames, sampleRate, clock, p);
        return;
    }
    moveSend(s * s, frames);
    highPassL_.setParam(highPassCutoff_, 0.0f);
    highPassR_.setParam(highPassCutoff_, 0.0f);
    setEcho(frames, sampleRate, clock, p);
    echo_.settleGlides();
    idleFilterSection(frames, sampleRate, clock, p.filter, engineVersion);
    const bool closed = sendL_.lastGain() == 0.0f && sendR_.lastGain() == 0.0f;
    rest_.ran(closed, frames);
}

void Delay::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                    float sampleRate, const Clock& clock, Parameters::Delay& p, unsigned engineVersion, AudioQuality)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate)) {
        passThrough(outL, outR, inL, inR, frames);
        return;
    }
    followSettings(sampleRate, clock, p);
    const float s = unit(p.send);
    rest_.resting = canRest(s * s);
    if (rest_.resting) {
        rest(frames, sampleRate, clock, p);
        addSilence(outL, inL, frames);
        addSilence(outR, inR, frames);
        return;
    }
    send(frames, inL, inR, p);
    setEcho(frames, sampleRate, clock, p);
    float* echoL = grow(echoL_, frames);
    float* echoR = grow(echoR_, frames);
    echo_.process(echoL, echoR, sentL_.data(), sentR_.data(), frames);
    filterEchoes(frames, sampleRate, clock, p.filter, engineVersion);
    const bool closed = sendL_.lastGain() == 0.0f && sendR_.lastGain() == 0.0f;
    rest_.ran(closed && quiet(echoL, frames) && quiet(echoR, frames), frames);
    Platform::Vdsp::add(inL, echoL, outL, frames);
    Platform::Vdsp::add(inR, echoR, outR, frames);
}

} // namespace Lumora::Corvane::Module
