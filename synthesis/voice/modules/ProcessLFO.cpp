#include "synthesis/voice/modules/ProcessLFO.h"

#include "engine/clock/Clock.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

namespace {

// See lfoWavelength; inline here, since it runs for every LFO in every block.
inline float wavelengthOf(float rate)
{
    const float x = 1.0f - clamp01(rate);
    return 0.02f + 10.0f * x * x * x;
}

// Renders the block and answers the LFO's level at its end.
float runBlock(unsigned frames, float sampleRate, const Clock& clock, DSP::LFO& lfo, const Parameters::LFO& params,
               bool levelsRead)
{
    lfo.setWavelength(wavelengthOf(params.rate.normalizedValue()));
    if (!levelsRead)
        return lfo.advance(kControlBlock, frames, sampleRate, 0.0f, clock.sampleTime());
    // A short block's start is read only by voices that open a span in it.
    if (frames <= kControlBlock)
        return lfo.processStartOnRead(frames, sampleRate, 0.0f, clock.sampleTime());
    lfo.blockProcess(nullptr, kControlBlock, frames, sampleRate, 0.0f, clock.sampleTime());
    return lfo.slope().second;
}

} // namespace

float lfoWavelength(float rate)
{
    return wavelengthOf(rate);
}

float processLFO(unsigned frames, float sampleRate, const Clock& clock, DSP::LFO& lfo, const Parameters::LFO& params,
                 ReadbackSlot& output, bool levelsRead)
{
    if (frames == 0)
        return output.value();
    const float end = runBlock(frames, sampleRate, clock, lfo, params, levelsRead);
    output.store(end);
    return end;
}

bool publishLFOReadback(ReadbackSlot& output, Parameters::LFO& params)
{
    return output.publish(params.output);
}

} // namespace Lumora::Corvane::Module
