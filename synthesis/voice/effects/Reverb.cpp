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
    // The state of the engine in use.
    SendRest rest;

    // Runs or rests the engine in use (compact or stereo) for one block.
    template <class Engine>
    void process(Engine& engine, float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                 float sampleRate, const Parameters::Reverb& parameters, bool silentAndEmpty);
    // The engine in use for this block's settings, cleared on a change of type.
    void selectType(const Parameters::Reverb& parameters);
};

// A closed send whose ramp has ended feeds exact zeros; once the engine holds nothing (cleared,
// or its wet signal quiet for longer than its lines can hold a sound) its output stays silence.
template <class Engine>
void Reverb::Implementation::process(Engine& engine, float* outL, float* outR, const float* inL, const float* inR,
                                     unsigned frames, float sampleRate, const Parameters::Reverb& p,
                                     bool silentAndEmpty)
{
    const float s = unit(p.send);
    rest.resting = rest.may(!(s * std::fabs(s) != 0.0f) && engine.sendClosed());
    if (rest.resting) {
        // Clear what is left far below hearing, once. The other engine is cleared on a change of type.
        if (!rest.cleared) {
            engine.reset();
            rest.clear();
        }
        engine.rest(outL, outR, inL, inR, frames, sampleRate, p);
        return;
    }
    if (silentAndEmpty) {
        engine.idle(outL, outR, inL, inR, frames, sampleRate, p);
        rest.ran(engine.sendClosed(), frames);
        return;
    }
    engine.process(outL, outR, inL, inR, frames, sampleRate, p);
    rest.ran(engine.sendClosed() && engine.wetQuiet(frames), frames);
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
    impl_->rest.clear();
    impl_->rest.resting = false;
}

bool Reverb::resting() const
{
    return impl_->rest.resting;
}

void Reverb::allowRest(bool allowed)
{
    impl_->rest.allowed = allowed;
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

void Reverb::Implementation::selectType(const Parameters::Reverb& p)
{
    const int type = static_cast<int>(choice(p.type));
    if (type != lastType) {
        compact.reset();
        stereo.reset();
        rest.clear();
        rest.resting = false;
    }
    lastType = type;
}

void Reverb::process(float* outL, float* outR, const float* inL, const float* inR, unsigned frames,
                     float sampleRate, const Clock&, const Parameters::Reverb& p, unsigned, AudioQuality)
{
    run(outL, outR, inL, inR, frames, sampleRate, p, false);
}

void Reverb::idle(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                  const Parameters::Reverb& p)
{
    run(outL, outR, inL, inR, frames, sampleRate, p, true);
}

void Reverb::run(float* outL, float* outR, const float* inL, const float* inR, unsigned frames, float sampleRate,
                 const Parameters::Reverb& p, bool silentAndEmpty)
{
    if (!p.enabled || !isUsableSampleRate(sampleRate)) {
        passThrough(outL, outR, inL, inR, frames);
        return;
    }
    Implementation& m = *impl_;
    m.selectType(p);
    if (m.lastType == 0)
        m.process(m.compact, outL, outR, inL, inR, frames, sampleRate, p, silentAndEmpty);
    else
        m.process(m.stereo, outL, outR, inL, inR, frames, sampleRate, p, silentAndEmpty);
    if (silentAndEmpty) {
        m.compact.takeNextSendAtOnce();
        m.stereo.takeNextSendAtOnce();
    }
}

} // namespace Lumora::Corvane::Module
