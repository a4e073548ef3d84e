// Once warmed up with the largest block, rendering allocates nothing: every object below is run
// for several blocks while the global allocator counts.
#include "synthesis/dsp/delay/HiDampStereoDelay.h"
#include "synthesis/dsp/delay/LpfFeedbackFx.h"
#include "synthesis/dsp/delay/MultiTapDelay.h"
#include "synthesis/dsp/delay/v2/MultiTapDelay.h"
#include "synthesis/dsp/envelope/ADSR.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/dsp/reverb/Reverb.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/CountingAllocator.h"

namespace {

// Runs render(n) for a few block sizes up to 1024 and answers the allocations made meanwhile.
template <class Render>
long allocationsWhile(Render&& render)
{
    render(1024u); // warm-up: anything that grows does so here
    const long before = allocations.load();
    counting = true;
    for (unsigned n : {64u, 128u, 300u, 512u, 1024u, 1u})
        render(n);
    counting = false;
    return allocations.load() - before;
}

} // namespace

TEST(RenderAllocation, EnvelopeAndLfo)
{
    Lumora::DSP::ENV::ADSR env;
    env.setADSR(0.01f, 0.02f, 0.5f, 0.03f);
    env.gateOn(Lumora::VoicingType::NewNote);
    std::vector<float> out(1024);
    EXPECT_EQ(allocationsWhile([&](unsigned n) {
                  env.blockProcess(out.data(), 128, n, 48000.0f);
                  env.process(out.data(), n, 48000.0f);
              }),
              0);

    Lumora::DSP::LFO lfo(Lumora::DSP::LFO::Random);
    std::uint64_t t = 0;
    EXPECT_EQ(allocationsWhile([&](unsigned n) {
                  lfo.blockProcess(out.data(), 128, n, 48000.0f, 0.3f, t);
                  lfo.blockProcess(nullptr, 128, n, 48000.0f, 0.3f, t);
                  t += n;
              }),
              0);
}

// An LFO reserved for a block longer than its built-in room renders such a block without growing.
TEST(RenderAllocation, LfoReservedForALongBlock)
{
    constexpr unsigned kLong = 128 * 200;
    Lumora::DSP::LFO lfo;
    lfo.reserve(kLong, 128);
    const long before = allocations.load();
    counting = true;
    lfo.blockProcess(nullptr, 128, kLong, 48000.0f, 0.0f, 0);
    counting = false;
    EXPECT_EQ(allocations.load() - before, 0);
    EXPECT_GT(lfo.level(kLong - 1), 0.0f); // the last span was rendered
}

TEST(RenderAllocation, DelaysAndReverb)
{
    std::vector<float> a(1024, 0.25f), b(1024, -0.25f), c(1024), d(1024);
    Lumora::DSP::LpfFeedbackFx lpf;
    Lumora::DSP::MultiTapDelay chorus(11, 2, &lpf);
    float* taps[2] = {c.data(), d.data()};
    Lumora::DSP::HiDampStereoDelay stereo(14);
    stereo.setInterpolation(true);
    Lumora::DSPv2::MultiTapDelay multi(12, 4);
    EXPECT_EQ(allocationsWhile([&](unsigned n) {
                  chorus.process(a.data(), taps, a.data(), n);
                  stereo.process(a.data(), b.data(), a.data(), b.data(), n);
                  multi.process(c.data(), a.data(), n);
              }),
              0);

    using Lumora::DSPv2::Reverb;
    Reverb reverb(Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay | Reverb::DryMix | Reverb::LateLowPass);
    reverb.param.earlyLevel = 0.5f;
    reverb.param.lateLevel = 0.5f;
    EXPECT_EQ(allocationsWhile([&](unsigned n) { reverb.process(a.data(), b.data(), a.data(), b.data(), n, 48000.0f); }),
              0);
}
