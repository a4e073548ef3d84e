#pragma once

#include <vector>

#include "synthesis/dsp/shaper/AsymSaturator.h"
#include "synthesis/dsp/shaper/Crossfader.h"
#include "synthesis/dsp/shaper/Saturator.h"

namespace Lumora::Corvane::Module {

// A drive stage: the input crossfaded with a driven, saturated copy of itself. Drive 0 leaves the
// signal dry; drive 1 replaces it by the saturated signal, which never leaves [-1, 1] whatever the
// input. Used by the filter and the delay effect.
class Saturator {
public:
    Saturator();
    virtual ~Saturator() = default;

    // Type 0 drives by 2 dd + 0.7 into the symmetric curve, any other type by 3 dd + 0.7 into the
    // asymmetric one, with dd = drive |drive|. out may be in.
    void process(float* out, const float* in, unsigned n, float drive, unsigned type);
    // A block over silence, whose output would be silence: the curves hold no state, so only the
    // crossfade moves, to this drive's weights, as process leaves it.
    void idle(float drive);
    // Whether process() in place at this drive would return at once, leaving the signal and the
    // state as they are; it does so until a call at another drive or a reset.
    bool passes(float drive) const;
    void reset();
    void reserve(unsigned maxFrames);

private:
    std::vector<float> work_;
    DSP::Saturator saturator_;
    DSP::AsymSaturator asymSaturator_;
    DSP::Crossfader crossfader_;
};

} // namespace Lumora::Corvane::Module
