#pragma once

#include <memory>

namespace Lumora::DSPv2 {

// The library's stereo reverb: pre-filter, mono feed with pre-delay, early reflections, a
// four-line feedback delay network for the tail and an output diffuser that decorrelates left
// and right, sized from a room size in metres and a decay time in seconds. Which optional
// filters and mixes exist is fixed at construction by Ability flags. Only the wet signal is
// produced.
class Reverb {
public:
    enum Ability : unsigned {
        PreHighPass = 0x1,
        PreLowPass = 0x2,
        PreDelay = 0x4,
        EarlyHighPass = 0x10,
        EarlyLowPass = 0x20,
        LateHighPass = 0x100,
        LateLowPass = 0x200,
        DryMix = 0x1000,
    };

    // Written by the owner between blocks; the reverb only reads it. Frequencies are normalized
    // (1 = Nyquist).
    struct Parameters {
        float preHighPass = 0.0f;
        float preLowPass = 1.0f;
        float preDelay = 0.0f;     // seconds
        float roomSize = 100.0f;   // metres
        float decayTime = 1.0f;    // seconds to fall by 60 dB
        float stereoWidth = 1.0f;  // factor
        float lateBrightness = 0.5f; // 0 dark .. 1 undamped
        float dryLevel = 0.5f;
        float earlyLevel = 0.0f;
        float earlyHighPass = 0.0f;
        float earlyLowPass = 1.0f;
        float lateLevel = 0.0f;
        float lateHighPass = 0.0f;
        float lateLowPass = 1.0f;
    };

    class Implementation;

    // abilities: Ability flags combined with OR.
    explicit Reverb(unsigned abilities);
    virtual ~Reverb();
    Reverb(const Reverb&) = delete;
    Reverb& operator=(const Reverb&) = delete;

    // Outputs may be the inputs.
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate);
    void reset();
    // A block of silent input while every line and filter holds zeros (nothing but silence has
    // gone in since construction or the last reset): every setting and glide moves exactly as
    // in process, whose output would be zeros, and no signal is computed, which costs a small
    // part of a processed block.
    void idle(unsigned frames, float sampleRate);

    const Implementation& implementation() const { return *impl_; }
    // Whether the last block moved none of the tail's glides (see ReverbLate::glidesHeld): over
    // silence, more blocks of that length with the same parameters would change nothing.
    bool glidesHeld() const;

    Parameters param;

private:
    std::unique_ptr<Implementation> impl_;
};

} // namespace Lumora::DSPv2
