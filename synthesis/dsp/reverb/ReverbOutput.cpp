#include "synthesis/dsp/reverb/ReverbOutput.h"

namespace Lumora::DSPv2 {

ReverbOutput::ReverbOutput(bool highPass, bool lowPass)
    : highPass_(highPass)
    , lowPass_(lowPass)
{
}

void ReverbOutput::process(float* out, unsigned frames, float level, float highPassFrequency, float lowPassFrequency)
{
    amp_.process(out, out, frames, level);
    if (highPass_) {
        hp_.setParam(highPassFrequency, 0.0f);
        hp_.process(out, out, frames);
    }
    if (lowPass_) {
        lp_.setParam(lowPassFrequency, 0.0f);
        lp_.process(out, out, frames);
    }
}

void ReverbOutput::reset()
{
    lp_.reset();
    hp_.reset();
    amp_.reset();
}

} // namespace Lumora::DSPv2
