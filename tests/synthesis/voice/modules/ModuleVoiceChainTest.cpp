// The modules chained as a voice chains them: a note sounds at its pitch, is shaped by the
// amplifier envelope and falls silent after its release; nothing is allocated once the buffers
// are sized for the largest block; no NaN or denormal leaves the chain.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include <gtest/gtest.h>

#include "engine/clock/Clock.h"
#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/lfo/LFO.h"
#include "synthesis/voice/modules/AMP.h"
#include "synthesis/voice/modules/Filter.h"
#include "synthesis/voice/modules/ModuleCommon.h"
#include "synthesis/voice/modules/ModuleFixture.h"
#include "synthesis/voice/modules/Noise.h"
#include "synthesis/voice/modules/OSC.h"
#include "synthesis/voice/modules/Pitch.h"
#include "synthesis/voice/modules/ProcessLFO.h"
#include "synthesis/voice/modules/Resonator.h"

// Counts every allocation of this program, so that a render can be checked for none.
namespace {
std::atomic<long> allocations{0};
}
[[gnu::noinline]] void* operator new(std::size_t n)
{
    ++allocations;
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace ModuleTest;
namespace M = Lumora::Corvane::Module;
using Lumora::DSP::LFO;

constexpr unsigned kMaxFrames = 1024;

// The instrument's shared LFOs and one voice's modules, in the order a voice runs them.
struct Chain {
    explicit Chain(Corvane::Parameters& p)
        : params(p)
    {
        osc.reserve(kMaxFrames);
        noise.reserve(kMaxFrames);
        resonator.reserve(kMaxFrames);
        filter.reserve(kMaxFrames);
        amp.reserve(kMaxFrames);
        work.resize(kMaxFrames);
        out.resize(kMaxFrames);
    }

    void noteOn(int n, int velocity)
    {
        note = noteInfo(n, velocity);
        pitch.gateOn(VoicingType::NewNote);
        osc.gateOn(VoicingType::NewNote);
        noise.gateOn(VoicingType::NewNote);
        resonator.gateOn(VoicingType::NewNote);
        filter.gateOn(VoicingType::NewNote);
        amp.gateOn(VoicingType::NewNote);
    }
    void noteOff()
    {
        pitch.gateOff();
        osc.gateOff();
        noise.gateOff();
        resonator.gateOff();
        filter.gateOff();
        amp.gateOff();
    }

    const float* block(unsigned frames, unsigned version = 2)
    {
        Lumora::DSP::ScopedFlushDenormals noDenormals;
        clock.internalSync_pre(Lumora::TimeSignature{4, 4}, 120.0, false);
        M::processLFO(frames, kRate, clock, pitchLfo, params.pitch.lfo, pitchLfoOutput);
        M::processLFO(frames, kRate, clock, oscLfo, params.osc.lfo, oscLfoOutput);
        M::processLFO(frames, kRate, clock, resonatorLfo, params.resonator.lfo, resonatorLfoOutput);
        M::processLFO(frames, kRate, clock, filterLfo, params.filter.lfo, filterLfoOutput);

        const auto q = AudioQuality::Normal;
        const float f = pitch.process(frames, kRate, clock, note, params.pitch, pitchLfo, version, q);
        NoteInformation n = note;
        n.frequency = f;
        n.pitch = 69.0f + 12.0f * std::log2(f / 440.0f);
        n.frequencyProvider = &pitch;
        const float* o = osc.process(frames, kRate, clock, n, params.osc, oscLfo, version, q);
        const float* z = noise.process(frames, kRate, clock, n, params.noise, version, q);
        const float *dry = nullptr, *resonated = nullptr;
        const float* r = resonator.process(&dry, &resonated, o, z, frames, kRate, clock, n, params.resonator,
                                           resonatorLfo, version, q);
        const float* filtered = nullptr;
        if (M::choice(params.resonator.outputRoute) == 1) {
            filtered = filter.process(r, frames, kRate, clock, n, params.filter, filterLfo, version, q);
        } else {
            const float* d = filter.process(dry, frames, kRate, clock, n, params.filter, filterLfo, version, q);
            for (unsigned i = 0; i < frames; ++i)
                work[i] = d[i] + resonated[i];
            filtered = work.data();
        }
        amp.process(out.data(), filtered, frames, kRate, clock, n, params.amp, version, q);
        clock.internalSync_post(frames, kRate);
        return out.data();
    }

    std::vector<float> render(unsigned frames, unsigned blockSize = 256)
    {
        std::vector<float> all;
        all.reserve(frames);
        for (unsigned done = 0; done < frames; done += blockSize) {
            const unsigned n = std::min(blockSize, frames - done);
            const float* y = block(n);
            all.insert(all.end(), y, y + n);
        }
        return all;
    }

    Corvane::Parameters& params;
    Clock clock;
    LFO pitchLfo{LFO::WAVEFORM_TYPE(0)}, oscLfo{LFO::WAVEFORM_TYPE(0)}, resonatorLfo{LFO::WAVEFORM_TYPE(0)},
        filterLfo{LFO::WAVEFORM_TYPE(0)};
    M::ReadbackSlot pitchLfoOutput, oscLfoOutput, resonatorLfoOutput, filterLfoOutput;
    M::Pitch pitch;
    M::OSC osc;
    M::Noise noise;
    M::Resonator resonator;
    M::Filter filter;
    M::AMP amp;
    NoteInformation note;
    std::vector<float> work, out;
};

TEST(ModuleVoiceChain, DefaultSoundPlaysItsNoteAndFallsSilentAfterRelease)
{
    Table t;
    set(t.params.pitch.drift, 0.0f);
    Chain chain(t.params);
    chain.noteOn(69, 100);
    const auto held = chain.render(48000);
    EXPECT_TRUE(DspTest::allClean(held));
    EXPECT_GT(DspTest::rms(held), 0.05);
    EXPECT_LT(DspTest::peak(held), 1.5);
    EXPECT_LT(std::fabs(cents(DspTest::zeroCrossingFrequency(held, kRate, 2400), 440.0)), 1.0);

    chain.noteOff();
    // The default release is 10 ms: silent and idle within a few blocks.
    const auto released = chain.render(4800);
    EXPECT_TRUE(DspTest::allClean(released));
    EXPECT_FALSE(chain.amp.isActive());
    EXPECT_EQ(DspTest::peak(released.data() + 1024, released.size() - 1024), 0.0);
}

TEST(ModuleVoiceChain, AmpEnvelopeShapesTheNote)
{
    Table t;
    set(t.params.amp.env.attack, 0.1f);              // 0.1 s
    set(t.params.amp.env.release, std::sqrt(0.03f)); // 0.3 s + 10 ms
    Chain chain(t.params);
    chain.noteOn(57, 127);
    const auto x = chain.render(48000);
    const double early = DspTest::rms(x.data(), 960);
    const double middle = DspTest::rms(x.data() + 2400 - 480, 960);
    const double full = DspTest::rms(x.data() + 24000, 4800);
    EXPECT_LT(early, 0.1 * full);
    EXPECT_NEAR(middle / full, 0.25, 0.05); // half way up the squared attack
    chain.noteOff();
    const auto r = chain.render(24000);
    EXPECT_NEAR(DspTest::rms(r.data() + 7440 - 480, 960) / full, 0.25, 0.05); // half way down
    EXPECT_GT(DspTest::peak(r.data() + 14000, 800), 0.0);
    EXPECT_EQ(DspTest::peak(r.data() + 14881, r.size() - 14881), 0.0);
    EXPECT_FALSE(chain.amp.isActive());
}

TEST(ModuleVoiceChain, EveryModuleAtItsExtremesStaysClean)
{
    Table t;
    auto& p = t.params;
    set(p.osc.modDepth, 1.0f);
    set(p.osc.modLfoDepth, 1.0f);
    set(p.osc.subLevel, 1.0f);
    set(p.osc.detune, 1.0f);
    set(p.noise.level, 1.0f);
    setChoice(p.noise.type, 5);
    set(p.resonator.wetOsc, 1.0f);
    set(p.resonator.wetNoise, 1.0f);
    set(p.resonator.feedback, 1.0f);
    set(p.resonator.lfoDepth, 1.0f);
    set(p.resonator.pitchLfo, 1.0f);
    set(p.filter.reso, 1.0f);
    set(p.filter.drive, 1.0f);
    set(p.filter.low, 1.0f);
    set(p.filter.lfoDepth, 1.0f);
    setBipolar(p.filter.envDepth, -1.0f);
    set(p.pitch.lfoDepth, 1.0f);
    set(p.pitch.lfo.rate, 1.0f);
    setChoice(p.resonator.outputRoute, 0);
    Chain chain(p);
    chain.noteOn(108, 127);
    const auto x = chain.render(24000, 300);
    EXPECT_TRUE(DspTest::allClean(x));
    EXPECT_GT(DspTest::rms(x), 0.01);
    chain.noteOff();
    const auto tail = chain.render(4800, 300);
    EXPECT_TRUE(DspTest::allClean(tail));
    EXPECT_FALSE(chain.amp.isActive());
}

TEST(ModuleVoiceChain, RendersWithoutAllocatingOnceSized)
{
    Table t;
    set(t.params.osc.modDepth, 0.5f);
    set(t.params.osc.detune, 0.5f);
    set(t.params.osc.subLevel, 0.5f);
    setBipolar(t.params.osc.waveMix, 0.25f);
    set(t.params.noise.level, 0.5f);
    setChoice(t.params.noise.type, 3);
    set(t.params.resonator.wetOsc, 0.5f);
    set(t.params.filter.low, 0.0f);
    Chain chain(t.params);
    chain.noteOn(60, 100);
    {
        const long counted = allocations.load();
        std::vector<float> probe(16);
        ASSERT_GT(allocations.load(), counted) << "the allocation counter is not in use";
    }
    const long before = allocations.load();
    for (unsigned frames : {kMaxFrames, 1u, 129u, 300u, 512u, 1000u, 64u})
        chain.block(frames);
    chain.noteOff();
    chain.block(kMaxFrames);
    EXPECT_EQ(allocations.load() - before, 0);
}

} // namespace
