#pragma once

#include "synthesis/dsp/common/SettingsKey.h"
#include "synthesis/dsp/delay/OnePoleLpf.h"
#include "synthesis/dsp/reverb/ReverbOutput.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Lumora::DSPv2 {

// The late tail: four delay lines of mutually prime-ish lengths, each with a gain that makes it
// lose 60 dB over the decay time and a damping low pass, mixed back into each other through an
// orthogonal (Hadamard) matrix so that the energy spreads without growing.
class ReverbLate {
public:
    static constexpr std::uint32_t kLineSize = 65536;
    static constexpr std::array<float, 4> kLineRatios{1.0f, 0.81649f, 0.7071f, 0.63245f};

    struct Glide {
        float target = 0.0f;
        float current = 0.0f;
        float step = 0.0f;
    };
    struct Line {
        std::vector<float> buffer;
        std::uint32_t write = 0;
        // Samples written since the last clear, at most the line: writing starts at index 0 after
        // a clear, so reset() clears [0, written) only (nothing for a line still clear).
        std::uint32_t written = 0;
        Glide time{0.5f, 0.5f, 0.0f};
    };

    ReverbLate(bool highPass, bool lowPass, std::size_t reserve);

    // taps: the four early tap signals, tap i feeding line i.
    void process(const float* const* taps, unsigned frames, float d, float g, float brightness, float level,
                 float highPassFrequency, float lowPassFrequency);
    void reset();
    // A block of silent taps while every line and filter holds zeros: the glides, the damping and
    // the output stage move exactly as process would move them, and nothing is written.
    void idle(unsigned frames, float d, float g, float brightness, float level, float highPassFrequency,
              float lowPassFrequency);

    const float* output() const { return out_.data(); }
    const Line& line(unsigned i) const { return lines_[i]; }
    const Glide& gain(unsigned i) const { return gains_[i]; }
    // Whether the last block left every glide where it found it. A glide's float steps rarely sum
    // to its distance, so after a change the glides keep closing in over a few blocks; once a
    // block moves none, further blocks of that length with the same settings move none either.
    bool glidesHeld() const { return glidesHeld_; }

private:
    void startBlock(unsigned frames, float d, float g, float brightness);
    // The lines' time and gain targets for a room of d samples and a decay factor g, worked out
    // again only for a new d or g.
    void workOutTargets(float d, float g);
    static void startGlide(Glide& glide, unsigned frames);
    static void advance(Glide& glide);
    // Feeds the damped line outputs r through the matrix into the feedback; answers the output.
    float mix(const float (&r)[4]);
    // Whether no glide moved since before (times, then gains); the snapshot is taken by glideValues.
    std::array<float, 8> glideValues() const;
    void noteGlidesHeld(const std::array<float, 8>& before);

    std::vector<float> out_;
    std::array<float, 4> feedback_{};
    std::array<Line, 4> lines_;
    std::array<Glide, 4> gains_{};
    bool glidesHeld_ = false;
    std::array<PerSampleDSP::OnePoleLpf, 4> damping_;
    ReverbOutput output_;
    DSP::SettingsKey<2> targetsKey_;
    std::array<float, 4> timeTargets_{};
    std::array<float, 4> gainTargets_{};
};

} // namespace Lumora::DSPv2
