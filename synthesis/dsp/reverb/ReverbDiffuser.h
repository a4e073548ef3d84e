#pragma once

#include "synthesis/dsp/common/SettingsKey.h"
#include "synthesis/dsp/delay/v2/Delay.h"
#include "synthesis/dsp/shaper/StereoAmp.h"

#include <array>
#include <memory>
#include <vector>

namespace Lumora::DSPv2 {

// Three all-passes per channel, of lengths that differ between left and right by the stereo
// width, turn the one reverberated signal into two decorrelated ones.
class ReverbDiffuser {
public:
    ReverbDiffuser(bool dryMix, std::size_t reserve);

    // d: samples the sound needs to cross the room. early and late are mono; dryL and dryR the
    // pre-filtered input, used with the dry-mix ability only.
    void process(float* outL, float* outR, const float* early, const float* late, const float* dryL,
                 const float* dryR, unsigned frames, float d, float stereoWidth, float dryLevel);
    void reset();
    // A block of silence while every all-pass holds zeros: the settings move exactly as process
    // would move them, and nothing is written.
    void idle(unsigned frames, float d, float stereoWidth, float dryLevel);

    // Lengths in samples of the last block: left A1 A2 A3, then right B1 B2 B3.
    std::array<unsigned, 6> lengths() const { return lengths_; }

private:
    void setLengths(float d, float stereoWidth);

    bool dryMix_;
    std::vector<float> mixL_, mixR_, sum_;
    std::array<std::unique_ptr<Delay>, 6> allPasses_;
    std::array<unsigned, 6> lengths_{};
    // The room and width the all-passes were last set for; their settings stay until these move
    // (a reset keeps them, but forgets these all the same).
    DSP::SettingsKey<2> lengthsKey_;
    DSP::StereoAmp dryAmp_;
};

} // namespace Lumora::DSPv2
