#pragma once

#include "synthesis/dsp/common/SettingsKey.h"
#include "synthesis/dsp/delay/v2/Delay.h"
#include "synthesis/dsp/delay/v2/MultiTapDelay.h"
#include "synthesis/dsp/reverb/ReverbOutput.h"

#include <array>
#include <vector>

namespace Lumora::DSPv2 {

// Early reflections: an all-pass smear, then four taps across the room whose levels follow the
// decay; the taps also feed the late network.
class ReverbEarly {
public:
    static constexpr std::array<float, 4> kTapRatios{0.41f, 0.3f, 0.155f, 1.0f};
    static constexpr float kAllPassRatio = 0.110732f;

    ReverbEarly(bool highPass, bool lowPass, std::size_t reserve);

    // d: samples the sound needs to cross the room; g: per-sample factor of the 60 dB decay.
    void process(const float* feed, unsigned frames, float d, float g, float level, float highPassFrequency,
                 float lowPassFrequency);
    void reset();
    // A block of silent feed while every line and filter holds zeros: the settings move exactly as
    // process would move them, and nothing is written.
    void idle(unsigned frames, float d, float g, float level, float highPassFrequency, float lowPassFrequency);

    const float* output() const { return out_.data(); }
    const float* tap(unsigned i) const { return taps_[i].data(); }
    const Delay& allPass() const { return allPass_; }
    const MultiTapDelay& tapDelay() const { return tapDelay_; }

private:
    // The all-pass and the taps for a room of d samples and a decay factor g.
    void setDelays(float d, float g);
    // The lengths and levels setDelays hands over, worked out again only for a new d or g.
    void workOutDelays(float d, float g);

    std::vector<float> out_;
    std::vector<float> diffused_;
    std::array<std::vector<float>, 4> taps_;
    Delay allPass_;
    MultiTapDelay tapDelay_;
    ReverbOutput output_;
    DSP::SettingsKey<2> delaysKey_;
    unsigned allPassSamples_ = 0;
    std::array<unsigned, 4> tapSamples_{};
    std::array<float, 4> tapLevels_{};
};

} // namespace Lumora::DSPv2
