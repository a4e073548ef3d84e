#include "synthesis/dsp/envelope/ADSR.h"

namespace Lumora::DSP::ENV {

ADSR::ADSR()
    : MultiPointEnvelope(4, 2)
{
    setADSR(0.0f, 0.0f, 1.0f, 0.0f);
}

void ADSR::setADSR(float attackSeconds, float decaySeconds, float sustainLevel, float releaseSeconds)
{
    setEnvPoint(1, attackSeconds, 1.0f);
    setEnvPoint(2, decaySeconds, sustainLevel);
    setEnvPoint(3, releaseSeconds, 0.0f);
}

} // namespace Lumora::DSP::ENV
