#include "synthesis/dsp/delay/support/SignalChecks.h"
#include "synthesis/dsp/delay/v2/DelayImplementation.h"
#include "synthesis/dsp/delay/v2/MultiTapDelayImplementation.h"
#include "synthesis/dsp/reverb/Reverb.h"
#include "synthesis/dsp/reverb/ReverbImplementation.h"
#include "synthesis/dsp/reverb/ReverbLate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using Lumora::DSPv2::Reverb;

namespace {

struct Stereo {
    std::vector<float> l, r;
    explicit Stereo(std::size_t n) : l(n, 0.0f), r(n, 0.0f) {}
};

// Renders the input through the reverb in blocks of 256, in place.
Stereo render(Reverb& reverb, Stereo io, float rate)
{
    constexpr unsigned block = 256;
    for (std::size_t o = 0; o < io.l.size(); o += block) {
        const auto n = static_cast<unsigned>(std::min<std::size_t>(block, io.l.size() - o));
        reverb.process(io.l.data() + o, io.r.data() + o, io.l.data() + o, io.r.data() + o, n, rate);
    }
    return io;
}

// Lets the glides settle on the block's targets, then clears the signal state.
void settle(Reverb& reverb, float rate)
{
    render(reverb, Stereo(256), rate);
    reverb.reset();
}

std::size_t firstNonZero(const std::vector<float>& x)
{
    for (std::size_t i = 0; i < x.size(); ++i)
        if (x[i] != 0.0f)
            return i;
    return x.size();
}

// Reverberation time from the Schroeder backward-integrated energy decay curve: the time the curve
// takes from -5 dB to -35 dB, doubled.
double rt60(const Stereo& s, float rate)
{
    std::vector<double> edc(s.l.size() + 1, 0.0);
    for (std::size_t i = s.l.size(); i-- > 0;)
        edc[i] = edc[i + 1] + static_cast<double>(s.l[i]) * s.l[i] + static_cast<double>(s.r[i]) * s.r[i];
    auto crossing = [&](double db) {
        const double level = edc[0] * std::pow(10.0, db / 10.0);
        for (std::size_t i = 0; i < edc.size(); ++i)
            if (edc[i] <= level)
                return static_cast<double>(i);
        return static_cast<double>(edc.size());
    };
    return 2.0 * (crossing(-35.0) - crossing(-5.0)) / rate;
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

template <class Glide>
bool sameGlide(const Glide& a, const Glide& b)
{
    return sameBits(a.target, b.target) && sameBits(a.current, b.current) && sameBits(a.step, b.step);
}

// Every glide and delay time the reverb keeps, compared bit for bit.
void expectSameSettings(const Reverb& a, const Reverb& b)
{
    const auto& x = a.implementation();
    const auto& y = b.implementation();
    EXPECT_TRUE(sameBits(x.roomSamples(), y.roomSamples()) && sameBits(x.decayFactor(), y.decayFactor()));
    EXPECT_EQ(a.glidesHeld(), b.glidesHeld());
    EXPECT_TRUE(sameBits(x.preDelay().implementation().currentFraction(),
                         y.preDelay().implementation().currentFraction()));
    EXPECT_TRUE(sameBits(x.early().allPass().implementation().currentFraction(),
                         y.early().allPass().implementation().currentFraction()));
    for (unsigned t = 0; t < 4; ++t) {
        const auto& tx = x.early().tapDelay().implementation().taps()[t];
        const auto& ty = y.early().tapDelay().implementation().taps()[t];
        EXPECT_TRUE(sameGlide(tx.time, ty.time) && sameGlide(tx.feedback, ty.feedback) &&
                    sameGlide(tx.level, ty.level)) << "tap " << t;
    }
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_TRUE(sameGlide(x.late().line(i).time, y.late().line(i).time)) << "line " << i;
        EXPECT_TRUE(sameGlide(x.late().gain(i), y.late().gain(i))) << "line " << i;
    }
    EXPECT_EQ(x.diffuser().lengths(), y.diffuser().lengths());
}

} // namespace

TEST(Reverb, StageLengthsAtAKnownSampleRate)
{
    Reverb reverb(Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay);
    settle(reverb, 44100.0f);
    const auto& impl = reverb.implementation();
    EXPECT_NEAR(impl.roomSamples(), 12970.59f, 0.01f);
    EXPECT_FLOAT_EQ(impl.early().allPass().implementation().delaySamples(), 1436.0f);
    const unsigned taps[4] = {5317, 3891, 2010, 12970};
    for (unsigned i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(impl.early().tapDelay().implementation().taps()[i].time.target * 65536.0f,
                        static_cast<float>(taps[i])) << i;
    const unsigned lines[4] = {12970, 10590, 9171, 8203};
    const float gains[4] = {-0.131f, -0.190f, -0.238f, -0.277f};
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(impl.late().line(i).time.target * 65536.0f, static_cast<float>(lines[i])) << i;
        EXPECT_NEAR(impl.late().gain(i).target, gains[i], 0.001f) << i;
    }
    const std::array<unsigned, 6> diffuser{1029, 3522, 2234, 612, 3484, 2688};
    EXPECT_EQ(impl.diffuser().lengths(), diffuser);
}

TEST(Reverb, FirstEarlyReflectionArrivesAtTheShortestTap)
{
    // Without a pre-delay the all-passes pass their direct part at once, so the shortest tap,
    // 0.155 of the room (2010 samples at 44.1 kHz and 100 m), is the first sound.
    Reverb reverb(0);
    reverb.param.earlyLevel = 1.0f;
    settle(reverb, 44100.0f);
    Stereo in(4096);
    in.l[0] = 1.0f; // left only: the mono feed takes it to both sides
    const auto out = render(reverb, in, 44100.0f);
    EXPECT_EQ(firstNonZero(out.l), 2010u);
    EXPECT_EQ(firstNonZero(out.r), 2010u);
}

TEST(Reverb, DefaultParametersAreSilentWithoutDryMix)
{
    Stereo in(40000);
    SignalChecks::Noise noise;
    for (std::size_t i = 0; i < 2048; ++i)
        in.l[i] = in.r[i] = noise.next();
    Reverb wet(0);
    auto out = render(wet, in, 48000.0f);
    EXPECT_EQ(SignalChecks::peak(out.l.data(), out.l.size()), 0.0f);
    EXPECT_EQ(SignalChecks::peak(out.r.data(), out.r.size()), 0.0f);

    // dryLevel 0.5 through the diffuser, whose all-passes keep the energy they spread in time.
    Reverb dry(Reverb::DryMix);
    out = render(dry, in, 48000.0f);
    const double ratio = SignalChecks::energy(out.l.data(), 40000) / SignalChecks::energy(in.l.data(), 40000);
    EXPECT_NEAR(ratio, 0.25, 0.01);
}

TEST(Reverb, TinyRoomMakesOneSampleDiffusers)
{
    Reverb reverb(0);
    reverb.param.roomSize = 5.0f; // d * 0.000527 < 1
    settle(reverb, 48000.0f);
    for (unsigned n : reverb.implementation().diffuser().lengths())
        EXPECT_EQ(n, 0u);
}

TEST(Reverb, DecayTimeMatchesTheMeasuredRt60)
{
    constexpr float rate = 48000.0f;
    for (float decay : {0.8f, 2.5f}) {
        Reverb reverb(0);
        reverb.param.roomSize = 40.0f;
        reverb.param.decayTime = decay;
        reverb.param.lateBrightness = 1.0f; // undamped, so all frequencies decay alike
        reverb.param.lateLevel = 1.0f;
        settle(reverb, rate);
        Stereo in(static_cast<std::size_t>(rate * decay * 1.6f));
        in.l[0] = in.r[0] = 1.0f;
        const auto out = render(reverb, in, rate);
        EXPECT_NEAR(rt60(out, rate), decay, decay * 0.1) << decay;
    }
}

TEST(Reverb, OutputsAreDecorrelated)
{
    constexpr float rate = 48000.0f;
    Reverb reverb(0);
    reverb.param.earlyLevel = 0.5f;
    reverb.param.lateLevel = 0.5f;
    Stereo in(48000);
    SignalChecks::Noise noise;
    for (std::size_t i = 0; i < 4800; ++i)
        in.l[i] = in.r[i] = noise.next(); // the same signal on both sides
    const auto out = render(reverb, in, rate);
    double lr = 0.0, ll = 0.0, rr = 0.0;
    for (std::size_t i = 0; i < out.l.size(); ++i) {
        lr += static_cast<double>(out.l[i]) * out.r[i];
        ll += static_cast<double>(out.l[i]) * out.l[i];
        rr += static_cast<double>(out.r[i]) * out.r[i];
    }
    EXPECT_GT(ll, 0.0);
    EXPECT_NEAR(ll / rr, 1.0, 0.25); // balanced
    EXPECT_LT(std::fabs(lr / std::sqrt(ll * rr)), 0.3);
}

TEST(Reverb, SameInputGivesTheSameOutputAfterReset)
{
    Reverb reverb(Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay | Reverb::DryMix);
    reverb.param.earlyLevel = 0.5f;
    reverb.param.lateLevel = 0.5f;
    reverb.param.preDelay = 0.01f;
    Stereo in(8192);
    SignalChecks::Noise noise;
    for (std::size_t i = 0; i < in.l.size(); ++i) {
        in.l[i] = noise.next();
        in.r[i] = noise.next();
    }
    settle(reverb, 48000.0f);
    const auto first = render(reverb, in, 48000.0f);
    reverb.reset();
    const auto second = render(reverb, in, 48000.0f);
    EXPECT_EQ(first.l, second.l);
    EXPECT_EQ(first.r, second.r);
}

// A reverb that has held nothing but zeros only moves its settings over silence: idle() leaves
// every glide where process() leaves it, block by block, through changes of the room and the
// levels, block lengths down to one sample and every optional stage. A burst that follows, with
// settings moved once more so that every stage glides from where the silence left it, then
// sounds bit for bit the same. It comes after the first block, with the glides still on their way
// from where a fresh reverb starts them, and after the whole sequence.
TEST(Reverb, IdleOverSilenceLeavesTheReverbAsProcessDoes)
{
    constexpr float rate = 44100.0f;
    struct Step {
        float roomSize, decayTime, preDelay, level;
        unsigned block, blocks;
    };
    const Step steps[] = {
        {100.0f, 1.0f, 0.0f, 0.5f, 256, 3},
        {30.0f, 4.0f, 0.05f, 0.8f, 37, 9},
        {70.0f, 0.3f, 0.01f, 0.2f, 1, 40},
        {1.0f, 0.3f, 0.001f, 0.2f, 512, 4},
    };
    const Step burstStep{1.0f, 2.0f, 0.002f, 0.6f, 256, 0};
    auto configure = [](Reverb& reverb, const Step& step) {
        Reverb::Parameters& p = reverb.param;
        p.roomSize = step.roomSize;
        p.decayTime = step.decayTime;
        p.preDelay = step.preDelay;
        p.earlyLevel = p.lateLevel = p.dryLevel = step.level;
        p.preHighPass = p.earlyHighPass = p.lateHighPass = 0.01f * step.level;
        p.preLowPass = p.earlyLowPass = p.lateLowPass = step.level;
        p.lateBrightness = 1.0f - step.level;
        p.stereoWidth = step.level;
    };
    const unsigned everyStage = Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay |
                                Reverb::EarlyHighPass | Reverb::EarlyLowPass | Reverb::LateHighPass |
                                Reverb::LateLowPass | Reverb::DryMix;
    for (const unsigned abilities : {Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay, everyStage}) {
        for (const bool burstAfterFirstBlock : {true, false}) {
            SCOPED_TRACE(testing::Message() << "abilities " << abilities
                                            << (burstAfterFirstBlock ? ", burst after one block" : ""));
            Reverb ran(abilities);
            Reverb idled(abilities);
            std::vector<float> l(512), r(512);
            for (const Step& step : steps) {
                configure(ran, step);
                configure(idled, step);
                const unsigned blocks = burstAfterFirstBlock ? 1 : step.blocks;
                for (unsigned b = 0; b < blocks; ++b) {
                    std::fill(l.begin(), l.end(), 0.0f);
                    std::fill(r.begin(), r.end(), 0.0f);
                    ran.process(l.data(), r.data(), l.data(), r.data(), step.block, rate);
                    idled.idle(step.block, rate);
                    expectSameSettings(ran, idled);
                }
                if (burstAfterFirstBlock)
                    break;
            }
            configure(ran, burstStep);
            configure(idled, burstStep);
            Stereo burst(16384);
            SignalChecks::Noise noise;
            for (std::size_t i = 0; i < 2048; ++i) {
                burst.l[i] = noise.next();
                burst.r[i] = noise.next();
            }
            const Stereo a = render(ran, burst, rate);
            const Stereo b = render(idled, burst, rate);
            EXPECT_GT(SignalChecks::peak(a.l.data(), a.l.size()), 0.01f);
            EXPECT_TRUE(sameBits(a.l, b.l) && sameBits(a.r, b.r));
        }
    }
}

// A minute of tail: at the longest decay (gains held just below unity) the output stays bounded;
// at a short one it dies into exact zeros, never into denormals.
TEST(ReverbRobustness, MinuteOfTailAtExtremeDecay)
{
    constexpr float rate = 48000.0f;
    constexpr unsigned block = 512;
    for (float decay : {1.0e9f, 0.1f}) {
        Reverb reverb(Reverb::PreHighPass | Reverb::PreLowPass | Reverb::PreDelay | Reverb::LateLowPass |
                      Reverb::EarlyHighPass);
        reverb.param.decayTime = decay;
        reverb.param.roomSize = 100.0f;
        reverb.param.lateBrightness = 1.0f;
        reverb.param.earlyLevel = 1.0f;
        reverb.param.lateLevel = 1.0f;
        SignalChecks::Noise noise;
        std::vector<float> l(block), r(block);
        float peak = 0.0f;
        for (std::size_t o = 0; o < 61 * 48000; o += block) {
            for (std::size_t i = 0; i < block; ++i)
                l[i] = r[i] = o < 48000 ? noise.next() : 0.0f;
            reverb.process(l.data(), r.data(), l.data(), r.data(), block, rate);
            ASSERT_EQ(SignalChecks::firstUnclean(l.data(), block), block) << decay << " at " << o;
            ASSERT_EQ(SignalChecks::firstUnclean(r.data(), block), block) << decay << " at " << o;
            peak = std::max({peak, SignalChecks::peak(l.data(), block), SignalChecks::peak(r.data(), block)});
        }
        EXPECT_LT(peak, 1000.0f) << decay;
        if (decay < 1.0f) {
            EXPECT_EQ(SignalChecks::peak(l.data(), block), 0.0f);
        }
    }
}

TEST(ReverbRobustness, NonFiniteInputDoesNotStickInTheTail)
{
    Reverb reverb(Reverb::PreDelay);
    reverb.param.earlyLevel = 0.5f;
    reverb.param.lateLevel = 0.5f;
    Stereo in(4096);
    in.l[100] = std::numeric_limits<float>::quiet_NaN();
    in.r[200] = std::numeric_limits<float>::infinity();
    auto out = render(reverb, in, 48000.0f);
    EXPECT_EQ(SignalChecks::firstUnclean(out.l.data(), 4096), 4096u);
    EXPECT_EQ(SignalChecks::firstUnclean(out.r.data(), 4096), 4096u);

    Stereo click(48000);
    click.l[0] = 1.0f;
    out = render(reverb, click, 48000.0f);
    EXPECT_EQ(SignalChecks::firstUnclean(out.l.data(), 48000), 48000u);
    EXPECT_GT(SignalChecks::peak(out.l.data(), 48000), 0.01f); // reverberates again
}

TEST(ReverbRobustness, HostileParametersAndSampleRates)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (float rate : {0.0f, -1.0f, nan, 8000.0f, 384000.0f}) {
        Reverb reverb(0x1337);
        reverb.param = {nan, inf, -inf, 1.0e12f, -5.0f, 1.0e9f, nan, inf, 1.0f, nan, nan, 1.0f, -inf, 7.0f};
        Stereo in(2048);
        in.l[0] = 1.0f;
        const auto out = render(reverb, in, rate);
        EXPECT_EQ(SignalChecks::firstUnclean(out.l.data(), 2048), 2048u) << rate;
        EXPECT_EQ(SignalChecks::firstUnclean(out.r.data(), 2048), 2048u) << rate;
    }
}

// reset() clears only what the lines were written since their last clear: however long the tail
// ran, wrapping its lines or not, every sample of every line is zero after it.
TEST(ReverbLate, ResetClearsEverythingTheLinesHeld)
{
    using Lumora::DSPv2::ReverbLate;
    constexpr std::size_t kLine = ReverbLate::kLineSize;
    for (const std::size_t amount : {std::size_t{1}, std::size_t{1000}, kLine - 1, kLine, 2 * kLine + 77}) {
        ReverbLate late(false, false, 64);
        const std::vector<float> ones(64, 1.0f);
        const float* taps[4] = {ones.data(), ones.data(), ones.data(), ones.data()};
        for (std::size_t done = 0; done < amount; done += 64) {
            const auto n = static_cast<unsigned>(std::min<std::size_t>(64, amount - done));
            late.process(taps, n, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f, 20000.0f);
        }
        late.reset();
        for (unsigned i = 0; i < 4; ++i) {
            const auto& buffer = late.line(i).buffer;
            EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](float x) { return x == 0.0f; }))
                << "line " << i << " after " << amount << " samples";
        }
    }
}
