#include "synthesis/voice/effects/Reverb.h"

#include <cmath>

#include "synthesis/voice/effects/CompactReverb.h"
#include "synthesis/voice/effects/EffectCommon.h"
#include "synthesis/voice/effects/StereoReverb.h"
#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane::Module {

struct Reverb::Implementation {
    int lastType = 0;
    CompactReverb compact;
    StereoReverb stereo;
};

Reverb::Reverb() : impl_(std::make_unique<Implementation>()) {}

Reverb::~Reverb() = default;

void Reverb::reserve(unsigned maxFrames, float sampleRate)
{
    impl_->compact.reserve(maxFrames);
    impl_->stereo.reserve(maxFrames, sampleRate);
}

void Reverb::reset()
{
    impl_->compact.reset();
    impl_->stereo.reset();
}

int Reverb::lastType() const
{
    return impl_->lastType;
}

const CompactReverb& Reverb::compact() const
{
    return impl_->compact;
}

const StereoReverb& Reverb::stereo() const
{
    return impl_->stereo;
}

void Reverb::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                     float sampleRate, const Clock&, const Parameters::Reverb& p, unsigned, AudioQuality)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate)) {
        passThrough(outL, outR, inL, inR, frames);
        return;
    }
    const int type = static_cast<int>(choice(p.type));
    if (type != impl_->lastType)
        reset();
    if (type == 0)
        impl_->compact.process(outL, outR, inL, inR, frames, sampleRate, p);
    else
        impl_->stereo.process(outL, outR, inL, inR, frames, sampleRate, p);
    impl_->lastType = type;
}

} // namespace Lumora::Corvane::Module
