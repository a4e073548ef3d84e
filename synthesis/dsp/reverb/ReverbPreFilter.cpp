#include "synthesis/dsp/reverb/ReverbPreFilter.h"

#include "platform/vdsp/Vdsp.h"

namespace Lumora::DSPv2 {

Reverb::Implementation::PreFilter::PreFilter(bool highPass, bool lowPass, std::size_t reserve)
    : highPass_(highPass)
    , lowPass_(lowPass)
    , outL_(reserve, 0.0f)
    , outR_(reserve, 0.0f)
{
}

Reverb::Implementation::PreFilter::~PreFilter() = default;

void Reverb::Implementation::PreFilter::channel(DSP::Filter::OnePoleHighPass& hp, DSP::Filter::OnePoleLowPass& lp,
                                               std::vector<float>& out, const float* in, unsigned frames,
                                               float highPassFrequency, float lowPassFrequency)
{
    if (out.size() < frames)
        out.resize(frames);
    const float* source = in;
    if (highPass_) {
        hp.setParam(highPassFrequency, 0.0f);
        hp.process(out.data(), source, frames);
        source = out.data();
    }
    if (lowPass_) {
        lp.setParam(lowPassFrequency, 0.0f);
        lp.process(out.data(), source, frames);
        source = out.data();
    }
    if (source == in)
        Platform::Vdsp::copy(in, out.data(), frames);
}

void Reverb::Implementation::PreFilter::process(const float* inL, const float* inR, unsigned frames,
                                               float highPassFrequency, float lowPassFrequency)
{
    channel(hpL_, lpL_, outL_, inL, frames, highPassFrequency, lowPassFrequency);
    channel(hpR_, lpR_, outR_, inR, frames, highPassFrequency, lowPassFrequency);
}

void Reverb::Implementation::PreFilter::idle(float highPassFrequency, float lowPassFrequency)
{
    if (highPass_) {
        hpL_.setParam(highPassFrequency, 0.0f);
        hpR_.setParam(highPassFrequency, 0.0f);
    }
    if (lowPass_) {
        lpL_.setParam(lowPassFrequency, 0.0f);
        lpR_.setParam(lowPassFrequency, 0.0f);
    }
}

void Reverb::Implementation::PreFilter::reset()
{
    lpL_.reset();
    lpR_.reset();
    hpL_.reset();
    hpR_.reset();
}

} // namespace Lumora::DSPv2
