#include "synthesis/dsp/delay/OnePoleLpf.h"

#include "synthesis/dsp/delay/DelayMath.h"

namespace Lumora::PerSampleDSP {

// a outside [0, 1] would make the loop unstable (or NaN would poison it), so it is limited.
void OnePoleLpf::set(float c, float a)
{
    c_ = c;
    a_ = DSP::DelayMath::limit(a, 0.0f, 1.0f);
}

} // namespace Lumora::PerSampleDSP
