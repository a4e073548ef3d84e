#include "synthesis/voice/modules/ProcessLFO.h"

#include "engine/clock/Clock.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

float lfoWavelength(float rate)
{
    const float x = 1.0f - clamp01(rate);
    return 0.02f + 10.0f * x * x * x;
}

float processLFO(unsigned frames, float sampleRate, const Clock& clock, DSP::LFO& lfo, Parameters::LFO& params)
{
    if (frames == 0)
        return params.output.normalizedValue();
    lfo.setWavelength(lfoWavelength(params.rate.normalizedValue()));
    lfo.blockProcess(nullptr, kControlBlock, frames, sampleRate, 0.0f, clock.sampleTime());
    const float end = lfo.slope().second;
    params.output.setValue(end, ParameterObserver::Token::EngineReadback, AutomationEventType::None);
    return end;
}

} // namespace Lumora::Corvane::Module
