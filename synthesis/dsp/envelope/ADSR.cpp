#include "synthesis/dsp/envelope/ADSR.h"

namespace Lumora::DSP::ENV {

ADSR::ADSR()
    : MultiPointEnvelope(4, 2)
{
    setADSR(0.0f, 0.0f, 1.0f, 0.0f);
}

void ADSR::setADSR(float attackSeconds, float decaySeconds, float sustainLevel, float releaseSeconds)
{
    // Set every block, mostly to the points in force: setEnvPoint would then change nothing. A NaN
    // never compares equal and takes the full path, which replaces it.
    auto holds = [this](unsigned index, float seconds, float level) {
        return point(index).seconds == seconds && point(index).level == level;
    };
    if (holds(1, attackSeconds, 1.0f) && holds(2, decaySeconds, sustainLevel) && holds(3, releaseSeconds, 0.0f))
        return;
    setEnvPoint(1, attackSeconds, 1.0f);
    setEnvPoint(2, decaySeconds, sustainLevel);
    setEnvPoint(3, releaseSeconds, 0.0f);
}

} // namespace Lumora::DSP::ENV
