#pragma once

#include <vector>

#include "synthesis/dsp/reverb/Reverb.h"
#include "synthesis/dsp/shaper/StereoAmp.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora::Corvane::Module {

// The reverb module's type-1 engine: the library's stereo reverb with pre-filters and pre-delay,
// sized by the reverb time.
class StereoReverb {
public:
    StereoReverb();

    // Also grows the reverb's own work buffers, by running it once over silence.
    void reserve(unsigned maxFrames, float sampleRate);
    // Outputs may be the inputs.
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Parameters::Reverb& parameters);
    void reset();

    const DSPv2::Reverb& reverb() const { return reverb_; }

    // The reverb's parameter block for these settings.
    static void configure(DSPv2::Reverb::Parameters& target, float sampleRate, const Parameters::Reverb& parameters);

private:
    DSPv2::Reverb reverb_;
    DSP::StereoAmp send_;
    std::vector<float> left_;
    std::vector<float> right_;
};

} // namespace Lumora::Corvane::Module
