#include "synthesis/dsp/reverb/ReverbDiffuser.h"

#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/reverb/ReverbMath.h"

#include <cmath>

namespace Lumora::DSPv2 {

namespace {

constexpr std::array<unsigned, 6> kExponents{13, 14, 14, 13, 14, 14};

} // namespace

ReverbDiffuser::ReverbDiffuser(bool dryMix, std::size_t reserve)
    : dryMix_(dryMix)
    , mixL_(reserve, 0.0f)
    , mixR_(reserve, 0.0f)
    , sum_(reserve, 0.0f)
{
    for (std::size_t i = 0; i < allPasses_.size(); ++i)
        allPasses_[i] = std::make_unique<Delay>(kExponents[i], nullptr, true, 1.0f);
}

// k is the room's scale in whole steps; s spreads the left and right chains apart.
void ReverbDiffuser::setLengths(float d, float stereoWidth)
{
    if (!lengthsKey_.changed({d, stereoWidth}))
        return;
    const float k = std::trunc(d * 0.000527f);
    const float s = stereoWidth * 100.0f;
    const float a1 = (159.0f + 0.125541f * s) * k;
    const float a2 = ((931.0f + 0.376623f * s) - (369.0f + 0.125541f * s)) * k;
    const float a3 = (1341.0f - (931.0f + 0.376623f * s)) * k;
    const float b1 = (159.0f - 0.568366f * s) * k;
    const float b2 = ((931.0f - 0.380445f * s) - (369.0f - 0.568366f * s)) * k;
    const float b3 = (1341.0f - (931.0f - 0.380445f * s)) * k;
    const std::array<float, 6> products{a1, a2, a3, b1, b2, b3};
    for (std::size_t i = 0; i < 6; ++i) {
        lengths_[i] = ReverbMath::samples(products[i], static_cast<float>(1u << kExponents[i]));
        allPasses_[i]->setDelayTimeBySamples(lengths_[i]);
        const float g = i % 3 == 0 ? 0.75f : 0.625f;
        allPasses_[i]->setFeedBack(-g);
        allPasses_[i]->setFeedForward(g);
    }
}

void ReverbDiffuser::process(float* outL, float* outR, const float* early, const float* late, const float* dryL,
                             const float* dryR, unsigned frames, float d, float stereoWidth, float dryLevel)
{
    if (sum_.size() < frames) {
        mixL_.resize(frames);
        mixR_.resize(frames);
        sum_.resize(frames);
    }
    setLengths(d, stereoWidth);
    Platform::Vdsp::add(early, late, sum_.data(), frames);
    const float* inL = sum_.data();
    const float* inR = sum_.data();
    if (dryMix_) {
        dryAmp_.process(mixL_.data(), mixR_.data(), dryL, dryR, frames, dryLevel, 0.0f, 0.0f);
        Platform::Vdsp::add(mixL_.data(), sum_.data(), mixL_.data(), frames);
        Platform::Vdsp::add(mixR_.data(), sum_.data(), mixR_.data(), frames);
        inL = mixL_.data();
        inR = mixR_.data();
    }
    allPasses_[0]->process(outL, inL, frames);
    allPasses_[1]->process(outL, outL, frames);
    allPasses_[2]->process(outL, outL, frames);
    allPasses_[3]->process(outR, inR, frames);
    allPasses_[4]->process(outR, outR, frames);
    allPasses_[5]->process(outR, outR, frames);
}

void ReverbDiffuser::idle(unsigned frames, float d, float stereoWidth, float dryLevel)
{
    setLengths(d, stereoWidth);
    // A block of any length leaves the dry gain on its setting.
    if (dryMix_)
        dryAmp_.process(mixL_.data(), mixR_.data(), mixL_.data(), mixR_.data(), 0, dryLevel, 0.0f, 0.0f);
    for (auto& ap : allPasses_)
        ap->idle(frames);
}

void ReverbDiffuser::reset()
{
    lengthsKey_.forget();
    dryAmp_.reset();
    for (auto& ap : allPasses_)
        ap->reset();
}

} // namespace Lumora::DSPv2
