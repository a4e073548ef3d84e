#pragma once

#include <memory>

#include "engine/instrument/AudioQuality.h"
#include "synthesis/voice/parameters/Parameters.h"

namespace Lumora {
class Clock;
}

namespace Lumora::Corvane::Module {

class CompactReverb;
class StereoReverb;

// The instrument's reverb: one of two engines per block, chosen by the reverb type (0 compact
// mono, any other value the stereo reverb). Switching type clears both engines, so that an old
// tail is never replayed. Built on the main thread; process and reset run on the render thread.
class Reverb {
public:
    Reverb();
    virtual ~Reverb();
    Reverb(const Reverb&) = delete;
    Reverb& operator=(const Reverb&) = delete;

    // Sizes every work buffer for blocks of up to maxFrames, so that no render call allocates.
    // Called when render resources are allocated.
    void reserve(unsigned maxFrames, float sampleRate);
    // Outputs may be the inputs. A switched-off block passes the input through. With the send at 0
    // (its ramp settled there) and no tail left, the reverb rests: nothing is computed and the
    // output is the dry input. It wakes the block the send opens, from a cleared engine.
    void process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Clock& clock, const Parameters::Reverb& parameters, unsigned engineVersion,
                 AudioQuality quality);
    void reset();
    // A block over silent input while the engine in use has never held anything but silence:
    // every setting moves exactly as in process, whose output would be the input, at a fraction
    // of its cost.
    void idle(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
              const Parameters::Reverb& parameters);

    int lastType() const;
    // Whether the last block rested. A module that may not rest always runs in full (for
    // comparisons and measurements).
    bool resting() const;
    void allowRest(bool allowed);
    const CompactReverb& compact() const;
    const StereoReverb& stereo() const;

private:
    // Passes a switched-off block through, else runs or rests the engine of this block's type;
    // silentAndEmpty: the block is an idle one.
    void run(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
             const Parameters::Reverb& parameters, bool silentAndEmpty);

    struct Implementation;
    std::unique_ptr<Implementation> impl_;
};

} // namespace Lumora::Corvane::Module
