#include "synthesis/dsp/reverb/ReverbEarly.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/reverb/ReverbMath.h"

#include <cmath>

namespace Lumora::DSPv2 {

ReverbEarly::ReverbEarly(bool highPass, bool lowPass, std::size_t reserve)
    : out_(reserve, 0.0f)
    , diffused_(reserve, 0.0f)
    , allPass_(13, nullptr, true, 1.0f)
    , tapDelay_(16, 4)
    , output_(highPass, lowPass)
{
    for (auto& t : taps_)
        t.assign(reserve, 0.0f);
}

void ReverbEarly::workOutDelays(float d, float g)
{
    if (!delaysKey_.changed({d, g}))
        return;
    allPassSamples_ = ReverbMath::samples(d * kAllPassRatio, 8192.0f);
    // Each tap sounds at the level the decay has reached by its distance.
    for (unsigned i = 0; i < 4; ++i) {
        const float span = d * kTapRatios[i];
        tapSamples_[i] = ReverbMath::samples(span, 65536.0f);
        tapLevels_[i] = std::pow(g, span);
    }
}

// Handed over every block: a reset settles the taps' glides, which may change a target.
void ReverbEarly::setDelays(float d, float g)
{
    workOutDelays(d, g);
    allPass_.setSettings_bySample(allPassSamples_, -0.75f, 0.75f);
    for (unsigned i = 0; i < 4; ++i)
        tapDelay_.setTapSettings_bySamples(i, tapSamples_[i], 0.0f, tapLevels_[i]);
}

void ReverbEarly::process(const float* feed, unsigned frames, float d, float g, float level, float highPassFrequency,
                          float lowPassFrequency)
{
    if (out_.size() < frames) {
        out_.resize(frames);
        diffused_.resize(frames);
        for (auto& t : taps_)
            t.resize(frames);
    }
    setDelays(d, g);
    allPass_.process(diffused_.data(), feed, frames);
    float* taps[4] = {taps_[0].data(), taps_[1].data(), taps_[2].data(), taps_[3].data()};
    tapDelay_.process(taps, diffused_.data(), frames);

    // (tap 0 + tap 2) - (tap 1 + tap 3)
    float* out = out_.data();
    Platform::Vdsp::add(taps[0], taps[2], out, frames);
    Platform::Vdsp::subtract(out, taps[1], out, frames);
    Platform::Vdsp::subtract(out, taps[3], out, frames);
    output_.process(out, frames, level, highPassFrequency, lowPassFrequency);
}

void ReverbEarly::idle(unsigned frames, float d, float g, float level, float highPassFrequency, float lowPassFrequency)
{
    setDelays(d, g);
    allPass_.idle(frames);
    tapDelay_.idle(frames);
    // A block of any length leaves the output stage on these settings.
    output_.process(out_.data(), 0, level, highPassFrequency, lowPassFrequency);
}

void ReverbEarly::reset()
{
    allPass_.reset();
    tapDelay_.reset();
    output_.reset();
}

} // namespace Lumora::DSPv2
