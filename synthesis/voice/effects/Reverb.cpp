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
    // Frames the wet signal has stayed below the rest threshold with the send closed.
    unsigned long long quietFrames = 0;
    // The engine in use holds nothing: after reset() or a clear on going to rest, until it runs.
    bool cleared = true;
    bool resting = false;
    bool restAllowed = true;

    bool canRest(float sendGain) const;
};

// A closed send whose ramp has ended feeds exact zeros; once the engine holds nothing (cleared,
// or its wet signal quiet for longer than its lines can hold a sound) its output stays silence.
bool Reverb::Implementation::canRest(float sendGain) const
{
    const bool closed = !(sendGain != 0.0f) && (lastType == 0 ? compact.sendClosed() : stereo.sendClosed());
    return restAllowed && closed && (cleared || quietFrames >= kQuietFramesBeforeRest);
}

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
    impl_->quietFrames = 0;
    impl_->cleared = true;
    impl_->resting = false;
}

bool Reverb::resting() const
{
    return impl_->resting;
}

void Reverb::allowRest(bool allowed)
{
    impl_->restAllowed = allowed;
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
    Implementation& m = *impl_;
    const int type = static_cast<int>(choice(p.type));
    if (type != m.lastType)
        reset();
    m.lastType = type;
    const float s = unit(p.send);
    m.resting = m.canRest(s * std::fabs(s));
    if (m.resting) {
        // Clear what is left far below hearing, once. The other engine is cleared on a change of type.
        if (!m.cleared) {
            if (type == 0)
                m.compact.reset();
            else
                m.stereo.reset();
            m.cleared = true;
            m.quietFrames = 0;
        }
        if (type == 0)
            m.compact.rest(outL, outR, inL, inR, frames, sampleRate, p);
        else
            m.stereo.rest(outL, outR, inL, inR, frames, sampleRate, p);
        return;
    }
    m.cleared = false;
    if (type == 0)
        m.compact.process(outL, outR, inL, inR, frames, sampleRate, p);
    else
        m.stereo.process(outL, outR, inL, inR, frames, sampleRate, p);
    const bool closed = type == 0 ? m.compact.sendClosed() : m.stereo.sendClosed();
    const bool quietWet = type == 0 ? m.compact.wetQuiet(frames) : m.stereo.wetQuiet(frames);
    m.quietFrames = closed && quietWet ? m.quietFrames + frames : 0;
}

} // namespace Lumora::Corvane::Module
