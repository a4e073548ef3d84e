// The table read of WaveTableOsc against a plain per-sample reader: every output sample and the phase
// after every block must match it to the bit, whatever the positions (negative, huge, non-finite, at
// the edges of a cycle), the block sizes and the hard sync segments, for plain and guarded tables.
#include "platform/vdsp/Vdsp.h"
#include "synthesis/dsp/osc/WaveTableOsc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

using Lumora::DSP::OSC::WaveTableOsc;

namespace {

constexpr unsigned L = WaveTableOsc::kTableLength;
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

// A table of distinct, irregular values with a jump at entry 0, so that a wrong neighbour or fraction
// shows in the output. Entry 0 is -0, where a fraction of -0 and one of +0 give zeros of different signs.
const float* testTable()
{
    static const std::vector<float> table = [] {
        std::vector<float> t(L);
        for (unsigned i = 0; i < L; ++i)
            t[i] = float(std::sin(0.37 * i) * 0.7 + 0.3 * (1.0 - 2.0 * i / L));
        t[0] = -0.0f;
        return t;
    }();
    return table.data();
}

// The same table followed by its guard, a copy of entry 0.
const float* guardedTestTable()
{
    static const std::vector<float> table = [] {
        std::vector<float> t(testTable(), testTable() + L);
        t.push_back(t[0]);
        return t;
    }();
    return table.data();
}

class TestTableOsc : public WaveTableOsc {
public:
    TestTableOsc(bool interpolate, bool guarded) : WaveTableOsc(interpolate, guarded), guarded_(guarded) {}
    const float* waveTable(float, float) const override { return guarded_ ? guardedTestTable() : testTable(); }

private:
    bool guarded_;
};

// The reader as a straightforward per-sample loop.
class ReferenceOsc {
public:
    ReferenceOsc(const WaveTableOsc& tables, bool interpolate) : tables_(tables), interpolate_(interpolate) {}

    static float wrapPhase(float p)
    {
        if (!(p > -1.0e9f && p < 1.0e9f)) {
            p = std::fmod(p, 1.0f);
            if (!(p == p))
                return 0.0f;
        }
        int k = static_cast<int>(p);
        k -= (static_cast<float>(k) > p) ? 1 : 0;
        p -= static_cast<float>(k);
        return (p >= 0.0f && p < 1.0f) ? p : 0.0f;
    }

    void restart(float phase) { phase_ = wrapPhase(phase); }

    void process(float* out, const float* pm, unsigned n, float sampleRate)
    {
        const float frequency = finiteOrZero(frequency_);
        const float sync = finiteOrZero(syncFrequency_);
        if (!std::isfinite(syncPhase_))
            syncPhase_ = 0.0f;
        if (sync > 0.0f && sync != frequency) {
            const float period = sampleRate / sync;
            const float syncIncrement = sync / sampleRate;
            unsigned done = 0;
            while (done < n) {
                const unsigned left = n - done;
                const float length = (1.0f - syncPhase_) * period + 0.4f;
                const unsigned segment =
                    !(length >= 1.0f) ? 1u : (length >= float(left) + 1.0f ? left + 1 : unsigned(length));
                const float* segmentPm = pm ? pm + done : nullptr;
                if (left < segment) {
                    renderSegment(out + done, segmentPm, left, sampleRate);
                    syncPhase_ += float(left) * syncIncrement;
                    done = n;
                } else {
                    renderSegment(out + done, segmentPm, segment, sampleRate);
                    phase_ = 0.0f;
                    syncPhase_ = 0.0f;
                    done += segment;
                }
            }
            return;
        }
        renderSegment(out, pm, n, sampleRate);
        syncPhase_ += float(n) * (frequency / sampleRate);
        if (!std::isfinite(syncPhase_))
            syncPhase_ = 0.0f;
    }

    float frequency_ = 0.0f, phaseShift_ = 0.0f, syncFrequency_ = 0.0f;
    float phase_ = 0.0f, syncPhase_ = 0.0f;

private:
    static float finiteOrZero(float v) { return std::isfinite(v) ? v : 0.0f; }

    void renderSegment(float* out, const float* pm, unsigned count, float sampleRate)
    {
        const float frequency = finiteOrZero(frequency_);
        const float* table = tables_.waveTable(sampleRate, frequency);
        const float increment = frequency / sampleRate;
        const float start = phase_ + finiteOrZero(phaseShift_);
        for (unsigned i = 0; i < count; ++i) {
            float p = start + increment * float(i);
            if (pm)
                p += pm[i];
            const float x = wrapPhase(p) * float(L);
            const unsigned j = static_cast<unsigned>(x);
            if (interpolate_) {
                const float f = x - float(j);
                out[i] = (1.0f - f) * table[j & (L - 1)] + f * table[(j + 1) & (L - 1)];
            } else {
                out[i] = table[j & (L - 1)];
            }
        }
        phase_ = wrapPhase(phase_ + increment * float(count));
    }

    const WaveTableOsc& tables_;
    bool interpolate_;
};

struct Case {
    std::string name;
    float startPhase, shift, frequency, sync, sampleRate;
    std::vector<float> pm;         // cycled through the rendered samples; empty: no modulation
    std::vector<unsigned> blocks;  // cycled until `total` samples are rendered
    unsigned total;
};

std::uint32_t bits(float v)
{
    return std::bit_cast<std::uint32_t>(v);
}

// Renders the case with both readers, in place of the modulation input when asked, and compares every
// sample and the phase after each block.
void expectSameAsReference(const Case& c, bool interpolate, bool inPlace, bool guarded = false)
{
    TestTableOsc osc(interpolate, guarded);
    ReferenceOsc ref(osc, interpolate);
    osc.restart(c.startPhase);
    ref.restart(c.startPhase);
    osc.setFrequency(c.frequency);
    ref.frequency_ = c.frequency;
    osc.setShiftPhase(c.shift);
    ref.phaseShift_ = c.shift;
    osc.setSyncFrequency(c.sync);
    ref.syncFrequency_ = c.sync;

    const bool modulated = !c.pm.empty();
    std::vector<float> pm(c.total), got(c.total), want(c.total);
    for (unsigned i = 0; modulated && i < c.total; ++i)
        pm[i] = c.pm[i % c.pm.size()];
    unsigned done = 0;
    for (unsigned b = 0; done < c.total; ++b) {
        const unsigned n = std::min(c.blocks[b % c.blocks.size()], c.total - done);
        const float* mod = modulated ? pm.data() + done : nullptr;
        ref.process(want.data() + done, mod, n, c.sampleRate);
        if (modulated && inPlace) {
            std::copy(mod, mod + n, got.data() + done);
            osc.process(got.data() + done, got.data() + done, n, c.sampleRate);
        } else {
            osc.process(got.data() + done, mod, n, c.sampleRate);
        }
        ASSERT_EQ(bits(osc.phase()), bits(ref.phase_)) << c.name << " after block " << b;
        done += n;
    }
    for (unsigned i = 0; i < c.total; ++i)
        ASSERT_EQ(bits(got[i]), bits(want[i]))
            << c.name << (interpolate ? "" : " (no interpolation)") << (inPlace ? " (in place)" : "")
            << (guarded ? " (guarded table)" : "")
            << " sample " << i << ": " << got[i] << " vs " << want[i] << " pm " << (modulated ? pm[i] : 0.0f);
}

// Positions that lie on or next to the edges of the floor and of the range the integer conversion covers.
std::vector<float> edgePositions()
{
    std::vector<float> v = {0.0f, -0.0f, 1.0f, -1.0f, 0.5f, -0.5f, 1e-10f, -1e-10f, -1e-30f,
                            std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                            std::nextafter(1.0f, 0.0f), -std::nextafter(1.0f, 0.0f), std::nextafter(1.0f, 2.0f),
                            -std::nextafter(1.0f, 2.0f), 0.5f / L, -0.5f / L, 1.0f / L, -1.0f / L,
                            8388607.5f, -8388607.5f, 8388608.0f, -8388609.0f, 16777217.0f, 123456.789f,
                            -98765.4321f, 1e9f, -1e9f, std::nextafter(1e9f, 0.0f), std::nextafter(-1e9f, 0.0f),
                            2147483520.0f, -2147483648.0f, 3e9f, -3e9f, 1e30f, -1e30f,
                            std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(), kNaN, kInf,
                            -kInf};
    return v;
}

// Modulation values drawn from every range at once: the ordinary, the large, the non-finite.
std::vector<float> mixedModulation(unsigned n, unsigned seed)
{
    std::mt19937 rng(seed);
    const auto edges = edgePositions();
    std::vector<float> v(n);
    for (float& x : v) {
        const std::uint32_t r = rng();
        const float u = float(rng() >> 8) * (1.0f / 16777216.0f); // [0, 1)
        switch (r % 8) {
        case 0: x = edges[rng() % edges.size()]; break;
        case 1: x = (u - 0.5f) * 2e9f * 1.5f; break;          // on both sides of +-1e9
        case 2: x = std::ldexp(u, int(rng() % 60) - 40); break; // any scale, positive
        case 3: x = -std::ldexp(u, int(rng() % 60) - 40); break;
        case 4: x = std::bit_cast<float>(std::uint32_t(rng())); break; // any pattern, NaNs included
        default: x = (u - 0.5f) * 8.0f; break;                          // a few cycles either way
        }
    }
    return v;
}

std::vector<Case> cases()
{
    const std::vector<unsigned> mixedBlocks = {1, 3, 63, 64, 65, 4, 129, 7, 200, 2, 517};
    std::vector<float> ramp(97);
    for (unsigned i = 0; i < ramp.size(); ++i)
        ramp[i] = 0.3f * float(i) / 97.0f - 0.1f;
    std::vector<float> negative(53);
    for (unsigned i = 0; i < negative.size(); ++i)
        negative[i] = -0.07f * float(i) - 1e-7f;
    const float belowOne = std::nextafter(1.0f, 0.0f);
    return {
        {"plain note", 0.0f, 0.0f, 440.0f, 0.0f, 48000.0f, {}, mixedBlocks, 4000},
        {"start just below 1", belowOne, 0.0f, 523.25f, 0.0f, 44100.0f, {}, {1, 2, 3, 64, 100}, 600},
        {"shift just below 1", 0.999f, belowOne, 1000.0f, 0.0f, 48000.0f, {}, {17, 64}, 600},
        {"negative shift", 0.25f, -2.7f, 1000.0f, 0.0f, 48000.0f, ramp, {64, 5}, 600},
        {"running backwards", 0.1f, 0.0f, -3333.0f, 0.0f, 48000.0f, {}, mixedBlocks, 2000},
        {"above Nyquist and beyond a cycle per sample", 0.3f, 0.0f, 130001.0f, 0.0f, 48000.0f, {}, {64, 31}, 600},
        {"tiny increment", 0.0f, 0.0f, 1e-3f, 0.0f, 48000.0f, negative, {128}, 1024},
        {"modulated ramp", 0.0f, 0.0f, 440.0f, 0.0f, 48000.0f, ramp, mixedBlocks, 4000},
        {"negative modulation", 0.0f, 0.0f, 220.0f, 0.0f, 48000.0f, negative, mixedBlocks, 2000},
        // A phase, shift and increment of -0 leave every modulation value as it is, -0 included.
        {"edge positions", -0.0f, -0.0f, -0.0f, 0.0f, 48000.0f, edgePositions(), {64, 13}, 512},
        {"edge positions on a moving phase", 0.75f, 0.125f, 12000.0f, 0.0f, 48000.0f, edgePositions(), {9, 64},
         512},
        {"mixed modulation", 0.0f, 0.0f, 440.0f, 0.0f, 48000.0f, mixedModulation(8192, 1), mixedBlocks, 8192},
        {"huge shift", 0.0f, 1e30f, 440.0f, 0.0f, 48000.0f, {}, {64, 3}, 300},
        {"shift at the conversion limit", 0.5f, 999999936.0f, 440.0f, 0.0f, 48000.0f, ramp, {64, 3}, 300},
        // 40 cycles a sample from the last float below 1e9: whole vectors of positions with some
        // lanes inside the integer conversion's range and some beyond it.
        {"unmodulated positions crossing the conversion limit", 0.5f, 999999936.0f, 1920000.0f, 0.0f, 48000.0f, {},
         {64, 8, 16}, 256},
        {"hard sync", 0.0f, 0.0f, 713.0f, 480.0f, 48000.0f, {}, mixedBlocks, 4000},
        {"hard sync, short segments", 0.9f, 0.3f, 5000.0f, 19000.0f, 48000.0f, {}, {64, 37, 1}, 1000},
        {"hard sync with modulation", 0.0f, 0.0f, 713.0f, 311.0f, 44100.0f, mixedModulation(997, 2), mixedBlocks,
         4000},
        {"non-finite frequency and sync", 0.2f, kNaN, kInf, kNaN, 48000.0f, ramp, {64, 3}, 300},
    };
}

} // namespace

// The reads run on wide vectors where the processor has them, else on the baseline's; both must
// match the reference. Restores the default when it ends.
struct EachReadWidth {
    template <class Fn>
    void operator()(Fn&& fn) const
    {
        for (bool wide : {true, false}) {
            if (WaveTableOsc::allowWideReads(wide) != wide)
                continue; // no wide reads on this processor
            SCOPED_TRACE(wide ? "wide reads" : "baseline reads");
            fn();
        }
        WaveTableOsc::allowWideReads(true);
    }
};

TEST(WaveTableRead, MatchesThePerSampleReaderToTheBit)
{
    EachReadWidth()([] {
        for (const Case& c : cases())
            for (bool guarded : {false, true})
                for (bool interpolate : {true, false}) {
                    expectSameAsReference(c, interpolate, false, guarded);
                    if (!c.pm.empty())
                        expectSameAsReference(c, interpolate, true, guarded);
                }
    });
}

// A block at the pitch of the one before reuses what that block worked out: pitches that change,
// return, take hard sync on and off, move the sample rate or differ only in a zero's sign or a
// NaN's pattern must each read as if met for the first time.
TEST(WaveTableRead, PitchesThatChangeBetweenBlocksMatchThePerSampleReader)
{
    struct Pitch {
        float frequency, sync, sampleRate;
    };
    const float otherNaN = std::bit_cast<float>(0x7fc00001u);
    const Pitch pitches[] = {
        {440.0f, 0.0f, 48000.0f},    {440.0f, 0.0f, 48000.0f},  {660.0f, 0.0f, 48000.0f},
        {440.0f, 0.0f, 48000.0f},    {440.0f, 0.0f, 44100.0f},  {440.0f, 300.0f, 44100.0f},
        {440.0f, 300.0f, 44100.0f},  {440.0f, 0.0f, 44100.0f},  {440.0f, 440.0f, 44100.0f},
        {440.0f, -5.0f, 44100.0f},   {kNaN, 0.0f, 44100.0f},    {otherNaN, 0.0f, 44100.0f},
        {kInf, 0.0f, 44100.0f},      {-0.0f, 0.0f, 44100.0f},   {0.0f, 0.0f, 44100.0f},
        {-0.0f, -0.0f, 44100.0f},    {-440.0f, 0.0f, 44100.0f}, {440.0f, kNaN, 44100.0f},
        {440.0f, 0.0f, 44100.0f},
    };
    EachReadWidth()([&] {
        for (bool guarded : {false, true})
            for (bool interpolate : {true, false}) {
                TestTableOsc osc(interpolate, guarded);
                ReferenceOsc ref(osc, interpolate);
                osc.restart(0.3f);
                ref.restart(0.3f);
                std::vector<float> got(37), want(37);
                for (unsigned b = 0; b < 2 * std::size(pitches); ++b) {
                    const Pitch& p = pitches[b / 2];
                    osc.setFrequency(p.frequency);
                    ref.frequency_ = p.frequency;
                    osc.setSyncFrequency(p.sync);
                    ref.syncFrequency_ = p.sync;
                    const unsigned n = b % 2 ? 37 : 16;
                    osc.process(got.data(), n, p.sampleRate);
                    ref.process(want.data(), nullptr, n, p.sampleRate);
                    for (unsigned i = 0; i < n; ++i)
                        ASSERT_EQ(bits(got[i]), bits(want[i])) << "block " << b << " sample " << i;
                    ASSERT_EQ(bits(osc.phase()), bits(ref.phase_)) << "block " << b;
                    ASSERT_EQ(bits(osc.syncPhase()), bits(ref.syncPhase_)) << "block " << b;
                }
            }
    });
}

// A scaled block is the block followed by the scale pass, to the bit: where the products go into the
// reads (plain and interpolated) and where they follow them (no interpolation, hard sync, a
// sample rate or frequency that is not usable), for two factors and three, ordinary and extreme.
TEST(WaveTableRead, ScaledReadsMatchAReadThenTheScalePass)
{
    struct Factors {
        float first, second, third;
    };
    const Factors factors[] = {{0.8f, 0.3f, 1.1f}, {3e38f, 2.0f, 1e-30f}, {-0.0f, 0.5f, kInf}};
    EachReadWidth()([&] {
        for (const Case& c : cases()) {
            if (!c.pm.empty())
                continue;
            for (bool guarded : {false, true})
                for (bool interpolate : {true, false})
                    for (const Factors& f : factors)
                        for (bool three : {false, true}) {
                            TestTableOsc plain(interpolate, guarded), scaled(interpolate, guarded);
                            for (WaveTableOsc* o : {&plain, &scaled}) {
                                o->restart(c.startPhase);
                                o->setFrequency(c.frequency);
                                o->setShiftPhase(c.shift);
                                o->setSyncFrequency(c.sync);
                            }
                            std::vector<float> want(c.total), got(c.total);
                            unsigned done = 0;
                            for (unsigned b = 0; done < c.total; ++b) {
                                const unsigned n = std::min(c.blocks[b % c.blocks.size()], c.total - done);
                                float* w = want.data() + done;
                                plain.process(w, n, c.sampleRate);
                                if (three) {
                                    Platform::Vdsp::scaleThrice(w, f.first, f.second, f.third, w, n);
                                    scaled.processScaled(got.data() + done, n, c.sampleRate, f.first, f.second,
                                                         f.third);
                                } else {
                                    Platform::Vdsp::scaleTwice(w, f.first, f.second, w, n);
                                    scaled.processScaled(got.data() + done, n, c.sampleRate, f.first, f.second);
                                }
                                ASSERT_EQ(bits(scaled.phase()), bits(plain.phase())) << c.name << " block " << b;
                                ASSERT_EQ(bits(scaled.syncPhase()), bits(plain.syncPhase())) << c.name;
                                done += n;
                            }
                            for (unsigned i = 0; i < c.total; ++i)
                                ASSERT_EQ(bits(got[i]), bits(want[i]))
                                    << c.name << (interpolate ? "" : " (no interpolation)")
                                    << (guarded ? " (guarded table)" : "") << (three ? ", three" : ", two")
                                    << " factors from " << f.first << " sample " << i;
                        }
        }
    });
}

TEST(WaveTableRead, RandomPhasesAndIncrementsMatchThePerSampleReader)
{
    // Start phases, shifts and pitches across their whole useful range, with and without modulation.
    EachReadWidth()([] {
        std::mt19937 rng(7);
        auto uniform = [&](float lo, float hi) { return lo + (hi - lo) * float(rng() >> 8) * (1.0f / 16777216.0f); };
        for (unsigned k = 0; k < 200; ++k) {
            Case c{"random " + std::to_string(k),
                   uniform(0.0f, 1.0f),
                   k % 3 == 0 ? uniform(-3.0f, 3.0f) : 0.0f,
                   uniform(-30000.0f, 30000.0f),
                   k % 5 == 0 ? uniform(20.0f, 2000.0f) : 0.0f,
                   k % 2 ? 48000.0f : 176400.0f,
                   k % 4 == 0 ? std::vector<float>{} : mixedModulation(61, k),
                   {unsigned(1 + rng() % 130), unsigned(1 + rng() % 70)},
                   300};
            expectSameAsReference(c, true, false, k % 2 == 1);
        }
    });
}
