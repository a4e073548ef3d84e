#include "synthesis/dsp/lfo/StepSeqLfoWaveGen.h"

namespace Lumora::DSP {

StepSeqLfoWaveGen::StepSeqLfoWaveGen()
    : SmootherWaveGen(LFO::StepSeq)
{
}

float StepSeqLfoWaveGen::waveValue(float cycle, float, float)
{
    if (!steps_.empty() && cycle != lastCycle_) {
        lastCycle_ = cycle;
        value_ = steps_[static_cast<unsigned>(cycle) % steps_.size()];
    }
    return value_;
}

} // namespace Lumora::DSP
