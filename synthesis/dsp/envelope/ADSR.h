#pragma once

#include "synthesis/dsp/envelope/MultiPointEnvelope.h"

namespace Lumora::DSP::ENV {

// Attack to 1, decay to the sustain level, hold while the gate is on, release to 0.
class ADSR : public MultiPointEnvelope {
public:
    ADSR();
    void setADSR(float attackSeconds, float decaySeconds, float sustainLevel, float releaseSeconds);
};

} // namespace Lumora::DSP::ENV
